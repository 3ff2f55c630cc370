#include "engine/bettypes.h"

#include "engine/numtext.h"
#include "engine/racesheet.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace fairstake {

namespace {

std::string money(std::int64_t cents, char32_t separator) {
    return FormatCents(cents, separator);
}

// "a to b", or "a" alone when both are the same.
std::string range(std::int64_t low, std::int64_t high, char32_t separator) {
    return low == high ? money(low, separator) : money(low, separator) + " to " + money(high, separator);
}


// The best `count` of the place returns x_j p_j (exact, in cents as a fraction) of the runners but `skip`.
long double bestPlaces(const Market& market, const std::vector<std::int64_t>& stakes, std::size_t skip, int count) {
    std::vector<long double> returns;
    for (std::size_t j = 0; j < stakes.size(); ++j)
        if (j != skip) returns.push_back(static_cast<long double>(stakes[j]) * market.place[j]);
    const auto take = std::min<std::size_t>(returns.size(), static_cast<std::size_t>(std::max(count, 0)));
    std::partial_sort(returns.begin(), returns.begin() + static_cast<std::ptrdiff_t>(take), returns.end(),
                      std::greater<>());
    long double sum = 0.0L;
    for (std::size_t j = 0; j < take; ++j)
        sum += returns[j];
    return sum;
}

} // namespace

const std::array<const char*, kSheetColumns>& SheetHeadings(BetType type) {
    static const std::array<const char*, kSheetColumns> back = {"Box",    "Runner", "Odds",    "Decimal",
                                                                "Chance", "Stake",  "Returns", "Profit"};
    static const std::array<const char*, kSheetColumns> lay = {"Box",    "Runner",    "Odds",      "Decimal",
                                                               "Chance", "Lay stake", "Liability", "Profit"};
    static const std::array<const char*, kSheetColumns> eachWay = {"Box",   "Runner", "Odds",       "Decimal",
                                                                   "Place", "Stake",  "If it wins", "If it places"};
    return type == BetType::Lay ? lay : type == BetType::EachWay ? eachWay : back;
}

Market MakeMarket(BetType type, std::vector<long double> decimal, long double commission, int places,
                  int termsDivisor) {
    Market market;
    market.type = type;
    market.places = places;
    market.termsDivisor = termsDivisor;
    if (type == BetType::EachWay) {
        for (const long double d : decimal)
            market.place.push_back((d - 1.0L) / static_cast<long double>(termsDivisor) + 1.0L);
    } else {
        market.keptBasis = 10000 - std::llround(commission * 100.0L);
        market.kept = static_cast<long double>(market.keptBasis) / 10000.0L;
    }
    market.decimal = std::move(decimal);
    return market;
}

std::vector<long double> StakeProportions(const Market& market) {
    std::vector<long double> w;
    for (std::size_t i = 0; i < market.decimal.size(); ++i)
        w.push_back(Divide(1.0L, market.decimal[i] + (market.type == BetType::EachWay ? market.place[i] : 0.0L)));
    return w;
}

std::int64_t Cents(long double value) {
    if (!(std::fabs(value) <= 9e17L)) throw ArithmeticFault("a figure beyond the cents"); // NaN too
    // Half away from zero, as llround, without its library call (the even rounding's search runs this
    // some 5000 times).
    return value < 0.0L ? -static_cast<std::int64_t>(0.5L - value) : static_cast<std::int64_t>(value + 0.5L);
}

std::int64_t AfterCommission(std::int64_t cents, std::int64_t keptBasis) {
    return cents > 0 ? (cents * keptBasis + 5000) / 10000 : cents;
}

std::int64_t EvenGross(const Market& market, std::size_t i, std::int64_t stake) {
    const auto s = static_cast<long double>(stake);
    switch (market.type) {
    case BetType::Lay: // the other stakes won, less this one's liability
        return -stake - Cents(s * (market.decimal[i] - 1.0L));
    case BetType::EachWay: // it wins and is placed, none of the others is placed
        return Cents(s * (market.decimal[i] + market.place[i]));
    case BetType::Back:
        break;
    }
    return Cents(s * market.decimal[i]);
}

