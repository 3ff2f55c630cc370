#include "sheet/frmsheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

namespace fairstake {

namespace {

// What can still become a number as typed: digits with one separator of
// either kind, nothing else (no sign, no exponent, no blanks).  The range is
// the engine's to judge, so that 150 can be typed, counted as 0 and shown so.
class NumberShape : public QValidator {
public:
    NumberShape(int longest, QObject* parent) : QValidator(parent), longest_(longest) {}
    State validate(QString& input, int&) const override {
        if (input.size() > longest_) return Invalid;
        int separators = 0;
        for (const QChar c : input) {
            if (c == u'.' || c == u',')
                ++separators;
            else if (!c.isDigit() || c.unicode() > 0x7F)
                return Invalid;
        }
        return separators <= 1 ? Acceptable : Invalid;
    }

private:
    int longest_;
};

constexpr int kCellPadding = 14; // beside the text, in pixels: the item view's margins and a little air
constexpr int kCellMargin = 4;   // between a cell's edge and its text

// Draws a cell's text straight with the painter.  The styled delegate lays
// each text out two or three times over (its size, eliding, drawing), and nine
// runners change some 27 cells at every key; the columns are wide enough, so
// nothing is ever elided.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(option.rect.adjusted(kCellMargin, 0, -kCellMargin, 0),
                          index.data(Qt::TextAlignmentRole).toInt(), index.data().toString());
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = option.rect.adjusted(1, 1, -1, -1);
            const QWidget* view = option.widget;
            (view ? view->style() : QApplication::style())
                ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
        }
    }
};

QLabel* lineLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // The screen reader speaks the text the label shows (no accessible name of its own).
    return label;
}

QLineEdit* settingBox(QWidget* parent, const char* name, const QString& caption, int longest,
                      QGridLayout* grid, int row) {
    auto* label = new QLabel(caption, parent);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption);
    box->setValidator(new NumberShape(longest, box));
    box->setMaxLength(longest);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 12);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

} // namespace

