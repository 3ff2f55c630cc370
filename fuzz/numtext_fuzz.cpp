// The number texts: trimming, reading a decimal text in either locale, and
// the three written forms, fed both with the numbers the text reads as and
// with raw float and double bit patterns from the input.
//
// Properties:
// - Trim leaves no character of code 32 or less at either end, cuts only
//   the ends, and trimming twice changes nothing;
// - ParseNumber gives a finite value or refuses, TextToNumber raises
//   ConversionFault exactly then, and nothing else is ever thrown;
// - a text holding the other locale's separator is refused;
// - an accepted text means what the C library reads from it (strtold on the
//   same text with a '.'), to the last bit;
// - the general form of a float reads back to the same float, and that of
//   any normal value to 15 significant digits;
// - the two-decimal form has exactly two decimals and reads back to the
//   value within half a cent; beyond 10^18 it is the scientific form;
// - the whole-number form reads back as the nearest whole number (halves
//   to even), and raises ArithmeticFault only beyond the 64-bit range.

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/numtext.h"
#include "fuzzcheck.h"

using namespace fairstake;
using namespace fairstake::fuzz;

namespace {

void CheckTrim(std::string_view text) {
    const std::string t = Trim(text);
    if (!t.empty()) {
        FUZZ_CHECK(static_cast<unsigned char>(t.front()) > 32 && static_cast<unsigned char>(t.back()) > 32);
        FUZZ_CHECK(text.find(t) != std::string_view::npos);
    }
    FUZZ_CHECK(Trim(t) == t);
    if (t.empty())
        for (const char c : text) FUZZ_CHECK(static_cast<unsigned char>(c) <= 32);
    for (const char c : text.substr(0, text.find(t)))
        FUZZ_CHECK(static_cast<unsigned char>(c) <= 32);
}

// The text as the C library should read it: the locale's separator as '.'.
// Only called on texts ParseNumber accepted, so they hold at most one separator.
long double LibcReading(std::string_view text, char32_t sep, bool& whole) {
    std::string ascii(text);
    if (sep != U'.')
        if (const auto at = ascii.find(static_cast<char>(sep)); at != std::string::npos) ascii[at] = '.';
    while (!ascii.empty() && ascii.back() == ' ') ascii.pop_back();
    char* end = nullptr;
    const long double v = std::strtold(ascii.c_str(), &end);
    whole = end == ascii.c_str() + ascii.size();
    return v;
}

void CheckParse(std::string_view text, char32_t sep) {
    const auto v = ParseNumber(text, sep);
    bool faulted = false;
    long double converted = 0;
    try {
        converted = TextToNumber(text, sep);
    } catch (const ConversionFault&) {
        faulted = true;
    }
    FUZZ_CHECK(faulted == !v.has_value());
    if (!v) return;
    FUZZ_CHECK(std::isfinite(*v));
    FUZZ_CHECK(std::memcmp(&converted, &*v, 10) == 0);
    FUZZ_CHECK(text.find(OtherSeparator(sep)) == std::string_view::npos);
    bool whole = false;
    const long double libc = LibcReading(text, sep, whole);
    FUZZ_CHECK(whole);
    FUZZ_CHECK(libc == *v);
}

void CheckGeneral(long double v, char32_t sep) {
    const std::string text = FormatGeneral(v, sep);
    const auto back = ParseNumber(text, sep);
    if (std::fpclassify(v) == FP_NORMAL || v == 0.0L) {
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(Near(*back, v, 1e-14L));
    }
    const auto at = text.find(SeparatorText(sep));
    if (at != std::string::npos && text.find('E') == std::string::npos) FUZZ_CHECK(text.back() != '0');
    if (std::fabs(v) < 1e15L && std::fabs(v) >= 1e-5L && v == std::trunc(v))
        FUZZ_CHECK(at == std::string::npos);
}

void CheckGeneralFloat(float f, char32_t sep) {
    const auto back = ParseNumber(FormatGeneral(f, sep), sep);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(StoreFloat(*back) == f);
}

void CheckFixed2(long double v, char32_t sep) {
    const std::string text = FormatFixed2(v, sep);
    const auto back = ParseNumber(text, sep);
    FUZZ_CHECK(back.has_value());
    if (std::fabs(v) >= 1e18L) {
        FUZZ_CHECK(text.find('E') != std::string::npos);
        FUZZ_CHECK(Near(*back, v, 1e-14L));
        return;
    }
    const std::string s = SeparatorText(sep);
    const auto at = text.find(s);
    FUZZ_CHECK(at != std::string::npos && text.size() == at + s.size() + 2);
    FUZZ_CHECK(Near(*back, v, 1e-17L, 0.005L));
}

void CheckWhole(long double v) {
    std::string text;
    try {
        text = FormatWhole(v);
    } catch (const ArithmeticFault&) {
        FUZZ_CHECK(std::fabs(v) >= 9.2233720368547758e18L);
        return;
    }
    long long w = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), w);
    FUZZ_CHECK(ec == std::errc() && end == text.data() + text.size());
    const long double gap = std::fabs(static_cast<long double>(w) - v);
    FUZZ_CHECK(gap <= 0.5L);
    if (gap == 0.5L) FUZZ_CHECK(w % 2 == 0);
}

void CheckValue(long double v, char32_t sep) {
    if (!std::isfinite(v)) {
        for (auto format : {+[](long double x, char32_t s) { return FormatGeneral(x, s); },
                            +[](long double x, char32_t s) { return FormatFixed2(x, s); }}) {
            bool faulted = false;
            try {
                format(v, sep);
            } catch (const ArithmeticFault&) {
                faulted = true;
            }
            FUZZ_CHECK(faulted);
        }
        return;
    }
    CheckGeneral(v, sep);
    CheckFixed2(v, sep);
    CheckWhole(v);
    if (std::isfinite(static_cast<float>(v))) {
        CheckGeneralFloat(static_cast<float>(v), sep);
        CheckFixed2(static_cast<float>(v), sep);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    NoEscape([&] {
        CheckTrim(text);
        for (const char32_t sep : kSeparators) {
            CheckParse(text, sep);
            if (const auto v = ParseNumber(text, sep)) CheckValue(*v, sep);
            if (size >= sizeof(double)) {
                double d;
                std::memcpy(&d, data, sizeof d);
                CheckValue(d, sep);
                float f;
                std::memcpy(&f, data, sizeof f);
                CheckValue(f, sep);
            }
        }
    });
    return 0;
}
