#pragma once
// What every fuzz target shares: a property check that stops the run, the
// input as text, and the two separators the program is built for.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A broken property aborts, so libFuzzer keeps the input as a crash.  Not
// assert(): the fuzz build must check even with NDEBUG.
#define FUZZ_CHECK(cond)                                                                              \
    do {                                                                                              \
        if (!(cond)) {                                                                                \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);         \
            std::abort();                                                                             \
        }                                                                                             \
    } while (0)

namespace fairstake::fuzz {

inline constexpr char32_t kSeparators[] = {U'.', U','};

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The other separator of the pair, as the character a user would type.
inline char OtherSeparator(char32_t separator) { return separator == U'.' ? ',' : '.'; }

// Relative closeness for values that went through a decimal text.
inline bool Near(long double a, long double b, long double relative, long double absolute = 0.0L) {
    return std::fabs(a - b) <= absolute + relative * std::fmax(std::fabs(a), std::fabs(b));
}

// Runs one fuzz step.  Anything thrown out of it is a fault the engine should
// have turned into a refusal (a nullopt, or a caught Fault inside a handler),
// so it traps rather than unwinds.
template <class Step> void NoEscape(Step&& step) {
    try {
        step();
    } catch (...) {
        std::fprintf(stderr, "exception escaped the engine\n");
        __builtin_trap();
    }
}

} // namespace fairstake::fuzz
