// The engine: worked slips, totals, rounding, odds, number texts and the race sheet, in both separators.

#include "engine/engine.h"
#include "engine/numtext.h"
#include "engine/pasteodds.h"
#include "engine/racesheet.h"
#include "support/processlocale.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <limits>
#include <map>
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

// A text written with '.' beside digits, as the locale with `sep` writes it (a sentence's full stop stays).
std::string Loc(std::string_view text, char32_t sep) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool number = (i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1]))) ||
                            (i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])));
        out += text[i] == '.' && number ? SeparatorText(sep) : std::string(1, text[i]);
    }
    return out;
}

// How far the calculator went: odds typed only, the calculate button, then the round button.
enum Buttons { Typed, Calculated, Rounded };

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
    // The slip as the calculator leaves it: calculated once every box holds odds, rounded by the defaults.
    BetSlip Worked(float base, const Strings& odds, Buttons run = Rounded, int displayMode = 0) const {
        BetSlip slip = Slip(odds, base, displayMode);
        if (run != Typed && std::none_of(odds.begin(), odds.end(), [](auto& o) { return o.empty(); })) {
            EXPECT_EQ(Window(slip).messages, Strings{});
        }
        if (run == Rounded) RoundStakes(slip);
        return slip;
    }
};
INSTANTIATE_TEST_SUITE_P(Separators, InLocale, ::testing::Values(U'.', U','));

