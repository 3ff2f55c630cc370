#include "engine/numtext.h"
#include "fakehost.h"

#include <tuple>

namespace fairstake::test {
namespace {

using Strings = std::vector<std::string>;

struct OneAmount {
    const char* unit;
    float threshold;
    const char* before;
    Strings after; // Up, Down, ByValue
};

const OneAmount kOneAmount[] = {
    {"2", 0.5f, "10.40", {"12", "10", "10"}},
    {"2", 0.5f, "10.50", {"12", "10", "12"}},
    {"2", 0.5f, "11.00", {"12", "10", "12"}},
    {"2", 0.5f, "12.00", {"12.00", "12.00", "12.00"}},
    {"2", 0.5f, "0.30", {"2", "0", "0"}},
    {"2", 0.5f, "0.90", {"2", "0", "2"}},
    {"2", 0.5f, "???", {"0", "0", "0"}},
    {"2", 0.5f, "none", {"0", "0", "0"}},
    {"1", 0.5f, "7.49", {"8", "7", "7"}},
    {"1", 0.5f, "7.50", {"8", "7", "8"}},
    {"5", 0.5f, "11.00", {"15", "10", "15"}},
    {"5", 0.9f, "5.80", {"10", "5", "5"}},
    {"0.5", 0.5f, "4.67", {"5", "4.5", "4.5"}},
    {" 2 ", 0.5f, "5", {"6", "4", "6"}},
    {"0.1", 0.5f, "12.35", {"12.4000005722046", "12.3000001907349", "12.3000001907349"}},
    {"0.1", 0.5f, "12.4000005722046", {"12.5", "12.4000005722046", "12.4000005722046"}}};

void PrintTo(const OneAmount& c, std::ostream* os) {
    *os << c.before << " by " << c.unit;
}

class Rounding : public ::testing::TestWithParam<std::tuple<OneAmount, char32_t>> {
    ProcessLocale locale_{std::get<1>(GetParam())};
};

// The total follows what is shown, not the unrounded amounts.
TEST_P(Rounding, MovesTheAmountOntoAMultipleOfTheUnit) {
    const auto& [c, sep] = GetParam();
    const RoundingMode modes[] = {RoundingMode::Up, RoundingMode::Down, RoundingMode::ByValue};
    for (int m = 0; m < 3; ++m) {
        BetSlip slip;
        slip.separator = sep;
        slip.roundingMode = modes[m];
        slip.roundingUnitText = Loc(c.unit, sep);
        slip.roundingThreshold = c.threshold;
        slip.selection(1).shownAmount = Loc(c.before, sep);
        slip.selection(2).shownAmount = "untouched";
        RoundStakes(slip);
        EXPECT_EQ(slip.selection(1).shownAmount, Loc(c.after[m], sep)) << m;
        EXPECT_EQ(slip.selection(2).shownAmount, "untouched");
        EXPECT_EQ(slip.totalStake, StoreFloat(TextToNumber(c.after[m], U'.')));
        EXPECT_EQ(slip.totalLine.rfind(kTotalPrefix, 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, Rounding, ::testing::Combine(::testing::ValuesIn(kOneAmount), kSeparators));

class RoundingRuns : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

TEST_P(RoundingRuns, FirstWorkedExampleRoundsByValueToTwo) {
    const char32_t sep = GetParam();
    BetSlip slip = Slip(sep, 2, {"2", "4", "7", "12"});
    FakeHost host(slip);
    RunCalculation(slip, Variant::Calculate, host);
    RoundStakes(slip);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(slip.selection(i).shownAmount, (Strings{"20", "12", "8", "4"}[i - 1]));
    EXPECT_EQ(slip.totalStake, 44);
    EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc("44.00", sep));
    // Every later calculation writes unrounded amounts again.
    RunCalculation(slip, Variant::Calculate, host);
    EXPECT_EQ(slip.selection(1).shownAmount, Loc("19.33", sep));
}

// A unit of 0, below 0, or not a number is noticed once the first amount is
// read: only a placeholder there turns into "0", nothing else changes.
TEST_P(RoundingRuns, BadUnitRoundsNothing) {
    const char32_t sep = GetParam();
    for (const char* unit : {"0", "-2", "-0.5", "", "  ", "abc"})
        for (const RoundingMode mode : {RoundingMode::Up, RoundingMode::Down, RoundingMode::ByValue})
            for (const char* first : {"???", "none", "0.30"}) {
                BetSlip slip;
                slip.separator = sep;
                slip.roundingMode = mode;
                slip.roundingUnitText = Loc(unit, sep);
                slip.playedCount = 2;
                slip.selection(1).shownAmount = Loc(first, sep);
                slip.selection(2).shownAmount = Loc("10.40", sep);
                slip.totalStake = 10.7f;
                slip.totalLine = kTotalAskRefresh;
                RoundStakes(slip);
                const std::string expected = std::string(first) == "0.30" ? Loc(first, sep) : "0";
                EXPECT_EQ(slip.selection(1).shownAmount, expected) << unit << " / " << first;
                EXPECT_EQ(slip.selection(2).shownAmount, Loc("10.40", sep)) << unit;
                EXPECT_EQ(slip.totalStake, 10.7f);
                EXPECT_EQ(slip.totalLine, kTotalAskRefresh);
            }
}

INSTANTIATE_TEST_SUITE_P(Separators, RoundingRuns, kSeparators);

} // namespace
} // namespace fairstake::test
