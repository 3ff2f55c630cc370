#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "engine/engine.h"
#include "engine/numtext.h"

namespace fairstake {

namespace {

// GCC's and Clang's 128-bit integer; __extension__ keeps -Wpedantic quiet about it.
__extension__ typedef unsigned __int128 Exact;

// A non-negative decimal as a whole number of 10^exponent, trailing zeros of the digits folded into the
// exponent; nullopt for a negative value or more digits than the 128-bit integer holds.
struct Decimal {
    Exact units = 0;
    std::int64_t exponent = 0;
};

std::optional<Decimal> exactDecimal(std::string_view text, char32_t separator) {
    const auto d = ParseDecimalDigits(text, separator);
    if (!d || (d->negative && !d->digits.empty()) || d->digits.size() > 38) return std::nullopt;
    Decimal out;
    std::string digits = d->digits;
    out.exponent = d->exponent;
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++out.exponent;
    }
    for (char c : digits) out.units = out.units * 10 + Exact(c - '0');
    return out;
}

// value x 10^shift, or nullopt where it outgrows the 128-bit integer.
std::optional<Exact> scaled(Exact value, std::int64_t shift) {
    constexpr Exact kMax = ~Exact(0);
    for (; shift > 0; --shift) {
        if (value > kMax / 10) return std::nullopt;
        value *= 10;
    }
    return value;
}

std::string digitsOf(Exact value) {
    std::string s;
    do {
        s.insert(s.begin(), char('0' + int(value % 10)));
        value /= 10;
    } while (value != 0);
    return s;
}

// r x unit for a unit of `unitUnits` x 10^`unitExponent`, written with the unit's decimals in the general
// form's layout (no trailing zeros, no separator when whole); nullopt where the general form would write
// something else (more than 15 significant digits, or a size it writes with an exponent).
std::optional<std::string> writeMultiple(Exact r, const Decimal& unit, char32_t separator) {
    constexpr Exact kMax = ~Exact(0);
    if (unit.units != 0 && r > kMax / unit.units) return std::nullopt;
    const auto value = scaled(r * unit.units, std::max<std::int64_t>(unit.exponent, 0));
    if (!value) return std::nullopt;
    if (*value == 0) return std::string("0");
    const std::int64_t decimals = std::max<std::int64_t>(-unit.exponent, 0);
    std::string digits = digitsOf(*value);
    if (digits.size() <= std::size_t(decimals)) digits.insert(0, std::size_t(decimals) + 1 - digits.size(), '0');
    const std::size_t whole = digits.size() - std::size_t(decimals);
    std::string tail = digits.substr(whole);
    while (!tail.empty() && tail.back() == '0') tail.pop_back();
    const std::string head = digits.substr(0, whole);
    const std::size_t significant =
        head == "0" ? tail.size() - tail.find_first_not_of('0') : head.size() + tail.size();
    // Below 1e-5 or from 1e15 the general form turns scientific; past 15 figures it rounds.
    if (head.size() > 15 || significant > 15 || (head == "0" && tail.find_first_not_of('0') > 4))
        return std::nullopt;
    return tail.empty() ? head : head + SeparatorText(separator) + tail;
}

// The new text of an amount, worked out on the decimals the amount's text, the unit's text and the
// threshold (as the tenths box writes it) spell: 19.3 is then 193 tenths exactly, not the 192.99998 of
// its nearest float, and stays where it is.  Empty when the amount is already on the unit; nullopt where a
// text has no exact reading or the figures outgrow 128 bits, and the float steps decide instead.
std::optional<std::optional<std::string>> roundExactly(const std::string& amountText, const Decimal& unit,
                                                       const std::optional<Decimal>& threshold,
                                                       RoundingMode mode, char32_t separator) {
    const auto amount = exactDecimal(amountText, separator);
    if (!amount || !threshold || unit.units == 0 || -unit.exponent > 15) return std::nullopt;
    const std::int64_t base = std::min({amount->exponent, unit.exponent, threshold->exponent});
    if (std::max({amount->exponent, unit.exponent, threshold->exponent}) - base > 38) return std::nullopt;
    const auto a = scaled(amount->units, amount->exponent - base);
    const auto u = scaled(unit.units, unit.exponent - base);
    const auto t = scaled(threshold->units, threshold->exponent - base);
    if (!a || !u || !t) return std::nullopt;
    const Exact whole = *a / *u, remainder = *a % *u;
    if (remainder == 0) return std::optional<std::string>();
    // By value, as in money: down when the remainder above the lower multiple is below the threshold.
    const bool down = mode == RoundingMode::Down || (mode == RoundingMode::ByValue && *t > remainder);
    const auto text = writeMultiple(down ? whole : whole + 1, unit, separator);
    if (!text) return std::nullopt;
    return std::optional<std::string>(*text);
}

// The threshold as the tenths box shows it: the shortest decimal that reads back as the stored float.
std::optional<Decimal> thresholdDecimal(float threshold) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, threshold);
    if (ec != std::errc()) return std::nullopt;
    return exactDecimal(std::string_view(buf, std::size_t(end - buf)), U'.');
}

void roundStakes(BetSlip& slip, RoundingMode mode) {
    guarded([&] {
        float unit = 0.0f;
        std::optional<Decimal> exactUnit;
        const std::optional<Decimal> threshold = thresholdDecimal(slip.roundingThreshold);
        for (int i = 1; i <= slip.playedCount; ++i) {
            Selection& s = slip.selection(i);
            if (s.shownAmount == kPlaceholder || s.shownAmount == kNone) s.shownAmount.assign(1, '0');
            const float amount = StoreFloat(TextToNumber(s.shownAmount, slip.separator));
            if (i == 1) {
                const std::string unitText = Trim(slip.roundingUnitText);
                unit = StoreFloat(TextToNumber(unitText, slip.separator));
                // A unit below zero would turn stakes negative: refused like a unit of 0.
                if (unit < 0.0f) throw ArithmeticFault("negative rounding unit");
                exactUnit = exactDecimal(unitText, slip.separator);
            }
            if (exactUnit) {
                if (const auto exact = roundExactly(s.shownAmount, *exactUnit, threshold, mode, slip.separator)) {
                    if (*exact) s.shownAmount = **exact;
                    continue;
                }
            }
            const float q = StoreFloat(Divide(amount, unit));
            const long double whole = std::trunc(static_cast<long double>(q));
            if (whole == q) continue;
            long double r = whole + 1.0L;
            if (mode == RoundingMode::Down) {
                r = whole;
            } else if (mode == RoundingMode::ByValue) {
                const long double fraction = q - whole;
                const long double threshold = Divide(slip.roundingThreshold, unit);
                r = threshold > fraction ? whole : whole + 1.0L;
            }
            s.shownAmount = FormatGeneral(StoreFloat(r * unit), slip.separator);
        }
        ComputeTotalStake(slip);
        slip.totalLine = kTotalPrefix + FormatFixed2(slip.totalStake, slip.separator);
    });
}

} // namespace

void RoundStakesUp(BetSlip& slip) { roundStakes(slip, RoundingMode::Up); }
void RoundStakesDown(BetSlip& slip) { roundStakes(slip, RoundingMode::Down); }
void RoundStakesByValue(BetSlip& slip) { roundStakes(slip, RoundingMode::ByValue); }

void RoundStakes(BetSlip& slip) {
    switch (slip.roundingMode) {
    case RoundingMode::Down: RoundStakesDown(slip); break;
    case RoundingMode::ByValue: RoundStakesByValue(slip); break;
    case RoundingMode::Up: RoundStakesUp(slip); break;
    }
}

} // namespace fairstake
