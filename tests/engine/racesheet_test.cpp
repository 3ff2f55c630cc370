// The race sheet: worked slips and settings, in the locales of both separators.

#include "engine/engine.h"
#include "engine/numtext.h"
#include "engine/racesheet.h"
#include "support/processlocale.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

namespace fairstake::test {
namespace {

using Strings = std::vector<std::string>;

struct Quiet : EngineHost {
    void ProcessPendingEvents() override {}
    void ShowInformation(const std::string&) override { ADD_FAILURE() << "no message expected"; }
    void SetOddsText(int, const std::string&) override {}
};

struct RaceSheetIn : ::testing::TestWithParam<char32_t> {
    const char32_t sep = GetParam();
    const ProcessLocale locale{sep};
    // A text written with '.' between digits, as the locale with `sep` writes it.
    std::string L(std::string_view text) const {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool decimal = text[i] == '.' && i > 0 && i + 1 < text.size() &&
                                 std::isdigit(text[i - 1]) && std::isdigit(text[i + 1]);
            out += decimal ? SeparatorText(sep) : std::string(1, text[i]);
        }
        return out;
    }
    // The slip as the calculator leaves it: the odds typed ("" for an empty box), the calculation run
    // when every box holds odds, then the round button when asked (unit 2, by value from 0.5).
    BetSlip Slip(float base, const Strings& odds, bool round, int displayMode = 0) const {
        BetSlip slip;
        slip.separator = sep;
        slip.baseAmount = base;
        slip.displayMode = displayMode;
        slip.playedCount = int(odds.size());
        bool all = true;
        for (std::size_t i = 0; i < odds.size(); ++i) {
            slip.selections[i] = {"Select", L(odds[i]), ParseOdds(L(odds[i]), sep, OddsFormat::ToOne).value_or(0.0f), true};
            all = all && !odds[i].empty();
        }
        Quiet host;
        if (all) RunCalculation(slip, Variant::Calculate, host);
        if (round) RoundStakes(slip);
        return slip;
    }
};
INSTANTIATE_TEST_SUITE_P(Separators, RaceSheetIn, ::testing::Values(U'.', U','));

struct Case {
    const char* what;
    float base;
    Strings odds;
    bool round;
    SheetSettings settings;
    Strings rows;  // cells separated by '|'
    Strings lines; // book, staked, profit range, outside, spread
    int displayMode = 0;
};

const Strings kExample1Lines = {"Book: 73.5 % of the market", "Staked: 44.00",
                                "Profit: 8.00 to 20.00 whichever of them wins",
                                "If any other runner wins: -44.00", ""};
const Strings kExample1Rows = {"1||2|3.00|33.3 %|20|60.00|16.00", "2||4|5.00|20.0 %|12|60.00|16.00",
                               "3||7|8.00|12.5 %|8|64.00|20.00", "4||12|13.00|7.7 %|4|52.00|8.00"};
const Strings kEx1 = {"2", "4", "7", "12"};
const std::string kSpread50 = "Stakes for a total of 50.00; the calculator's own are unchanged";
const std::string kNoProfit = " % of the market: no profit is possible whichever wins";

// clang-format off
const Case kCases[] = {
    {"example 1", 2, kEx1, true, {}, kExample1Rows, kExample1Lines},
    {"example 1 at 5 % commission, typed with the other separator", 2, kEx1, true, {"5,0", "", false},
     {"1||2|3.00|33.3 %|20|60.00|15.20", "2||4|5.00|20.0 %|12|60.00|15.20",
      "3||7|8.00|12.5 %|8|64.00|19.00", "4||12|13.00|7.7 %|4|52.00|7.60"},
     {kExample1Lines[0], "Staked: 44.00", "Profit: 7.60 to 19.00 whichever of them wins", kExample1Lines[3], ""}},
    {"example 1 spread over 50", 2, kEx1, true, {"0", " 50 ", false},
     {"1||2|3.00|33.3 %|22.67|68.01|18.01", "2||4|5.00|20.0 %|13.60|68.00|18.00",
      "3||7|8.00|12.5 %|8.50|68.00|18.00", "4||12|13.00|7.7 %|5.23|67.99|17.99"},
     {kExample1Lines[0], "Staked: 50.00", "Profit: 17.99 to 18.01 whichever of them wins",
      "If any other runner wins: -50.00", kSpread50}},
    {"example 1 spread over 50 onto the unit", 2, kEx1, true, {"0", "50.00", true},
     {"1||2|3.00|33.3 %|24|72.00|18.00", "2||4|5.00|20.0 %|14|70.00|16.00",
      "3||7|8.00|12.5 %|10|80.00|26.00", "4||12|13.00|7.7 %|6|78.00|24.00"},
     {kExample1Lines[0], "Staked: 54.00", "Profit: 16.00 to 26.00 whichever of them wins",
      "If any other runner wins: -54.00", kSpread50}},
    {"example 2: multiples keep their two decimals", 4, {"3/2", "4", "5", "8"}, true, {},
     {"1||3/2|2.50|40.0 %|36.00|90.00|10.00", "2||4|5.00|20.0 %|18.00|90.00|10.00",
      "3||5|6.00|16.7 %|16|96.00|16.00", "4||8|9.00|11.1 %|10.00|90.00|10.00"},
     {"Book: 87.8 % of the market", "Staked: 80.00", "Profit: 10.00 to 16.00 whichever of them wins",
      "If any other runner wins: -80.00", ""}},
    {"example 3: one profit", 4, {"3/2", "4"}, true, {},
     {"1||3/2|2.50|40.0 %|12.00|30.00|12.00", "2||4|5.00|20.0 %|6.00|30.00|12.00"},
     {"Book: 60.0 % of the market", "Staked: 18.00", "Profit: 12.00 whichever of them wins",
      "If any other runner wins: -18.00", ""}},
    {"whole numbers, unrounded", 2, kEx1, false, {},
     {"1||2|3.00|33.3 %|19|57.00|15.00", "2||4|5.00|20.0 %|12|60.00|18.00",
      "3||7|8.00|12.5 %|7|56.00|14.00", "4||12|13.00|7.7 %|4|52.00|10.00"},
     {kExample1Lines[0], "Staked: 42.00", "Profit: 10.00 to 18.00 whichever of them wins",
      "If any other runner wins: -42.00", ""}, 1},
    {"none at evens: the stakes computed before, a book of exactly 100", 2, {"1", "1"}, false, {},
     {"1||1|2.00|50.0 %|4.00|8.00|0.00", "2||1|2.00|50.0 %|4.00|8.00|0.00"},
     {"Book: 100.0" + kNoProfit, "Staked: 8.00", "Profit: 0.00 whichever of them wins",
      "If any other runner wins: -8.00", ""}, 1},
    {"a book over 100: no commission on a loss", 2, {"1", "1", "2"}, false, {"5", "", false},
     {"1||1|2.00|50.0 %|7.00|14.00|-4.67", "2||1|2.00|50.0 %|7.00|14.00|-4.67",
      "3||2|3.00|33.3 %|4.67|14.01|-4.66"},
     {"Book: 133.3" + kNoProfit, "Staked: 18.67", "Profit: -4.67 to -4.66 whichever of them wins",
      "If any other runner wins: -18.67", ""}},
    {"a played box without odds", 2, {"2", ""}, false, {"5", "50", true},
     {"1||2|3.00|33.3 %|||", "2|||||||"}, {"Type the odds of the runners you play.", "", "", "", ""}},
    {"every box with odds, nothing computed yet", 2, {"2", "3"}, true, {}, {}, {}},
};
// clang-format on

// Every row and line of worked slips, and the clipboard text made of them.
TEST_P(RaceSheetIn, WorkedSlips) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        BetSlip slip = Slip(c.base, c.odds, c.round, c.displayMode);
        Strings rows = c.rows, lines = c.lines;
        if (rows.empty()) { // the stakes still "???": no stake, no profit, only the book
            for (int i = 1; i <= 2; ++i)
                slip.selection(i).shownAmount = kPlaceholder;
            rows = {"1||2|3.00|33.3 %|||", "2||3|4.00|25.0 %|||"};
            lines = {"Book: 58.3 % of the market", "", "", "", ""};
        }
        const RaceSheet sheet = MakeRaceSheet(slip, c.settings);
        std::string text = "Box\tRunner\tOdds\tDecimal\tChance\tStake\tReturns\tProfit\n";
        for (std::string row : rows) {
            std::replace(row.begin(), row.end(), '|', '\t');
            text += L(row) + "\n";
        }
        for (const std::string& line : lines)
            if (!line.empty()) text += L(line) + "\n";
        EXPECT_EQ(RaceSheetText(sheet), text);
        EXPECT_EQ(sheet.book + sheet.staked + sheet.profitRange + sheet.outside + sheet.spread,
                  L(lines[0] + lines[1] + lines[2] + lines[3] + lines[4]));
        EXPECT_FALSE(sheet.commissionRefused || sheet.spreadRefused);
    }
}

