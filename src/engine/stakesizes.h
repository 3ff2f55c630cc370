#pragma once
// How big the race sheet's stakes are: a total, a profit, a liability or one
// runner's stake, each shared in the type's proportions; and the minimum stake
// that lifts them all.

#include "engine/bettypes.h"

#include <optional>
#include <vector>

namespace fairstake {

enum class SizeBy { CalculatorStakes, Total, Profit, Liability, StakeOnBox };

// The exact stakes (each way: per part) for `amount` sized `by`, with box `box` (0-based) for a stake
// on one box; nullopt where no stakes give it at these odds (a profit at a book of 100 % or more, or
// at 100 % commission, a liability but in lay, a liability at a book of 100 % or more).  Not for the
// calculator's stakes.
std::optional<std::vector<long double>> SizeStakes(const Market& market, SizeBy by, long double amount,
                                                   std::size_t box);

// Every stake multiplied by minimum / (smallest stake) when the smallest is below the minimum.
void LiftToMinimum(std::vector<long double>& stakes, long double minimum);

} // namespace fairstake