// Variant, display mode, base, odds, scale, played amounts (none: warning, all labels "none"), total, profit.
const std::tuple<Variant, int, float, Strings, float, Strings, const char*, const char*> kWorked[] = {
    {Calculate, 0, 2, {"2", "3"}, 7, {"4.67", "3.50"}, "8.17", "5.84"},
    // The weight 4/7 is stored as a float a little above it: 2 / weight is just below 3.5.
    {Calculate, 1, 2, {"2", "3"}, 7, {"5", "3"}, "8.00", "5.33"},
    {Refresh, 0, 2, {"2", "3", "4"}, 9, {"6.00", "4.50", "3.60"}, "14.10", "3.90"},
    {Calculate, 0, 2, Strings(9, "9"), 90, Strings(9, "18.00"), "162.00", "18.00"},
    {Calculate, 0, 1, {"0.999"}, 1.999f, {}, "1.00", "1.00"},
    // No stake may come out negative: negative odds, or short odds making the refresh scale sum negative.
    {Calculate, 1, 2, {"2", "-3"}, 1, {}, "0.00", "0.00"},
    {Refresh, 0, 2, {"0.5", "0.5", "0.5", "0.5"}, -1, {}, "0.00", "0.00"},
    {Calculate, 0, -1, {"2", "3"}, 7, {}, "0.00", "0.00"}}; // a target below 0: every stake negative

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
    for (const auto& [n, message] : {std::pair{1, "You must mention the horse's odds"},
                                     {2, "You must mention the odds of at least 2 horses"}}) {
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

// A column outside 1..9 is a bug: it stops a debug build, guarded() or not; guarded() swallows only faults.
TEST(BetSlipDeathTest, BugsAreNotSwallowed) {
    BetSlip slip;
    for (int column : {0, kSelections + 1})
        EXPECT_DEATH(guarded([&] { slip.selection(column).isActive = true; }), "a column of the bet slip");
    EXPECT_THROW(guarded([] { throw std::logic_error("bug"); }), std::logic_error);
}

// Onto a multiple of the unit in each mode, on the decimals the texts spell (7.70: on the threshold 0.7), in
// the unit's decimals; the total follows.  A unit of 0, below 0 or not a number is refused; "???" is "0".
TEST_P(InLocale, RoundsOntoTheUnit) {
    // clang-format off
    // unit, threshold, amount before, after in the modes Up, Down and ByValue (none: the unit is refused)
    const std::tuple<const char*, float, const char*, Strings> cases[] = {
        {"0.1", 0.5f, "19.30", {"19.30", "19.30", "19.30"}}, {"0.1000000000000000", 0.5f, "19.33", {"19.4", "19.3", "19.3"}},
        {"5", 0.5f, "11.00", {"15", "10", "15"}}, {"1", 0.7f, "7.70", {"8", "7", "8"}}, {"abc", 0.5f, "???", {}},
        {"2", 0.5f, "10.40", {"12", "10", "10"}}, {"1", 0.3f, "7.30", {"8", "7", "8"}}, {"0", 0.5f, "0.30", {}},
        {"2", 0.5f, "???", {"0", "0", "0"}}, {"2", 0.5f, "none", {"0", "0", "0"}}, {"-0.5", 0.5f, "0.30", {}},
        {"0.000000000000003", 0.5f, "0.01", {"0.010000000000002", "0.009999999999999", "0.009999999999999"}},
        // Past 15 decimals in the unit or the result, the floats decide.
        {"0.000000000000003", 0.5f, "1.01", {"1.01", "1.01", "1.01"}},
        {"2.0000000000000001", 0.5f, "10.50", {"12", "10", "12"}}};
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
// decimal odds x read bit for bit as the to-one x - 1 (its twin), American +n as n/100; numbers.
TEST_P(InLocale, Readers) {
    constexpr auto ToOne = OddsFormat::ToOne, Decimal = OddsFormat::Decimal, American = OddsFormat::American;
    // clang-format off
    const std::tuple<const char*, float, const char*> odds[] = { // text, to-one value, decimal twin
        {"4", 4, "3"}, {"4.5", 4.5f, "3.5"}, {"4,5", 4.5f, "3,5"}, {"9/2", 4.5f, "9/2"}, {"9/", 9, "9/"},
        {"-9/2", -4.5f, "-9/2"}, {"1.91", 1.91f, "0.91"}, {"1", 1, "0"}, {"+10.05", 10.05f, "9.05"},
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
    // clang-format off
    for (const auto& [text, value] : {std::pair{"+450", ParseOdds("4.5", sep, ToOne)}, {"450", 4.5f}, {"100", 1},
             {"-100", 1}, {"-200", 0.5f}, {"+100,5", ParseOdds("1.005", sep, ToOne)}, {"9/2", 4.5f}, {"-9/", -9}})
        EXPECT_EQ(ParseOdds(text, sep, American), value) << text;
    // clang-format on
    // Not read in any format, then not in one format: decimal below 1, American between -100 and +100.
    for (const char* text : {"9/0", "9/x", "4.5/2", "9/2/3", "abc", "", "1.000,5", "1e41", "4..5", "+"})
        for (const OddsFormat format : {ToOne, Decimal, American})
            EXPECT_FALSE(ParseOdds(text, sep, format).has_value()) << text << int(format);
    for (const char* text : {"0.5", "0", "-2", "-0", "0.999", "0.9999999999999999999999", "1e-1", "1e39"})
        EXPECT_FALSE(ParseOdds(text, sep, Decimal).has_value()) << text;
    for (const char* text : {"99", "-99.99", "0", "99,99", "-0", "1e1", "+-100", "--200"})
        EXPECT_FALSE(ParseOdds(text, sep, American).has_value()) << text;
    // Numbers: only the locale's separator; only outer controls and blanks trimmed; exactly the 32-bit range.
    for (const auto& [text, value] :
         {std::pair{"4.5", 4.5L}, {" 12 ", 12}, {"1.5E-2", 0.015L}, {"5.", 5}, {".5", 0.5L}})
        EXPECT_EQ(TextToNumber(L(text), sep), value) << text;
    for (const char* text : {"", ".", ",", "1e", "1.2.3", "12abc", "\t5", "- 3", "1,000.5"})
        EXPECT_THROW(TextToNumber(L(text), sep), ConversionFault) << text;
    EXPECT_EQ(Trim("\t\r\n\x01 9 / 2\x1f"), "9 / 2");
    EXPECT_EQ(TextToInt32("  +2147483647"), 2147483647);
    for (const char* text : {"2147483648", "-2147483649", "42 ", "4.5"})
        EXPECT_THROW(TextToInt32(text), ConversionFault) << text;
}

// The yield line for 1 and 2, in the words of each format (a fraction's in every format); a convertible
// text first resets a zero total line, not another one.
TEST_P(InLocale, YieldLine) {
    constexpr auto ToOne = OddsFormat::ToOne, Decimal = OddsFormat::Decimal, American = OddsFormat::American;
    // format, odds ("4,5": in the other separator), total line before, the yield line's opening and its
    // yields for $1 and $2 (empty: the line stays), total after (none: the refresh request)
    // clang-format off
    const std::tuple<OddsFormat, const char*, const char*, const char*, const char*> cases[] = {
        {ToOne, "4", "0.00", "Odds of 4|5.00|10.00", nullptr}, {ToOne, "abc", "0.00", "", nullptr},
        {Decimal, "5.5", "0.00", "Decimal odds of 5.5|5.50|11.00", nullptr}, {Decimal, "0.5", "0.00", "", nullptr},
        {Decimal, "9/2", "8.17", "Odds of 4.50|5.50|11.00", "8.17"}, {Decimal, "4,5", "8.17", "", "8.17"},
        {ToOne, "0", "0.00", "", "0.00"}, {American, "+450", "0.00", "American odds of +450|5.50|11.00", nullptr},
        {American, "-200", "8.17", "American odds of -200|1.50|3.00", "8.17"}, {American, "99", "0.00", "", nullptr}};
    // clang-format on
    for (const auto& [format, text, total, yields, after] : cases) {
        BetSlip slip = Slip();
        slip.totalLine = kTotalPrefix + L(total);
        ShowOddsYield(slip, std::string(text) != "4,5" ? L(text) : sep == U'.' ? "4,5" : "4.5", format);
        std::string line = yields;
        if (!line.empty()) {
            line.replace(line.find('|'), 1, " will yield ");
            line.replace(line.find('|'), 1, " for a $1 bet and ") += " for a $2 bet";
        }
        EXPECT_EQ(slip.yieldLine, *yields ? L(line) : kYieldAtStart) << text;
        EXPECT_EQ(slip.totalLine, after ? kTotalPrefix + L(after) : kTotalAskRefresh) << text;
    }
}

// Two decimals with halves away from zero, whole numbers with halves to even, the general form with 15
// digits, each read back, whatever the C library's locale (QApplication sets the user's).  In '.' form.
// clang-format off
const std::tuple<long double, const char*, const char*, const char*> kTexts[] = {
    {2.5L, "2.5", "2.50", "2"}, {-2.5L, "-2.5", "-2.50", "-2"}, {-0.125L, "-0.125", "-0.13", "0"},
    {14.0L / 3, "4.66666666666667", "4.67", "5"}, {1.005L, "1.005", "1.01", "1"},
    {1.005f, "1.00499999523163", "1.00", "1"}, {9.995L, "9.995", "10.00", "10"},
    {8.17f, "8.17000007629395", "8.17", "8"}, {1.5e-7L, "1.5E-7", "0.00", "0"},
    {123456789012345.0L, "123456789012345", "123456789012345.00", "123456789012345"},
    {1e15L, "1E15", "1000000000000000.00", "1000000000000000"}, {2e18L, "2E18", "2E18", "2000000000000000000"}};
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
                EXPECT_EQ(FormatGeneral(ParseNumber(general, sep).value_or(-1), sep), general);
                EXPECT_EQ(FormatFixed2(ParseNumber(fixed, sep).value_or(-1), sep), fixed);
            }
            EXPECT_THROW(FormatFixed2(std::numeric_limits<long double>::quiet_NaN(), sep), ArithmeticFault);
            EXPECT_THROW(FormatWhole(1e19L), ArithmeticFault);
        }
}

