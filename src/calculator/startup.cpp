// Creation of the window, the handler wiring, the slip-to-labels copy, hover
// help, the currency sign, the minimize picture and the close command.

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <cmath>

#include "calculator/frmjeugagnant.h"
#include "components/artwork.h"
#include "components/balloonhint.h"
#include "components/glyphbutton.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "help/contexthelp.h"
#include "help/helpmenu.h"
#include "help/helprouter.h"
#include "help/hovertexts.h"
#include "sheet/frmsheet.h"
#include "web/links.h"
#include "web/webproxy.h"

namespace fairstake {

namespace {

MessageAnswerer& answerer() {
    static MessageAnswerer instance;
    return instance;
}

// The window's caption, the close question and the captions of the menu items
// whose wording is the program's own.
const QString kCaptionFirst = QStringLiteral("Fairstake");
const QString kCaptionSecond = QStringLiteral(" - the dutching calculator");
const QString kCloseQuestionFirst = QStringLiteral("Do you want to quit Fairstake?");
const QString kCloseQuestionSecond = QStringLiteral("Nothing is kept: the odds and amounts on screen will be gone.");
const QString kCloseTitle = QStringLiteral("Quit Fairstake");

// The version the latest-version link asks about.
const QString kVersionText = QStringLiteral("20");

constexpr Qt::WindowFlags kTitleButtons = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace

MessageAnswerer setMessageAnswerer(MessageAnswerer next) {
    MessageAnswerer previous = std::move(answerer());
    answerer() = std::move(next);
    return previous;
}

QMessageBox::StandardButton AskUser(QWidget* parent, const MessageRequest& request) {
    // The window behind the box shows the slip as it stands.
    if (auto* calculator = qobject_cast<TfrmJeuGagnant*>(parent)) calculator->flushSlip();
    if (answerer()) return answerer()(parent, request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

namespace {

class IconAfterFirstPaint : public QObject {
public:
    explicit IconAfterFirstPaint(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
        QTimer::singleShot(1000, this, &IconAfterFirstPaint::install);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // Queued: the paint and its flush to the screen finish first.
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            QMetaObject::invokeMethod(this, &IconAfterFirstPaint::install, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void install() {
        if (installed_) return;
        installed_ = true;
        QIcon icon;
        for (int size : {16, 32, 48, 64, 128, 256})
            icon.addPixmap(QPixmap::fromImage(ReadArtwork(QStringLiteral(":/icons/hicolor/%1x%1/apps/fairstake.png").arg(size))));
        QApplication::setWindowIcon(icon);
        deleteLater();
    }
    bool queued_ = false;
    bool installed_ = false;
};

} // namespace

void InstallApplicationIcon(QWidget* firstWindow) { new IconAfterFirstPaint(firstWindow); }

int WindowLeft(int screenWidth) {
    if (screenWidth < 801) return 0;
    return static_cast<int>(std::nearbyint((screenWidth - 800) / 2.0));
}

QChar LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

TfrmJeuGagnant::TfrmJeuGagnant(QChar separator, QWidget* parent)
    : QMainWindow(parent, kTitleButtons | Qt::WindowContextHelpButtonHint),
      separator_(separator),
      separatorName_(help::DecimalSeparatorName(separator)) {
    setObjectName(QStringLiteral("frmJeuGagnant"));
    setWindowTitle(QStringLiteral("Fairstake - VELCORA"));
    slip_.separator = separator.unicode();
    buildLayout();
    connectHandlers();

    zBalloon1 = new BalloonHint(this);
    zBalloon1->setObjectName(QStringLiteral("zBalloon1"));
    zBalloon1->setApplicationTitle(QStringLiteral("Fairstake"));
    zBalloon1->setPicture(ArtworkPixmap(QStringLiteral(":/img/balloon_icon.png"), devicePixelRatio()));
    zBalloon1->setHintMode(true);

    try {
        helpRouter_ = new help::THelpRouter(this);
        helpRouter_->setParent(this);
    } catch (const help::RouterError&) {
        helpRouter_ = nullptr; // one router per application; a second window uses the first
    }
    help::ContextHelp::install(this, [this] { return bool(windowFlags() & Qt::WindowContextHelpButtonHint); });

    FormCreate();
}

TfrmJeuGagnant::~TfrmJeuGagnant() = default;

void TfrmJeuGagnant::connectHandlers() {
    for (int i = 1; i <= kSelections; ++i) {
        QLineEdit* box = txtCote[static_cast<std::size_t>(i - 1)];
        connect(box, &QLineEdit::textChanged, this, [this, i] { txtCoteChange(i); });
        QComboBox* combo = Combo1_[static_cast<std::size_t>(i - 1)];
        // A runner picked from the list or typed by the user; the texts the
        // starters box writes into the combos leave their font alone.
        connect(combo, &QComboBox::activated, this, [this, i] { Combo1Change(i); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, i] { Combo1Change(i); });
    }
    connect(Option1, &RadioGroup::clicked, this, &TfrmJeuGagnant::Option1Click);
    connect(comboStarters, &QComboBox::editTextChanged, this, &TfrmJeuGagnant::comboStartersChange);
    connect(Command1, &QPushButton::clicked, this, &TfrmJeuGagnant::Command1Click);
    connect(Button1, &QPushButton::clicked, this, &TfrmJeuGagnant::Button1Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &TfrmJeuGagnant::HScroll1Change);
    connect(Image1, &PictureBox::mousePressed, this, [this](QPoint pos, Qt::MouseButton) { Image1MouseDown(pos.x()); });
    connect(Edit1, &QLineEdit::textChanged, this, &TfrmJeuGagnant::Edit1Change);
    connect(radioOptions, &RadioGroup::clicked, this, &TfrmJeuGagnant::radioOptionsClick);
    connect(radioup, &QRadioButton::clicked, this, &TfrmJeuGagnant::radioupClick);
    connect(radiodown, &QRadioButton::clicked, this, &TfrmJeuGagnant::radiodownClick);
    connect(radiocenter, &QRadioButton::clicked, this, &TfrmJeuGagnant::radiocenterClick);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TfrmJeuGagnant::ScrollBar1Change);
    connect(txtArrondir, &QLineEdit::textChanged, this, &TfrmJeuGagnant::txtArrondirChange);
    connect(btnRounditup, &QPushButton::clicked, this, &TfrmJeuGagnant::btnRounditupClick);
    connect(imggauche, &PictureBox::clicked, this, &TfrmJeuGagnant::imggaucheClick);
    connect(imgDroite, &PictureBox::clicked, this, &TfrmJeuGagnant::imgDroiteClick);
    connect(btnExample, &QPushButton::clicked, this, &TfrmJeuGagnant::btnExampleClick);
    connect(btnExample2, &QPushButton::clicked, this, &TfrmJeuGagnant::btnExample2Click);
    connect(btnExample3, &QPushButton::clicked, this, &TfrmJeuGagnant::btnExample3Click);
    connect(imgBlanc, &PictureBox::mousePressed, this,
            [this](QPoint pos, Qt::MouseButton) { imgBlancMouseDown(pos.x()); });
    connect(Cmdrafraichirbid, &GlyphButton::clicked, this, &TfrmJeuGagnant::CmdrafraichirbidClick);
    connect(cmdRafraichir, &GlyphButton::clicked, this, &TfrmJeuGagnant::cmdRafraichirClick);
    connect(chkNomore, &QCheckBox::clicked, this, &TfrmJeuGagnant::chkNomoreClick);
    connect(imgMinimize, &PictureBox::clicked, this, &TfrmJeuGagnant::imgMinimizeClick);
    connect(imgracetracks, &PictureBox::clicked, this, &TfrmJeuGagnant::imgracetracksClick);

    connect(E1, &QAction::triggered, this, &TfrmJeuGagnant::E1Click);
    connect(E2, &QAction::triggered, this, &TfrmJeuGagnant::E2Click);
    connect(U1, &QAction::triggered, this, &TfrmJeuGagnant::U1Click);
    connect(F1, &QAction::triggered, this, &TfrmJeuGagnant::F1Click);
    connect(homepage, &QAction::triggered, this, [this] { openLink(web::HomePageAddress()); });
    connect(latestversion, &QAction::triggered, this,
            [this] { openLink(web::LatestVersionAddress(kVersionText)); });
    connect(drf, &QAction::triggered, this, [this] { openLink(web::DrfAddress()); });
    connect(racingpost, &QAction::triggered, this, [this] { openLink(web::RacingPostAddress()); });
    connect(paristurf, &QAction::triggered, this, [this] { openLink(web::ParisTurfAddress()); });
    connect(search, &QAction::triggered, this, [this] { openLink(web::SearchAddress()); });
    connect(oddsToOne, &QAction::triggered, this, [this] { oddsFormatClick(OddsFormat::ToOne); });
    connect(oddsDecimal, &QAction::triggered, this, [this] { oddsFormatClick(OddsFormat::Decimal); });
    connect(oddsAmerican, &QAction::triggered, this, [this] { oddsFormatClick(OddsFormat::American); });
    connect(M1, &QAction::triggered, this, [this] { help::ProgramHelp(this); });
    connect(Q1, &QAction::triggered, this, [] { help::QuickHelp(); });
    connect(conctact, &QAction::triggered, this, [] { help::ContactUs(); });
    connect(pasteOdds, &QAction::triggered, this, &TfrmJeuGagnant::pasteOddsClick);
    connect(raceSheet, &QAction::triggered, this, &TfrmJeuGagnant::raceSheetClick);
    connect(copyRace, &QAction::triggered, this, &TfrmJeuGagnant::copyRaceClick);
}

void TfrmJeuGagnant::FormCreate() {
    guarded([&] {
        E1->setText(QStringLiteral("&Quit"));
        internet->setTitle(QStringLiteral("&Internet"));
        homepage->setText(QStringLiteral("Fairstake home page"));
        latestversion->setText(QStringLiteral("Look for the latest version"));
        I1->setTitle(QStringLiteral("Racing sites"));
        H1->setTitle(QStringLiteral("&Help"));
        setWindowTitle(kCaptionFirst + QStringLiteral("®") + kCaptionSecond);

        const QScreen* screen = QGuiApplication::primaryScreen();
        const int screenWidth = screen ? screen->geometry().width() : 800;
        move(WindowLeft(screenWidth), 0);
        // The design's outer size is 800 x 620 with Windows' frame; here the
        // client area keeps its design size and the frame is the window manager's.
        setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

        Option1->setItemIndex(0);
        Option1->button(0)->setFocus(Qt::OtherFocusReason); // the first control of the tab order
        imgBig->move(0, 0);
        static constexpr int kOddsLeft[kSelections] = {80, 153, 228, 304, 376, 451, 525, 599, 674};
        for (std::size_t c = 0; c < txtCote.size(); ++c) txtCote[c]->move(kOddsLeft[c], txtCote[c]->y());
        Command1->move(240, Command1->y());
        MarqueeFreeware->setText(help::TickerText());
        MarqueeFreeware->activate();
    });
    guarded([&] { txtTenths->setText(QString::fromStdString(FormatGeneral(0.5L, slip_.separator))); });
}

void TfrmJeuGagnant::pullControls() {
    for (int i = 1; i <= kSelections; ++i) {
        Selection& s = slip_.selection(i);
        s.oddsText = txtCote[static_cast<std::size_t>(i - 1)]->text().toStdString();
        s.isActive = i == 1 || i <= slip_.playedCount;
    }
    slip_.displayMode = radioOptions->itemIndex() == 1 ? 1 : 0;
    slip_.roundingMode = radioup->isChecked()     ? RoundingMode::Up
                         : radiodown->isChecked() ? RoundingMode::Down
                                                  : RoundingMode::ByValue;
    slip_.roundingUnitText = txtArrondir->text().toStdString();
}

QSize FittedLabelSize(const QLabel* label) {
    // What adjustSize gives a one-line plain label, measured once instead of
    // the three measurements of the label's size hints: the amounts change
    // several times in every keystroke's chain.
    const QFontMetrics metrics = label->fontMetrics();
    const QRect text = metrics.boundingRect(QRect(0, 0, 2000, 2000), int(label->alignment() & ~Qt::AlignVertical_Mask), label->text());
    const QMargins m = label->contentsMargins();
    const int margin = 2 * label->margin();
    return QSize(text.width() + margin + m.left() + m.right(), text.height() + margin + m.top() + m.bottom())
        .expandedTo(label->minimumSize());
}

void TfrmJeuGagnant::showSlip() {
    if (slipBatch_ > 0) {
        slipStale_ = true;
        return;
    }
    applySlip();
}

void TfrmJeuGagnant::flushSlip() {
    if (slipStale_) {
        slipStale_ = false;
        applySlip();
    }
    if (pendingHelp_) {
        const QString shown = std::move(*pendingHelp_);
        pendingHelp_.reset();
        applyHelpText(shown);
    }
}

void TfrmJeuGagnant::applySlip() {
    for (int i = 1; i <= kSelections; ++i) {
        const Selection& s = slip_.selection(i);
        QLabel* label = Label2_[static_cast<std::size_t>(i - 1)];
        const QString text = QString::fromStdString(s.shownAmount);
        const QColor colour = s.amountColour == AmountColour::Blue ? QColor(0x0000FF) : QColor(0xC0C0C0);
        if (label->palette().color(QPalette::WindowText) != colour) {
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText, colour);
            label->setPalette(p);
        }
        if (label->text() != text) {
            label->setText(text);
            label->resize(FittedLabelSize(label));
        }
    }
    auto show = [](QLabel* label, const std::string& text) {
        const QString t = QString::fromStdString(text);
        if (label->text() == t) return;
        label->setText(t);
        label->resize(FittedLabelSize(label));
    };
    showTotalLine(QString::fromStdString(slip_.totalLine));
    show(lblYield, slip_.yieldLine);
    if (lblAmount_ie_Label4->text() != QString::fromStdString(slip_.profitText))
        lblAmount_ie_Label4->setText(QString::fromStdString(slip_.profitText));
    lblDansleRouge->setVisible(slip_.warningVisible);
    if (sheet_) sheet_->follow();
}

void TfrmJeuGagnant::showTotalLine(const QString& text) {
    QLabel* label = lblTotal_ex_Label19;
    if (label->text() == text) return;
    label->setText(text);
    // The line that asks for a refresh is wider, in the design font, than the
    // room between the label and the horse's balloon: the label, kept to that
    // room, draws it a little smaller rather than over the balloon.
    label->resize(FittedLabelSize(label));
}

void TfrmJeuGagnant::ProcessPendingEvents() {
    showSlip();
    // Pending events run here, where the handler chains expect them; the
    // window's own repaint waits for the end of the chain, so that a keystroke
    // paints the window once instead of at every step (the steps are far
    // quicker than a screen refresh: nobody could see them).
    ++paintDeferral_;
    // Input meant for a control that has lost the focus only for a moment
    // waits until it has it back (FocusHold, or the chain's end).
    const bool focusAway =
        (heldFocus_ && focusWidget() != heldFocus_) || (focusDisplaced_ && focusWidget() == displacedTo_);
    QCoreApplication::processEvents(focusAway ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    --paintDeferral_;
    if (paintDeferral_ == 0 && paintDeferred_) {
        paintDeferred_ = false;
        QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

bool TfrmJeuGagnant::event(QEvent* event) {
    if (event->type() == QEvent::FontChange) helpHeights_.clear();
    // A modal box opened meanwhile runs its own loop: the window behind it
    // must not wait for the chain.
    if (event->type() == QEvent::UpdateRequest && paintDeferral_ > 0 && !QApplication::activeModalWidget()) {
        paintDeferred_ = true;
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmJeuGagnant::ShowInformation(const std::string& text) {
    showSlip();
    AskUser(this, {QMessageBox::Information, QString::fromLatin1(kInformationCaption), QString::fromStdString(text),
                   QMessageBox::Ok});
}

void TfrmJeuGagnant::setHelpText(const QString& text) {
    lblAide->setFixedWidth(193);
    QString shown = QString(text).replace(help::LineBreak(), QStringLiteral("\n"));
    if (slipBatch_ > 0) {
        pendingHelp_ = std::move(shown);
        return;
    }
    pendingHelp_.reset();
    applyHelpText(shown);
}

void TfrmJeuGagnant::applyHelpText(const QString& shown) {
    if (lblAide->text() == shown) return;
    lblAide->setText(shown);
    if (shown.isEmpty()) {
        lblAide->setFixedHeight(0);
        return;
    }
    // Wrapping a text to measure it is dear, and the same few texts come back
    // at every keystroke.
    auto known = helpHeights_.constFind(shown);
    if (known == helpHeights_.cend()) known = helpHeights_.insert(shown, lblAide->heightForWidth(193));
    lblAide->setFixedHeight(*known);
}

void TfrmJeuGagnant::hoverOver(QWidget* control, QPoint pos) {
    guarded([&] {
        const QString name = control->objectName();
        if (name.startsWith(QLatin1String("txtCote"))) {
            setHelpText(help::OddsBoxText(name.mid(7).toInt(), separator_, separatorName_, oddsHelpForm()));
        } else if (control == imgBlanc) {
            if (const auto text = help::ClearStripText(pos.x()))
                setHelpText(*text);
            else
                lblAide->setFixedWidth(193);
        } else if (const QString text = help::HoverText(name); !text.isNull()) {
            setHelpText(text);
        }
    });
}

bool TfrmJeuGagnant::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->parentWidget() == client)
            hoverOver(w, static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::MouseButtonPress && watched == txtTenths) {
        // The tenths box only shows the threshold: a click hands the keys to its scroll bar.
        QMetaObject::invokeMethod(this, &TfrmJeuGagnant::txtTenthsClick, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmJeuGagnant::chkNomoreClick() {
    guarded([&] {
        if (!chkNomore->isChecked())
            imgNomore->move(354, 451);
        else
            imgNomore->move(860, imgNomore->y());
        MarqueeFreeware->deactivate();
        MarqueeFreeware->hide();
        lblShow->hide();
    });
}

void TfrmJeuGagnant::setCurrency(const QString& sign) {
    for (QLabel* label : {lblDollar, lblDollar2}) {
        label->setText(sign);
        label->adjustSize();
    }
}

void TfrmJeuGagnant::E2Click() { setCurrency(QStringLiteral("$")); }
void TfrmJeuGagnant::U1Click() { setCurrency(QStringLiteral("£")); }
void TfrmJeuGagnant::F1Click() { setCurrency(QStringLiteral("€")); }

void TfrmJeuGagnant::imgMinimizeClick() {
    guarded([&] {
        // QWidget::setWindowFlags would re-create the native window: the
        // window manager would take it as a new window and frame it anew, with
        // its client area where the frame was.  The native window takes the new
        // title-bar buttons in place instead, where it stands.
        const Qt::WindowFlags flags =
            (windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::WindowMinimizeButtonHint;
        overrideWindowFlags(flags);
        if (QWindow* native = windowHandle()) native->setFlags(flags);
        imgMinimize->hide();
        QCoreApplication::processEvents();
    });
}

void TfrmJeuGagnant::E1Click() {
    const auto answer = AskUser(this, {QMessageBox::Question, kCloseTitle,
                                       kCloseQuestionFirst + QStringLiteral("\r") + kCloseQuestionSecond,
                                       QMessageBox::Ok | QMessageBox::Cancel});
    if (answer != QMessageBox::Ok) return;
    ++closeCount_;
    close();
    QCoreApplication::processEvents();
    QCoreApplication::quit();
    if (closeCount_ > 1) {
        QApplication::beep();
        close();
    }
}

// Nobody is there to answer the close question at log-out.  exit(), not quit():
// quit() gives up when a window refuses to close, as a box waiting for an
// answer may; exit() ends every event loop, a box's own included.
void TfrmJeuGagnant::sessionEnd() {
    close();
    QCoreApplication::processEvents();
    QCoreApplication::exit(0);
}

// A browser that could not be started, died or hung is told to the user at the
// next link, which opens nothing; the one after that tries again.  A helper
// that cannot be started at all is known at once.
void TfrmJeuGagnant::openLink(const QString& address) {
    guarded([&] {
        if (!browser_) return;
        QString failure = browser_->takeFailure();
        if (failure.isEmpty()) {
            web::OpenInBrowserWindow(*browser_, address);
            failure = browser_->takeFailure();
        }
        if (!failure.isEmpty())
            AskUser(this, {QMessageBox::Information, QStringLiteral("Fairstake"), failure, QMessageBox::Ok});
    });
}

void TfrmJeuGagnant::imgracetracksClick() { openLink(web::RacetrackLinksAddress()); }

} // namespace fairstake
