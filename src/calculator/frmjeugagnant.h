#pragma once
// The calculator window.
//
// How a keystroke travels: the user types into an odds box; QLineEdit::textChanged
// runs txtCoteChange(i), which tidies the text (writing it back runs the same
// handler again, nested), reads it into the bet slip (ParseOdds) and calls
// HScroll1Change, the general recalculation entry.  That one runs the engine
// (RunCalculation) on the slip, presses the quantity radio group again and
// calculates once more.  After every engine operation showSlip() copies the
// slip's texts (amounts, total line, profit, yield line, warning) into the
// labels, so the labels always show exactly what the slip holds and the engine
// reads its own figures back from the slip, never from a widget.
//
// Within one chain the slip's texts change many times (the quantity pressed
// again shows the stakes for one runner fewer, then for all again), and none
// of those steps is ever painted.  The chain's handlers therefore open a
// SlipBatch: showSlip() and setHelpText() only note what is to be shown, and
// the labels take the slip's texts once, when the outermost batch ends, or
// earlier where somebody could see them (a message box) or a step reads a
// label back.  The race sheet, once opened, follows each time the labels take
// the slip's texts; hidden, it only notes that it is behind.
//
// Chains are deliberate: a text set from code runs the box's change handler, an
// index set on a RadioGroup runs its click handler, a scroll bar position set
// from code runs its change handler, and some handlers press buttons.  The order
// of those steps is what the user sees, so signals are never blocked.
//
// One .cpp per role: layout (controls table, menu, tab order), oddsentry,
// target (base amount), roundingcontrols, tools (shift, clear, refresh,
// examples), startup (creation, currency, minimize, close, hover help).

#include <QChar>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <array>
#include <QFont>
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

#include "components/fitlabel.h"
#include "engine/betslip.h"
#include "engine/engine.h"
#include "engine/host.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace fairstake {
class BalloonHint;
class GlyphButton;
class Marquee;
class PictureBox;
class RadioGroup;
class TfrmSheet;
namespace web {
class TfrmWWWProxy;
}
namespace help {
class THelpRouter;
enum class OddsForm;
}

// Every message box of the window goes through here, so that tests can answer them.
struct MessageRequest {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};
using MessageAnswerer = std::function<QMessageBox::StandardButton(QWidget* parent, const MessageRequest&)>;
// Replaces the answerer (nullptr restores the real modal boxes); returns the previous one.
MessageAnswerer setMessageAnswerer(MessageAnswerer answerer);
QMessageBox::StandardButton AskUser(QWidget* parent, const MessageRequest& request);

// One control of the window's design: what the layout loop builds.
struct ControlSpec {
    enum class Kind {
        Label,
        WrapLabel,
        Edit,
        Combo,
        Button,
        Glyph,
        Picture,
        HScroll,
        VScroll,
        Radio,
        Check,
        Group,
        Ticker
    };
    const char* name;
    Kind kind;
    int x, y, w, h; // w or h 0: sized to the content
    QString text;
    const char* family; // nullptr: the window font
    int pixelSize;      // 0: the window font's size
    bool bold;
    unsigned colour; // text colour 0xRRGGBB; kWindowText: the system's
    int helpContext; // 0: none
    static constexpr unsigned kWindowText = 0xFFFFFFFFu;
};
// The design table, in creation order (later entries lie above earlier ones).
const std::vector<ControlSpec>& CalculatorControls();

// Left edge of the window on a screen of the given width: centred, halves to
// the even pixel, at the left edge on screens narrower than 801 pixels.
int WindowLeft(int screenWidth);

// The size adjustSize gives a one-line plain label (no word wrap, no rich text).
QSize FittedLabelSize(const QLabel* label);

// Gives the application its icon (every size of the artwork) once the first
// window has been painted, or a second after this call if it never is: the
// window manager's icon is six pictures to decode, and the window comes first.
void InstallApplicationIcon(QWidget* firstWindow);

// The first character of the locale's decimal point.
QChar LocaleDecimalSeparator();

class TfrmJeuGagnant : public QMainWindow, public EngineHost {
    Q_OBJECT
public:
    explicit TfrmJeuGagnant(QChar separator = LocaleDecimalSeparator(), QWidget* parent = nullptr);
    ~TfrmJeuGagnant() override;

    const BetSlip& slip() const { return slip_; }
    QChar separator() const { return separator_; }
    // The browser window stand-in the Internet links open; created after this window.
    void setBrowserWindow(web::TfrmWWWProxy* browser) { browser_ = browser; }
    int closeCount() const { return closeCount_; }
    // How the odds boxes are read, chosen in the Race menu; to-one odds at every start.
    OddsFormat oddsFormat() const { return oddsFormat_; }

    // Window size: the design client area under the menu bar.
    static constexpr int kClientWidth = 794;
    static constexpr int kClientHeight = 565;

    // EngineHost
    void ProcessPendingEvents() override;
    void ShowInformation(const std::string& text) override;
    void SetOddsText(int i, const std::string& text) override;

