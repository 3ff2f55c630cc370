// The engine: worked slips, totals, rounding, odds and number texts, in the locales of both separators.

#include "engine/engine.h"
#include "engine/numtext.h"
#include "support/processlocale.h"

#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <utility>

namespace fairstake::test {
namespace {

using Strings = std::vector<std::string>;
constexpr auto Calculate = Variant::Calculate;
constexpr auto Refresh = Variant::Refresh;

// The window around one run of the calculate (or refresh) button's calculation: what it was asked to do.
struct Window : EngineHost {
    explicit Window(BetSlip& slip, Variant v = Calculate) : slip_(slip) { RunCalculation(slip, v, *this); }
    void ProcessPendingEvents() override { warningDuringEvents.push_back(slip_.warningVisible); }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void SetOddsText(int i, const std::string& text) override { writes.emplace_back(i, text); }
    BetSlip& slip_;
    Strings messages;
    std::vector<std::pair<int, std::string>> writes;
    std::vector<bool> warningDuringEvents;
};

// A text written with '.', as the locale with `sep` writes it.
std::string Loc(std::string_view text, char32_t sep) {
    std::string out;
    for (const char c : text)
        out += c == '.' ? SeparatorText(sep) : std::string(1, c);
    return out;
}

// Each test runs with the point and with the comma, the C library in the locale that writes it.
struct InLocale : ::testing::TestWithParam<char32_t> {
    const char32_t sep = GetParam();
    const ProcessLocale locale{sep};
    std::string L(std::string_view text) const { return Loc(text, sep); }
    // A slip playing the odds (in '.' form), boxes 1..N active as the window leaves them.
    BetSlip Slip(const Strings& odds = {}, float base = 2, int displayMode = 0) const {
        BetSlip slip;
        slip.separator = sep;
        slip.baseAmount = base;
        slip.displayMode = displayMode;
        slip.playedCount = odds.empty() ? 1 : int(odds.size());
        for (std::size_t i = 0; i < odds.size(); ++i)
            slip.selections[i] = {"Select", L(odds[i]),
                                  ParseOdds(L(odds[i]), sep, OddsFormat::ToOne).value_or(0.0f), true};
        return slip;
    }
};
INSTANTIATE_TEST_SUITE_P(Separators, InLocale, ::testing::Values(U'.', U','));

// Variant, display mode, base, odds, scale, played amounts (none: warning, all labels "none"), total, profit.
const std::tuple<Variant, int, float, Strings, float, Strings, const char*, const char*> kWorked[] = {
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
    {Refresh, 0, 2, {"4", "-2"}, 2, {}, "0.00", "0.00"},
    // A target of 0 makes stakes of 0 and no profit; one below 0 would make every stake negative.
    {Calculate, 0, 0, {"2", "3"}, 7, {}, "0.00", "0.00"},
    {Calculate, 0, -1, {"2", "3"}, 7, {}, "0.00", "0.00"}};

// Scale, amounts, colours, total and profit of worked slips; the warning is hidden while the events run.
TEST_P(InLocale, WorkedFigures) {
    for (const auto& [variant, displayMode, base, odds, scale, amounts, total, profit] : kWorked) {
        SCOPED_TRACE(::testing::Message() << odds.size() << " runners, scale " << scale);
        BetSlip slip = Slip(odds, base, displayMode);
        slip.warningVisible = true;
        const Window host(slip, variant);
        EXPECT_FLOAT_EQ(slip.oddsScale, scale);
        for (int i = 1; i <= kSelections; ++i) {
            const bool played = i <= slip.playedCount;
            EXPECT_EQ(slip.selection(i).shownAmount, amounts.empty() || !played ? kNone : L(amounts[i - 1]))
                << i;
            EXPECT_EQ(slip.selection(i).amountColour, played ? AmountColour::Blue : AmountColour::Silver);
        }
        EXPECT_EQ(slip.totalLine, kTotalPrefix + L(total));
        EXPECT_EQ(slip.profitText, L(profit));
        EXPECT_EQ(slip.warningVisible, amounts.empty());
        EXPECT_EQ(host.warningDuringEvents, std::vector<bool>{false});
        EXPECT_TRUE(host.messages.empty() && host.writes.empty());
    }
}

// The total of the played amounts, none while the last is a placeholder; a refresh's waits for "???" in 1-3.
TEST_P(InLocale, Totals) {
    // clang-format off
    const std::tuple<Strings, float, float> cases[] = { // labels, total, total after a refresh
        {{"4.67", "3.50"}, 8.17f, 99}, {{"5", "4", "1"}, 10, 10}, {{"4.67", "none"}, 0, 99},
        {{"4.67", "???", "3.50"}, 4.67f, 99}, {{"none", "2.00", "3.00"}, 0, 0},
        {{"4.67", "3.50", "???"}, 0, 99}, {{"1", "1", "1", "???", "2"}, 3, 3}};
    // clang-format on
    for (const auto& [labels, total, refreshed] : cases) {
        BetSlip slip = Slip();
        slip.playedCount = int(labels.size());
        for (int i = 1; i <= slip.playedCount; ++i)
            slip.selection(i).shownAmount = L(labels[std::size_t(i - 1)]);
        slip.totalStake = 99;
        RefreshTotals(slip);
        EXPECT_EQ(slip.totalStake, refreshed) << labels.size() << labels[1];
        ComputeTotalStake(slip);
        EXPECT_EQ(slip.totalStake, total) << labels.size() << labels[1];
    }
}

// A blank active box only hides the warning, all played boxes empty ask for the odds, texts are trimmed;
// an arithmetic fault (zero or overflowing scale sum, zero weight) leaves the previous result.
TEST_P(InLocale, BlanksAndFaults) {
    BetSlip blank = Slip({"2", " \t "});
    blank.warningVisible = true;
    Window{blank};
    EXPECT_FALSE(blank.warningVisible);
    EXPECT_EQ(blank.selection(1).shownAmount, kPlaceholder);
    EXPECT_EQ(blank.totalLine, kTotalAtStart);
    for (const auto& [n, message] : {std::pair{1, "You must mention the horse's odds"},
                                     {2, "You must mention the odds of at least 2 horses"},
                                     {9, "You must mention the odds of at least 9 horses"}}) {
        BetSlip slip = Slip(Strings(std::size_t(n), ""));
        for (Selection& s : slip.selections)
            s.isActive = false;
        EXPECT_EQ(Window(slip).messages, Strings{message});
        EXPECT_TRUE(slip.warningVisible); // the run goes on with the profit of before, 0
    }
    BetSlip slip = Slip({" 2 ", "3"});
    slip.selection(5).oddsText = "\t7";
    EXPECT_EQ(Window(slip).writes, (std::vector<std::pair<int, std::string>>{{1, "2"}, {5, "7"}}));
    EXPECT_EQ(slip.selection(1).shownAmount, L("4.67"));
    for (const auto& [variant, odds] : {std::pair{Refresh, Strings{"0.75", "0.75", "0.75", "0.75"}},
                                        {Calculate, {"3e38", "3e38"}},
                                        {Calculate, {"-1", "5"}}}) {
        BetSlip faulty = Slip(odds);
        faulty.selection(1).shownAmount = L("4.67");
        faulty.profit = 5.84f;
        Window{faulty, variant};
        EXPECT_EQ(faulty.selection(1).shownAmount, L("4.67")) << odds[0];
        EXPECT_EQ(faulty.profitText, L("5.84"));
        EXPECT_FALSE(faulty.warningVisible);
    }
}

// A column outside 1..9 is a bug, not one of the program's faults: it stops a debug build, guarded() or not.
TEST(BetSlipDeathTest, BugsAreNotSwallowed) {
    BetSlip slip;
    for (int column : {0, kSelections + 1}) {
        EXPECT_DEATH(guarded([&] { slip.selection(column).isActive = true; }), "a column of the bet slip");
        EXPECT_DEATH(guarded([&] { (void)std::as_const(slip).selection(column); }),
                     "a column of the bet slip");
    }
    EXPECT_TRUE(guarded([&] { slip.selection(kSelections).isActive = true; }));
    EXPECT_FALSE(guarded([] { TextToNumber("x", U'.'); }));
    EXPECT_THROW(guarded([] { throw std::logic_error("bug"); }), std::logic_error);
}

// Onto a multiple of the unit in each mode, the total following what is shown.  A unit of 0, below 0 or
// not a number is refused once the first amount is read: only a "???" there turns into "0".
TEST_P(InLocale, RoundsOntoTheUnit) {
    // clang-format off
    // unit, threshold, amount before, after in the modes Up, Down and ByValue (none: the unit is refused)
    const std::tuple<const char*, float, const char*, Strings> cases[] = {
        {"2", 0.5f, "10.40", {"12", "10", "10"}}, {"2", 0.5f, "10.50", {"12", "10", "12"}},
        {"2", 0.5f, "12.00", {"12.00", "12.00", "12.00"}}, {"2", 0.5f, "0.90", {"2", "0", "2"}},
        {"2", 0.5f, "???", {"0", "0", "0"}}, {"2", 0.5f, "none", {"0", "0", "0"}}, {"1", 0.5f, "7.49", {"8", "7", "7"}},
        {"5", 0.9f, "5.80", {"10", "5", "5"}}, {"0.5", 0.5f, "4.67", {"5", "4.5", "4.5"}},
        {" 2 ", 0.5f, "5", {"6", "4", "6"}},
        {"0.1", 0.5f, "12.35", {"12.4000005722046", "12.3000001907349", "12.3000001907349"}},
        {"0", 0.5f, "???", {}}, {"0", 0.5f, "0.30", {}}, {"-2", 0.5f, "0.30", {}}, {"-0.5", 0.5f, "???", {}},
        {"-0.5", 0.5f, "0.30", {}}, {"", 0.5f, "0.30", {}}, {"abc", 0.5f, "???", {}}};
    // clang-format on
    for (const auto& [unit, threshold, before, after] : cases)
        for (int m = 0; m < 3; ++m) {
            BetSlip slip = Slip();
            slip.roundingMode = RoundingMode(m);
            slip.roundingUnitText = L(unit);
            slip.roundingThreshold = threshold;
            slip.selection(1).shownAmount = L(before);
            slip.selection(2).shownAmount = "untouched";
            slip.totalLine = kTotalAskRefresh;
            RoundStakes(slip);
            SCOPED_TRACE(std::string(before) + " by " + unit + " in mode " + std::to_string(m));
            const std::string shown = !after.empty() ? after[std::size_t(m)] : *before == '?' ? "0" : before;
            EXPECT_EQ(slip.selection(1).shownAmount, L(shown));
            EXPECT_EQ(slip.selection(2).shownAmount, "untouched");
            const std::string total = FormatFixed2(StoreFloat(TextToNumber(shown, U'.')), sep);
            EXPECT_EQ(slip.totalLine, after.empty() ? kTotalAskRefresh : kTotalPrefix + total);
        }
}

// Odds in whole, decimal (either separator) and fraction forms, "9/" being 9 while typed, in each format:
// decimal odds x read bit for bit as the to-one x - 1 (its twin), American +n as n/100, fractions as they
// are; numbers.
TEST_P(InLocale, Readers) {
    constexpr auto ToOne = OddsFormat::ToOne, Decimal = OddsFormat::Decimal, American = OddsFormat::American;
    // clang-format off
    const std::tuple<const char*, float, const char*> odds[] = { // text, to-one value, decimal twin
        {"4", 4, "3"}, {"4.5", 4.5f, "3.5"}, {"4,5", 4.5f, "3,5"}, {"9/2", 4.5f, "9/2"}, {"9/", 9, "9/"},
        {"9 / 2", 4.5f, "9 / 2"}, {"11/10", 1.1f, "11/10"}, {"-9/2", -4.5f, "-9/2"}, {" 4 ", 4, " 3 "},
        {"1e2", 100, "99"}, {"1.91", 1.91f, "0.91"}, {"1", 1, "0"}, {"+10.05", 10.05f, "9.05"},
        {"12.5E-1", 1.25f, "0.25"}, {"1.0000000000000000000001", 1, "0.0000000000000000000001"},
        {"3e38", 3e38f, "299999999999999999999999999999999999999"}};
    // clang-format on
    for (const auto& [text, value, twin] : odds) {
        EXPECT_EQ(ParseOdds(text, sep, ToOne), value) << text;
        const auto decimal = ParseOdds(text, sep, Decimal);
        EXPECT_TRUE(decimal.has_value()) << text;
        EXPECT_EQ(decimal, ParseOdds(twin, sep, ToOne)) << text;
    }
    // American: +n (or n) as the to-one n/100 reads, -n as 100/n; from 100 on either way.
    for (const auto& [text, value] : {std::pair{"+450", ParseOdds("4.5", sep, ToOne)},
                                      {"450", 4.5f},
                                      {"100", 1},
                                      {"-100", 1},
                                      {"-200", 0.5f},
                                      {"-110", float(100.0L / 110)},
                                      {"+100,5", ParseOdds("1.005", sep, ToOne)},
                                      {"-250.0", 0.4f},
                                      {"4.5e2", 4.5f},
                                      {"+ 455", ParseOdds("4.55", sep, ToOne)},
                                      {"9/2", 4.5f},
                                      {"-9/", -9}})
        EXPECT_EQ(ParseOdds(text, sep, American), value) << text;
    // Not read in any format, then not in one format: decimal below 1, American between -100 and +100.
    for (const char* text :
         {"9/0", "9/x", "4.5/2", "9/2/3", "abc", "", "1.000,5", "9/ ", "1e41", "4..5", "+", "-"})
        for (const OddsFormat format : {ToOne, Decimal, American})
            EXPECT_FALSE(ParseOdds(text, sep, format).has_value()) << text << int(format);
    EXPECT_FALSE(ParseOdds("1e39", sep, ToOne).has_value()); // beyond a float; "+1e39" is 1e37 to one
    for (const char* text : {"0.5", "0", "-2", "-0", "0.999", "0.9999999999999999999999", "1e-1", "1e39"})
        EXPECT_FALSE(ParseOdds(text, sep, Decimal).has_value()) << text;
    for (const char* text : {"99", "-99.99", "0", "99,99", "-0", "1e1", "+-100", "--200"})
        EXPECT_FALSE(ParseOdds(text, sep, American).has_value()) << text;
    // Numbers: only the locale's separator; only outer controls and blanks trimmed; exactly the 32-bit range.
    for (const auto& [text, value] :
         {std::pair{"4.5", 4.5L}, {" 12 ", 12}, {"+3", 3}, {"1.5E-2", 0.015L}, {"5.", 5}, {".5", 0.5L}})
        EXPECT_EQ(TextToNumber(L(text), sep), value) << text;
    for (const char* text : {"", ".", "1e", "1.2.3", "12abc", "\t5", "- 3", "1,000.5"})
        EXPECT_THROW(TextToNumber(L(text), sep), ConversionFault) << text;
    EXPECT_EQ(Trim("\t\r\n\x01 9 / 2\x1f"), "9 / 2");
    EXPECT_EQ(Trim("\302\2404"), "\302\2404"); // a UTF-8 no-break space stays
    for (const auto& [text, value] :
         {std::pair{"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"  +7", 7}})
        EXPECT_EQ(TextToInt32(text), value) << text;
    for (const char* text : {"2147483648", "-2147483649", "42 ", "4.5", "", "-"})
        EXPECT_THROW(TextToInt32(text), ConversionFault) << text;
}

// The yield line for 1 and 2, in the words of each format (a fraction's in every format); a convertible
// text first resets a zero total line, not another one.
TEST_P(InLocale, YieldLine) {
    constexpr auto ToOne = OddsFormat::ToOne, Decimal = OddsFormat::Decimal, American = OddsFormat::American;
    // clang-format off
    // format, odds ("4,5": in the other separator), total line before, yield line (none: it stays), total after
    const std::tuple<OddsFormat, const char*, const char*, const char*, const char*> cases[] = {
        {ToOne, "4", "0.00", "Odds of 4 will yield 5.00 for a $1 bet and 10.00 for a $2 bet", nullptr},
        {ToOne, "9/2", "0.00", "Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", nullptr},
        {ToOne, "9/0", "0.00", "Odds of 0.00 will yield 1.00 for a $1 bet and 2.00 for a $2 bet", nullptr},
        {ToOne, "9/", "8.17", "Odds of 9 will yield 10.00 for a $1 bet and 20.00 for a $2 bet", "8.17"},
        {ToOne, "abc", "0.00", "", nullptr}, {ToOne, "9/x", "0.00", "", "0.00"}, {ToOne, "0", "0.00", "", "0.00"},
        {ToOne, "  ", "0.00", "", "0.00"}, {ToOne, "4,5", "8.17", "", "8.17"},
        {Decimal, "5.5", "0.00", "Decimal odds of 5.5 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", nullptr},
        {Decimal, "1", "8.17", "Decimal odds of 1 will yield 1.00 for a $1 bet and 2.00 for a $2 bet", "8.17"},
        {Decimal, "9/2", "8.17", "Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet", "8.17"},
        {Decimal, "0.5", "0.00", "", nullptr}, {Decimal, "4,5", "8.17", "", "8.17"},
        {American, "+450", "0.00", "American odds of +450 will yield 5.50 for a $1 bet and 11.00 for a $2 bet",
         nullptr},
        {American, "-200", "8.17", "American odds of -200 will yield 1.50 for a $1 bet and 3.00 for a $2 bet",
         "8.17"},
        {American, "9/", "8.17", "Odds of 9 will yield 10.00 for a $1 bet and 20.00 for a $2 bet", "8.17"},
        {American, "99", "0.00", "", nullptr}, {American, "-", "8.17", "", "8.17"}};
    // clang-format on
    for (const auto& [format, text, total, line, after] : cases) {
        BetSlip slip = Slip();
        slip.totalLine = kTotalPrefix + L(total);
        ShowOddsYield(slip, std::string(text) != "4,5" ? L(text) : sep == U'.' ? "4,5" : "4.5", format);
        EXPECT_EQ(slip.yieldLine, *line ? L(line) : kYieldAtStart) << text;
        EXPECT_EQ(slip.totalLine, after ? kTotalPrefix + L(after) : kTotalAskRefresh) << text;
    }
}

// Two decimals with halves away from zero, whole numbers with halves to even, the general form with 15
// digits, each read back, whatever locale the C library is in (QApplication sets the user's): its comma
// or Arabic decimal point must never leak into a number text or stop one being read.  Texts in '.' form.
// clang-format off
const std::tuple<long double, const char*, const char*, const char*> kTexts[] = {
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
    {1e17L, "1E17", "100000000000000000.00", "100000000000000000"},
    {2e18L, "2E18", "2E18", "2000000000000000000"}};
// clang-format on
TEST(NumberTexts, FormatsAndReadsTheSameInEveryLocale) {
    for (const char32_t sep : {U'.', U',', U'\u066B'})
        for (const char32_t locale : {U'.', U',', U'\u066B'}) {
            const ProcessLocale in(locale);
            for (const auto& [value, generalText, fixedText, whole] : kTexts) {
                SCOPED_TRACE(std::string(generalText) + " in " + LocaleNameFor(locale));
                const std::string general = Loc(generalText, sep), fixed = Loc(fixedText, sep);
                EXPECT_EQ(FormatGeneral(value, sep), general);
                EXPECT_EQ(FormatFixed2(value, sep), fixed);
                EXPECT_EQ(FormatWhole(value), whole);
                // Read back, a text gives the value it was written from.
                EXPECT_EQ(FormatGeneral(ParseNumber(general, sep).value_or(-1), sep), general);
                EXPECT_EQ(FormatFixed2(ParseNumber(fixed, sep).value_or(-1), sep), fixed);
            }
            EXPECT_THROW(FormatFixed2(std::numeric_limits<long double>::quiet_NaN(), sep), ArithmeticFault);
            EXPECT_THROW(FormatWhole(1e19L), ArithmeticFault);
        }
}

} // namespace
} // namespace fairstake::test
