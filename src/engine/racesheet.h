#pragma once
// The race sheet: what each played runner pays if it wins, as the calculator
// shows the slip (rounded stakes and all), with the book percentage, an
// exchange's commission and, on request, a total of the user's spread over the
// runners.  One function makes every text of it; the sheet window only shows them.

#include "engine/betslip.h"

#include <array>
#include <string>
#include <vector>

namespace fairstake {

// What the user sets on the sheet, as typed.  Nothing else is kept.
struct SheetSettings {
    std::string commissionText = "0"; // percent of the net winnings, 0 to 100, either separator
    std::string spreadText;           // a total to spread over the runners; empty: the calculator's stakes
    bool spreadRound = false;         // the spread stakes moved onto the calculator's rounding unit
};

inline constexpr int kSheetColumns = 8;
// "Box", "Runner", "Odds", "Decimal", "Chance", "Stake", "Returns", "Profit".
const std::array<const char*, kSheetColumns>& SheetHeadings();

struct RaceSheet {
    using Row = std::array<std::string, kSheetColumns>;
    std::vector<Row> rows; // one per played column, in column order
    std::string book;      // the four lines below the table
    std::string staked;
    std::string profitRange;
    std::string outside;
    std::string spread; // only while a total is spread
    // For the copy only (the sheet shows its box): "Commission on winnings: 2 %", empty at 0 %.
    std::string commission;
    // A setting that did not read, or lay out of range, and counts as 0 % / no spread.
    bool commissionRefused = false;
    bool spreadRefused = false;
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
