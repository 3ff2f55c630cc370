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
    bool warning;
};

constexpr auto Calculate = Variant::Calculate;
constexpr auto Refresh = Variant::Refresh;

const Worked kWorked[] = {
    {Calculate, 0, 2, {"2", "3"}, 7, {"4.67", "3.50"}, "8.17", "5.84", false},
    {Refresh, 0, 2, {"2", "3"}, 5, {"3.33", "2.50"}, "5.83", "4.16", false},
    // The weight 4/7 is stored as a float a little above it: 2 / weight is just below 3.5.
    {Calculate, 1, 2, {"2", "3"}, 7, {"5", "3"}, "8.00", "5.33", false},
    {Refresh, 0, 2, {"2", "3", "4"}, 9, {"6.00", "4.50", "3.60"}, "14.10", "3.90", false},
    {Calculate, 0, 2, {"4"}, 5, {"2.00"}, "2.00", "8.00", false},
    {Calculate, 0, 2, {"2", "3", "4"}, 12, {"8.00", "6.00", "4.80"}, "18.80", "5.20", false},
    {Calculate, 0, 2, {"2", "4", "7", "12"}, 29, {"19.33", "11.60", "7.25", "4.46"}, "42.64", "15.35", false},
    {Calculate, 0, 2, Strings(9, "9"), 90, Strings(9, "18.00"), "162.00", "18.00", false},
    {Calculate, 0, 1, {"1"}, 2, {"1.00"}, "1.00", "1.00", false},
    {Calculate, 0, 1, {"0.999"}, 1.999f, {}, "1.00", "1.00", true},
    {Calculate, 0, 2, {"1", "1"}, 4, {}, "8.00", "0.00", true},
    {Calculate, 0, 2, {"0"}, 1, {}, "2.00", "0.00", true},
    {Refresh, 0, 2, {"1", "2", "3", "4"}, 7, {}, "17.97", "-3.96", true},
    // No stake may come out negative: negative odds, or short odds that make the refresh scale sum negative.
    {Calculate, 0, 2, {"2", "-3"}, 1, {}, "0.00", "0.00", true},
    {Calculate, 1, 2, {"2", "-3"}, 1, {}, "0.00", "0.00", true},
    {Refresh, 0, 2, {"0.5", "0.5", "0.5", "0.5"}, -1, {}, "0.00", "0.00", true},
    {Refresh, 1, 2, {"0.5", "0.5", "0.5", "0.5"}, -1, {}, "0.00", "0.00", true},
    {Refresh, 0, 2, {"4", "-2"}, 2, {}, "0.00", "0.00", true}};

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

    const int n = slip.playedCount;
    EXPECT_FLOAT_EQ(slip.oddsScale, c.scale);
    for (int i = 1; i <= kSelections; ++i) {
        const Selection& s = slip.selection(i);
        const bool played = i <= n;
        EXPECT_EQ(s.shownAmount,
                  c.warning || !played ? kNone : Loc(c.amounts[static_cast<std::size_t>(i - 1)], sep))
            << i;
        EXPECT_EQ(s.amountColour, played ? AmountColour::Blue : AmountColour::Silver) << i;
    }
    EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc(c.total, sep));
    EXPECT_EQ(slip.totalLine.find('-'), std::string::npos);
    EXPECT_EQ(slip.profitText, Loc(c.profit, sep));
    EXPECT_EQ(slip.warningVisible, c.warning);
    EXPECT_EQ(host.warningDuringEvents, std::vector<bool>{false}); // hidden before the events run
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(Figures, Calculation, ::testing::Combine(::testing::ValuesIn(kWorked), kSeparators));

class Calc : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

TEST_P(Calc, TotalsReadTheShownAmountsBack) {
    const char32_t sep = GetParam();
    const struct {
        Strings labels;
        float total;
    } cases[] = {{{"4.67", "3.50"}, 8.17f},
                 {{"5", "4"}, 9},
                 {{"4.67", "none"}, 0},
                 {{"4.67", "???"}, 0},
                 {{"4.67", "???", "3.50"}, 4.67f},
                 {{"none", "2.00", "3.00"}, 0},
                 {{"12.4000005722046"}, 12.4000005722046f}};
    for (const auto& c : cases) {
        BetSlip slip;
        slip.separator = sep;
        slip.totalStake = 99;
        slip.playedCount = static_cast<int>(c.labels.size());
        for (int i = 1; i <= slip.playedCount; ++i)
            slip.selection(i).shownAmount = Loc(c.labels[static_cast<std::size_t>(i - 1)], sep);
        ComputeTotalStake(slip);
        EXPECT_EQ(slip.totalStake, c.total) << c.labels[0];
    }
    // Refreshing waits until none of the first three labels reads "???", whatever is played.
    BetSlip slip;
    slip.separator = sep;
    slip.totalStake = 99;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 99);
    slip.selection(1).shownAmount = Loc("2.50", sep);
    slip.selection(2).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 99);
    slip.selection(3).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 2.5f);
}

