#include "engine/engine.h"
#include "engine/numtext.h"

#include <algorithm>

namespace fairstake {

namespace {

void replaceFirst(std::string& text, char what, const std::string& with) {
    const auto at = text.find(what);
    if (at != std::string::npos) text.replace(at, 1, with);
}

// A number of m whole digits lies in [10^(m-1), 10^m).
std::int64_t wholeDigits(const DecimalDigits& d) {
    return static_cast<std::int64_t>(d.digits.size()) + d.exponent;
}

// Odds of 10^40 and more fit no float (3.4e38 at most): such texts are never written out.
constexpr std::int64_t kWidestOdds = 40;

// A number of 1 to 40 whole digits as a plain decimal text with the separator.
std::string plainText(const DecimalDigits& d, char32_t separator) {
    if (d.exponent >= 0) return d.digits + std::string(static_cast<std::size_t>(d.exponent), '0');
    const auto whole = static_cast<std::size_t>(wholeDigits(d));
    return d.digits.substr(0, whole) + SeparatorText(separator) + d.digits.substr(whole);
}

// The to-one text of decimal odds x: x - 1 worked out on the digits as typed, so
// that "1.91" reads bit for bit as "0.91" does (the float nearest to 0.91, not
// the one nearest to the binary 1.91 less one).  nullopt for x below 1, and for
// a text that does not read.
std::optional<std::string> decimalLessOne(std::string_view text, char32_t separator) {
    auto d = ParseDecimalDigits(text, separator);
    if (!d || d->negative || d->digits.empty() || wholeDigits(*d) < 1) return std::nullopt;
    if (wholeDigits(*d) > kWidestOdds) return "1e40"; // as far out of range as x - 1
    if (d->exponent > 0) {
        d->digits.append(static_cast<std::size_t>(d->exponent), '0');
        d->exponent = 0;
    }
    // One off the units digit, borrowing; the leading digit is not 0, so the borrow stops there.
    auto i = static_cast<std::size_t>(wholeDigits(*d)) - 1;
    while (d->digits[i] == '0')
        d->digits[i--] = '9';
    --d->digits[i];
    std::string less = plainText(*d, separator);
    const auto whole = static_cast<std::size_t>(wholeDigits(*d));
    less.erase(0, std::min(less.find_first_not_of('0'), whole - 1)); // "09.5" is "9.5", "0.91" stays
    return less;
}

// The to-one value of American odds: +n (or n) wins n on 100, -n stakes n to win
// 100; n at least 100 either way.  n / 100 is worked out on the digits as typed,
// as the to-one text n/100 reads; 100 / n in extended precision.
std::optional<long double> americanOdds(std::string_view text, char32_t separator) {
    const auto d = ParseDecimalDigits(text, separator);
    if (!d || d->digits.empty() || wholeDigits(*d) < 3) return std::nullopt;
    if (d->negative) return Divide(100.0L, -*ParseNumber(text, separator));
    if (wholeDigits(*d) - 2 > kWidestOdds) return std::nullopt;
    DecimalDigits hundredths = *d;
    hundredths.exponent -= 2;
    return ParseNumber(plainText(hundredths, separator), separator);
}

std::optional<float> toFloat(std::optional<long double> v) {
    if (!v) return std::nullopt;
    try {
        return StoreFloat(*v);
    } catch (const ArithmeticFault&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<float> ParseOdds(std::string_view text, char32_t separator, OddsFormat format) {
    const std::string trimmed = Trim(text);
    std::string work;
    if (const auto blank = trimmed.find(' '); blank != std::string::npos) {
        work = trimmed;
        work.erase(blank, 1);
    } else {
        work = std::string(text);
    }

    // Either separator is read as the locale's: "4.5" and "4,5" are the same odds.
    const std::string sep = SeparatorText(separator);
    if (separator != U',') replaceFirst(work, ',', sep);
    if (separator != U'.') replaceFirst(work, '.', sep);

    const auto bar = work.find('/');
    if (bar == std::string::npos) {
        switch (format) {
        case OddsFormat::ToOne:
            break;
        case OddsFormat::Decimal:
            if (const auto less = decimalLessOne(work, separator))
                return toFloat(ParseNumber(*less, separator));
            return std::nullopt;
        case OddsFormat::American:
            return toFloat(americanOdds(work, separator));
        }
        return toFloat(ParseNumber(work, separator));
    }
    if (work.back() == '/') // a fraction still being typed: "9/" reads as 9
        return toFloat(ParseNumber(std::string_view(work).substr(0, work.size() - 1), separator));

    const std::string numerator = work.substr(0, bar);
    const std::string denominator = work.substr(bar + 1);
    if (denominator == "0" || Trim(denominator).empty()) return std::nullopt;
    const auto n = ParseInt32(numerator);
    const auto d = ParseInt32(denominator);
    if (!n || !d || *d == 0) return std::nullopt;
    return toFloat(static_cast<long double>(*n) / static_cast<long double>(*d));
}

void ShowOddsYield(BetSlip& slip, std::string_view input, OddsFormat format) {
    const std::string trimmed = Trim(input);
    if (trimmed.empty() || trimmed == "0") return;
    guarded([&] {
        std::string text(input);
        // A fraction is to-one odds in every format, and so is its line.
        if (text.find('/') != std::string::npos) format = OddsFormat::ToOne;
        if (!text.empty() && text.back() == '/') text.pop_back();
        if (const auto bar = text.find('/'); bar != std::string::npos) {
            const std::string denominator = text.substr(bar + 1);
            float fraction = 0.0f;
            if (denominator != "0" && !Trim(denominator).empty()) {
                const long double n = TextToInt32(text.substr(0, bar));
                const long double d = TextToInt32(denominator);
                fraction = StoreFloat(Divide(n, d));
            }
            text = FormatFixed2(fraction, slip.separator);
        }
        if (slip.totalLine.find("al amount to bet: 0") != std::string::npos) slip.totalLine = kTotalAskRefresh;
        // The return of a stake of 1, r1, and of 2, r2.  As everywhere in the line,
        // the text is read with the locale's separator only.
        const char* prefix = "Odds of ";
        float r1 = 0.0f;
        switch (format) {
        case OddsFormat::ToOne: {
            const float r = StoreFloat(TextToNumber(text, slip.separator));
            r1 = StoreFloat(static_cast<long double>(r) + 1.0L);
            break;
        }
        case OddsFormat::Decimal:
            prefix = "Decimal odds of ";
            if (!decimalLessOne(text, slip.separator)) throw ConversionFault("decimal odds below 1");
            r1 = StoreFloat(TextToNumber(text, slip.separator));
            break;
        case OddsFormat::American: {
            prefix = "American odds of ";
            const auto value = americanOdds(text, slip.separator);
            if (!value) throw ConversionFault("American odds between -100 and +100");
            r1 = StoreFloat(static_cast<long double>(StoreFloat(*value)) + 1.0L);
            break;
        }
        }
        const float r2 = StoreFloat(static_cast<long double>(r1) * 2.0L);
        slip.yieldLine = prefix + text + " will yield " + FormatFixed2(r1, slip.separator) +
                         " for a $1 bet and " + FormatFixed2(r2, slip.separator) + " for a $2 bet";
    });
}

} // namespace fairstake
