#include "fakehost.h"

#include "engine/numtext.h"

#include <tuple>

namespace fairstake::test {
namespace {

using Strings = std::vector<std::string>;

struct Worked {
    Variant variant;
    int displayMode;
    float base;
    Strings odds;
    float scale;
    Strings amounts; // of the played selections; every label reads "none" when the warning shows
    const char* total;
    const char* profit;
};

constexpr auto Calculate = Variant::Calculate;
constexpr auto Refresh = Variant::Refresh;

const Worked kWorked[] = {
    {Calculate, 0, 2, {"2", "3"}, 7, {"4.67", "3.50"}, "8.17", "5.84"},
    {Refresh, 0, 2, {"2", "3"}, 5, {"3.33", "2.50"}, "5.83", "4.16"},
    // The weight 4/7 is stored as a float a little above it: 2 / weight is just below 3.5.
    {Calculate, 1, 2, {"2", "3"}, 7, {"5", "3"}, "8.00", "5.33"},
    {Refresh, 0, 2, {"2", "3", "4"}, 9, {"6.00", "4.50", "3.60"}, "14.10", "3.90"},
    {Calculate, 0, 2, {"4"}, 5, {"2.00"}, "2.00", "8.00"},
    {Calculate, 0, 2, {"2", "4", "7", "12"}, 29, {"19.33", "11.60", "7.25", "4.46"}, "42.64", "15.35"},
    {Calculate, 0, 2, Strings(9, "9"), 90, Strings(9, "18.00"), "162.00", "18.00"},
    {Calculate, 0, 1, {"1"}, 2, {"1.00"}, "1.00", "1.00"},
    {Calculate, 0, 1, {"0.999"}, 1.999f, {}, "1.00", "1.00"},
    {Calculate, 0, 2, {"1", "1"}, 4, {}, "8.00", "0.00"},
    {Refresh, 0, 2, {"1", "2", "3", "4"}, 7, {}, "17.97", "-3.96"},
    // No stake may come out negative: negative odds, or short odds that make the refresh scale sum negative.
    {Calculate, 1, 2, {"2", "-3"}, 1, {}, "0.00", "0.00"},
    {Refresh, 0, 2, {"0.5", "0.5", "0.5", "0.5"}, -1, {}, "0.00", "0.00"},
    {Refresh, 0, 2, {"4", "-2"}, 2, {}, "0.00", "0.00"}};

void PrintTo(const Worked& c, std::ostream* os) {
    *os << c.odds.size() << " runners, profit " << c.profit;
}

class Calculation : public ::testing::TestWithParam<std::tuple<Worked, char32_t>> {
    ProcessLocale locale_{std::get<1>(GetParam())};
};

TEST_P(Calculation, WorkedFigures) {
    const auto& [c, sep] = GetParam();
    BetSlip slip = Slip(sep, c.base, c.odds, c.displayMode);
    slip.warningVisible = true;
    FakeHost host(slip);
    RunCalculation(slip, c.variant, host);
    const bool warning = c.amounts.empty();
    EXPECT_FLOAT_EQ(slip.oddsScale, c.scale);
    for (int i = 1; i <= kSelections; ++i) {
        const bool played = i <= slip.playedCount;
        EXPECT_EQ(slip.selection(i).shownAmount,
                  warning || !played ? kNone : Loc(c.amounts[std::size_t(i - 1)], sep))
            << i;
        EXPECT_EQ(slip.selection(i).amountColour, played ? AmountColour::Blue : AmountColour::Silver) << i;
    }
    EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc(c.total, sep));
    EXPECT_EQ(slip.profitText, Loc(c.profit, sep));
    EXPECT_EQ(slip.warningVisible, warning);
    EXPECT_EQ(host.warningDuringEvents, std::vector<bool>{false}); // hidden before the events run
    EXPECT_TRUE(host.messages.empty() && host.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(Figures, Calculation, ::testing::Combine(::testing::ValuesIn(kWorked), kSeparators));

class Calc : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

// The total reads the shown amounts back, nothing while the last played one is
// a placeholder; the refresh waits until none of the first three reads "???".
TEST_P(Calc, Totals) {
    const char32_t sep = GetParam();
    const std::pair<Strings, float> cases[] = {{{"4.67", "3.50"}, 8.17f},
                                               {{"5", "4"}, 9},
                                               {{"4.67", "none"}, 0},
                                               {{"4.67", "???", "3.50"}, 4.67f},
                                               {{"none", "2.00", "3.00"}, 0}};
    for (const auto& [labels, total] : cases) {
        BetSlip slip;
        slip.separator = sep;
        slip.playedCount = int(labels.size());
        for (int i = 1; i <= slip.playedCount; ++i)
            slip.selection(i).shownAmount = Loc(labels[std::size_t(i - 1)], sep);
        ComputeTotalStake(slip);
        EXPECT_EQ(slip.totalStake, total) << labels[1];
    }
    BetSlip slip;
    slip.separator = sep;
    slip.totalStake = 99;
    RefreshTotals(slip);
    slip.selection(1).shownAmount = Loc("2.50", sep);
    slip.selection(2).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 99);
    slip.selection(3).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 2.5f);
}

// Before any calculation: a blank active box only hides the warning; every
// played box empty asks for the odds; texts are trimmed back into their boxes.
TEST_P(Calc, Preconditions) {
    const char32_t sep = GetParam();
    BetSlip blank = Slip(sep, 2, {"2", " \t "});
    blank.warningVisible = true;
    FakeHost host(blank);
    RunCalculation(blank, Variant::Calculate, host);
    EXPECT_FALSE(blank.warningVisible);
    EXPECT_EQ(blank.selection(1).shownAmount, kPlaceholder);
    EXPECT_EQ(blank.totalLine, kTotalAtStart);
    for (const auto& [n, message] : {std::pair{1, "You must mention the horse's odds"},
                                     {9, "You must mention the odds of at least 9 horses"}}) {
        BetSlip slip = Slip(sep, 2, Strings(std::size_t(n), ""));
        for (Selection& s : slip.selections)
            s.isActive = false;
        FakeHost asked(slip);
        RunCalculation(slip, Variant::Calculate, asked);
        EXPECT_EQ(asked.messages, Strings{message});
        EXPECT_TRUE(slip.warningVisible); // the run goes on with the profit of before, 0
    }
    BetSlip slip = Slip(sep, 2, {" 2 ", "3"});
    slip.selection(5).oddsText = "\t7";
    FakeHost trimmed(slip);
    RunCalculation(slip, Variant::Calculate, trimmed);
    EXPECT_EQ(trimmed.writes, (std::vector<std::pair<int, std::string>>{{1, "2"}, {5, "7"}}));
    EXPECT_EQ(slip.selection(1).shownAmount, Loc("4.67", sep));
}

// A zero refresh scale sum, an overflowing scale sum, a zero weight: the
// previous result stays.
TEST_P(Calc, ArithmeticFaultKeepsThePreviousResult) {
    const char32_t sep = GetParam();
    const std::pair<Variant, Strings> cases[] = {{Variant::Refresh, {"0.75", "0.75", "0.75", "0.75"}},
                                                 {Variant::Calculate, {"3e38", "3e38"}},
                                                 {Variant::Calculate, {"-1", "5"}}};
    for (const auto& [variant, odds] : cases) {
        BetSlip slip = Slip(sep, 2, odds);
        slip.selection(1).shownAmount = Loc("4.67", sep);
        slip.profit = 5.84f;
        FakeHost host(slip);
        RunCalculation(slip, variant, host);
        EXPECT_EQ(slip.selection(1).shownAmount, Loc("4.67", sep)) << odds[0];
        EXPECT_EQ(slip.profitText, Loc("5.84", sep));
        EXPECT_FALSE(slip.warningVisible);
    }
}

INSTANTIATE_TEST_SUITE_P(Separators, Calc, kSeparators);

// A column outside 1..9 is a bug, not a fault a handler may end on: it stops the program
// in a debug build, through guarded() as well.
TEST(BetSlipDeathTest, ColumnOutsideTheSlipStops) {
    BetSlip slip;
    const BetSlip& shown = slip;
    for (int column : {0, kSelections + 1}) {
        EXPECT_DEATH(guarded([&] { slip.selection(column).isActive = true; }), "a column of the bet slip");
        EXPECT_DEATH(guarded([&] { (void)shown.selection(column); }), "a column of the bet slip");
    }
    EXPECT_TRUE(guarded([&] { slip.selection(kSelections).isActive = true; }));
}

} // namespace
} // namespace fairstake::test