TEST_P(Calc, DisplayModesShowDecimalsOrWholeNumbers) {
    const char32_t sep = GetParam();
    const struct {
        float base, weight;
        const char *decimal, *whole, *wholeTotal;
    } cases[] = {{3.14159f, 1, "3.14", "3", "3.00"},
                 {2.5f, 1, "2.50", "2", "2.00"},
                 {3.5f, 1, "3.50", "4", "4.00"},
                 {2, 3.0f / 7, "4.67", "5", "5.00"}};
    for (const auto& c : cases) {
        BetSlip slip;
        slip.separator = sep;
        slip.selection(1).stakeWeight = c.weight;
        ShowStakesDecimal(slip, c.base);
        EXPECT_EQ(slip.selection(1).shownAmount, Loc(c.decimal, sep));
        EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc(c.decimal, sep));
        ShowStakesWhole(slip, c.base);
        EXPECT_EQ(slip.selection(1).shownAmount, c.whole);
        EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc(c.wholeTotal, sep));
        for (int i = 2; i <= kSelections; ++i)
            EXPECT_EQ(slip.selection(i).amountColour, AmountColour::Silver);
    }
}

TEST_P(Calc, BlankActiveBoxOnlyHidesTheWarning) {
    BetSlip slip = Slip(GetParam(), 2, {"2", " \t "});
    slip.warningVisible = true;
    FakeHost host(slip);
    RunCalculation(slip, Variant::Calculate, host);
    EXPECT_FALSE(slip.warningVisible);
    EXPECT_EQ(slip.selection(1).shownAmount, kPlaceholder);
    EXPECT_EQ(slip.profitText, kProfitAtStart);
    EXPECT_EQ(slip.totalLine, kTotalAtStart);
    EXPECT_TRUE(host.writes.empty());
}

TEST_P(Calc, ValidationWhenEveryPlayedBoxIsEmptyThoughInactive) {
    const std::pair<int, const char*> messages[] = {{1, "You must mention the horse's odds"},
                                                    {2, "You must mention the odds of at least 2 horses"},
                                                    {9, "You must mention the odds of at least 9 horses"}};
    for (const auto& [n, message] : messages) {
        BetSlip slip = Slip(GetParam(), 2, Strings(static_cast<std::size_t>(n), ""));
        for (Selection& s : slip.selections)
            s.isActive = false;
        FakeHost host(slip);
        RunCalculation(slip, Variant::Calculate, host);
        EXPECT_EQ(host.messages, Strings{message});
        // The run goes on with the profit of before, 0 at start.
        EXPECT_EQ(slip.profitText, Loc("0.00", GetParam()));
        EXPECT_TRUE(slip.warningVisible);
    }
    BetSlip slip = Slip(GetParam(), 2, {"", "3", ""});
    for (Selection& s : slip.selections)
        s.isActive = false;
    FakeHost host(slip);
    RunCalculation(slip, Variant::Calculate, host);
    EXPECT_TRUE(host.messages.empty());
}

TEST_P(Calc, OddsTextsAreTrimmedBackIntoTheirBoxes) {
    const char32_t sep = GetParam();
    BetSlip slip = Slip(sep, 2, {" 2 ", "3"});
    slip.selection(5).oddsText = "\t7";
    FakeHost host(slip);
    RunCalculation(slip, Variant::Calculate, host);
    const std::vector<std::pair<int, std::string>> writes{{1, "2"}, {5, "7"}};
    EXPECT_EQ(host.writes, writes);
    EXPECT_EQ(slip.selection(1).shownAmount, Loc("4.67", sep));
}

TEST_P(Calc, ArithmeticFaultKeepsThePreviousResult) {
    const char32_t sep = GetParam();
    // A zero refresh scale sum, an overflowing scale sum, a zero weight.
    const std::pair<Variant, Strings> cases[] = {{Variant::Refresh, {"0.75", "0.75", "0.75", "0.75"}},
                                                 {Variant::Calculate, {"3e38", "3e38"}},
                                                 {Variant::Calculate, {"-1", "5"}}};
    for (const auto& [variant, odds] : cases) {
        BetSlip slip = Slip(sep, 2, odds);
        slip.selection(1).shownAmount = Loc("4.67", sep);
        slip.selection(2).shownAmount = Loc("3.50", sep);
        slip.profit = 5.84f;
        slip.profitText = "before";
        FakeHost host(slip);
        RunCalculation(slip, variant, host);
        EXPECT_EQ(slip.selection(1).shownAmount, Loc("4.67", sep)) << odds[0];
        EXPECT_EQ(slip.selection(2).shownAmount, Loc("3.50", sep));
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
