#pragma once
// The race sheet window: a thin view of the engine's sheet (MakeRaceSheet) of
// the calculator's slip, beside the calculator.  It reads its controls into the
// sheet's settings and shows the rows and lines; a number typed into a Stake
// cell sets "A stake on box" for that row.  The calculator calls follow()
// when the labels have taken the slip's texts at the end of a chain; while the
// sheet is hidden that only notes it is behind, and it catches up once when shown.

#include "engine/betslip.h"
#include "engine/racesheet.h"

#include <QRect>
#include <QWidget>
#include <array>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace fairstake {

// The help context of the whole sheet: its one help topic, "The race sheet".
inline constexpr int kSheetHelpContext = 3000;

class TfrmSheet : public QWidget {
    Q_OBJECT
public:
    // `slip` is the calculator's, which outlives the sheet.
    explicit TfrmSheet(const BetSlip& slip, QWidget* parent = nullptr);

    // The calculator's slip has changed.
    void follow();
    // What follows is another race (an example, CLEAR): columns widened for the last one narrow again.
    void newRace() { newRace_ = true; }
    SheetSettings settings() const;
    // The sheet's text, as shown now, on the clipboard.
    void copy();
    // Moves the window beside the calculator's frame, where the screen has room.
    void placeBeside(const QWidget& calculator);
    // How many times the sheet has been computed (what a hidden sheet must not do).
    int computeCount() const { return computeCount_; }

    QTableWidget* gridSheet = nullptr;
    QLabel* lblBook = nullptr;
    QLabel* lblStaked = nullptr;
    QLabel* lblProfitRange = nullptr;
    QLabel* lblOutside = nullptr;
    QLabel* lblSpread = nullptr;
    QRadioButton* optBack = nullptr;
    QRadioButton* optLay = nullptr;
    QRadioButton* optEachWay = nullptr;
    QSpinBox* spnPlaces = nullptr;
    QComboBox* cboTerms = nullptr;
    QComboBox* cboSize = nullptr;
    QLineEdit* txtSize = nullptr;
    QSpinBox* spnBox = nullptr;
    QLineEdit* txtMinStake = nullptr;
    QComboBox* cboRound = nullptr;
    QLineEdit* txtCommission = nullptr;
    QPushButton* btnCopy = nullptr;

    // A number typed into the Stake cell of `row` (0-based): that row's box takes the amount.
    void stakeTyped(int row, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void recompute();
    void showSheet(const RaceSheet& sheet);
    void settingFinished(QLineEdit* box, bool refused, const QString& counted);
    // The controls each type and size use are enabled, the others not.
    void enableSettings();
    // Whether the race has changed as a whole since the last computation (not a key in one box).
    bool raceChanged();
    // The columns back to their first widths, and the window as much narrower.
    void narrowColumns();

    const BetSlip& slip_;
    bool behind_ = true;
    int computeCount_ = 0;
    bool commissionRefused_ = false;
    bool sizeRefused_ = false;
    bool sizeUnread_ = false;
    bool minStakeRefused_ = false;
    QButtonGroup* types_ = nullptr;
    // Per column, the longest text known to fit.
    std::array<qsizetype, kSheetColumns> fitting_{};
    std::array<int, kSheetColumns> startWidths_{};
    int startWidth_ = 0;
    std::array<std::string, kSelections> seenOdds_{};
    int seenPlayed_ = 0;
    bool newRace_ = false;
};

// Where a window of `size` (frame included) goes beside `calculator` (its frame) on
// the screen's free area `screen`: right of it, else left, below, above; where none
// has room, over the calculator's right part, inside the screen.
QRect SheetPlace(const QRect& calculator, const QSize& size, const QRect& screen);

// The race's text on the clipboard, as a sheet with these settings would show it.
void CopyRace(const BetSlip& slip, const SheetSettings& settings);

} // namespace fairstake
