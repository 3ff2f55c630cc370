#pragma once
// The race sheet: the bet as it will be placed on the played runners (backed
// to win, laid, or backed each way), with the stakes sized and rounded as the
// user asks, what each runner pays, the book percentage and an exchange's
// commission.  One function makes every text of it from the calculator's slip
// and the sheet's settings; the sheet window only shows them.

#include "engine/betslip.h"
#include "engine/bettypes.h"
#include "engine/stakesizes.h"

#include <array>
#include <string>
#include <vector>

namespace fairstake {

enum class StakeRounding { None, OntoUnit, Evenly };

// What the user sets on the sheet, as typed.  Nothing else is kept.
struct SheetSettings {
    BetType type = BetType::Back;
    int places = 3;       // each way: 2 to 10
    int termsDivisor = 5; // each way: the place terms 1/4 or 1/5
    SizeBy size = SizeBy::CalculatorStakes;
    std::string sizeText;  // the amount of the size; empty: the calculator's stakes
    int box = 1;           // "A stake on box": 1 to the played count
    std::string minStakeText; // no stake below; empty: none
    StakeRounding rounding = StakeRounding::None;
    std::string commissionText = "0"; // percent of the net winnings, 0 to 100 (back and lay)
};

struct RaceSheet {
    using Row = SheetRow;
    std::array<const char*, kSheetColumns> headings = SheetHeadings();
    std::vector<Row> rows; // one per played column, in column order
    std::string book;      // the four lines below the table
    std::string staked;
    std::string profitRange;
    std::string outside;
    std::string spread; // which stakes the table shows, when not the calculator's own
    // For the copy only (the sheet shows its box): "Commission on winnings: 2 %", empty at 0 %.
    std::string commission;
    // A setting that did not read, or lay out of range, and counts as 0 % / the calculator's
    // stakes / no minimum.
    bool commissionRefused = false;
    bool sizeRefused = false;
    bool minStakeRefused = false;
};

// The sheet of the slip as the calculator shows it, with the settings; the
// locale's separator is the slip's.  Never throws the program's own faults: a
// figure that cannot be computed stays empty.
RaceSheet MakeRaceSheet(const BetSlip& slip, const SheetSettings& settings);

// Plain text for the clipboard: the headings and one line per row, cells
// separated by tabs, then the lines below the table; every line ends in '\n'.
std::string RaceSheetText(const RaceSheet& sheet);

// The same cells as an HTML table, for spreadsheets: the odds marked as text (so that
// "5/2" stays a fraction and not a date), every figure a plain number written in the
// locale's form with its value beside it, then the lines as paragraphs.
std::string RaceSheetHtml(const RaceSheet& sheet, char32_t separator);

} // namespace fairstake
