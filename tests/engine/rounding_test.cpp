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
    {"2", 0.5f, "12.00", {"12.00", "12.00", "12.00"}},
    {"2", 0.5f, "0.90", {"2", "0", "2"}},
    {"2", 0.5f, "???", {"0", "0", "0"}},
    {"1", 0.5f, "7.49", {"8", "7", "7"}},
    {"5", 0.9f, "5.80", {"10", "5", "5"}},
    {"0.5", 0.5f, "4.67", {"5", "4.5", "4.5"}},
    {" 2 ", 0.5f, "5", {"6", "4", "6"}},
    {"0.1", 0.5f, "12.35", {"12.4000005722046", "12.3000001907349", "12.3000001907349"}}};

void PrintTo(const OneAmount& c, std::ostream* os) {
    *os << c.before << " by " << c.unit;
}

class Rounding : public ::testing::TestWithParam<std::tuple<OneAmount, char32_t>> {
    ProcessLocale locale_{std::get<1>(GetParam())};
};

// Onto a multiple of the unit; the total follows what is shown.
TEST_P(Rounding, OneAmount) {
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
        EXPECT_EQ(slip.selection(1).shownAmount, Loc(c.after[std::size_t(m)], sep)) << m;
        EXPECT_EQ(slip.selection(2).shownAmount, "untouched");
        EXPECT_EQ(slip.totalLine, kTotalPrefix + FormatFixed2(StoreFloat(TextToNumber(c.after[std::size_t(m)], U'.')), sep));
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, Rounding, ::testing::Combine(::testing::ValuesIn(kOneAmount), kSeparators));

class RoundingRuns : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

// A unit of 0, below 0 or not a number is noticed once the first amount is read:
// only a placeholder there turns into "0", nothing else changes.
TEST_P(RoundingRuns, BadUnitRoundsNothing) {
    const char32_t sep = GetParam();
    for (const char* unit : {"0", "-2", "-0.5", "", "abc"})
        for (const char* first : {"???", "0.30"}) {
            BetSlip slip;
            slip.separator = sep;
            slip.roundingUnitText = Loc(unit, sep);
            slip.playedCount = 2;
            slip.selection(1).shownAmount = Loc(first, sep);
            slip.selection(2).shownAmount = Loc("10.40", sep);
            slip.totalLine = kTotalAskRefresh;
            RoundStakes(slip);
            EXPECT_EQ(slip.selection(1).shownAmount, *first == '?' ? "0" : Loc(first, sep)) << unit;
            EXPECT_EQ(slip.selection(2).shownAmount, Loc("10.40", sep)) << unit;
            EXPECT_EQ(slip.totalLine, kTotalAskRefresh);
        }
}

INSTANTIATE_TEST_SUITE_P(Separators, RoundingRuns, kSeparators);

} // namespace
} // namespace fairstake::test
