// ParseOdds on any text typed into an odds box, in each odds format.
//
// Properties:
// - nothing is thrown; the outcome is a finite float or no result;
// - the locale does not matter: "." and "," both read as the separator, so
//   every text gives bit-for-bit the same outcome under either separator;
// - a fraction is two 32-bit whole numbers, so its value is at most 2^31 in
//   size, and it reads the same in every format;
// - the caller trims the box text first; a decimal text (no fraction bar) and
//   its trimmed form agree when only blanks surround it.  (A fraction is read
//   as passed in, so "9/2 " has a trailing character; the caller never passes one.)
// - decimal odds x read bit for bit as the to-one text x - 1, worked out here
//   on plain texts ("+12.5" against "11.5"); any other number within a float's
//   rounding of the to-one reading less 1, and read from 1 on;
// - American odds are the to-one reading divided by 100 from 100 on, 100
//   divided by it from -100 down, and nothing in between.
// - the same text pasted (ReadPastedOdds) gives at most nine prices, "held
//   more" only beside nine, each a price that reads above 0 in its format,
//   runner numbers 0 to 99, and the same under either separator.

#include <bit>
#include <cmath>

#include "engine/engine.h"
#include "engine/numtext.h"
#include "engine/pasteodds.h"
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

// For "+12.5", "12,50" or "3": the same text with the whole part one less; nullopt for other shapes.
std::optional<std::string> OneLess(std::string_view text) {
    std::size_t i = text.starts_with('+') ? 1 : 0;
    const std::size_t digits = i;
    unsigned long long whole = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digits < 18)
        whole = whole * 10 + unsigned(text[i++] - '0');
    if (i == digits || whole == 0) return std::nullopt;
    std::string_view rest = text.substr(i);
    if (!rest.empty() && rest[0] != '.' && rest[0] != ',') return std::nullopt;
    for (std::size_t k = 1; k < rest.size(); ++k)
        if (rest[k] < '0' || rest[k] > '9') return std::nullopt;
    return std::to_string(whole - 1) + std::string(rest);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    NoEscape([&] {
        std::optional<float> read[3];
        for (const OddsFormat format : {OddsFormat::ToOne, OddsFormat::Decimal, OddsFormat::American}) {
            const auto point = ParseOdds(text, U'.', format);
            const auto comma = ParseOdds(text, U',', format);
            FUZZ_CHECK(SameOutcome(point, comma));
            read[int(format)] = point;
            if (point) {
                FUZZ_CHECK(std::isfinite(*point));
                const std::string trimmed = Trim(text);
                const auto bar = trimmed.find('/');
                if (bar != std::string::npos && bar + 1 != trimmed.size())
                    FUZZ_CHECK(std::fabs(*point) <= 2147483648.0f);
            }
            if (text.find('/') == std::string_view::npos && OnlyBlanksAround(text))
                FUZZ_CHECK(SameOutcome(point, ParseOdds(Trim(text), U'.', format)));
        }
        for (const OddsFormat format : {OddsFormat::ToOne, OddsFormat::Decimal, OddsFormat::American}) {
            const PastedOdds pasted = ReadPastedOdds(text, U'.', format), comma = ReadPastedOdds(text, U',', format);
            FUZZ_CHECK(pasted.runners.size() <= 9 && (!pasted.heldMore || pasted.runners.size() == 9));
            FUZZ_CHECK(pasted.heldMore == comma.heldMore && pasted.runners.size() == comma.runners.size());
            for (std::size_t i = 0; i < pasted.runners.size(); ++i) {
                const PastedRunner& r = pasted.runners[i];
                FUZZ_CHECK(r.price == comma.runners[i].price && r.number == comma.runners[i].number);
                FUZZ_CHECK(ParseOdds(r.price, U'.', format).value_or(0.0f) > 0.0f && r.number >= 0 && r.number <= 99);
            }
        }
        const auto [toOne, decimal, american] = read;
        if (text.find('/') != std::string_view::npos) {
            FUZZ_CHECK(SameOutcome(toOne, decimal) && SameOutcome(toOne, american));
            return;
        }
        if (const auto twin = OneLess(text))
            FUZZ_CHECK(SameOutcome(decimal, ParseOdds(*twin, U'.', OddsFormat::ToOne)));
        // (Odds near a float's largest may read in one format and overflow in the other.)
        if (decimal) FUZZ_CHECK(*decimal >= 0.0f && (!toOne || *toOne >= 1.0f));
        if (toOne && *toOne >= 1.0001f && *toOne < 1e38f) FUZZ_CHECK(decimal.has_value());
        if (decimal && toOne)
            FUZZ_CHECK(std::fabs(*decimal - (static_cast<long double>(*toOne) - 1)) <=
                       1e-6L * std::fmax(1.0f, *toOne));
        if (american) FUZZ_CHECK(*american >= 0.0f && (!toOne || std::fabs(*toOne) >= 100.0f));
        if (toOne && std::fabs(*toOne) >= 100.0001f && std::fabs(*toOne) < 1e38f) {
            FUZZ_CHECK(american.has_value());
            const long double expected = *toOne > 0 ? *toOne / 100.0L : 100.0L / -*toOne;
            FUZZ_CHECK(Near(*american, expected, 1e-6L));
        }
    });
    return 0;
}
