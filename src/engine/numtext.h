#pragma once
// The one module of number texts: every number the program shows or reads goes
// through here.  The decimal separator travels as a value (a Unicode code point,
// normally '.' or ','), never as a global, so callers can use both side by side.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fairstake {

// The program's own faults.  Handlers end silently on them (see guarded());
// anything else is a bug and must not be swallowed.
class Fault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Division by zero, overflow (also when a result is stored into a float) and
// invalid operations.
class ArithmeticFault : public Fault {
public:
    using Fault::Fault;
};

// A text that does not convert into a number.
class ConversionFault : public Fault {
public:
    using Fault::Fault;
};

// Runs one step of a handler; the program's own faults end it silently.
// Returns false when the step ended on a fault.
template <class Step> bool guarded(Step&& step) {
    try {
        step();
        return true;
    } catch (const Fault&) {
        return false;
    }
}

// The separator as UTF-8 text.
std::string SeparatorText(char32_t separator);

// Removes every leading and trailing character of code 32 or less; nothing inside is touched.
std::string Trim(std::string_view text);

// Rounds an extended value to single precision the way a store does; raises
// ArithmeticFault when the value is not finite or does not fit a float.
float StoreFloat(long double value);

// a / b in extended precision; raises ArithmeticFault on a zero divisor or a non-finite result.
long double Divide(long double a, long double b);

// Fixed point with exactly two decimals ("%f"): the locale's separator, no
// thousands separators, '-' for negatives, a half in the third decimal rounded
// away from zero (on the 18-digit decimal form of the value).
std::string FormatFixed2(long double value, char32_t separator);
// The same with one decimal (the race sheet's percentages).
std::string FormatFixed1(long double value, char32_t separator);
// A whole number of cents in that two-decimal form: the text FormatFixed2(cents / 100) writes, without
// its decimal expansion (the race sheet writes some fifty of them at every key).
std::string FormatCents(std::int64_t cents, char32_t separator);

// The nearest whole number, halves to the even neighbour, as plain digits.
// Raises ArithmeticFault beyond the 64-bit range.
std::string FormatWhole(long double value);

// General form: up to 15 significant digits, no trailing zeros, no separator
// when whole; scientific ("1.5E-7") only for very small or very large values.
std::string FormatGeneral(long double value, char32_t separator);

// Locale-aware decimal conversion: blanks around the number, an optional sign,
// digits with at most one separator, an optional exponent.  Anything else,
// including the other separator, gives nullopt.
std::optional<long double> ParseNumber(std::string_view text, char32_t separator);

// The exact value of a text ParseNumber reads: (-)digits x 10^exponent, the
// digits without leading zeros (none for zero).  For figures worked out on the
// decimals as typed rather than on their nearest binary value.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};
std::optional<DecimalDigits> ParseDecimalDigits(std::string_view text, char32_t separator);

// As ParseNumber, raising ConversionFault instead of returning nullopt.
long double TextToNumber(std::string_view text, char32_t separator);

// 32-bit signed whole number: leading blanks and a sign allowed, no trailing characters.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// As ParseInt32, raising ConversionFault instead of returning nullopt.
std::int32_t TextToInt32(std::string_view text);

} // namespace fairstake
