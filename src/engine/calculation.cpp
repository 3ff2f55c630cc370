#include "engine/engine.h"
#include "engine/numtext.h"

namespace fairstake {

namespace {

bool isPlaceholder(const std::string& amount) { return amount == kPlaceholder || amount == kNone; }

void writeTotalLine(BetSlip& slip) { slip.totalLine = kTotalPrefix + FormatFixed2(slip.totalStake, slip.separator); }

template <class Format> void showStakes(BetSlip& slip, float k, Format format) {
    guarded([&] {
        const int n = slip.playedCount;
        for (int i = 1; i <= n; ++i) {
            Selection& s = slip.selection(i);
            s.shownAmount = format(Divide(k, s.stakeWeight));
        }
        for (int i = 1; i <= n; ++i) slip.selection(i).amountColour = AmountColour::Blue;
        for (int i = n + 1; i <= kSelections; ++i) {
            slip.selection(i).shownAmount = kNone;
            slip.selection(i).amountColour = AmountColour::Silver;
        }
        ComputeTotalStake(slip);
        writeTotalLine(slip);
    });
}

// A stake below zero (negative odds, or short odds that make the refresh
// scale sum negative, or a negative target) cannot be placed: the bet has no
// possible dutch.  A zero weight is left to the display, which faults on it.
bool anyNegativeStake(const BetSlip& slip, float k) {
    if (k == 0.0f) return false;
    for (int i = 1; i <= slip.playedCount; ++i) {
        const float w = slip.selection(i).stakeWeight;
        if (w != 0.0f && ((k < 0.0f) != (w < 0.0f))) return true;
    }
    return false;
}

void showNoDutch(BetSlip& slip) {
    for (int i = 1; i <= kSelections; ++i) {
        Selection& s = slip.selection(i);
        s.shownAmount = kNone;
        s.amountColour = i <= slip.playedCount ? AmountColour::Blue : AmountColour::Silver;
    }
    ComputeTotalStake(slip);
    writeTotalLine(slip);
    slip.rawTotal = 0.0f;
    slip.returnSum = 0.0f;
    slip.profit = 0.0f;
}

} // namespace

std::string ValidationMessage(int playedCount) {
    if (playedCount == 1) return "You must mention the horse's odds";
    return "You must mention the odds of at least " + std::to_string(playedCount) + " horses";
}

void RunCalculation(BetSlip& slip, Variant variant, EngineHost& host) {
    guarded([&] {
        slip.warningVisible = false;
        host.ProcessPendingEvents();
        for (int i = 1; i <= kSelections; ++i) {
            const Selection& s = slip.selection(i);
            if (s.isActive && Trim(s.oddsText).empty()) return;
        }
        ComputeStakes(slip, variant, host);
        slip.profitText = FormatFixed2(slip.profit, slip.separator);
        if (variant == Variant::Calculate) RefreshTotals(slip);
        slip.warningVisible = slip.profit < 1.0f;
        if (slip.profit < 1.0f)
            for (Selection& s : slip.selections) s.shownAmount = kNone;
    });
}

void ComputeStakes(BetSlip& slip, Variant variant, EngineHost& host) {
    guarded([&] {
        for (int i = 1; i <= kSelections; ++i) {
            const std::string trimmed = Trim(slip.selection(i).oddsText);
            if (trimmed != slip.selection(i).oddsText) host.SetOddsText(i, trimmed);
        }

        const int n = slip.playedCount;
        bool allEmpty = true;
        for (int i = 1; i <= n; ++i)
            if (!Trim(slip.selection(i).oddsText).empty()) allEmpty = false;
        if (allEmpty) {
            host.ShowInformation(ValidationMessage(n));
            return;
        }

        const float k = slip.baseAmount;

        float scale = 0.0f;
        for (int i = 1; i <= n; ++i) {
            const long double odds = slip.selection(i).oddsValue;
            scale = StoreFloat(scale + (variant == Variant::Calculate ? odds + 1.0L : odds));
        }
        if (variant == Variant::Refresh && n >= 4) scale = StoreFloat(scale - static_cast<long double>(n - 1));
        slip.oddsScale = scale;

        for (int i = 1; i <= n; ++i) {
            Selection& s = slip.selection(i);
            s.stakeWeight = StoreFloat(Divide(static_cast<long double>(s.oddsValue) + 1.0L, scale));
        }

        if (anyNegativeStake(slip, k)) {
            showNoDutch(slip);
            return;
        }

        if (slip.displayMode == 0)
            ShowStakesDecimal(slip, k);
        else
            ShowStakesWhole(slip, k);

        slip.rawTotal = 0.0f;
        for (int i = 1; i <= n; ++i)
            slip.rawTotal = StoreFloat(slip.rawTotal + Divide(k, slip.selection(i).stakeWeight));

        slip.returnSum = 0.0f;
        for (int i = 1; i <= n; ++i) {
            const Selection& s = slip.selection(i);
            if (const auto amount = ParseNumber(s.shownAmount, slip.separator))
                slip.returnSum = StoreFloat(slip.returnSum + *amount * (static_cast<long double>(s.oddsValue) + 1.0L));
        }

        slip.profit = StoreFloat(Divide(slip.returnSum, n) - slip.rawTotal);
    });
}

void ShowStakesDecimal(BetSlip& slip, float k) {
    showStakes(slip, k, [&](long double amount) { return FormatFixed2(amount, slip.separator); });
}

void ShowStakesWhole(BetSlip& slip, float k) {
    showStakes(slip, k, [](long double amount) { return FormatWhole(amount); });
}

void ComputeTotalStake(BetSlip& slip) {
    slip.totalStake = 0.0f;
    const int n = slip.playedCount;
    if (isPlaceholder(slip.selection(n).shownAmount)) return;
    guarded([&] {
        for (int i = 1; i <= n; ++i)
            slip.totalStake = StoreFloat(slip.totalStake + TextToNumber(slip.selection(i).shownAmount, slip.separator));
    });
}

void RefreshTotals(BetSlip& slip) {
    for (int i = 1; i <= 3; ++i)
        if (slip.selection(i).shownAmount == kPlaceholder) return;
    ComputeTotalStake(slip);
}

} // namespace fairstake