constexpr auto Back = BetType::Back, Lay = BetType::Lay, EachWay = BetType::EachWay;
constexpr auto Stakes = SizeBy::CalculatorStakes, Total = SizeBy::Total, Profit = SizeBy::Profit,
               Liability = SizeBy::Liability, OnBox = SizeBy::StakeOnBox;
constexpr auto Unrounded = StakeRounding::None, OntoUnit = StakeRounding::OntoUnit,
               Evenly = StakeRounding::Evenly;

SheetSettings Set(const char* commission = "0", SizeBy size = Stakes, const char* amount = "",
                  StakeRounding rounding = Unrounded, BetType type = Back, const char* minimum = "") {
    return {.type = type,
            .size = size,
            .sizeText = amount,
            .minStakeText = minimum,
            .rounding = rounding,
            .commissionText = commission};
}

const Strings kEx1 = {"2", "4", "7", "12"};
const std::string kEx1Book = "Book: 73.5 % of the market";
const std::string kEachWayBook = kEx1Book + "; place terms 1/5, 3 places";
const std::string kNoProfit = " % of the market: at 100 % or more some runner always loses";
const std::string kAskOdds = "Type the odds of the runners you play.";

// Each type's headings and its lines Staked, Profit, Outside and the size's, '#' between.
// clang-format off
const std::map<BetType, std::pair<std::string, std::string>> kTypes = {
    {Back, {"Chance|Stake|Returns|Profit",
            "Staked: {0}#Profit: {1} whichever of them wins#If any other runner wins: -{0}#{2}"}},
    {Lay, {"Chance|Lay stake|Liability|Profit",
           "Lay stakes: {0}; the most you can lose: {1}#Profit: {2} if one of them wins#If any other runner wins: {3}#"
           "{4}"}},
    {EachWay, {"Place|Stake|If it wins|If it places",
               "Staked: {0}, {1} to win and {1} to place#If one of them wins: {2}#If none of them wins: {3}#{4}"}}};
