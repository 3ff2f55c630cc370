#include "engine/engine.h"
#include "engine/numtext.h"

namespace fairstake {

namespace {

void replaceFirst(std::string& text, char what, const std::string& with) {
    const auto at = text.find(what);
    if (at != std::string::npos) text.replace(at, 1, with);
}

} // namespace

std::optional<float> ParseOdds(std::string_view text, char32_t separator) {
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

    const auto toFloat = [](std::optional<long double> v) -> std::optional<float> {
        if (!v) return std::nullopt;
        try {
            return StoreFloat(*v);
        } catch (const ArithmeticFault&) {
            return std::nullopt;
        }
    };

    const auto bar = work.find('/');
    if (bar == std::string::npos) return toFloat(ParseNumber(work, separator));
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

void ShowOddsYield(BetSlip& slip, std::string_view input) {
    const std::string trimmed = Trim(input);
    if (trimmed.empty() || trimmed == "0") return;
    guarded([&] {
        std::string text(input);
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
        const float r = StoreFloat(TextToNumber(text, slip.separator));
        const float r1 = StoreFloat(static_cast<long double>(r) + 1.0L);
        const float r2 = StoreFloat(static_cast<long double>(r1) * 2.0L);
        slip.yieldLine = "Odds of " + text + " will yield " + FormatFixed2(r1, slip.separator) +
                         " for a $1 bet and " + FormatFixed2(r2, slip.separator) + " for a $2 bet";
    });
}

} // namespace fairstake
