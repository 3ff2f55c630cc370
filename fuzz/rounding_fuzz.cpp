// RoundStakes with any text in the rounding unit box, over amounts as the
// calculation writes them (two-decimal texts and the placeholders), in every
// mode, both locales and at the ends of the threshold's range.
//
// Properties:
// - nothing is thrown;
// - an amount either keeps its text, turns from a placeholder into "0", or
//   becomes a number that is finite, not negative, a multiple of the unit
//   and less than one unit away: not below the old amount when rounding up,
//   not above it when rounding down;
// - a unit that is not a positive number rounds nothing (only a placeholder
//   in the first label may turn into "0") and leaves the total line alone;
// - the total line is either untouched or shows the new total, which is
//   finite and not negative;
// - a second run leaves alone every amount the first made an exact multiple.

#include <cmath>
#include <vector>

#include "engine/engine.h"
#include "engine/numtext.h"
#include "fuzzcheck.h"

using namespace fairstake;
using namespace fairstake::fuzz;

namespace {

// Amounts the stake display writes; the first label holds a placeholder in
// one run and a number in the other.
const long double kAmounts[] = {10.40L, 10.50L, 12.00L, 0.30L, 0.90L, 12.35L, 123456.78L, 1e17L};

std::vector<std::string> AmountTexts(char32_t sep, bool placeholderFirst) {
    std::vector<std::string> texts;
    if (placeholderFirst) texts.emplace_back(kNone);
    for (const long double a : kAmounts) texts.push_back(FormatFixed2(StoreFloat(a), sep));
    texts.insert(texts.begin() + 3, kPlaceholder);
    texts.resize(kSelections);
    return texts;
}

bool IsPlaceholder(const std::string& text) { return text == kPlaceholder || text == kNone; }

void CheckOne(RoundingMode mode, const std::string& before, const std::string& after, long double unit,
              char32_t sep) {
    if (after == before) return;
    if (IsPlaceholder(before)) {
        FUZZ_CHECK(after == "0");
        return;
    }
    const auto a = ParseNumber(before, sep);
    const auto b = ParseNumber(after, sep);
    FUZZ_CHECK(a && b);
    FUZZ_CHECK(std::isfinite(*b) && *b >= 0.0L);
    // The new amount is r x u stored as a float: a multiple of the unit up to
    // the float's own precision, and within one unit of the old amount.
    const long double ulp = std::fabs(*b) * 0x1p-23L + 0x1p-149L;
    const long double multiple = std::nearbyint(*b / unit) * unit;
    FUZZ_CHECK(std::fabs(*b - multiple) <= ulp * 4 + std::fabs(multiple) * 1e-12L);
    FUZZ_CHECK(std::fabs(*b - *a) <= unit * (1 + 0x1p-22L) + ulp * 4);
    // Compared as the floats the engine works with: the general form keeps 15 digits, which
    // reads back to the same float but may lie a little either side of it.
    if (mode == RoundingMode::Up) FUZZ_CHECK(StoreFloat(*b) >= StoreFloat(*a));
    if (mode == RoundingMode::Down) FUZZ_CHECK(StoreFloat(*b) <= StoreFloat(*a));
}

void Run(std::string_view unitText, char32_t sep, RoundingMode mode, float threshold, bool placeholderFirst) {
    BetSlip slip;
    slip.separator = sep;
    slip.playedCount = kSelections;
    slip.roundingMode = mode;
    slip.roundingThreshold = threshold;
    slip.roundingUnitText = std::string(unitText);
    const auto before = AmountTexts(sep, placeholderFirst);
    for (int i = 1; i <= kSelections; ++i) slip.selection(i).shownAmount = before[std::size_t(i - 1)];
    const std::string totalBefore = "Total amount to bet: (before)";
    slip.totalLine = totalBefore;

    RoundStakes(slip);

    const auto parsed = ParseNumber(Trim(unitText), sep);
    const bool usable = parsed && *parsed > 0.0L && std::isfinite(static_cast<float>(*parsed));
    if (!usable || static_cast<float>(*parsed) == 0.0f) {
        FUZZ_CHECK(slip.totalLine == totalBefore);
        for (int i = 1; i <= kSelections; ++i) {
            const std::string& after = slip.selection(i).shownAmount;
            if (i == 1 && IsPlaceholder(before[0]))
                FUZZ_CHECK(after == "0");
            else
                FUZZ_CHECK(after == before[std::size_t(i - 1)]);
        }
        return;
    }
    const long double unit = static_cast<float>(*parsed);
    for (int i = 1; i <= kSelections; ++i)
        CheckOne(mode, before[std::size_t(i - 1)], slip.selection(i).shownAmount, unit, sep);
    if (slip.totalLine != totalBefore) {
        FUZZ_CHECK(std::isfinite(slip.totalStake) && slip.totalStake >= 0.0f);
        FUZZ_CHECK(slip.totalLine == kTotalPrefix + FormatFixed2(slip.totalStake, sep));
    }

    // Idempotence: an amount that is now an exact multiple is left as it is.
    std::vector<std::string> first;
    for (const Selection& s : slip.selections) first.push_back(s.shownAmount);
    RoundStakes(slip);
    for (int i = 1; i <= kSelections; ++i) {
        const std::string& was = first[std::size_t(i - 1)];
        if (const auto v = ParseNumber(was, sep); v && static_cast<float>(*v) == *v && std::fmod(*v, unit) == 0.0L)
            FUZZ_CHECK(slip.selection(i).shownAmount == was);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view unitText = AsText(data, size);
    NoEscape([&] {
        for (const char32_t sep : kSeparators)
            for (const bool placeholderFirst : {true, false}) {
                Run(unitText, sep, RoundingMode::Up, 0.5f, placeholderFirst);
                Run(unitText, sep, RoundingMode::Down, 0.5f, placeholderFirst);
                // Only rounding by value reads the threshold.
                for (const float threshold : {0.1f, 0.5f, 0.9f})
                    Run(unitText, sep, RoundingMode::ByValue, threshold, placeholderFirst);
            }
    });
    return 0;
}
