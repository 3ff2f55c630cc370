#pragma once
// The C library's locale of a user whose decimal separator is the one a test
// runs with.  QApplication calls setlocale(LC_ALL, "") from the environment, so
// in the program the C library writes and reads numbers the user's way; the
// tests put the process into the same state before they show or read numbers.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fairstake::test {

// The installed locale with `separator` as its decimal point (the UTF-8 names
// tools/bootstrap generates).
inline const char* LocaleNameFor(char32_t separator) {
    switch (separator) {
    case U',':
        return "de_DE.UTF-8";
    case U'\u066B':
        return "ps_AF.UTF-8";
    default:
        return "en_US.UTF-8";
    }
}

// Sets the whole process locale to LocaleNameFor(separator).  A locale that is
// missing, or whose decimal point is not the separator, ends the test program:
// running on in the "C" locale would pass without testing anything.
inline void UseProcessLocale(char32_t separator) {
    const char* name = LocaleNameFor(separator);
    const char* set = std::setlocale(LC_ALL, name);
    wchar_t point = 0;
    if (set) {
        const char* text = std::localeconv()->decimal_point;
        if (std::mbtowc(&point, text, std::strlen(text)) <= 0) point = 0;
    }
    if (!set || static_cast<char32_t>(point) != separator) {
        std::fprintf(stderr,
                     "the locale %s is not installed with its decimal point (tools/bootstrap makes it)\n",
                     name);
        std::abort();
    }
}

// UseProcessLocale for a scope; the previous locale comes back at its end.
class ProcessLocale {
public:
    explicit ProcessLocale(char32_t separator) : previous_(std::setlocale(LC_ALL, nullptr)) {
        UseProcessLocale(separator);
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

private:
    std::string previous_;
};

} // namespace fairstake::test
