#include "sheet/frmsheet.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSizePolicy>
#include <QSpinBox>
#include <QStandardItemModel>
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
    CellDelegate(TfrmSheet* sheet, QObject* parent) : QStyledItemDelegate(parent), sheet_(sheet) {}
    // The Stake cell's editor takes what can become an amount; Enter hands it to the sheet, which
    // sizes the stakes by it (the cell itself shows what the engine then makes).
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (editor) {
            editor->setValidator(new NumberShape(12, editor));
            editor->setAccessibleName(QStringLiteral("Stake on box %1").arg(index.row() + 1));
        }
        return editor;
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (const auto* line = qobject_cast<QLineEdit*>(editor)) sheet_->stakeTyped(index.row(), line->text());
    }
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

private:
    TfrmSheet* sheet_;
};

QLabel* lineLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // The screen reader speaks the text the label shows (no accessible name of its own).
    return label;
}

// A setting with its caption before it, at a place of the settings grid.
template <class Control> Control* setting(QWidget* parent, const char* name, const char* caption, QHBoxLayout* row) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(QString::fromUtf8(caption));
    label->setBuddy(control);
    if (row->count() > 0) row->addSpacing(12);
    row->addWidget(label);
    row->addWidget(control);
    return control;
}

QLineEdit* settingBox(QWidget* parent, const char* name, const char* caption, int longest, QHBoxLayout* row) {
    auto* box = setting<QLineEdit>(parent, name, caption, row);
    box->setValidator(new NumberShape(longest, box));
    box->setMaxLength(longest);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 12);
    return box;
}

QComboBox* settingList(QWidget* parent, const char* name, const char* caption, const QStringList& items,
                       QHBoxLayout* row) {
    auto* list = setting<QComboBox>(parent, name, caption, row);
    list->addItems(items);
    list->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return list;
}

