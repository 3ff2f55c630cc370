// The whole-number texts: the "Start at" box (trimmed, then TextToInt32) and
// the starters box (ParseInt32, TextToInt32 for the runner lists).
//
// Properties:
// - nothing but ConversionFault is thrown, and exactly when ParseInt32 refuses;
// - the accepted texts are exactly: blanks, an optional sign, one or more
//   digits, and a value inside the 32-bit range (checked against a 64-bit
//   reading of the digits);
// - every accepted text is also a decimal number of the same value in both
//   locales, and the value's own text reads back to it.

#include <charconv>
#include <string>

#include "engine/numtext.h"
#include "fuzzcheck.h"

using namespace fairstake;
using namespace fairstake::fuzz;

namespace {

// What a 32-bit whole-number text is, written independently of the engine:
// nullopt for anything that is not one.
std::optional<std::int32_t> Expected(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    const std::string_view digits = text.substr(i);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const std::size_t first = digits.find_first_not_of('0');
    const std::string_view significant = first == std::string_view::npos ? "0" : digits.substr(first);
    if (significant.size() > 10) return std::nullopt;
    long long value = 0;
    std::from_chars(significant.data(), significant.data() + significant.size(), value);
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void Check(std::string_view text) {
    const auto parsed = ParseInt32(text);
    FUZZ_CHECK(parsed == Expected(text));
    bool faulted = false;
    std::int32_t converted = 0;
    try {
        converted = TextToInt32(text);
    } catch (const ConversionFault&) {
        faulted = true;
    }
    FUZZ_CHECK(faulted == !parsed.has_value());
    if (!parsed) return;
    FUZZ_CHECK(converted == *parsed);
    for (const char32_t sep : kSeparators) FUZZ_CHECK(ParseNumber(text, sep) == static_cast<long double>(*parsed));
    FUZZ_CHECK(ParseInt32(std::to_string(*parsed)) == *parsed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    NoEscape([&] {
        Check(text);
        // The "Start at" box converts its text once trimmed.
        Check(Trim(text));
    });
    return 0;
}
