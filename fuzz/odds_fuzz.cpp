// ParseOdds on any text typed into an odds box.
//
// Properties:
// - nothing is thrown; the outcome is a finite float or no result;
// - the locale does not matter: "." and "," both read as the separator, so
//   every text gives bit-for-bit the same outcome under either separator;
// - a fraction is two 32-bit whole numbers, so its value is at most 2^31 in size;
// - the caller trims the box text first; a decimal text (no fraction bar) and
//   its trimmed form agree when only blanks surround it.  (A fraction is read
//   as passed in, so "9/2 " has a trailing character; the caller never passes one.)

#include <bit>
#include <cmath>

#include "engine/engine.h"
#include "engine/numtext.h"
#include "fuzzcheck.h"

using namespace fairstake;
using namespace fairstake::fuzz;

namespace {

bool SameOutcome(std::optional<float> a, std::optional<float> b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || std::bit_cast<std::uint32_t>(*a) == std::bit_cast<std::uint32_t>(*b);
}

bool OnlyBlanksAround(std::string_view text) {
    const std::string trimmed = Trim(text);
    const auto at = text.find(trimmed);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool outside = trimmed.empty() || i < at || i >= at + trimmed.size();
        if (outside && text[i] != ' ') return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    NoEscape([&] {
        const auto point = ParseOdds(text, U'.');
        const auto comma = ParseOdds(text, U',');
        FUZZ_CHECK(SameOutcome(point, comma));
        if (point) {
            FUZZ_CHECK(std::isfinite(*point));
            const std::string trimmed = Trim(text);
            const auto bar = trimmed.find('/');
            if (bar != std::string::npos && bar + 1 != trimmed.size())
                FUZZ_CHECK(std::fabs(*point) <= 2147483648.0f);
        }
        if (text.find('/') == std::string_view::npos && OnlyBlanksAround(text))
            FUZZ_CHECK(SameOutcome(point, ParseOdds(Trim(text), U'.')));
    });
    return 0;
}