QSpinBox* settingCount(QWidget* parent, const char* name, const char* caption, int low, int high, int start,
                       QHBoxLayout* row) {
    auto* spin = setting<QSpinBox>(parent, name, caption, row);
    spin->setRange(low, high);
    spin->setValue(start);
    spin->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return spin;
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
    // Only the Stake cells are editable (their items say so): a double click, F2 or a digit typed.
    gridSheet->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    gridSheet->setTabKeyNavigation(false);
    gridSheet->setWordWrap(false);
    gridSheet->setTextElideMode(Qt::ElideNone);
    gridSheet->setItemDelegate(new CellDelegate(this, gridSheet));
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
        // Wide enough for the headings of every type, so that a switch does not move the columns.
        int w = metrics.horizontalAdvance(QString::fromLatin1(widest[c]));
        for (const BetType type : {BetType::Back, BetType::Lay, BetType::EachWay})
            w = std::max(w, headingMetrics.horizontalAdvance(
                                QString::fromLatin1(SheetHeadings(type)[static_cast<std::size_t>(c)])));
        w += kCellPadding + 8;
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

    // Three rows: the type and its place terms, the size, the minimum and the rounding.
    auto* typeRow = new QHBoxLayout;
    auto* sizeRow = new QHBoxLayout;
    auto* lastRow = new QHBoxLayout;
    types_ = new QButtonGroup(this);
    int id = 0;
    for (auto [button, name, caption] :
         {std::tuple{&optBack, "optBack", "Back to win"}, std::tuple{&optLay, "optLay", "Lay"},
          std::tuple{&optEachWay, "optEachWay", "Each way"}}) {
        *button = new QRadioButton(QString::fromLatin1(caption), this);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setAccessibleName((*button)->text());
        types_->addButton(*button, id++);
        typeRow->addWidget(*button);
    }
    optBack->setChecked(true);
    spnPlaces = settingCount(this, "spnPlaces", "Places", 2, 10, 3, typeRow);
    cboTerms = settingList(this, "cboTerms", "Place terms", {QStringLiteral("1/4"), QStringLiteral("1/5")}, typeRow);
    cboTerms->setCurrentIndex(1);
    cboSize = settingList(this, "cboSize", "Size the stakes by",
                          {QStringLiteral("The calculator's stakes"), QStringLiteral("A total of"),
                           QStringLiteral("A profit of"), QStringLiteral("A liability of"),
                           QStringLiteral("A stake on box")},
                          sizeRow);
    txtSize = settingBox(this, "txtSize", "Amount", 12, sizeRow);
    spnBox = settingCount(this, "spnBox", "Box", 1, 1, 1, sizeRow);
    txtMinStake = settingBox(this, "txtMinStake", "No stake below", 12, lastRow);
    cboRound = settingList(this, "cboRound", "Round the stakes",
                           {QStringLiteral("Not rounded"), QStringLiteral("Onto the calculator's unit"),
                            QStringLiteral("Evenly onto the calculator's unit")},
                           lastRow);
    // The commission beside the size, so that the window stays narrow enough for a small screen at 2x.
    txtCommission = settingBox(this, "txtCommission", "Commission on winnings (%)", 6, sizeRow);
    txtCommission->setFixedWidth(txtCommission->fontMetrics().horizontalAdvance(QStringLiteral("000.000")) + 12);
    txtCommission->setText(QStringLiteral("0"));

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
    layout->addSpacing(2);
    layout->setContentsMargins(9, 6, 9, 6);
    typeRow->addStretch(1);
    sizeRow->addStretch(1);
    lastRow->addStretch(1);
    lastRow->addWidget(btnCopy);
    for (QHBoxLayout* row : {typeRow, sizeRow, lastRow})
        layout->addLayout(row);

    // Top to bottom, as the settings are listed, then the copy and the table.
    QWidget* const order[] = {optBack, optLay,      optEachWay, spnPlaces,     cboTerms, cboSize, txtSize,
                              spnBox,  txtMinStake, cboRound,   txtCommission, btnCopy,  gridSheet};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // F1 anywhere on the sheet opens its help topic (the calculator installs the context help).
    setProperty("helpContext", kSheetHelpContext);
    const std::pair<QWidget*, const char*> tips[] = {
        {gridSheet, "What each played runner pays, with the stakes as they will be placed; type into a Stake cell to size the stakes by that runner."},
        {lblBook, "The book: the chances of the runners you play added up; at 100 % or more some runner always loses."},
        {lblStaked, "The total of the stakes in the table."},
        {lblProfitRange, "The lowest and highest result if one of the runners you play wins."},
        {lblOutside, "What you end with if none of the runners you play wins."},
        {lblSpread, "Which stakes the table shows when they are not the calculator's own."},
        {optBack, "Backs each runner to win, as the calculator does."},
        {optLay, "Lays each runner at an exchange, so that you lose about the same whichever of them wins."},
        {optEachWay, "Backs each runner each way: one stake to win and as much again to be placed."},
        {spnPlaces, "How many runners the bookmaker pays as placed."},
        {cboTerms, "The fraction of the odds the bookmaker pays for a place."},
        {cboSize, "What sets the size of the stakes: the calculator's own, a total, a profit, a liability or one runner's stake."},
        {txtSize, "The amount the stakes are sized by."},
        {spnBox, "The box whose stake is the amount; the others follow in proportion."},
        {txtMinStake, "The smallest stake the bookmaker takes; smaller stakes lift all of them in proportion."},
        {cboRound, "Leaves the stakes in cents, rounds them onto the calculator's unit, or rounds them so that the runners stay as even as possible."},
        {txtCommission, "The exchange's commission, in percent of the net winnings, taken from every gain."},
        {btnCopy, "Copies the sheet as text and as a table a spreadsheet reads (Ctrl+Shift+C)."},
    };
    for (const auto& [control, tip] : tips)
        control->setToolTip(QString::fromUtf8(tip));

    for (QLineEdit* box : {txtSize, txtMinStake, txtCommission})
        connect(box, &QLineEdit::textChanged, this, &TfrmSheet::recompute);
    for (QComboBox* list : {cboTerms, cboSize, cboRound})
        connect(list, &QComboBox::currentIndexChanged, this, &TfrmSheet::recompute);
    for (QSpinBox* spin : {spnPlaces, spnBox})
        connect(spin, &QSpinBox::valueChanged, this, &TfrmSheet::recompute);
    connect(types_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) recompute();
    });
    connect(txtCommission, &QLineEdit::editingFinished, this,
            [this] { settingFinished(txtCommission, commissionRefused_, QStringLiteral("0")); });
    connect(txtSize, &QLineEdit::editingFinished, this,
            [this] { settingFinished(txtSize, sizeUnread_, QString()); });
    connect(txtMinStake, &QLineEdit::editingFinished, this,
            [this] { settingFinished(txtMinStake, minStakeRefused_, QString()); });
    enableSettings();
    connect(btnCopy, &QPushButton::clicked, this, &TfrmSheet::copy);
}

