#include <cmath>

#include "engine/engine.h"
#include "engine/numtext.h"

namespace fairstake {

namespace {

void roundStakes(BetSlip& slip, RoundingMode mode) {
    guarded([&] {
        float unit = 0.0f;
        for (int i = 1; i <= slip.playedCount; ++i) {
            Selection& s = slip.selection(i);
            if (s.shownAmount == kPlaceholder || s.shownAmount == kNone) s.shownAmount.assign(1, '0');
            const float amount = StoreFloat(TextToNumber(s.shownAmount, slip.separator));
            if (i == 1) {
                unit = StoreFloat(TextToNumber(Trim(slip.roundingUnitText), slip.separator));
                // A unit below zero would turn stakes negative: refused like a unit of 0.
                if (unit < 0.0f) throw ArithmeticFault("negative rounding unit");
            }
            const float q = StoreFloat(Divide(amount, unit));
            const long double whole = std::trunc(static_cast<long double>(q));
            if (whole == q) continue;
            long double r = whole + 1.0L;
            if (mode == RoundingMode::Down) {
                r = whole;
            } else if (mode == RoundingMode::ByValue) {
                const long double fraction = q - whole;
                const long double threshold = Divide(slip.roundingThreshold, unit);
                r = threshold > fraction ? whole : whole + 1.0L;
            }
            s.shownAmount = FormatGeneral(StoreFloat(r * unit), slip.separator);
        }
        ComputeTotalStake(slip);
        slip.totalLine = kTotalPrefix + FormatFixed2(slip.totalStake, slip.separator);
    });
}

} // namespace

void RoundStakesUp(BetSlip& slip) { roundStakes(slip, RoundingMode::Up); }
void RoundStakesDown(BetSlip& slip) { roundStakes(slip, RoundingMode::Down); }
void RoundStakesByValue(BetSlip& slip) { roundStakes(slip, RoundingMode::ByValue); }

void RoundStakes(BetSlip& slip) {
    switch (slip.roundingMode) {
    case RoundingMode::Down: RoundStakesDown(slip); break;
    case RoundingMode::ByValue: RoundStakesByValue(slip); break;
    case RoundingMode::Up: RoundStakesUp(slip); break;
    }
}

} // namespace fairstake
