#include "engine/numtext.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace fairstake {

std::string SeparatorText(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string Trim(std::string_view text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

float StoreFloat(long double value) {
    if (!std::isfinite(value)) throw ArithmeticFault("invalid floating point operation");
    const float stored = static_cast<float>(value);
    if (std::isinf(stored)) throw ArithmeticFault("floating point overflow");
    return stored;
}

long double Divide(long double a, long double b) {
    if (b == 0.0L) throw ArithmeticFault("division by zero");
    const long double q = a / b;
    if (!std::isfinite(q)) throw ArithmeticFault("floating point overflow");
    return q;
}

namespace {

// Every number text below is made with std::to_chars and read with
// std::from_chars: they always write and read '.', whatever setlocale says.
// QApplication sets the C library's locale from the environment, so the printf
// family would write the user's separator (or a two-byte one) where these
// functions expect '.'; the separator is put in by hand at the end.

// The value in scientific notation with `decimals` digits after the point,
// rounded to nearest as printf("%.*Le") does: "d.ddd...e+XX".
std::string scientificDigits(long double value, int decimals) {
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, decimals);
    if (ec != std::errc()) throw ArithmeticFault("invalid floating point operation");
    return std::string(buf, end);
}

// The decimal exponent of a text made by scientificDigits.
int exponentOf(const std::string& scientific) {
    const std::size_t e = scientific.find('e');
    const char* first = scientific.data() + e + 1;
    if (*first == '+') ++first; // from_chars takes no '+'
    int exponent = 0;
    std::from_chars(first, scientific.data() + scientific.size(), exponent);
    return exponent;
}

// The value as 18 significant decimal digits and a decimal exponent:
// value = 0.d1d2...d18 x 10^exponent.
struct Decimal18 {
    bool negative = false;
    std::string digits; // exactly 18
    int exponent = 0;
};

Decimal18 toDecimal18(long double value) {
    const std::string s = scientificDigits(value, 17);
    Decimal18 d;
    d.negative = s.front() == '-';
    for (std::size_t i = 0; i < s.size() && s[i] != 'e'; ++i)
        if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
    d.exponent = exponentOf(s) + 1;
    return d;
}

// Rounds the decimal form to `decimals` places, half away from zero, and
// writes it in fixed notation.
std::string fixedFromDecimal(const Decimal18& d, int decimals, const std::string& sep) {
    // m: the rounded value times 10^decimals, as a digit string.
    const int kept = d.exponent + decimals;
    std::string m;
    if (kept >= static_cast<int>(d.digits.size())) {
        m = d.digits + std::string(static_cast<std::size_t>(kept) - d.digits.size(), '0');
    } else if (kept >= 0) {
        m = d.digits.substr(0, static_cast<std::size_t>(kept));
        if (d.digits[static_cast<std::size_t>(kept)] >= '5') {
            int i = static_cast<int>(m.size()) - 1;
            while (i >= 0 && m[static_cast<std::size_t>(i)] == '9') m[static_cast<std::size_t>(i--)] = '0';
            if (i >= 0)
                ++m[static_cast<std::size_t>(i)];
            else
                m.insert(m.begin(), '1');
        }
    }
    while (m.size() > 1 && m[0] == '0') m.erase(0, 1);
    if (m.size() < static_cast<std::size_t>(decimals) + 1)
        m.insert(0, static_cast<std::size_t>(decimals) + 1 - m.size(), '0');
    const std::size_t intLen = m.size() - static_cast<std::size_t>(decimals);
    const bool zero = m.find_first_not_of('0') == std::string::npos;
    std::string out = (d.negative && !zero) ? "-" : "";
    out += m.substr(0, intLen);
    if (decimals > 0) out += sep + m.substr(intLen);
    return out;
}

// Cuts the trailing zeros of the decimals, and the point when none is left,
// then puts the separator in place of the point.
std::string withoutTrailingZeros(std::string number, const std::string& sep) {
    const std::size_t point = number.find('.');
    if (point == std::string::npos) return number;
    while (number.back() == '0')
        number.pop_back();
    if (number.back() == '.')
        number.pop_back();
    else
        number.replace(point, 1, sep);
    return number;
}

// 15 significant digits in scientific notation, no trailing zeros: "1.5E-7".
std::string scientific(long double value, const std::string& sep) {
    const std::string s = scientificDigits(value, 14);
    std::string out = withoutTrailingZeros(s.substr(0, s.find('e')), sep);
    char exponent[8];
    const auto [end, ec] = std::to_chars(exponent, exponent + sizeof exponent, exponentOf(s));
    return out + "E" + std::string(exponent, end);
}

} // namespace

namespace {

std::string formatFixed(long double value, int decimals, char32_t separator) {
    if (!std::isfinite(value)) throw ArithmeticFault("invalid floating point operation");
    const std::string sep = SeparatorText(separator);
    // Beyond 18 whole digits the fixed form would invent digits: write it in
    // scientific notation as the general form does.
    if (std::fabs(value) >= 1e18L) return scientific(value, sep);
    if (value == 0.0L) return "0" + sep + std::string(static_cast<std::size_t>(decimals), '0');
    return fixedFromDecimal(toDecimal18(value), decimals, sep);
}

} // namespace

std::string FormatFixed2(long double value, char32_t separator) { return formatFixed(value, 2, separator); }
std::string FormatFixed1(long double value, char32_t separator) { return formatFixed(value, 1, separator); }

std::string FormatCents(std::int64_t cents, char32_t separator) {
    const bool negative = cents < 0;
    // The magnitude as unsigned, so that the smallest int64 has one too.
    const std::uint64_t magnitude = negative ? 0u - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude / 100u);
    const unsigned rest = static_cast<unsigned>(magnitude % 100u);
    std::string text = negative ? "-" : "";
    text.append(buf, end);
    text += SeparatorText(separator);
    text += static_cast<char>('0' + rest / 10u);
    text += static_cast<char>('0' + rest % 10u);
    return text;
}

