#include "engine/pasteodds.h"

#include <algorithm>
#include <optional>

namespace fairstake {

namespace {

// No bookmaker writes a price this long; a longer token is noise, and is not
// read (nor would an odds box hold it whole).
constexpr std::size_t kLongestPrice = 64;

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
bool cutsTokens(char c) {
    return isBlank(c) || c == ';';
}

// "Evens", "Evs" or "EVS", in any case.
bool evenMoneyWord(std::string_view token) {
    const auto is = [&](std::string_view word) {
        return token.size() == word.size() && std::equal(word.begin(), word.end(), token.begin(),
                                                         [](char w, char c) { return w == (c | 0x20); });
    };
    return is("evens") || is("evs");
}

// Even money in the words of the format: what a user would type for 1 to 1.
std::string evenMoney(OddsFormat format) {
    switch (format) {
    case OddsFormat::Decimal:
        return "2";
    case OddsFormat::American:
        return "+100";
    case OddsFormat::ToOne:
        break;
    }
    return "1/1";
}

// Whether the token could read as odds at all: odds are written with digits, signs, separators, the
// fraction bar and an exponent only (and a separator of the locale's beyond ASCII).  Most of a page's
// words are turned down here, without the cost of reading them.
bool mayBeOdds(std::string_view token, char32_t separator) {
    if (token.find_first_of("0123456789") == std::string_view::npos) return false;
    return separator >= 0x80 || token.find_first_not_of("0123456789+-.,/eE") == std::string_view::npos;
}

// The token as a price to type, or nullopt when it does not read as odds above 0.
std::optional<std::string> price(std::string_view token, char32_t separator, OddsFormat format) {
    if (token.empty() || token.size() > kLongestPrice) return std::nullopt;
    if (evenMoneyWord(token)) return evenMoney(format);
    if (!mayBeOdds(token, separator)) return std::nullopt;
    const auto value = ParseOdds(token, separator, format);
    if (!value || !(*value > 0.0f)) return std::nullopt;
    return std::string(token);
}

// 1 to 99 written in whole digits ("3", "03"); 0 for anything else.
int runnerNumber(std::string_view token) {
    if (token.empty() || token.size() > 2) return 0;
    int n = 0;
    for (const char c : token) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::vector<std::string_view> split(std::string_view text, auto cuts) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || cuts(text[i])) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Takes a runner, the first nine only; false once a tenth has shown there are more.
bool take(PastedOdds& out, PastedRunner runner) {
    if (out.runners.size() == kSelections) {
        out.heldMore = true;
        return false;
    }
    out.runners.push_back(std::move(runner));
    return true;
}

// A spreadsheet row: every cell a price or empty, two cells at least.
std::optional<std::vector<std::string>> rowOfPrices(std::string_view line, char32_t separator,
                                                    OddsFormat format) {
    if (line.find('\t') == std::string_view::npos) return std::nullopt;
    std::vector<std::string> prices;
    std::string_view last; // a row repeating one cell is read once
    for (const std::string_view cell : split(line, [](char c) { return c == '\t'; })) {
        const std::string_view t = trimmed(cell);
        if (t.empty()) continue;
        if (t != last || prices.empty()) {
            if (std::find_if(t.begin(), t.end(), cutsTokens) != t.end() || !price(t, separator, format))
                return std::nullopt;
            last = t;
        }
        // Only the first ten are ever taken; the rest need only read.
        if (prices.size() <= std::size_t(kSelections)) prices.push_back(*price(t, separator, format));
    }
    return prices;
}

} // namespace

PastedOdds ReadPastedOdds(std::string_view text, char32_t separator, OddsFormat format) {
    text = text.substr(0, kPasteBytes);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size() && lines.size() < std::size_t(kPasteLines)) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        // "\r\n" is one line break.
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    std::vector<std::string_view> filled;
    for (const std::string_view line : lines)
        if (!trimmed(line).empty()) filled.push_back(line);

    PastedOdds out;
    if (filled.size() == 1)
        if (const auto row = rowOfPrices(filled.front(), separator, format)) {
            for (const std::string& p : *row)
                if (!take(out, {p, 0})) break;
            return out;
        }
    for (const std::string_view line : filled) {
        std::vector<std::string_view> tokens;
        for (const std::string_view token : split(line, cutsTokens))
            if (!token.empty()) tokens.push_back(token);
        const int number = tokens.size() >= 2 ? runnerNumber(tokens.front()) : 0;
        const std::size_t first = number > 0 ? 1 : 0;
        for (std::size_t i = tokens.size(); i-- > first;)
            if (auto p = price(tokens[i], separator, format)) {
                if (!take(out, {std::move(*p), number})) return out;
                break;
            }
    }
    return out;
}

} // namespace fairstake