    // Handlers, named after control and event.
    void FormCreate();
    void txtCoteChange(int i);
    void Option1Click();
    void comboStartersChange();
    void Combo1Change(int i);
    void Command1Click();
    void Button1Click();
    void HScroll1Change();
    void Image1MouseDown(int x);
    void Edit1Change();
    void radioOptionsClick();
    void radioupClick();
    void radiodownClick();
    void radiocenterClick();
    void ScrollBar1Change();
    void txtTenthsClick();
    void txtArrondirChange();
    void btnRounditupClick();
    void imggaucheClick();
    void imgDroiteClick();
    void btnExampleClick();
    void btnExample2Click();
    void btnExample3Click();
    void imgBlancMouseDown(int x);
    void CmdrafraichirbidClick();
    void cmdRafraichirClick();
    void chkNomoreClick();
    void imgMinimizeClick();
    void E1Click();
    void E2Click();
    void U1Click();
    void F1Click();
    void imgracetracksClick();
    // The session ends (a quit signal): the window closes as the close command
    // closes it, without its question, and the event loop ends with status 0.
    void sessionEnd();
    // The Race menu's odds formats: every odds box read again, then one recalculation.
    void oddsFormatClick(OddsFormat format);
    void hoverOver(QWidget* control, QPoint pos);
    // The Race menu's paste: the clipboard's prices (and runner numbers) typed
    // into the boxes through their own handlers, in one chain.
    void pasteOddsClick();
    // The Race menu's sheet items: the race sheet beside this window, its text on the clipboard.
    void raceSheetClick();
    void copyRaceClick();
    // The race sheet, once it has been opened (nullptr before).
    TfrmSheet* sheet() const { return sheet_; }

    // Brings the labels and the help text up to date with the slip now, within
    // a chain's batch or not (before a message box, before a label is read).
    void flushSlip();

    // Writes a help text into the horse's balloon: width 193 first, then the caption.
    void setHelpText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildLayout();
    void buildMenu();
    void setTabOrderChain();
    void connectHandlers();
    // Within a batch: notes that the labels are behind the slip.  Otherwise
    // copies the slip's texts into the labels at once.
    void showSlip();
    void showTotalLine(const QString& text);
    void applySlip();
    void applyHelpText(const QString& shown);
    // What the race sheet reads has changed outside the amounts (a runner, the
    // rounding inputs): it follows at the batch's end, or now.
    void tellSheet();
    // An example or CLEAR begins another race on the sheet.
    void tellSheetNewRace();
    // The odds format in force, in the words of the odds boxes' help.
    help::OddsForm oddsHelpForm() const;
    // The outermost batch is the whole chain a user's key or click set off:
    // it also notes where the focus was, and ends with endChain().
    class SlipBatch {
    public:
        explicit SlipBatch(TfrmJeuGagnant& window) : window_(window) {
            if (window_.slipBatch_++ == 0) window_.beginChain();
        }
        ~SlipBatch() {
            if (--window_.slipBatch_ == 0) {
                window_.flushSlip();
                window_.endChain();
            }
        }
        SlipBatch(const SlipBatch&) = delete;
        SlipBatch& operator=(const SlipBatch&) = delete;

    private:
        TfrmJeuGagnant& window_;
    };
    // A control with the focus, and a box's caret and selection in it.
    struct FocusSpot {
        QPointer<QWidget> control;
        int cursor = 0;
        int selectionStart = -1;
        int selectionLength = 0;
        static FocusSpot of(QWidget* control);
        // Gives the control the focus again, caret and selection as they were
        // (as far as its text still reaches), if it can take the focus.
        void restore() const;
    };
    // Keeps the keyboard focus, and a box's caret, across a step that
    // disables its control for a moment (the quantity picked one lower and
    // back): Qt moves the focus of a disabled control to the next one in the
    // tab order, and it would stay there.  While the control is without the
    // focus, ProcessPendingEvents holds the user's keys and clicks back, so
    // that they reach the control once it has the focus again.
    class FocusHold {
    public:
        explicit FocusHold(TfrmJeuGagnant& window);
        ~FocusHold();
        FocusHold(const FocusHold&) = delete;
        FocusHold& operator=(const FocusHold&) = delete;

    private:
        TfrmJeuGagnant& window_;
        QPointer<QWidget> previous_;
        FocusSpot spot_;
    };
    // A chain ends with the focus where its steps put it, unless it is on a
    // disabled control, or where Qt moved it off a control the chain disabled
    // (the next control of the tab order, a runner combo where nobody types
    // odds): then it goes back to the control that had it when the chain
    // began, if that one can take it.
    void beginChain();
    void endChain();
    // Enables or disables a control; a disabled one that had the focus is noted.
    void setControlEnabled(QWidget* control, bool enabled);
    void pullControls();
    void runCalculation(Variant variant);
    void pickQuantityAgain();
    void runExample(int position, int playedItem, const std::vector<QString>& odds);
    void refresh(Variant variant);
    void setCurrency(const QString& sign);
    void openLink(const QString& address);
    void closeOddsStep(int i, const std::string& s);
    // ShowOddsYield for the text of box i; notes the box when it gave the line.
    void showYieldOf(int i);
    void focusOddsBox(int i);
    QLineEdit* oddsCell(int cell) const; // 1..13, the row of odds texts