std::string FormatWhole(long double value) {
    if (!std::isfinite(value)) throw ArithmeticFault("invalid floating point operation");
    const long double r = std::nearbyint(value); // the default rounding mode: halves to even
    if (r >= 9223372036854775807.0L || r < -9223372036854775807.0L)
        throw ArithmeticFault("integer overflow");
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(r));
    return std::string(buf, end);
}

std::string FormatGeneral(long double value, char32_t separator) {
    if (!std::isfinite(value)) throw ArithmeticFault("invalid floating point operation");
    const std::string sep = SeparatorText(separator);
    if (value == 0.0L) return "0";
    // The exponent of the value rounded to 15 significant digits decides the form.
    const int exponent = exponentOf(scientificDigits(value, 14));
    if (exponent < -5 || exponent >= 15) return scientific(value, sep);
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 14 - exponent);
    if (ec != std::errc()) throw ArithmeticFault("invalid floating point operation");
    std::string s = withoutTrailingZeros(std::string(buf, end), sep);
    if (s == "-0") s = "0";
    return s;
}

std::optional<long double> ParseNumber(std::string_view text, char32_t separator) {
    const std::string sep = SeparatorText(separator);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    std::size_t end = n;
    while (end > i && text[end - 1] == ' ') --end;

    std::string ascii; // the number with '.' as separator, for from_chars
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
        ascii += text[i++];
        ++mantissaDigits;
    }
    if (i < end && text.substr(i, sep.size()) == sep) {
        i += sep.size();
        ascii += '.';
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            ascii += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) ascii += text[i++];
        int expDigits = 0;
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            ascii += text[i++];
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;

    long double value = 0;
    const char* first = ascii.data();
    if (*first == '-') ++first; // from_chars takes no '+', and the sign is put back below
    const auto [ptr, ec] = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (ec != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return ascii[0] == '-' ? -value : value;
}

std::optional<DecimalDigits> ParseDecimalDigits(std::string_view text, char32_t separator) {
    if (!ParseNumber(text, separator)) return std::nullopt;
    // The text is ParseNumber's grammar: blanks, a sign, digits with at most one
    // separator (the separator's bytes are no digits), then an optional exponent.
    DecimalDigits d;
    std::size_t i = text.find_first_not_of(' ');
    d.negative = text[i] == '-';
    std::int64_t decimals = 0;
    bool afterSeparator = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E' && text[i] != ' '; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            d.digits += text[i];
            decimals += afterSeparator;
        } else if (text[i] != '+' && text[i] != '-') {
            afterSeparator = true;
        }
    }
    // Beyond a billion the exponent only says "out of range": ParseNumber has read the
    // text, so the digits make up for it, and saturating keeps the sum below in range.
    std::int64_t exponent = 0;
    bool negativeExponent = false;
    for (++i; i < text.size() && text[i] != ' '; ++i) {
        if (text[i] == '-') negativeExponent = true;
        if (text[i] >= '0' && text[i] <= '9')
            exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - '0'), 1000000000);
    }
    d.exponent = (negativeExponent ? -exponent : exponent) - decimals;
    const std::size_t first = d.digits.find_first_not_of('0');
    d.digits.erase(0, first == std::string::npos ? d.digits.size() : first);
    return d;
}

long double TextToNumber(std::string_view text, char32_t separator) {
    if (auto v = ParseNumber(text, separator)) return *v;
    throw ConversionFault("'" + std::string(text) + "' is not a valid floating point value");
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t TextToInt32(std::string_view text) {
    if (auto v = ParseInt32(text)) return *v;
    throw ConversionFault("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace fairstake
