#include "engine/numtext.h"
#include "fakehost.h"

#include <cfloat>
#include <limits>
#include <stdexcept>

namespace fairstake::test {
namespace {

class NumberTexts : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

TEST(NumberTexts, TrimRemovesOnlyOuterControlsAndBlanks) {
    EXPECT_EQ(Trim("  4.5 "), "4.5");
    EXPECT_EQ(Trim("\t\r\n\x01 9 / 2\x1f"), "9 / 2");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim("\1774"), "\1774");
    EXPECT_EQ(Trim("\302\2404"), "\302\2404"); // a UTF-8 no-break space stays
}

TEST_P(NumberTexts, FixedTwoDecimalsRoundsHalvesAwayFromZero) {
    const char32_t sep = GetParam();
    // clang-format off
    const std::pair<long double, const char*> cases[] = {
        {14.0L / 3, "4.67"}, {3.5L, "3.50"}, {0, "0.00"}, {-1.5L, "-1.50"}, {0.125L, "0.13"}, {-0.125L, "-0.13"},
        {1.005L, "1.01"}, {1.005f, "1.00"}, {9.995L, "10.00"}, {1234567.891L, "1234567.89"}, {8.17f, "8.17"},
        {1e17L, "100000000000000000.00"}, {0.999f, "1.00"}};
    // clang-format on
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatFixed2(value, sep), Loc(text, sep)) << text;
    EXPECT_THROW(FormatFixed2(std::numeric_limits<long double>::quiet_NaN(), sep), ArithmeticFault);
}

TEST(NumberTexts, WholeNumberRoundsHalvesToEven) {
    const std::pair<long double, const char*> cases[] = {
        {2.5L, "2"},  {3.5L, "4"},     {-2.5L, "-2"}, {0.5L, "0"},
        {4.67L, "5"}, {3.14159L, "3"}, {-0.4L, "0"},  {1e15L, "1000000000000000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatWhole(value), text) << text;
    EXPECT_THROW(FormatWhole(1e19L), ArithmeticFault);
    EXPECT_THROW(FormatWhole(std::numeric_limits<long double>::infinity()), ArithmeticFault);
}

TEST_P(NumberTexts, GeneralFormKeepsFifteenDigits) {
    const char32_t sep = GetParam();
    // clang-format off
    const std::pair<long double, const char*> cases[] = {
        {12, "12"}, {12.5L, "12.5"}, {12.4000005722046L, "12.4000005722046"}, {0, "0"}, {-7, "-7"},
        {12.3000001907349f, "12.3000001907349"}, {0.1f, "0.100000001490116"}, {1.0L / 3, "0.333333333333333"},
        {123456789012345.0L, "123456789012345"}, {1e15L, "1E15"}, {1.5e-7L, "1.5E-7"}};
    // clang-format on
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatGeneral(value, sep), Loc(text, sep)) << text;
}

TEST_P(NumberTexts, TextToNumberReadsOnlyTheLocaleSeparator) {
    const char32_t sep = GetParam();
    const std::pair<const char*, long double> good[] = {{"4.5", 4.5L}, {" 12 ", 12},  {"-3", -3},
                                                        {"+3", 3},     {"1e3", 1000}, {"1.5E-2", 0.015L},
                                                        {"5.", 5},     {".5", 0.5L}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(TextToNumber(Loc(text, sep), sep), value) << text;
    EXPECT_THROW(TextToNumber(sep == U'.' ? "4,5" : "4.5", sep), ConversionFault);
    for (const char* text : {"", " ", ".", "1e", "1.2.3", "12abc", "\t5", "- 3", "1,000.5"})
        EXPECT_THROW(TextToNumber(Loc(text, sep), sep), ConversionFault) << text;
}

TEST(NumberTexts, TextToInt32AcceptsExactlyTheThirtyTwoBitRange) {
    const std::pair<const char*, std::int32_t> good[] = {
        {"0", 0},  {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"  42", 42}, {"+7", 7},
        {"007", 7}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(TextToInt32(text), value) << text;
    for (const char* text :
         {"2147483648", "-2147483649", "99999999999999999999", "42 ", "4.5", "", "-", "x1"})
        EXPECT_THROW(TextToInt32(text), ConversionFault) << text;
}

TEST(NumberTexts, StoringAndDividingRaiseArithmeticFaults) {
    EXPECT_EQ(StoreFloat(FLT_MAX), FLT_MAX);
    EXPECT_EQ(StoreFloat(0.1L), 0.1f);
    EXPECT_THROW(StoreFloat(1e39L), ArithmeticFault);
    EXPECT_THROW(StoreFloat(-1e39L), ArithmeticFault);
    EXPECT_THROW(StoreFloat(std::numeric_limits<long double>::quiet_NaN()), ArithmeticFault);
    EXPECT_THROW(Divide(1, 0), ArithmeticFault);
    EXPECT_THROW(Divide(0, 0), ArithmeticFault);
    EXPECT_THROW(Divide(LDBL_MAX, 0.5L), ArithmeticFault);
    EXPECT_THROW(StoreFloat(Divide(1e30L, 1e-30L)), ArithmeticFault);
}

TEST(NumberTexts, GuardedSwallowsOnlyTheProgramsFaults) {
    EXPECT_TRUE(guarded([] {}));
    EXPECT_FALSE(guarded([] { Divide(1, 0); }));
    EXPECT_FALSE(guarded([] { TextToNumber("x", U'.'); }));
    EXPECT_THROW(guarded([] { throw std::logic_error("bug"); }), std::logic_error);
}

INSTANTIATE_TEST_SUITE_P(Separators, NumberTexts, kSeparators);

} // namespace
} // namespace fairstake::test