SheetSettings TfrmSheet::settings() const {
    SheetSettings s;
    s.type = static_cast<BetType>(std::max(0, types_->checkedId()));
    s.places = spnPlaces->value();
    s.termsDivisor = cboTerms->currentIndex() == 0 ? 4 : 5;
    s.size = static_cast<SizeBy>(std::max(0, cboSize->currentIndex()));
    s.sizeText = txtSize->text().toStdString();
    s.box = spnBox->value();
    s.minStakeText = txtMinStake->text().toStdString();
    s.rounding = static_cast<StakeRounding>(std::max(0, cboRound->currentIndex()));
    s.commissionText = txtCommission->text().toStdString();
    return s;
}

void TfrmSheet::enableSettings() {
    const bool eachWay = optEachWay->isChecked();
    spnPlaces->setEnabled(eachWay);
    cboTerms->setEnabled(eachWay);
    txtCommission->setEnabled(!eachWay);
    if (auto* model = qobject_cast<QStandardItemModel*>(cboSize->model()))
        model->item(static_cast<int>(SizeBy::Liability))->setEnabled(optLay->isChecked());
    txtSize->setEnabled(cboSize->currentIndex() != static_cast<int>(SizeBy::CalculatorStakes));
    spnBox->setEnabled(cboSize->currentIndex() == static_cast<int>(SizeBy::StakeOnBox));
}

void TfrmSheet::stakeTyped(int row, const QString& text) {
    if (text.trimmed().isEmpty()) return;
    cboSize->setCurrentIndex(static_cast<int>(SizeBy::StakeOnBox));
    spnBox->setValue(row + 1);
    txtSize->setText(text);
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
    enableSettings();
    // "A stake on box" picks one of the played boxes; a box beyond them moves back to the last.
    const int played = std::clamp(slip_.playedCount, 1, kSelections);
    if (spnBox->maximum() != played) {
        const int before = spnBox->value();
        spnBox->setMaximum(played);
        if (spnBox->value() != before) return; // its change has shown the sheet
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
    resize(std::max(width() - widened, minimumSizeHint().width()), height());
}

void TfrmSheet::showSheet(const RaceSheet& sheet) {
    const int rows = static_cast<int>(sheet.rows.size());
    if (gridSheet->rowCount() != rows) {
        const int before = gridSheet->rowCount();
        gridSheet->setRowCount(rows);
        for (int r = before; r < rows; ++r)
            for (int c = 0; c < kSheetColumns; ++c) {
                auto* item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | (c == ColStake ? Qt::ItemIsEditable : Qt::NoItemFlags));
                // The box and runner numbers centred, the odds as typed at the left, figures at the right.
                item->setTextAlignment(Qt::AlignVCenter | (c == ColBox || c == ColRunner ? Qt::AlignHCenter
                                                           : c == ColOdds                   ? Qt::AlignLeft
                                                                                            : Qt::AlignRight));
                gridSheet->setItem(r, c, item);
            }
    }
    for (int c = 0; c < kSheetColumns; ++c) {
        const QString heading = QString::fromLatin1(sheet.headings[static_cast<std::size_t>(c)]);
        QTableWidgetItem* head = gridSheet->horizontalHeaderItem(c);
        if (head && head->text() != heading) head->setText(heading);
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
    // A setting that counts as 0 %, the calculator's stakes or no minimum is drawn in red until the
    // box is left, when it shows what it counts as.
    commissionRefused_ = sheet.commissionRefused;
    sizeRefused_ = sheet.sizeRefused;
    // An amount that reads but that no stakes can give stays, for the user to mend.
    sizeUnread_ = sheet.sizeRefused && sheet.spread.empty();
    minStakeRefused_ = sheet.minStakeRefused;
    for (auto [box, refused] : {std::pair{txtCommission, commissionRefused_}, std::pair{txtSize, sizeRefused_},
                                std::pair{txtMinStake, minStakeRefused_}}) {
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