// clang-format on

// The text with each {n} replaced by the n-th of the figures, '|' between.
std::string Fill(std::string text, const std::string& figures) {
    int n = 0;
    for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 1, ++n) {
        to = figures.find('|', from);
        const std::string key = "{" + std::to_string(n) + "}";
        for (std::size_t at; (at = text.find(key)) != std::string::npos;)
            text.replace(at, key.size(), figures.substr(from, to - from));
    }
    return text;
}

// A race: odds, settings, each row's last three cells ('/' between rows), the figures of the type's lines
// ('|' between; empty: none), the book, how far the calculator went, size refused, the display mode.
struct SheetCase {
    const char* what;
    Strings odds;
    SheetSettings settings;
    const char* cells;
    const char* figures;
    std::string book = kEx1Book;
    Buttons run = Rounded;
    bool refused = false;
    int displayMode = 0;
};

// clang-format off
const SheetCase kSheets[] = {
    {"example 1 at 5 % commission, typed with the other separator", kEx1, Set("5,0"),
     "20.00|60.00|15.20/12.00|60.00|15.20/8.00|64.00|19.00/4.00|52.00|7.60", "44.00|7.60 to 19.00|"},
    {"example 1 spread over 50 onto the unit", kEx1, Set("0", Total, "50.00", OntoUnit), "24.00|72.00|18.00/"
     "14.00|70.00|16.00/10.00|80.00|26.00/6.00|78.00|24.00", "54.00|16.00 to 26.00|Stakes for a total of 50.00"},
    {"none at evens: the stakes computed before, a book of exactly 100", {"1", "1"}, {},
     "4.00|8.00|0.00/4.00|8.00|0.00", "8.00|0.00|", "Book: 100.0" + kNoProfit, Calculated, false, 1},
    {"a played box without odds", {"2", ""}, Set("5", Total, "50", OntoUnit), "||/||", "", kAskOdds, Calculated},
    {"every row adds up to the cent", {"2", "4", "3/2"}, Set("0", Total, "60"), "21.43|64.29|4.29/12.86|64.30|4.30/"
     "25.71|64.28|4.28", "60.00|4.28 to 4.30|Stakes for a total of 60.00", "Book: 93.3 % of the market"},
    {"odds of 0 or below, or that do not read, count as none", {"2", "-5", "0", "abc"}, {}, "||/||/||/||", "", kAskOdds,
     Typed},
    {"every box with odds, the stakes still ???: only the book", {"2", "3"}, {}, "||/||", "",
     "Book: 58.3 % of the market", Typed},
    {"lay at 5 %: the gain if none wins less the commission", kEx1, Set("5", Stakes, "", Unrounded, Lay),
     "20.00|40.00|-16.00/12.00|48.00|-16.00/8.00|56.00|-20.00/4.00|48.00|-8.00", "44.00|20.00|-20.00 to -8.00|41.80|"},
    {"lay, a liability of 20", kEx1, Set("0", Liability, "20", Unrounded, Lay),
     "25.18|50.36|-20.00/15.11|60.44|-20.01/9.44|66.08|-19.98/5.81|69.72|-19.99",
     "55.54|20.01|-20.01 to -19.98|55.54|Stakes for a liability of 20.00"},
    {"each way, 1/5, 3 places, the calculator's 44", kEx1, Set("0", Stakes, "", Unrounded, EachWay),
     "9.41|-2.60|-30.83/6.09|-2.59|-33.04/3.98|-2.61|-34.45/2.52|-2.67|-35.43",
     "44.00|22.00|-2.67 to 21.53|-44.00 to -19.86|", kEachWayBook},
    {"back, a total of 50 evenly onto 2, within the total", kEx1, Set("0", Total, "50", Evenly), "22.00|66.00|16.00/"
     "14.00|70.00|20.00/8.00|64.00|14.00/6.00|78.00|28.00", "50.00|14.00 to 28.00|Stakes for a total of 50.00"},
    {"back, a profit of 10", kEx1, Set("0", Profit, "10"), "12.59|37.77|10.00/7.55|37.75|9.98/4.72|37.76|9.99/"
     "2.91|37.83|10.06", "27.77|9.98 to 10.06|Stakes for a profit of 10.00"},
    {"no stake below 3, evenly: box 4's 3.00 (lifted from 2.31) goes onto 4, never 2", kEx1,
     Set("0", OnBox, "10", Evenly, Back, "3"), "14.00|42.00|10.00/8.00|40.00|8.00/6.00|48.00|16.00/4.00|52.00|20.00",
     "32.00|8.00 to 20.00|Stakes with 10.00 on box 1"},
    // A size no stakes can give: the calculator's stakes, the box red and the line saying so.
    {"a profit at a book over 100 %, at 5 %: no commission on a loss", {"1", "1", "2"}, Set("5", Profit, "10"),
     "7.00|14.00|-4.67/7.00|14.00|-4.67/"
     "4.67|14.01|-4.66", "18.67|-4.67 to -4.66|", "Book: 133.3" + kNoProfit, Calculated, true},
    {"each way, a profit at a place book of 50 % or more", {"1", "1", "2"}, Set("0", Profit, "10", Unrounded, EachWay),
     "3.42|-7.72|-14.56/3.42|-7.72|-14.56/2.49|-7.70|-15.17", "18.66|9.33|-7.72 to 0.50|-18.66 to -10.45|",
     "Book: 133.3 % of the market; place terms 1/5, 3 places", Calculated, true},
    // Ties: 6 and 6 (profits 12) before 4 and 4 (8), both even; then the total nearest the exact one.
    {"a tie in the even rounding", {"3", "3"}, Set("0", OnBox, "5", Evenly), "6.00|24.00|12.00/6.00|24.00|12.00",
     "12.00|12.00|Stakes with 5.00 on box 1", "Book: 50.0 % of the market"},
};
// clang-format on