TfrmSheet::TfrmSheet(const BetSlip& slip, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      slip_(slip) {
    setObjectName(QStringLiteral("frmSheet"));
    setWindowTitle(QStringLiteral("Race sheet"));
    setAccessibleName(QStringLiteral("Race sheet"));
    // Shown beside the calculator while the user types there: it does not take the keys.
    setAttribute(Qt::WA_ShowWithoutActivating);

    gridSheet = new QTableWidget(0, kSheetColumns, this);
    gridSheet->setObjectName(QStringLiteral("gridSheet"));
    gridSheet->setAccessibleName(QStringLiteral("Race sheet"));
    QStringList headings;
    for (const char* heading : SheetHeadings())
        headings << QString::fromLatin1(heading);
    gridSheet->setHorizontalHeaderLabels(headings);
    gridSheet->verticalHeader()->hide();
    gridSheet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridSheet->setTabKeyNavigation(false);
    gridSheet->setWordWrap(false);
    gridSheet->setTextElideMode(Qt::ElideNone);
    gridSheet->setItemDelegate(new CellDelegate(gridSheet));
    gridSheet->horizontalHeader()->setHighlightSections(false);
    gridSheet->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics metrics(gridSheet->font());
    gridSheet->verticalHeader()->setDefaultSectionSize(metrics.height() + 5);
    // Room for the usual figures from the start, so that the columns do not
    // move while the user types; a wider figure widens its column (showSheet).
    const char* const widest[kSheetColumns] = {"9",       "22",       "100/30",   "1000.00",
                                               "100.0 %", "99999.99", "99999.99", "-99999.99"};
    const QFontMetrics headingMetrics(gridSheet->horizontalHeader()->font());
    int width = 0;
    for (int c = 0; c < kSheetColumns; ++c) {
        const int w = std::max(metrics.horizontalAdvance(QString::fromLatin1(widest[c])),
                               headingMetrics.horizontalAdvance(headings[c])) +
                      kCellPadding + 8;
        gridSheet->setColumnWidth(c, w);
        startWidths_[static_cast<std::size_t>(c)] = w;
        width += w;
    }
    // Nine runners without a scroll bar.
    const int frame = 2 * gridSheet->frameWidth();
    gridSheet->setMinimumSize(width + frame,
                              gridSheet->horizontalHeader()->sizeHint().height() +
                                  kSelections * gridSheet->verticalHeader()->defaultSectionSize() + frame);
    startWidth_ = gridSheet->minimumWidth();

    lblBook = lineLabel(this, "lblBook");
    lblStaked = lineLabel(this, "lblStaked");
    lblProfitRange = lineLabel(this, "lblProfitRange");
    lblOutside = lineLabel(this, "lblOutside");
    lblSpread = lineLabel(this, "lblSpread");

    auto* settingsGrid = new QGridLayout;
    txtCommission =
        settingBox(this, "txtCommission", QStringLiteral("Commission on winnings (%)"), 6, settingsGrid, 0);
    txtCommission->setText(QStringLiteral("0"));
    txtSpread = settingBox(this, "txtSpread", QStringLiteral("Spread a total of"), 12, settingsGrid, 1);
    chkSpreadRound = new QCheckBox(QStringLiteral("Round onto the calculator's unit"), this);
    chkSpreadRound->setObjectName(QStringLiteral("chkSpreadRound"));
    chkSpreadRound->setAccessibleName(chkSpreadRound->text());
    settingsGrid->addWidget(chkSpreadRound, 1, 2);
    settingsGrid->setColumnStretch(3, 1);

    btnCopy = new QPushButton(QStringLiteral("Copy"), this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnCopy->setAccessibleName(btnCopy->text());
    btnCopy->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridSheet, 1);
    layout->setSpacing(3);
    // The lines below the table have a fixed size: empty, they keep their place, and a new text
    // does not lay the window out again at every key.
    for (QLabel* line : {lblBook, lblStaked, lblProfitRange, lblOutside, lblSpread}) {
        line->setFixedSize(gridSheet->minimumWidth(), line->fontMetrics().height());
        layout->addWidget(line);
    }
    layout->addSpacing(6);
    settingsGrid->setVerticalSpacing(3);
    settingsGrid->addWidget(btnCopy, 1, 4);
    layout->addLayout(settingsGrid);

    setTabOrder(txtCommission, txtSpread);
    setTabOrder(txtSpread, chkSpreadRound);
    setTabOrder(chkSpreadRound, btnCopy);
    setTabOrder(btnCopy, gridSheet);

    // F1 anywhere on the sheet opens its help topic (the calculator installs the context help).
    setProperty("helpContext", kSheetHelpContext);
    const std::pair<QWidget*, const char*> tips[] = {
        {gridSheet, "What each played runner pays if it wins, with the stakes as they will be placed."},
        {lblBook, "The book: the chances of the runners you play added up; at 100 % or more some runner always loses."},
        {lblStaked, "The total of the stakes in the table."},
        {lblProfitRange, "The lowest and highest profit if one of the runners you play wins."},
        {lblOutside, "What you get back if a runner you do not play wins."},
        {lblSpread, "Which stakes the table shows when they are not the calculator's own."},
        {txtCommission, "The exchange's commission, in percent of the net winnings, taken from every profit."},
        {txtSpread, "A total to share over the runners in proportion to their chances instead of the calculator's stakes."},
        {chkSpreadRound, "Moves the shared stakes onto the calculator's rounding unit, in its direction."},
        {btnCopy, "Copies the sheet as text and as a table a spreadsheet reads (Ctrl+Shift+C)."},
    };
    for (const auto& [control, tip] : tips)
        control->setToolTip(QString::fromUtf8(tip));

    connect(txtCommission, &QLineEdit::textChanged, this, &TfrmSheet::recompute);
    connect(txtSpread, &QLineEdit::textChanged, this, &TfrmSheet::recompute);
    connect(chkSpreadRound, &QCheckBox::toggled, this, &TfrmSheet::recompute);
    connect(txtCommission, &QLineEdit::editingFinished, this,
            [this] { settingFinished(txtCommission, commissionRefused_, QStringLiteral("0")); });
    connect(txtSpread, &QLineEdit::editingFinished, this,
            [this] { settingFinished(txtSpread, spreadRefused_, QString()); });
    connect(btnCopy, &QPushButton::clicked, this, &TfrmSheet::copy);
}

SheetSettings TfrmSheet::settings() const {
    SheetSettings s;
    s.commissionText = txtCommission->text().toStdString();
    s.size = SizeBy::Total;
    s.sizeText = txtSpread->text().toStdString();
    s.rounding = chkSpreadRound->isChecked() ? StakeRounding::OntoUnit : StakeRounding::None;
    return s;
}

void TfrmSheet::follow() {
    recompute();
}

void TfrmSheet::showEvent(QShowEvent* event) {
    if (behind_) recompute();
    QWidget::showEvent(event);
}

void TfrmSheet::recompute() {
    // Hidden, a keystroke pays nothing more than this test.
    if (!isVisible()) {
        behind_ = true;
        return;
    }
    ++computeCount_;
    behind_ = false;
    if (raceChanged()) narrowColumns();
    showSheet(MakeRaceSheet(slip_, settings()));
}

bool TfrmSheet::raceChanged() {
    // Typing changes one odds box at a time; the calculator tells of an example and CLEAR, and a
    // shift or another played count change several boxes at once, or the count.
    int changed = 0;
    for (std::size_t i = 0; i < seenOdds_.size(); ++i)
        if (seenOdds_[i] != slip_.selections[i].oddsText) {
            seenOdds_[i] = slip_.selections[i].oddsText;
            ++changed;
        }
    const bool played = seenPlayed_ != slip_.playedCount;
    seenPlayed_ = slip_.playedCount;
    const bool told = newRace_;
    newRace_ = false;
    return told || played || changed > 1;
}

void TfrmSheet::narrowColumns() {
    const int widened = gridSheet->minimumWidth() - startWidth_;
    if (widened <= 0) return;
    for (int c = 0; c < kSheetColumns; ++c)
        gridSheet->setColumnWidth(c, startWidths_[static_cast<std::size_t>(c)]);
    fitting_ = {};
    // Every cell is measured again against the narrow columns.
    for (int r = 0; r < gridSheet->rowCount(); ++r)
        for (int c = 0; c < kSheetColumns; ++c)
            gridSheet->item(r, c)->setText(QString());
    gridSheet->setMinimumWidth(startWidth_);
    layout()->activate(); // the window's own minimum follows, so that it may narrow
    resize(width() - widened, height());
}

void TfrmSheet::showSheet(const RaceSheet& sheet) {
    const int rows = static_cast<int>(sheet.rows.size());
    if (gridSheet->rowCount() != rows) {
        const int before = gridSheet->rowCount();
        gridSheet->setRowCount(rows);
        for (int r = before; r < rows; ++r)
            for (int c = 0; c < kSheetColumns; ++c) {
                auto* item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                // The box and runner numbers centred, the odds as typed at the left, figures at the right.
                item->setTextAlignment(Qt::AlignVCenter | (c < 2    ? Qt::AlignHCenter
                                                           : c == 2 ? Qt::AlignLeft
                                                                    : Qt::AlignRight));
                gridSheet->setItem(r, c, item);
            }
    }
    const QFontMetrics metrics(gridSheet->font());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kSheetColumns; ++c) {
            QTableWidgetItem* item = gridSheet->item(r, c);
            const QString text =
                QString::fromStdString(sheet.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
            if (item->text() == text) continue;
            item->setText(text);
            // A figure longer than any so far may be wider than its column: it widens it (never
            // narrows: no jumping while typing).  Digits are all as wide, so the count of characters
            // spares measuring every figure of every key.
            const auto column = static_cast<std::size_t>(c);
            if (text.size() <= fitting_[column]) continue;
            const int needed = metrics.horizontalAdvance(text) + kCellPadding;
            if (needed > gridSheet->columnWidth(c)) {
                // The table, and the window with it, grow by as much: no column goes out of sight.
                const int more = needed - gridSheet->columnWidth(c);
                gridSheet->setColumnWidth(c, needed);
                gridSheet->setMinimumWidth(gridSheet->minimumWidth() + more);
            } else {
                fitting_[column] = text.size();
            }
        }
    auto show = [](QLabel* label, const std::string& text) {
        const QString t = QString::fromStdString(text);
        if (label->text() != t) label->setText(t);
    };
    show(lblBook, sheet.book);
    show(lblStaked, sheet.staked);
    show(lblProfitRange, sheet.profitRange);
    show(lblOutside, sheet.outside);
    show(lblSpread, sheet.spread);
    // A setting that counts as 0 % or no spread is drawn in red until the box is left, when it shows what it
    // counts as.
    commissionRefused_ = sheet.commissionRefused;
    spreadRefused_ = sheet.sizeRefused;
    for (auto [box, refused] :
         {std::pair{txtCommission, commissionRefused_}, std::pair{txtSpread, spreadRefused_}}) {
        const QColor colour = refused ? QColor(Qt::red) : palette().color(QPalette::Text);
        if (box->palette().color(QPalette::Text) == colour) continue;
        QPalette p = box->palette();
        p.setColor(QPalette::Text, colour);
        box->setPalette(p);
    }
}

void TfrmSheet::settingFinished(QLineEdit* box, bool refused, const QString& counted) {
    if (refused) box->setText(counted);
}

void TfrmSheet::copy() {
    CopyRace(slip_, settings());
}

void CopyRace(const BetSlip& slip, const SheetSettings& settings) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    const RaceSheet sheet = MakeRaceSheet(slip, settings);
    // Plain text for editors, and a table that spreadsheets read cell by cell.
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(RaceSheetText(sheet)));
    data->setHtml(QString::fromStdString(RaceSheetHtml(sheet, slip.separator)));
    clipboard->setMimeData(data);
}

