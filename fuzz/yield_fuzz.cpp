// ShowOddsYield on any odds box text, in both locales, from a zero and a
// non-zero total line.
//
// Properties:
// - nothing is thrown;
// - a blank box or "0" changes nothing;
// - a new yield line has its fixed form, and its two amounts read back as
//   numbers with the second twice the first (to the cent);
// - a decimal text shows exactly what ParseOdds reads from it, plus 1;
//   a fraction with a denominator shows ParseOdds's value to the cent;
// - the total line changes only from a zero total, and then only to the
//   request to refresh, and only together with the yield line.

#include <cmath>
#include <optional>

#include "engine/engine.h"
#include "engine/numtext.h"
#include "fuzzcheck.h"

using namespace fairstake;
using namespace fairstake::fuzz;

namespace {

struct YieldLine {
    std::string odds, one, two;
};

std::optional<YieldLine> Split(const std::string& line) {
    const std::string head = "Odds of ", mid = " will yield ", one = " for a $1 bet and ", tail = " for a $2 bet";
    if (line.rfind(head, 0) != 0 || line.size() < tail.size() ||
        line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    // The odds part is user text and may itself contain the fixed words: the
    // amounts are found from the end.
    const std::string body = line.substr(head.size(), line.size() - head.size() - tail.size());
    const auto oneAt = body.rfind(one);
    if (oneAt == std::string::npos) return std::nullopt;
    const auto midAt = body.rfind(mid, oneAt);
    if (midAt == std::string::npos) return std::nullopt;
    return YieldLine{body.substr(0, midAt), body.substr(midAt + mid.size(), oneAt - midAt - mid.size()),
                     body.substr(oneAt + one.size())};
}

void Check(std::string_view text, char32_t sep, const std::string& totalBefore) {
    BetSlip slip;
    slip.separator = sep;
    slip.totalLine = totalBefore;
    ShowOddsYield(slip, text, OddsFormat::ToOne);

    const std::string trimmed = Trim(text);
    const bool changed = slip.yieldLine != kYieldAtStart;
    if (trimmed.empty() || trimmed == "0") {
        FUZZ_CHECK(!changed && slip.totalLine == totalBefore);
        return;
    }
    const bool zeroTotal = totalBefore.find("al amount to bet: 0") != std::string::npos;
    if (slip.totalLine != totalBefore) FUZZ_CHECK(zeroTotal && slip.totalLine == kTotalAskRefresh);
    if (!changed) return;
    FUZZ_CHECK(!zeroTotal || slip.totalLine == kTotalAskRefresh);

    const auto parts = Split(slip.yieldLine);
    FUZZ_CHECK(parts.has_value());
    const auto one = ParseNumber(parts->one, sep);
    const auto two = ParseNumber(parts->two, sep);
    FUZZ_CHECK(one && two);
    FUZZ_CHECK(Near(*two, 2 * *one, 1e-6L, 0.015L)); // each amount is within half a cent

    std::string shown(text);
    if (shown.back() == '/') shown.pop_back();
    const auto odds = ParseOdds(text, sep, OddsFormat::ToOne);
    if (shown.find('/') == std::string::npos) {
        FUZZ_CHECK(parts->odds == shown);
        FUZZ_CHECK(odds.has_value());
        FUZZ_CHECK(parts->one == FormatFixed2(StoreFloat(*odds + 1.0L), sep));
    } else {
        const auto fraction = ParseNumber(parts->odds, sep);
        FUZZ_CHECK(fraction.has_value());
        FUZZ_CHECK(parts->odds == FormatFixed2(*fraction, sep));
        // A blank or "0" denominator shows odds of 0.00 whatever ParseOdds reads ("9 / " is 9
        // to ParseOdds, which drops the first blank and trims); otherwise both read n / d.
        const std::string denominator = shown.substr(shown.find('/') + 1);
        if (odds && denominator != "0" && !Trim(denominator).empty())
            FUZZ_CHECK(Near(*fraction, *odds, 1e-6L, 0.005L));
        FUZZ_CHECK(Near(*one, *fraction + 1.0L, 1e-6L, 0.005L));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    NoEscape([&] {
        for (const char32_t sep : kSeparators) {
            Check(text, sep, kTotalPrefix + FormatFixed2(0.0L, sep));
            Check(text, sep, kTotalPrefix + FormatFixed2(8.17L, sep));
        }
    });
    return 0;
}
