#include "fakehost.h"

namespace fairstake::test {
namespace {

class Odds : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

TEST_P(Odds, ParseOddsReadsWholeDecimalAndFractionForms) {
    const char32_t sep = GetParam();
    // Both separators read as the locale's, whichever it is.
    const std::pair<const char*, float> good[] = {
        {"4", 4},       {"4.5", 4.5f},   {"4,5", 4.5f},   {"9/2", 4.5f},   {"9/", 9},
        {"9 /2", 4.5f}, {"9 / 2", 4.5f}, {"11/10", 1.1f}, {"-9/2", -4.5f}, {"0", 0},
        {"-3", -3},     {"0.01", 0.01f}, {" 4 ", 4},      {"1e2", 100}};
    for (const auto& [text, value] : good) {
        const auto odds = ParseOdds(text, sep);
        ASSERT_TRUE(odds.has_value()) << text;
        EXPECT_EQ(*odds, value) << text;
    }
    for (const char* text :
         {"9/0", "9/x", "4.5/2", "9/2/3", "abc", "", "1.000,5", "9/ ", "1e39", "4..5", "9/00"})
        EXPECT_FALSE(ParseOdds(text, sep).has_value()) << text;
}

// Every text starts from a zero total line, which a convertible text resets before the yield is read.
TEST_P(Odds, YieldLineForOneAndTwo) {
    const char32_t sep = GetParam();
    const struct {
        const char* text; // as typed, in '.' form
        const char* line; // "" when the yield line keeps its caption
        bool resetsTotal;
    } cases[] = {{"4", "Odds of 4 will yield 5.00 for a $1 bet and 10.00 for a $2 bet", true},
                 {"9/2", "Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", true},
                 {"9/0", "Odds of 0.00 will yield 1.00 for a $1 bet and 2.00 for a $2 bet", true},
                 {"9/", "Odds of 9 will yield 10.00 for a $1 bet and 20.00 for a $2 bet", true},
                 {"4.25", "Odds of 4.25 will yield 5.25 for a $1 bet and 10.50 for a $2 bet", true},
                 {"abc", "", true},
                 {"9/x", "", false},
                 {"0", "", false},
                 {"", "", false},
                 {"  ", "", false}};
    const std::string zero = kTotalPrefix + Loc("0.00", sep);
    for (const auto& c : cases) {
        BetSlip slip;
        slip.separator = sep;
        slip.totalLine = zero;
        ShowOddsYield(slip, Loc(c.text, sep));
        EXPECT_EQ(slip.yieldLine, *c.line ? Loc(c.line, sep) : kYieldAtStart) << c.text;
        EXPECT_EQ(slip.totalLine, c.resetsTotal ? kTotalAskRefresh : zero) << c.text;
    }
    // Pasted with the other separator: the odds parse, the yield line does not follow.  A total
    // that is not zero stays.
    BetSlip slip;
    slip.separator = sep;
    slip.totalLine = kTotalPrefix + Loc("8.17", sep);
    const char* other = sep == U'.' ? "4,5" : "4.5";
    ShowOddsYield(slip, other);
    EXPECT_EQ(slip.yieldLine, kYieldAtStart);
    EXPECT_EQ(slip.totalLine, kTotalPrefix + Loc("8.17", sep));
    EXPECT_EQ(ParseOdds(other, sep), 4.5f);
}

INSTANTIATE_TEST_SUITE_P(Separators, Odds, kSeparators);

} // namespace
} // namespace fairstake::test