// The headings, last three cells and lines of worked races in each bet type, size and rounding.
TEST_P(InLocale, RaceSheets) {
    for (const SheetCase& c : kSheets) {
        SCOPED_TRACE(c.what);
        BetSlip slip = Worked(2, c.odds, c.run, c.displayMode);
        const RaceSheet sheet = MakeRaceSheet(slip, c.settings);
        const auto& [headings, typeLines] = kTypes.at(c.settings.type);
        std::string lines = c.book + "#" + (*c.figures ? Fill(typeLines, c.figures) : "###");
        lines += c.refused ? "No stakes give that at these odds: the calculator's stakes are shown"
                 : lines.back() != '#' ? "; the calculator's own are unchanged"
                                       : "";
        EXPECT_EQ(sheet.book + "#" + sheet.staked + "#" + sheet.profitRange + "#" + sheet.outside + "#" +
                      sheet.spread,
                  L(lines));
        EXPECT_EQ(sheet.sizeRefused, c.refused);
        std::string table = std::string(sheet.headings[4]) + "|" + sheet.headings[5] + "|" +
                            sheet.headings[6] + "|" + sheet.headings[7];
        for (const RaceSheet::Row& row : sheet.rows)
            table += "/" + row[5] + "|" + row[6] + "|" + row[7];
        EXPECT_EQ(table, headings + "/" + L(c.cells));
    }
}

