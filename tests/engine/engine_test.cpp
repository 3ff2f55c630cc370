// The engine: worked slips, totals, rounding, odds and number texts, each with
// both separators while the C library is in the locale that writes them.

#include "engine/engine.h"
#include "engine/numtext.h"
#include "support/processlocale.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <tuple>

namespace fairstake::test {
namespace {

using Strings = std::vector<std::string>;

// Behaves like the window: a written odds text lands in the slip, its change handling parses it.
class FakeHost : public EngineHost {
public:
    explicit FakeHost(BetSlip& slip) : slip_(slip) {}
    void ProcessPendingEvents() override { warningDuringEvents.push_back(slip_.warningVisible); }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void SetOddsText(int i, const std::string& text) override {
        writes.emplace_back(i, text);
        slip_.selection(i).oddsText = text;
        if (const auto odds = ParseOdds(text, slip_.separator)) slip_.selection(i).oddsValue = *odds;
    }
    Strings messages;
    std::vector<std::pair<int, std::string>> writes;
    std::vector<bool> warningDuringEvents;

private:
    BetSlip& slip_;
};

// A text written with '.', as the locale with `sep` writes it.
std::string Loc(std::string text, char32_t sep) {
    if (sep == U',') std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// A slip playing the odds (texts in '.' form), boxes 1..N active as the window leaves them.
BetSlip Slip(char32_t sep, float base = 2, const Strings& odds = {}, int displayMode = 0) {
    BetSlip slip;
    slip.separator = sep;
    slip.baseAmount = base;
    slip.displayMode = displayMode;
    if (odds.empty()) return slip;
    slip.playedCount = int(odds.size());
    for (int i = 1; i <= kSelections; ++i) {
        Selection& s = slip.selection(i);
        s.isActive = i <= slip.playedCount;
        if (!s.isActive) continue;
        s.oddsText = Loc(odds[std::size_t(i - 1)], sep);
        s.oddsValue = ParseOdds(s.oddsText, sep).value_or(0.0f);
    }
    return slip;
}

char32_t SepOf(char32_t sep) {
    return sep;
}
template <class T> char32_t SepOf(const std::tuple<T, char32_t>& p) {
    return std::get<1>(p);
}

template <class P> class InLocale : public ::testing::TestWithParam<P> {
protected:
    const char32_t sep = SepOf(this->GetParam());
    std::string L(const char* text) const { return Loc(text, sep); }

private:
    ProcessLocale locale_{sep};
};
const auto kSeparators = ::testing::Values(U'.', U',');

struct Worked {
    Variant variant;
    int displayMode;
    float base;
    Strings odds;
    float scale;
    Strings amounts; // of the played selections; none: the warning shows and every label reads "none"
    const char *total, *profit;
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
    // No stake may come out negative: negative odds, or short odds making the refresh scale sum negative.
    {Calculate, 1, 2, {"2", "-3"}, 1, {}, "0.00", "0.00"},
    {Refresh, 0, 2, {"0.5", "0.5", "0.5", "0.5"}, -1, {}, "0.00", "0.00"},
    {Refresh, 0, 2, {"4", "-2"}, 2, {}, "0.00", "0.00"}};
void PrintTo(const Worked& c, std::ostream* os) {
    *os << c.odds.size() << " runners, profit " << c.profit;
}

using Calculation = InLocale<std::tuple<Worked, char32_t>>;
TEST_P(Calculation, WorkedFigures) {
    const Worked& c = std::get<0>(GetParam());
    BetSlip slip = Slip(sep, c.base, c.odds, c.displayMode);
    slip.warningVisible = true;
    FakeHost host(slip);
    RunCalculation(slip, c.variant, host);
    const bool warning = c.amounts.empty();
    EXPECT_FLOAT_EQ(slip.oddsScale, c.scale);
    for (int i = 1; i <= kSelections; ++i) {
        const bool played = i <= slip.playedCount;
        EXPECT_EQ(slip.selection(i).shownAmount, warning || !played ? kNone : L(c.amounts[i - 1].c_str()))
            << i;
        EXPECT_EQ(slip.selection(i).amountColour, played ? AmountColour::Blue : AmountColour::Silver) << i;
    }
    EXPECT_EQ(slip.totalLine, kTotalPrefix + L(c.total));
    EXPECT_EQ(slip.profitText, L(c.profit));
    EXPECT_EQ(slip.warningVisible, warning);
    EXPECT_EQ(host.warningDuringEvents, std::vector<bool>{false}); // hidden before the events run
    EXPECT_TRUE(host.messages.empty() && host.writes.empty());
}
INSTANTIATE_TEST_SUITE_P(Figures, Calculation, ::testing::Combine(::testing::ValuesIn(kWorked), kSeparators));

using Engine = InLocale<char32_t>;

// The total reads the shown amounts back, nothing while the last played one is
// a placeholder; the refresh waits until none of the first three reads "???".
TEST_P(Engine, Totals) {
    const std::pair<Strings, float> cases[] = {{{"4.67", "3.50"}, 8.17f},
                                               {{"5", "4"}, 9},
                                               {{"4.67", "none"}, 0},
                                               {{"4.67", "???", "3.50"}, 4.67f},
                                               {{"none", "2.00", "3.00"}, 0}};
    for (const auto& [labels, total] : cases) {
        BetSlip slip = Slip(sep);
        slip.playedCount = int(labels.size());
        for (int i = 1; i <= slip.playedCount; ++i)
            slip.selection(i).shownAmount = L(labels[std::size_t(i - 1)].c_str());
        ComputeTotalStake(slip);
        EXPECT_EQ(slip.totalStake, total) << labels[1];
    }
    BetSlip slip = Slip(sep);
    slip.totalStake = 99;
    RefreshTotals(slip);
    slip.selection(1).shownAmount = L("2.50");
    slip.selection(2).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 99);
    slip.selection(3).shownAmount = kNone;
    RefreshTotals(slip);
    EXPECT_EQ(slip.totalStake, 2.5f);
}

// Before any calculation: a blank active box only hides the warning; every
// played box empty asks for the odds; texts are trimmed back into their boxes.
TEST_P(Engine, Preconditions) {
    BetSlip blank = Slip(sep, 2, {"2", " \t "});
    blank.warningVisible = true;
    FakeHost host(blank);
    RunCalculation(blank, Calculate, host);
    EXPECT_FALSE(blank.warningVisible);
    EXPECT_EQ(blank.selection(1).shownAmount, kPlaceholder);
    EXPECT_EQ(blank.totalLine, kTotalAtStart);
    for (const auto& [n, message] : {std::pair{1, "You must mention the horse's odds"},
                                     {9, "You must mention the odds of at least 9 horses"}}) {
        BetSlip slip = Slip(sep, 2, Strings(std::size_t(n), ""));
        for (Selection& s : slip.selections)
            s.isActive = false;
        FakeHost asked(slip);
        RunCalculation(slip, Calculate, asked);
        EXPECT_EQ(asked.messages, Strings{message});
        EXPECT_TRUE(slip.warningVisible); // the run goes on with the profit of before, 0
    }
    BetSlip slip = Slip(sep, 2, {" 2 ", "3"});
    slip.selection(5).oddsText = "\t7";
    FakeHost trimmed(slip);
    RunCalculation(slip, Calculate, trimmed);
    EXPECT_EQ(trimmed.writes, (std::vector<std::pair<int, std::string>>{{1, "2"}, {5, "7"}}));
    EXPECT_EQ(slip.selection(1).shownAmount, L("4.67"));
}

// A zero refresh scale sum, an overflowing scale sum, a zero weight: the previous result stays.
TEST_P(Engine, ArithmeticFaultKeepsThePreviousResult) {
    const std::pair<Variant, Strings> cases[] = {
        {Refresh, {"0.75", "0.75", "0.75", "0.75"}}, {Calculate, {"3e38", "3e38"}}, {Calculate, {"-1", "5"}}};
    for (const auto& [variant, odds] : cases) {
        BetSlip slip = Slip(sep, 2, odds);
        slip.selection(1).shownAmount = L("4.67");
        slip.profit = 5.84f;
        FakeHost host(slip);
        RunCalculation(slip, variant, host);
        EXPECT_EQ(slip.selection(1).shownAmount, L("4.67")) << odds[0];
        EXPECT_EQ(slip.profitText, L("5.84"));
        EXPECT_FALSE(slip.warningVisible);
    }
}

// A column outside 1..9 is a bug, not a fault a handler may end on: it stops a
// debug build, through guarded() as well.
TEST(BetSlipDeathTest, ColumnOutsideTheSlipStops) {
    BetSlip slip;
    const BetSlip& shown = slip;
    for (int column : {0, kSelections + 1}) {
        EXPECT_DEATH(guarded([&] { slip.selection(column).isActive = true; }), "a column of the bet slip");
        EXPECT_DEATH(guarded([&] { (void)shown.selection(column); }), "a column of the bet slip");
    }
    EXPECT_TRUE(guarded([&] { slip.selection(kSelections).isActive = true; }));
}

struct OneAmount {
    const char* unit;
    float threshold;
    const char* before;
    Strings after; // Up, Down, ByValue
};
// clang-format off
const OneAmount kOneAmount[] = {
    {"2", 0.5f, "10.40", {"12", "10", "10"}}, {"2", 0.5f, "10.50", {"12", "10", "12"}},
    {"2", 0.5f, "12.00", {"12.00", "12.00", "12.00"}}, {"2", 0.5f, "0.90", {"2", "0", "2"}},
    {"2", 0.5f, "???", {"0", "0", "0"}}, {"1", 0.5f, "7.49", {"8", "7", "7"}}, {"5", 0.9f, "5.80", {"10", "5", "5"}},
    {"0.5", 0.5f, "4.67", {"5", "4.5", "4.5"}}, {" 2 ", 0.5f, "5", {"6", "4", "6"}},
    {"0.1", 0.5f, "12.35", {"12.4000005722046", "12.3000001907349", "12.3000001907349"}}};
// clang-format on
void PrintTo(const OneAmount& c, std::ostream* os) {
    *os << c.before << " by " << c.unit;
}

// Onto a multiple of the unit in every mode; the total follows what is shown.
using Rounding = InLocale<std::tuple<OneAmount, char32_t>>;
TEST_P(Rounding, OneAmount) {
    const OneAmount& c = std::get<0>(GetParam());
    for (int m = 0; m < 3; ++m) {
        BetSlip slip = Slip(sep);
        slip.roundingMode = std::array{RoundingMode::Up, RoundingMode::Down, RoundingMode::ByValue}[m];
        slip.roundingUnitText = L(c.unit);
        slip.roundingThreshold = c.threshold;
        slip.selection(1).shownAmount = L(c.before);
        slip.selection(2).shownAmount = "untouched";
        RoundStakes(slip);
        const std::string& after = c.after[std::size_t(m)];
        EXPECT_EQ(slip.selection(1).shownAmount, L(after.c_str())) << m;
        EXPECT_EQ(slip.selection(2).shownAmount, "untouched");
        EXPECT_EQ(slip.totalLine, kTotalPrefix + FormatFixed2(StoreFloat(TextToNumber(after, U'.')), sep));
    }
}
INSTANTIATE_TEST_SUITE_P(Amounts, Rounding, ::testing::Combine(::testing::ValuesIn(kOneAmount), kSeparators));

// A unit of 0, below 0 or not a number is noticed once the first amount is read:
// only a placeholder there turns into "0", nothing else changes.
TEST_P(Engine, BadRoundingUnitRoundsNothing) {
    for (const char* unit : {"0", "-2", "-0.5", "", "abc"})
        for (const char* first : {"???", "0.30"}) {
            BetSlip slip = Slip(sep);
            slip.roundingUnitText = L(unit);
            slip.playedCount = 2;
            slip.selection(1).shownAmount = L(first);
            slip.selection(2).shownAmount = L("10.40");
            slip.totalLine = kTotalAskRefresh;
            RoundStakes(slip);
            EXPECT_EQ(slip.selection(1).shownAmount, *first == '?' ? "0" : L(first)) << unit;
            EXPECT_EQ(slip.selection(2).shownAmount, L("10.40")) << unit;
            EXPECT_EQ(slip.totalLine, kTotalAskRefresh);
        }
}

// Whole, decimal (either separator) and fraction forms; "9/" is 9 while typed.
TEST_P(Engine, ParseOdds) {
    const std::pair<const char*, float> good[] = {
        {"4", 4},        {"4.5", 4.5f},   {"4,5", 4.5f},   {"9/2", 4.5f}, {"9/", 9},
        {"9 / 2", 4.5f}, {"11/10", 1.1f}, {"-9/2", -4.5f}, {" 4 ", 4},    {"1e2", 100}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(ParseOdds(text, sep), value) << text;
    for (const char* text : {"9/0", "9/x", "4.5/2", "9/2/3", "abc", "", "1.000,5", "9/ ", "1e39", "4..5"})
        EXPECT_FALSE(ParseOdds(text, sep).has_value()) << text;
}

// The yield line for 1 and 2; a convertible text first resets a zero total line.
TEST_P(Engine, YieldLine) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"4", "Odds of 4 will yield 5.00 for a $1 bet and 10.00 for a $2 bet", true},
        {"9/2", "Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", true},
        {"9/0", "Odds of 0.00 will yield 1.00 for a $1 bet and 2.00 for a $2 bet", true},
        {"9/", "Odds of 9 will yield 10.00 for a $1 bet and 20.00 for a $2 bet", true},
        {"abc", "", true},
        {"9/x", "", false},
        {"0", "", false},
        {"  ", "", false}};
    for (const auto& [text, line, resets] : cases) {
        BetSlip slip = Slip(sep);
        slip.totalLine = kTotalPrefix + L("0.00");
        ShowOddsYield(slip, L(text));
        EXPECT_EQ(slip.yieldLine, *line ? L(line) : kYieldAtStart) << text;
        EXPECT_EQ(slip.totalLine, resets ? kTotalAskRefresh : kTotalPrefix + L("0.00")) << text;
    }
    // Pasted with the other separator: the yield line does not follow, a total that is not zero stays.
    BetSlip slip = Slip(sep);
    slip.totalLine = kTotalPrefix + L("8.17");
    ShowOddsYield(slip, sep == U'.' ? "4,5" : "4.5");
    EXPECT_EQ(slip.yieldLine, kYieldAtStart);
    EXPECT_EQ(slip.totalLine, kTotalPrefix + L("8.17"));
}

