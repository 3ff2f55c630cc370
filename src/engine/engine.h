#pragma once
// The dutching engine's operations.  They read and change the bet slip; what
// needs a window goes through the host.

#include <optional>
#include <string_view>

#include "engine/betslip.h"
#include "engine/host.h"

namespace fairstake {

// The calculate buttons: Command1 runs Variant::Calculate, Button1 Variant::Refresh.
void RunCalculation(BetSlip& slip, Variant variant, EngineHost& host);
// The calculation proper; called by RunCalculation.  Ends silently on an arithmetic fault.
void ComputeStakes(BetSlip& slip, Variant variant, EngineHost& host);

// Amount labels and total line from the weights, with K the working base amount.
void ShowStakesDecimal(BetSlip& slip, float k);
void ShowStakesWhole(BetSlip& slip, float k);
// totalStake from the shown amounts of the played selections.
void ComputeTotalStake(BetSlip& slip);
// ComputeTotalStake unless one of the first three amounts is still "???".
void RefreshTotals(BetSlip& slip);

// Moves the shown amounts onto multiples of the rounding unit.
void RoundStakes(BetSlip& slip);
void RoundStakesUp(BetSlip& slip);
void RoundStakesDown(BetSlip& slip);
void RoundStakesByValue(BetSlip& slip);

// How a number typed as odds is read; the odds value is always to-one odds (the
// net win per unit staked).  To-one odds are the number itself ("4.5" or "4,5"),
// decimal odds include the stake (5.5 is 4.5 to one), American odds are the win
// on 100 staked (+450) or the stake that wins 100 (-200 is 1 to 2).  A fraction
// ("9/2") is to-one odds in every format.
enum class OddsFormat { ToOne, Decimal, American };

// The odds value of a box text in whole, decimal or fraction form; nullopt for
// no result (a text that does not read, or a number outside the format's range).
std::optional<float> ParseOdds(std::string_view text, char32_t separator, OddsFormat format);
// The yield line for a stake of 1 and of 2; may reset a zero total line.
void ShowOddsYield(BetSlip& slip, std::string_view text, OddsFormat format);

// The validation message for N played selections whose odds are all empty.
std::string ValidationMessage(int playedCount);

} // namespace fairstake
