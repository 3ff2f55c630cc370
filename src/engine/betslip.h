#pragma once
// The bet slip: the one shared model of the calculator.  The window copies
// control contents in and shows the texts kept here right after each engine
// operation; the labels the program reads back (amounts, total line, profit)
// are always read from the slip, which holds exactly what is shown.

#include <array>
#include <cassert>
#include <string>

namespace fairstake {

inline constexpr int kSelections = 9;

inline constexpr const char* kPlaceholder = "???";
inline constexpr const char* kNone = "none";
inline constexpr const char* kTotalPrefix = "Total amount to bet: ";
inline constexpr const char* kTotalAtStart = "Total amount to bet:";
inline constexpr const char* kTotalAskRefresh = "Total amount to bet (click the REFRESH button)";
inline constexpr const char* kProfitAtStart = "Amount appears here..";
inline constexpr const char* kYieldAtStart = "...";
inline constexpr const char* kInformationCaption = "Information";

enum class Variant { Calculate, Refresh };
enum class RoundingMode { Up, Down, ByValue };
enum class AmountColour { Blue, Silver };

struct Selection {
    std::string runnerNumber = "Select";
    std::string oddsText;
    float oddsValue = 0.0f;
    bool isActive = false;
    float stakeWeight = 0.0f;
    std::string shownAmount = kPlaceholder;
    AmountColour amountColour = AmountColour::Blue;
};

struct BetSlip {
    BetSlip() { selections[0].isActive = true; }

    // 1-based, as the columns of the window are numbered.  Every caller counts columns
    // 1..kSelections (the played count never leaves 1..9), so a column outside is a
    // bug: checked in debug builds, where it stops the program at once.  guarded()
    // must not swallow it as one of the program's own faults, and a release build
    // still stops (std::out_of_range) rather than touch memory outside the slip.
    Selection& selection(int i) {
        assert(i >= 1 && i <= kSelections && "a column of the bet slip");
        return selections.at(static_cast<std::size_t>(i - 1));
    }
    const Selection& selection(int i) const {
        assert(i >= 1 && i <= kSelections && "a column of the bet slip");
        return selections.at(static_cast<std::size_t>(i - 1));
    }

    std::array<Selection, kSelections> selections{};
    int playedCount = 1;
    int startersCount = 10;
    float baseAmount = 0.0f;
    float oddsScale = 0.0f;
    float rawTotal = 0.0f;
    float returnSum = 0.0f;
    float profit = 0.0f;
    float totalStake = 0.0f;
    int displayMode = 0; // 0 decimals, 1 whole numbers

    // Texts and flags of the result labels.
    std::string profitText = kProfitAtStart;
    std::string totalLine = kTotalAtStart;
    std::string yieldLine = kYieldAtStart;
    bool warningVisible = false;

    // Rounding inputs, bound to the rounding controls.
    RoundingMode roundingMode = RoundingMode::ByValue;
    std::string roundingUnitText = "2";
    float roundingThreshold = 0.5f;

    // The locale's decimal separator, read once at start-up.
    char32_t separator = U'.';
};

} // namespace fairstake
