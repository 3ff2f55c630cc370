// The number texts are the same whatever locale the C library is in: the
// program runs with the user's locale set (QApplication does it), and a comma
// or an Arabic decimal point written by the C library must never leak into
// them or stop them reading a text.

#include "engine/numtext.h"
#include "support/processlocale.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fairstake::test {
namespace {

std::vector<std::string> AllTexts(char32_t sep) {
    // clang-format off
    const long double values[] = {0.5L,  12.4000005722046L, 1.0L / 3, -7,     1e15L,  1.5e-7L,            -2.5e-9L, 1e17L,
                                  2e18L, 4.675L,            0.1f,     -0.125L, 9.995L, 123456789012345.0L, 12.3000001907349f};
    // clang-format on
    std::vector<std::string> texts;
    for (const long double v : values) {
        const std::string general = FormatGeneral(v, sep);
        const std::string fixed = FormatFixed2(v, sep);
        texts.insert(texts.end(), {general, fixed, std::abs(v) < 1e18L ? FormatWhole(v) : "-"});
        for (const std::string& t : {general, fixed})
            texts.push_back(FormatGeneral(ParseNumber(t, sep).value_or(-1), sep));
    }
    return texts;
}

TEST(LocaleFreeNumberTexts, EveryLocaleWritesAndReadsAsTheCLocale) {
    for (const char32_t sep : {U'.', U',', U'\u066B'}) {
        std::setlocale(LC_ALL, "C");
        const auto reference = AllTexts(sep);
        for (const char32_t locale : {U'.', U',', U'\u066B'}) {
            const ProcessLocale in(locale);
            EXPECT_EQ(AllTexts(sep), reference)
                << LocaleNameFor(locale) << " with separator U+" << std::hex << static_cast<unsigned>(sep);
        }
    }
}

} // namespace
} // namespace fairstake::test
