#pragma once
// The race sheet's bet types: backing to win, laying, and backing each way (a
// win part and a place part of the same stake).  What each type stakes in
// proportion, and what its rows and lines are, worked on the stakes as shown
// (in cents), so that every row adds up to the cent.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace fairstake {

enum class BetType { Back, Lay, EachWay };

inline constexpr int kSheetColumns = 8;
using SheetRow = std::array<std::string, kSheetColumns>;
enum SheetColumn { ColBox, ColRunner, ColOdds, ColDecimal, ColChance, ColStake, ColReturns, ColProfit };

// "Box", "Runner", "Odds", "Decimal", then the type's own four.
const std::array<const char*, kSheetColumns>& SheetHeadings(BetType type = BetType::Back);

// The played runners' odds as the type needs them.
struct Market {
    BetType type = BetType::Back;
    std::vector<long double> decimal; // d_i: odds value + 1
    std::vector<long double> place;   // p_i = (d_i - 1) x f + 1, each way only
    long double kept = 1.0L;          // 1 - commission (each way: 1)
    // The same in ten-thousandths, exact: the commission taken to a hundredth of a percent.
    std::int64_t keptBasis = 10000;
    int places = 3;                   // each way: how many are placed
    int termsDivisor = 5;             // each way: the place terms 1/4 or 1/5
};
// `commission` in percent; each way pays none.
Market MakeMarket(BetType type, std::vector<long double> decimal, long double commission, int places,
                  int termsDivisor);

// w_i: 1 / d_i (back and lay), 1 / (d_i + p_i) (each way, per part).
std::vector<long double> StakeProportions(const Market& market);

// A figure in whole cents, half a cent away from zero.
std::int64_t Cents(long double value);

// That column's figure of runner i, before commission, is EvenGross(i, stake) + EvenPerTotal() x the sum
// of the stakes: the search of the even rounding adds them up way by way.
std::int64_t EvenGross(const Market& market, std::size_t i, std::int64_t stake);
int EvenPerTotal(const Market& market);
// A gain less the commission (`keptBasis` ten-thousandths of it kept, half a cent up); a loss stays whole.
std::int64_t AfterCommission(std::int64_t cents, std::int64_t keptBasis);

// The column the even rounding makes even (back and lay: "Profit", each way: "If it wins"), in cents,
// from the stakes in cents (each way: per part).  `profits` has room for as many.
void EvenColumn(const Market& market, const std::int64_t* stakes, std::size_t n, std::int64_t* profits);

struct RaceSheet;
// The rows' last three columns after the stake (Chance or Place, Returns or Liability or If it wins,
// Profit or If it places) and the lines Staked, Profit and Outside, from the shown stakes in cents.
// `allStarters`: every starter of the race is played.
// Every row of `sheet` is a played runner with odds, in the market's order.
void FillTypeFigures(const Market& market, const std::vector<std::int64_t>& stakes, bool allStarters,
                     char32_t separator, RaceSheet& sheet);
// The book line: the win book, with the type's ending.
std::string BookLine(const Market& market, char32_t separator);

} // namespace fairstake
