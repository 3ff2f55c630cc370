#include "engine/numtext.h"
#include "fakehost.h"

#include <limits>
#include <stdexcept>

namespace fairstake::test {
namespace {

class NumberTexts : public ::testing::TestWithParam<char32_t> {
    ProcessLocale locale_{GetParam()};
};

// Two decimals with halves away from zero; whole numbers with halves to even;
// the general form with fifteen digits.
TEST_P(NumberTexts, Formats) {
    const char32_t sep = GetParam();
    const std::pair<long double, const char*> fixed[] = {
        {14.0L / 3, "4.67"}, {-1.5L, "-1.50"}, {0.125L, "0.13"},
        {-0.125L, "-0.13"},  {1.005L, "1.01"}, {1.005f, "1.00"},
        {9.995L, "10.00"},   {8.17f, "8.17"},  {1e17L, "100000000000000000.00"}};
    for (const auto& [value, text] : fixed)
        EXPECT_EQ(FormatFixed2(value, sep), Loc(text, sep)) << text;
    for (const auto& [value, text] :
         {std::pair{2.5L, "2"}, {3.5L, "4"}, {-2.5L, "-2"}, {4.67L, "5"}, {-0.4L, "0"}})
        EXPECT_EQ(FormatWhole(value), text) << text;
    const std::pair<long double, const char*> general[] = {{12, "12"},
                                                           {12.4000005722046L, "12.4000005722046"},
                                                           {0.1f, "0.100000001490116"},
                                                           {1.0L / 3, "0.333333333333333"},
                                                           {123456789012345.0L, "123456789012345"},
                                                           {1e15L, "1E15"},
                                                           {1.5e-7L, "1.5E-7"}};
    for (const auto& [value, text] : general)
        EXPECT_EQ(FormatGeneral(value, sep), Loc(text, sep)) << text;
    EXPECT_THROW(FormatFixed2(std::numeric_limits<long double>::quiet_NaN(), sep), ArithmeticFault);
    EXPECT_THROW(FormatWhole(1e19L), ArithmeticFault);
}

// Only the locale's separator; only outer controls and blanks trimmed; exactly
// the 32-bit range.
TEST_P(NumberTexts, Readers) {
    const char32_t sep = GetParam();
    for (const auto& [text, value] :
         {std::pair{"4.5", 4.5L}, {" 12 ", 12}, {"+3", 3}, {"1.5E-2", 0.015L}, {"5.", 5}, {".5", 0.5L}})
        EXPECT_EQ(TextToNumber(Loc(text, sep), sep), value) << text;
    for (const char* text : {"", ".", "1e", "1.2.3", "12abc", "\t5", "- 3", "1,000.5"})
        EXPECT_THROW(TextToNumber(Loc(text, sep), sep), ConversionFault) << text;
    EXPECT_THROW(TextToNumber(sep == U'.' ? "4,5" : "4.5", sep), ConversionFault);
    EXPECT_EQ(Trim("\t\r\n\x01 9 / 2\x1f"), "9 / 2");
    EXPECT_EQ(Trim("\302\2404"), "\302\2404"); // a UTF-8 no-break space stays
    for (const auto& [text, value] :
         {std::pair{"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"  +7", 7}})
        EXPECT_EQ(TextToInt32(text), value) << text;
    for (const char* text : {"2147483648", "-2147483649", "42 ", "4.5", "", "-"})
        EXPECT_THROW(TextToInt32(text), ConversionFault) << text;
}

TEST(NumberTexts, FaultsAndTheirGuard) {
    EXPECT_EQ(StoreFloat(0.1L), 0.1f);
    EXPECT_THROW(StoreFloat(-1e39L), ArithmeticFault);
    EXPECT_THROW(Divide(1, 0), ArithmeticFault);
    EXPECT_THROW(StoreFloat(Divide(1e30L, 1e-30L)), ArithmeticFault);
    EXPECT_TRUE(guarded([] {}));
    EXPECT_FALSE(guarded([] { TextToNumber("x", U'.'); }));
    EXPECT_THROW(guarded([] { throw std::logic_error("bug"); }), std::logic_error);
}

INSTANTIATE_TEST_SUITE_P(Separators, NumberTexts, kSeparators);

} // namespace
} // namespace fairstake::test
