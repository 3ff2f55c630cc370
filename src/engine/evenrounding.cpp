#include "engine/evenrounding.h"

#include "engine/numtext.h"

#include <array>
#include <cmath>

namespace fairstake {

std::optional<std::vector<std::int64_t>> RoundEvenly(const Market& market, const std::vector<long double>& exact,
                                                     long double unit, long double minimum,
                                                     std::optional<std::int64_t> cap) {
    const std::size_t n = exact.size();
    if (n == 0 || n > 9 || !(unit > 0.0L)) return std::nullopt;
    // Each stake's one or two choices, in cents: the multiple below (when above 0 and not below the
    // minimum), then the one above; a stake on a multiple is its own one choice.  With each, the part of
    // its figure that does not depend on the total.
    std::array<std::array<std::int64_t, 2>, 9> choice{}, gross{};
    std::array<std::size_t, 9> twoWays{}; // the runners with two choices, box 1 first
    std::size_t free = 0;
    long double exactTotal = 0.0L;
    for (std::size_t i = 0; i < n; ++i) {
        const long double q = exact[i] / unit;
        const long double nearest = std::round(q);
        // Within the float noise of a multiple: that multiple.
        const bool multiple = std::fabs(q - nearest) <= 1e-9L * std::max(1.0L, std::fabs(q));
        const long double below = (multiple ? nearest : std::floor(q)) * unit;
        const long double above = (multiple ? nearest : std::ceil(q)) * unit;
        const bool belowCounts = !multiple && below > 0.0L && !(below < minimum);
        choice[i] = {Cents(belowCounts ? below * 100.0L : above * 100.0L), Cents(above * 100.0L)};
        gross[i] = {EvenGross(market, i, choice[i][0]), EvenGross(market, i, choice[i][1])};
        if (belowCounts) twoWays[free++] = i;
        exactTotal += exact[i] * 100.0L;
    }
    const int perTotal = EvenPerTotal(market);
    const std::int64_t parts = market.type == BetType::EachWay ? 2 : 1;
    std::array<unsigned, 9> up{};
    std::array<unsigned, 9> best{};
    bool found = false;
    std::int64_t bestSpread = 0, bestLow = 0;
    long double bestOff = 0.0L;
    // Counting up with box 1 as the most significant choice goes "box 1 below" before "box 1 above".
    for (unsigned way = 0; way < (1u << free); ++way) {
        for (std::size_t k = 0; k < free; ++k)
            up[twoWays[k]] = (way >> (free - 1 - k)) & 1u;
        std::int64_t total = 0;
        for (std::size_t i = 0; i < n; ++i)
            total += choice[i][up[i]];
        if (cap && parts * total > *cap) continue;
        std::int64_t low = 0, high = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::int64_t figure = AfterCommission(gross[i][up[i]] + perTotal * total, market.keptBasis);
            if (i == 0 || figure < low) low = figure;
            if (i == 0 || figure > high) high = figure;
        }
        const std::int64_t spread = high - low;
        const long double off = std::fabs(static_cast<long double>(total) - exactTotal);
        const bool better = !found || spread < bestSpread ||
                            (spread == bestSpread && (low > bestLow || (low == bestLow && off < bestOff)));
        if (!better) continue;
        found = true;
        bestSpread = spread;
        bestLow = low;
        bestOff = off;
        best = up;
    }
    if (!found) return std::nullopt;
    std::vector<std::int64_t> stakes;
    for (std::size_t i = 0; i < n; ++i)
        stakes.push_back(choice[i][best[i]]);
    return stakes;
}

} // namespace fairstake
