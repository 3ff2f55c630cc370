#include "fakehost.h"

namespace fairstake::test {
namespace {

class Odds : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

// Whole, decimal (either separator) and fraction forms; "9/" is 9 while typed.
TEST_P(Odds, ParseOdds) {
    const char32_t sep = GetParam();
    const std::pair<const char*, float> good[] = {
        {"4", 4},        {"4.5", 4.5f},   {"4,5", 4.5f},   {"9/2", 4.5f}, {"9/", 9},
        {"9 / 2", 4.5f}, {"11/10", 1.1f}, {"-9/2", -4.5f}, {" 4 ", 4},    {"1e2", 100}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(ParseOdds(text, sep), value) << text;
    for (const char* text : {"9/0", "9/x", "4.5/2", "9/2/3", "abc", "", "1.000,5", "9/ ", "1e39", "4..5"})
        EXPECT_FALSE(ParseOdds(text, sep).has_value()) << text;
}

// The yield line for 1 and 2; a convertible text first resets a zero total line.
TEST_P(Odds, YieldLine) {
    const char32_t sep = GetParam();
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"4", "Odds of 4 will yield 5.00 for a $1 bet and 10.00 for a $2 bet", true},
        {"9/2", "Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", true},
        {"9/0", "Odds of 0.00 will yield 1.00 for a $1 bet and 2.00 for a $2 bet", true},
        {"9/", "Odds of 9 will yield 10.00 for a $1 bet and 20.00 for a $2 bet", true},
        {"abc", "", true},
        {"9/x", "", false},
        {"0", "", false},
        {"  ", "", false}};
    const std::string zero = kTotalPrefix + Loc("0.00", sep);
    for (const auto& [text, line, resets] : cases) {
        BetSlip slip;
        slip.separator = sep;
        slip.totalLine = zero;
        ShowOddsYield(slip, Loc(text, sep));
        EXPECT_EQ(slip.yieldLine, *line ? Loc(line, sep) : kYieldAtStart) << text;
        EXPECT_EQ(slip.totalLine, resets ? kTotalAskRefresh : zero) << text;
    }
    // Pasted with the other separator: the yield line does not follow, a total that is not zero stays.
    BetSlip slip;
    slip.separator = sep;
    slip.totalLine = kTotalPrefix + Loc("8.17", sep);
    ShowOddsYield(slip, sep == U'.' ? "4,5" : "4.5");
    EXPECT_EQ(slip.yieldLine, kYieldAtStart);
    EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc("8.17", sep));
}

INSTANTIATE_TEST_SUITE_P(Separators, Odds, kSeparators);

} // namespace
} // namespace fairstake::test