// The runner picked in a column; a setting out of range or unreadable counts as 0 % or no spread, and says
// so.
TEST_P(RaceSheetIn, RunnersAndBadSettings) {
    BetSlip slip = Slip(2, kEx1, true);
    slip.selection(1).runnerNumber = "7";
    slip.selection(2).runnerNumber = "1 to 12";
    slip.selection(3).runnerNumber = " 12 ";
    const RaceSheet picked = MakeRaceSheet(slip, {});
    EXPECT_EQ(picked.rows[0][1] + "," + picked.rows[1][1] + "," + picked.rows[2][1] + "," + picked.rows[3][1],
              "7,,12,");
    const std::string plain = RaceSheetText(MakeRaceSheet(Slip(2, kEx1, true), {}));
    // commission, spread, refused: commission, spread
    const std::tuple<const char*, const char*, bool, bool> settings[] = {
        {"abc", "", true, false},  {"100.5", "", true, false}, {"-5", "", true, false},
        {"", "", false, false},    {".", ",", false, false},   {"1e3", "x", true, true},
        {"0", "0", false, false},  {"0", "-50", false, true},  {"0", "2e9", false, true},
        {"0", "5..0", false, true}};
    for (const auto& [commission, spread, commissionRefused, spreadRefused] : settings) {
        const RaceSheet sheet = MakeRaceSheet(Slip(2, kEx1, true), {commission, spread, true});
        EXPECT_EQ(RaceSheetText(sheet), plain) << commission << " " << spread;
        EXPECT_EQ(sheet.commissionRefused, commissionRefused) << commission;
        EXPECT_EQ(sheet.spreadRefused, spreadRefused) << spread;
    }
    // 100 % commission leaves a winner nothing but its stake back; a loss stays whole.
    const RaceSheet all = MakeRaceSheet(Slip(2, kEx1, true), {"100", "", false});
    EXPECT_EQ(all.profitRange, L("Profit: 0.00 whichever of them wins"));
    // A unit the rounding refuses leaves the spread stakes in their two-decimal form.
    BetSlip badUnit = Slip(2, kEx1, true);
    badUnit.roundingUnitText = "0";
    EXPECT_EQ(MakeRaceSheet(badUnit, {"0", "50", true}).rows[0][5], L("22.67"));
    // The rounding follows the calculator's direction: down onto 2.
    badUnit.roundingUnitText = "2";
    badUnit.roundingMode = RoundingMode::Down;
    EXPECT_EQ(MakeRaceSheet(badUnit, {"0", "50", true}).rows[0][5], "22");
}

} // namespace
} // namespace fairstake::test