int EvenPerTotal(const Market& market) {
    return market.type == BetType::Lay ? 1 : market.type == BetType::EachWay ? -2 : -1;
}

void EvenColumn(const Market& market, const std::int64_t* stakes, std::size_t n, std::int64_t* profits) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += stakes[i];
    for (std::size_t i = 0; i < n; ++i)
        profits[i] = AfterCommission(EvenGross(market, i, stakes[i]) + EvenPerTotal(market) * sum, market.keptBasis);
}

std::string BookLine(const Market& market, char32_t separator) {
    long double book = 0.0L;
    for (const long double d : market.decimal)
        book += Divide(100.0L, d);
    const std::string percent = FormatFixed1(book, separator);
    std::string line = "Book: " + percent + " % of the market";
    if (market.type == BetType::EachWay)
        return line + "; place terms 1/" + std::to_string(market.termsDivisor) + ", " +
               std::to_string(market.places) + " places";
    // Judged on the figure shown, so that "100.0 %" never claims a profit.
    if (market.type == BetType::Back && TextToNumber(percent, separator) >= 100.0L)
        line += ": at 100 % or more some runner always loses";
    return line;
}

void FillTypeFigures(const Market& market, const std::vector<std::int64_t>& stakes, bool allStarters,
                     char32_t separator, RaceSheet& sheet) {
    const std::size_t n = stakes.size();
    std::vector<std::int64_t> even(n);
    EvenColumn(market, stakes.data(), n, even.data());
    std::int64_t sum = 0;
    for (const std::int64_t s : stakes)
        sum += s;
    for (std::size_t i = 0; i < n; ++i) {
        SheetRow& row = sheet.rows[i];
        const auto s = static_cast<long double>(stakes[i]);
        row[ColStake] = money(stakes[i], separator);
        switch (market.type) {
        case BetType::Back:
            row[ColReturns] = money(Cents(s * market.decimal[i]), separator);
            break;
        case BetType::Lay:
            row[ColReturns] = money(Cents(s * (market.decimal[i] - 1.0L)), separator);
            break;
        case BetType::EachWay:
            row[ColReturns] = money(even[i], separator);
            row[ColProfit] = money(Cents(s * market.place[i]) - 2 * sum, separator);
            continue;
        }
        row[ColProfit] = money(even[i], separator);
    }
    const auto [low, high] = std::minmax_element(even.begin(), even.end());
    const std::string other = "If any other runner wins: ";
    switch (market.type) {
    case BetType::Back:
        sheet.staked = "Staked: " + money(sum, separator);
        sheet.profitRange = "Profit: " + range(*low, *high, separator) + " whichever of them wins";
        sheet.outside = other + money(-sum, separator);
        break;
    case BetType::Lay:
        sheet.staked = "Lay stakes: " + money(sum, separator) +
                       "; the most you can lose: " + money(std::max<std::int64_t>(0, -*low), separator);
        sheet.profitRange = "Profit: " + range(*low, *high, separator) + " if one of them wins";
        sheet.outside = other + money(AfterCommission(sum, market.keptBasis), separator);
        break;
    case BetType::EachWay: {
        // The best case of a win: the winner's own figure and the best of the others placed with it,
        // on the exact place returns of the shown stakes.
        long double best = 0.0L;
        for (std::size_t i = 0; i < n; ++i) {
            const long double wins = static_cast<long double>(stakes[i]) * (market.decimal[i] + market.place[i]) -
                                     2.0L * static_cast<long double>(sum) +
                                     bestPlaces(market, stakes, i, market.places - 1);
            best = i == 0 ? wins : std::max(best, wins);
        }
        sheet.staked = "Staked: " + money(2 * sum, separator) + ", " + money(sum, separator) + " to win and " +
                       money(sum, separator) + " to place";
        sheet.profitRange = "If one of them wins: " + money(*low, separator) + " to " + money(Cents(best), separator);
        const long double placed = bestPlaces(market, stakes, n, market.places - 1);
        sheet.outside = "If none of them wins: " + money(-2 * sum, separator) + " to " +
                        money(Cents(placed - 2.0L * static_cast<long double>(sum)), separator);
        break;
    }
    }
    if (allStarters) sheet.outside = "Every starter is played.";
}

} // namespace fairstake
