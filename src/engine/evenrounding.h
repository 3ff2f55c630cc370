#pragma once
// The even rounding: each stake onto the multiple of the unit just below or
// just above it, picking, out of all those ways (at most 2^9), the one whose
// profit column is most even.  An exhaustive search, not a heuristic.

#include "engine/bettypes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace fairstake {

// The stakes in cents, or nullopt when no way qualifies (every way over `cap`).  `exact`: the
// stakes before rounding (each way: per part); `minimum`: a multiple below it does not count (0:
// none); `cap`: the total (each way: both parts) not to exceed, in cents (none: no cap).
// Ties go to the higher lowest figure, then to the total nearest the exact one, then to the first
// way in the order where box 1 below comes before box 1 above, then box 2, and so on.
std::optional<std::vector<std::int64_t>> RoundEvenly(const Market& market, const std::vector<long double>& exact,
                                                     long double unit, long double minimum,
                                                     std::optional<std::int64_t> cap);

} // namespace fairstake
