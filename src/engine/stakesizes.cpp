#include "engine/stakesizes.h"

#include "engine/numtext.h"

#include <algorithm>
#include <numeric>

namespace fairstake {

std::optional<std::vector<long double>> SizeStakes(const Market& market, SizeBy by, long double amount,
                                                   std::size_t box) {
    const std::vector<long double> w = StakeProportions(market);
    if (w.empty()) return std::nullopt;
    const long double sum = std::accumulate(w.begin(), w.end(), 0.0L);
    const bool eachWay = market.type == BetType::EachWay;
    // What one unit of proportion is worth; nothing when no stakes can give the amount.
    long double scale = 0.0L;
    switch (by) {
    case SizeBy::CalculatorStakes:
        return std::nullopt;
    case SizeBy::Total: // each way: the whole outlay, both parts
        scale = (eachWay ? amount / 2.0L : amount) / sum;
        break;
    case SizeBy::Profit:
        if (market.type == BetType::Back) { // whichever of them wins
            if (sum >= 1.0L || market.kept <= 0.0L) return std::nullopt;
            scale = amount / (market.kept * (1.0L - sum));
        } else if (market.type == BetType::Lay) { // none of them wins
            if (market.kept <= 0.0L) return std::nullopt;
            scale = amount / market.kept / sum;
        } else { // one of them wins, none of the others is placed
            if (2.0L * sum >= 1.0L) return std::nullopt;
            scale = amount / (1.0L - 2.0L * sum);
        }
        break;
    case SizeBy::Liability: // lost if one of them wins
        if (market.type != BetType::Lay || sum >= 1.0L) return std::nullopt;
        scale = amount / (1.0L - sum);
        break;
    case SizeBy::StakeOnBox:
        scale = Divide(amount, w[std::min(box, w.size() - 1)]);
        break;
    }
    std::vector<long double> stakes;
    for (const long double wi : w)
        stakes.push_back(wi * scale);
    return stakes;
}

void LiftToMinimum(std::vector<long double>& stakes, long double minimum) {
    if (stakes.empty() || !(minimum > 0.0L)) return;
    const long double smallest = *std::min_element(stakes.begin(), stakes.end());
    if (!(smallest < minimum) || !(smallest > 0.0L)) return;
    const long double factor = minimum / smallest;
    for (long double& s : stakes)
        s *= factor;
}

} // namespace fairstake