// Only the locale's separator; only outer controls and blanks trimmed; exactly the 32-bit range.
TEST_P(Engine, NumberReaders) {
    for (const auto& [text, value] :
         {std::pair{"4.5", 4.5L}, {" 12 ", 12}, {"+3", 3}, {"1.5E-2", 0.015L}, {"5.", 5}, {".5", 0.5L}})
        EXPECT_EQ(TextToNumber(L(text), sep), value) << text;
    for (const char* text : {"", ".", "1e", "1.2.3", "12abc", "\t5", "- 3", "1,000.5"})
        EXPECT_THROW(TextToNumber(L(text), sep), ConversionFault) << text;
    EXPECT_THROW(TextToNumber(sep == U'.' ? "4,5" : "4.5", sep), ConversionFault);
    EXPECT_EQ(Trim("\t\r\n\x01 9 / 2\x1f"), "9 / 2");
    EXPECT_EQ(Trim("\302\2404"), "\302\2404"); // a UTF-8 no-break space stays
    for (const auto& [text, value] :
         {std::pair{"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"  +7", 7}})
        EXPECT_EQ(TextToInt32(text), value) << text;
    for (const char* text : {"2147483648", "-2147483649", "42 ", "4.5", "", "-"})
        EXPECT_THROW(TextToInt32(text), ConversionFault) << text;
}
INSTANTIATE_TEST_SUITE_P(Separators, Engine, kSeparators);

TEST(NumberTexts, FaultsAndTheirGuard) {
    EXPECT_EQ(StoreFloat(0.1L), 0.1f);
    EXPECT_THROW(StoreFloat(-1e39L), ArithmeticFault);
    EXPECT_THROW(Divide(1, 0), ArithmeticFault);
    EXPECT_THROW(StoreFloat(Divide(1e30L, 1e-30L)), ArithmeticFault);
    EXPECT_TRUE(guarded([] {}));
    EXPECT_FALSE(guarded([] { TextToNumber("x", U'.'); }));
    EXPECT_THROW(guarded([] { throw std::logic_error("bug"); }), std::logic_error);
}

// Two decimals with halves away from zero, whole numbers with halves to even, the
// general form with fifteen digits; each read back.  The same whatever locale the
// C library is in (QApplication sets the user's): a comma or an Arabic decimal
// point written by it must never leak into a number text or stop one being read.
struct Texts {
    long double value;
    const char *general, *fixed, *whole; // in '.' form; no whole number beyond 18 digits
};
// clang-format off
const Texts kTexts[] = {
    {12, "12", "12.00", "12"}, {0.5L, "0.5", "0.50", "0"}, {2.5L, "2.5", "2.50", "2"}, {3.5L, "3.5", "3.50", "4"},
    {-2.5L, "-2.5", "-2.50", "-2"}, {-1.5L, "-1.5", "-1.50", "-2"}, {-7, "-7", "-7.00", "-7"},
    {-0.4L, "-0.4", "-0.40", "0"}, {4.67L, "4.67", "4.67", "5"}, {14.0L / 3, "4.66666666666667", "4.67", "5"},
    {0.125L, "0.125", "0.13", "0"}, {-0.125L, "-0.125", "-0.13", "0"}, {1.005L, "1.005", "1.01", "1"},
    {1.005f, "1.00499999523163", "1.00", "1"}, {9.995L, "9.995", "10.00", "10"},
    {8.17f, "8.17000007629395", "8.17", "8"}, {0.1f, "0.100000001490116", "0.10", "0"},
    {1.0L / 3, "0.333333333333333", "0.33", "0"}, {12.4000005722046L, "12.4000005722046", "12.40", "12"},
    {12.3000001907349f, "12.3000001907349", "12.30", "12"},
    {123456789012345.0L, "123456789012345", "123456789012345.00", "123456789012345"},
    {1e15L, "1E15", "1000000000000000.00", "1000000000000000"}, {1.5e-7L, "1.5E-7", "0.00", "0"},
    {1e17L, "1E17", "100000000000000000.00", "100000000000000000"}, {2e18L, "2E18", "2E18", nullptr}};
// clang-format on
std::string In(const char* text, char32_t sep) {
    std::string out;
    for (const char* c = text; *c; ++c)
        out += *c == '.' ? SeparatorText(sep) : std::string(1, *c);
    return out;
}
TEST(NumberTexts, FormatsAndReadsTheSameInEveryLocale) {
    for (const char32_t sep : {U'.', U',', U'\u066B'})
        for (const char32_t locale : {U'.', U',', U'\u066B'}) {
            const ProcessLocale in(locale);
            for (const Texts& t : kTexts) {
                const std::string where = std::string(t.general) + " in " + LocaleNameFor(locale);
                EXPECT_EQ(FormatGeneral(t.value, sep), In(t.general, sep)) << where;
                EXPECT_EQ(FormatFixed2(t.value, sep), In(t.fixed, sep)) << where;
                if (t.whole) {
                    EXPECT_EQ(FormatWhole(t.value), t.whole) << where;
                }
                // Read back, a text gives the value it was written from.
                EXPECT_EQ(FormatGeneral(ParseNumber(In(t.general, sep), sep).value_or(-1), sep),
                          In(t.general, sep));
                EXPECT_EQ(FormatFixed2(ParseNumber(In(t.fixed, sep), sep).value_or(-1), sep),
                          In(t.fixed, sep));
            }
            EXPECT_THROW(FormatFixed2(std::numeric_limits<long double>::quiet_NaN(), sep), ArithmeticFault);
            EXPECT_THROW(FormatWhole(1e19L), ArithmeticFault);
        }
}

} // namespace
} // namespace fairstake::test