// Every starter played; a setting out of range or unreadable counts as 0 %, the calculator's stakes or no
// minimum, and says so.
TEST_P(InLocale, RaceSheetSettings) {
    BetSlip slip = Worked(2, kEx1);
    slip.startersCount = 4;
    EXPECT_EQ(MakeRaceSheet(slip, {}).outside, "Every starter is played.");
    const std::string plain = RaceSheetText(MakeRaceSheet(Worked(2, kEx1), {}));
    // commission, amount of a total, minimum stake; refused: commission, amount, minimum
    const std::tuple<const char*, const char*, const char*, bool, bool, bool> settings[] = {
        {"100.5", "", "", true, false, false}, {"-5", "", "0", true, false, true},
        {".", ",", ",", false, false, false},  {"abc", "x", "x", true, true, true},
        {"0", "0", "-1", false, true, true},   {"0", "2e9", "2e9", false, true, true}};
    for (const auto& [commission, amount, minimum, commissionRefused, sizeRefused, minRefused] : settings) {
        const RaceSheet sheet =
            MakeRaceSheet(Worked(2, kEx1), Set(commission, Total, amount, OntoUnit, Back, minimum));
        EXPECT_EQ(RaceSheetText(sheet), plain) << commission << " " << amount;
        EXPECT_EQ(sheet.commissionRefused, commissionRefused) << commission;
        EXPECT_EQ(sheet.sizeRefused, sizeRefused) << amount;
        EXPECT_EQ(sheet.minStakeRefused, minRefused) << minimum;
    }
}

// Pasted prices, as typed into the boxes ("@N": runner N; "|...": more than nine held), the same in either
// locale; nothing beyond a megabyte or 200 lines is read.
TEST_P(InLocale, PastedOdds) {
    constexpr auto ToOne = OddsFormat::ToOne, Decimal = OddsFormat::Decimal, American = OddsFormat::American;
    std::string card, row, noise(kPasteBytes, 'x');
    for (int n = 1; n <= 12; ++n)
        card += std::to_string(n) + " Horse " + std::to_string(n) + "/2\n",
            row += std::to_string(n + 1) + "\t";
    // clang-format off
    const std::tuple<OddsFormat, std::string, const char*> cases[] = {
        {ToOne, "2\n4\n7\n12\n", "2|4|7|12"}, {ToOne, "\r\n2\t\t4,5\t\r\n\n", "2|4,5"},
        {ToOne, "1 Alpha 5/2\n2 Bravo NR\n3 Charlie Evs\n4 Delta 9/2\n", "5/2@1|1/1@3|9/2@4"},
        {ToOne, "Runner;Odds\r7;4.5\r12;EVENS;SP\r", "4.5@7|1/1@12"}, {ToOne, "100 9/2\n0 5\n03 6\n7\n", "9/2|5|6@3|7"},
        {ToOne, "no prices here\n3 Frankel\nSP\n-3\n0\n9/x\n", ""},
        {ToOne, "3\tFrankel\t9/2", "9/2@3"}, {ToOne, "5 Alpha 9-7 14:30 6/4 SP 9/0", "6/4@5"},
        {Decimal, "evS\n1\n1.5\n9/2", "2|1.5|9/2"}, {American, "Evens\n-200\n99\n+450", "+100|-200|+450"},
        {ToOne, "2\t4\tx", "4@2"}, {ToOne, "1." + std::string(70, '0') + "1\n4.", "4."}, {ToOne, noise + "\n5", ""},
        {ToOne, card, "1/2@1|2/2@2|3/2@3|4/2@4|5/2@5|6/2@6|7/2@7|8/2@8|9/2@9|..."},
        {ToOne, row, "2|3|4|5|6|7|8|9|10|..."}, {ToOne, std::string(199, '\n') + "4\n5", "4"}};
    // clang-format on
    for (const auto& [format, text, expected] : cases) {
        const PastedOdds pasted = ReadPastedOdds(text, sep, format);
        std::string shown;
        for (const PastedRunner& r : pasted.runners)
            shown += (shown.empty() ? "" : "|") + r.price + (r.number ? "@" + std::to_string(r.number) : "");
        EXPECT_EQ(shown + (pasted.heldMore ? "|..." : ""), expected) << text.substr(0, 80);
    }
}

} // namespace
} // namespace fairstake::test
