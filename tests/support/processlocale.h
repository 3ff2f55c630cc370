#pragma once
// The C library's locale of a user whose decimal separator is the one a test runs with: QApplication
// calls setlocale(LC_ALL, "") from the environment, so the tests put the process into the same state.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fairstake::test {

// The installed locale (tools/bootstrap generates it) with `separator` as its decimal point.
inline const char* LocaleNameFor(char32_t separator) {
    return separator == U',' ? "de_DE.UTF-8" : separator == U'\u066B' ? "ps_AF.UTF-8" : "en_US.UTF-8";
}

// That locale for a scope, the previous one back at its end.  A locale missing, or with another decimal
// point, ends the program: the "C" locale would test nothing.
class ProcessLocale {
public:
    explicit ProcessLocale(char32_t separator) : previous_(std::setlocale(LC_ALL, nullptr)) {
        wchar_t point = 0;
        if (std::setlocale(LC_ALL, LocaleNameFor(separator))) {
            const char* text = std::localeconv()->decimal_point;
            if (std::mbtowc(&point, text, std::strlen(text)) <= 0) point = 0;
        }
        if (static_cast<char32_t>(point) == separator) return;
        std::fprintf(stderr, "the locale %s is not installed (tools/bootstrap)\n", LocaleNameFor(separator));
        std::abort();
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

private:
    std::string previous_;
};

} // namespace fairstake::test
