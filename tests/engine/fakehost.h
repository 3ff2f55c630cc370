#pragma once
// A host that behaves like the calculator window without one, and slips built from odds texts.

#include "engine/engine.h"
#include "support/processlocale.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace fairstake::test {

class FakeHost : public EngineHost {
public:
    explicit FakeHost(BetSlip& slip) : slip_(slip) {}
    void ProcessPendingEvents() override { warningDuringEvents.push_back(slip_.warningVisible); }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    // As the odds box does: the text lands in the slip and its change handling stores the parsed odds.
    void SetOddsText(int i, const std::string& text) override {
        writes.emplace_back(i, text);
        slip_.selection(i).oddsText = text;
        if (const auto odds = ParseOdds(text, slip_.separator)) slip_.selection(i).oddsValue = *odds;
    }
    std::vector<std::string> messages;
    std::vector<std::pair<int, std::string>> writes;
    std::vector<bool> warningDuringEvents;

private:
    BetSlip& slip_;
};

// A number text written with '.' as the locale with `separator` writes it.
inline std::string Loc(std::string text, char32_t separator) {
    for (char& c : text)
        if (c == '.' && separator == U',') c = ',';
    return text;
}

// A slip playing the given odds (texts in '.' form), boxes 1..N active as the window leaves them.
inline BetSlip Slip(char32_t separator, float base, const std::vector<std::string>& odds,
                    int displayMode = 0) {
    BetSlip slip;
    slip.separator = separator;
    slip.baseAmount = base;
    slip.displayMode = displayMode;
    slip.playedCount = static_cast<int>(odds.size());
    for (int i = 1; i <= kSelections; ++i) {
        Selection& s = slip.selection(i);
        s.isActive = i <= slip.playedCount;
        if (!s.isActive) continue;
        s.oddsText = Loc(odds[static_cast<std::size_t>(i - 1)], separator);
        s.oddsValue = ParseOdds(s.oddsText, separator).value_or(0.0f);
    }
    return slip;
}

inline const auto kSeparators = ::testing::Values(U'.', U',');

} // namespace fairstake::test