    BetSlip slip_;
    QChar separator_;
    OddsFormat oddsFormat_ = OddsFormat::ToOne;
    int yieldBox_ = 0; // the odds box the yield line was last written for; 0: none yet
    QString separatorName_;
    int closeCount_ = 0;
    // Depth of ProcessPendingEvents, and whether a repaint waits for its end.
    int paintDeferral_ = 0;
    bool paintDeferred_ = false;
    // The control a FocusHold keeps the focus for.
    QPointer<QWidget> heldFocus_;
    // Where the focus was when the running chain began; whether the chain
    // disabled the focused control since, and where Qt then put the focus.
    FocusSpot chainFocus_;
    bool focusDisplaced_ = false;
    QPointer<QWidget> displacedTo_;
    // Depth of the open SlipBatches; what waits for the outermost one's end.
    int slipBatch_ = 0;
    bool slipStale_ = false;
    std::optional<QString> pendingHelp_;
    // Heights of the help texts shown so far, at the help label's width and font.
    QHash<QString, int> helpHeights_;
    // The total label's design font; a line too long for the room left of the
    // horse's balloon is drawn smaller.
    web::TfrmWWWProxy* browser_ = nullptr;
    help::THelpRouter* helpRouter_ = nullptr;
    TfrmSheet* sheet_ = nullptr;

public:
    // The controls, by design name.
    QWidget* client = nullptr;
    PictureBox* imgBig = nullptr;
    QLabel* Label20 = nullptr;
    PictureBox* imgMinimize = nullptr;
    RadioGroup* Option1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* comboStarters = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* btnExample = nullptr;
    QPushButton* btnExample2 = nullptr;
    QPushButton* btnExample3 = nullptr;
    std::array<QComboBox*, kSelections> Combo1_{};
    std::array<QLineEdit*, kSelections> txtCote{};
    std::array<QLabel*, kSelections> columnCaption{}; // Label4 .. Label12
    std::array<FitLabel*, kSelections> Label2_{};
    QLabel* Label1 = nullptr;
    QLabel* lblOdds = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label3 = nullptr;
    FitLabel* lblYield = nullptr;
    PictureBox* imggauche = nullptr;
    PictureBox* imgDroite = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label17 = nullptr;
    PictureBox* imgBlanc = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* lblDollar2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    PictureBox* Image1 = nullptr;
    QLabel* Label14 = nullptr;
    PictureBox* imgprofits = nullptr;
    FitLabel* lblAmount_ie_Label4 = nullptr;
    PictureBox* imgracetracks = nullptr;
    FitLabel* lblDansleRouge = nullptr;
    RadioGroup* radioOptions = nullptr;
    PictureBox* imageradio = nullptr;
    QRadioButton* radioup = nullptr;
    QRadioButton* radiodown = nullptr;
    QRadioButton* radiocenter = nullptr;
    QLineEdit* txtTenths = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    PictureBox* Image3 = nullptr;
    QPushButton* btnRounditup = nullptr;
    QLabel* lblDollar = nullptr;
    QLineEdit* txtArrondir = nullptr;
    FitLabel* lblTotal_ex_Label19 = nullptr;
    QLabel* lblAide = nullptr;
    GlyphButton* Cmdrafraichirbid = nullptr;
    GlyphButton* cmdRafraichir = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    Marquee* MarqueeFreeware = nullptr;
    QCheckBox* chkNomore = nullptr;
    QLabel* lblShow = nullptr;
    PictureBox* imgNomore = nullptr;
    // Shows the application's hints as balloons.
    BalloonHint* zBalloon1 = nullptr;
    QLineEdit* avantgauche = nullptr;
    QLineEdit* txtGauche = nullptr;
    QLineEdit* txtDroite = nullptr;
    QLineEdit* apresdroite = nullptr;

    // MainMenu1
    QAction* E1 = nullptr;
    QMenu* internet = nullptr;
    QAction* homepage = nullptr;
    QAction* latestversion = nullptr;
    QMenu* I1 = nullptr;
    QAction* drf = nullptr;
    QAction* racingpost = nullptr;
    QAction* paristurf = nullptr;
    QAction* search = nullptr;
    QMenu* race = nullptr;
    QActionGroup* oddsFormats = nullptr;
    QAction* oddsToOne = nullptr;
    QAction* oddsDecimal = nullptr;
    QAction* oddsAmerican = nullptr;
    QAction* pasteOdds = nullptr;
    QAction* raceSheet = nullptr;
    QAction* copyRace = nullptr;
    QMenu* H1 = nullptr;
    QAction* M1 = nullptr;
    QAction* Q1 = nullptr;
    QAction* conctact = nullptr;
    QMenu* Language1 = nullptr;
    QAction* E2 = nullptr;
    QAction* U1 = nullptr;
    QAction* F1 = nullptr;
};

} // namespace fairstake