QRect SheetPlace(const QRect& calculator, const QSize& size, const QRect& screen) {
    const int top = std::clamp(calculator.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - size.height()));
    const int left = std::clamp(calculator.left(), screen.left(),
                                std::max(screen.left(), screen.right() + 1 - size.width()));
    const QRect beside[] = {QRect(QPoint(calculator.right() + 1, top), size),
                            QRect(QPoint(calculator.left() - size.width(), top), size),
                            QRect(QPoint(left, calculator.bottom() + 1), size),
                            QRect(QPoint(left, calculator.top() - size.height()), size)};
    for (const QRect& place : beside)
        if (screen.contains(place)) return place;
    // No room beside it: the screen's lower right corner, over the calculator's
    // lower right part (its totals and rounding), clear of the odds boxes at its top.
    return QRect(QPoint(std::max(screen.left(), screen.right() + 1 - size.width()),
                        std::max(screen.top(), screen.bottom() + 1 - size.height())),
                 size);
}

void TfrmSheet::placeBeside(const QWidget& calculator) {
    const QScreen* screen = calculator.screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect frame = calculator.frameGeometry();
    const QRect inner = calculator.geometry();
    // This window's frame is not known before it is shown: the calculator's stands in for it, with a
    // few pixels to spare (the window manager's frame in device pixels, rounded at other scales).
    const QSize decoration(frame.width() - inner.width() + 4, frame.height() - inner.height() + 4);
    ensurePolished();
    layout()->activate();
    const QSize client = size().expandedTo(sizeHint()).expandedTo(minimumSizeHint());
    resize(client);
    move(SheetPlace(frame, client + decoration, area).topLeft());
}

} // namespace fairstake
