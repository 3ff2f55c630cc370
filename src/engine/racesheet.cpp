#include "engine/racesheet.h"

#include "engine/engine.h"
#include "engine/evenrounding.h"
#include "engine/numtext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace fairstake {

namespace {

// A total to spread above this is a slip of the finger (and beyond the
// cents a float stake can hold); it counts as no spread.
constexpr long double kLargestSpread = 1e9L;

const char* const kTypeTheOdds = "Type the odds of the runners you play.";

// The text a step makes, or an empty text when the step ends on one of the program's faults.
template <class Step> std::string textOf(Step&& step) {
    std::string text;
    guarded([&] { text = step(); });
    return text;
}

// A setting typed with either separator, read with the locale's.  `blank`: nothing
// typed yet (empty, or a separator alone on the way to ".5").
std::optional<long double> readSetting(const std::string& typed, char32_t separator, bool& blank) {
    const std::string trimmed = Trim(typed);
    blank = trimmed.empty() || trimmed == "." || trimmed == ",";
    if (blank) return std::nullopt;
    const std::string sep = SeparatorText(separator);
    std::string text;
    for (const char c : trimmed)
        if (c == '.' || c == ',')
            text += sep;
        else
            text += c;
    return ParseNumber(text, separator);
}

// The runner number picked in a column's combo; "Select" and "1 to 12" are none.
std::string runnerText(const std::string& combo) {
    const auto number = ParseInt32(Trim(combo));
    return number && *number >= 1 ? std::to_string(*number) : std::string();
}

// The stake as the calculator shows it.  "none" over a played runner after a
// calculation that found no profit possible: the stake it had computed (base
// amount / weight), so that the user sees why.  "???": none yet.
std::string shownStake(const BetSlip& slip, const Selection& s) {
    if (s.shownAmount == kPlaceholder) return {};
    if (s.shownAmount == kNone) {
        if (!(slip.profit < 1.0f)) return {};
        return textOf([&] { return FormatFixed2(Divide(slip.baseAmount, s.stakeWeight), slip.separator); });
    }
    return s.shownAmount;
}

// A unit of the calculator that reads as a number above 0; else none, and the stakes stay unrounded.
std::optional<long double> unitOf(const BetSlip& slip) {
    const auto unit = ParseNumber(Trim(slip.roundingUnitText), slip.separator);
    return unit && *unit > 0.0L ? unit : std::nullopt;
}

// The calculator's stakes as the sheet starts from them: those it shows, or, for the even rounding,
// their exact values (base amount / weight).  Each way shares the total it shows.  None while any is "???".
std::optional<std::vector<long double>> calculatorStakes(const BetSlip& slip, const Market& market, bool exact) {
    std::vector<long double> stakes;
    for (std::size_t i = 0; i < market.decimal.size(); ++i) {
        const Selection& s = slip.selections[i];
        const auto shown = ParseNumber(shownStake(slip, s), slip.separator);
        if (!shown) return std::nullopt;
        stakes.push_back(exact && market.type != BetType::EachWay ? Divide(slip.baseAmount, s.stakeWeight) : *shown);
    }
    if (market.type != BetType::EachWay) return stakes;
    long double total = 0.0L;
    for (const long double s : stakes)
        total += TextToNumber(FormatFixed2(s, slip.separator), slip.separator);
    return SizeStakes(market, SizeBy::Total, total, 0);
}

// The two-decimal stakes moved onto the calculator's unit by its own rounding.
std::vector<std::int64_t> ontoUnit(const BetSlip& slip, const std::vector<long double>& exact) {
    BetSlip work;
    work.separator = slip.separator;
    work.playedCount = static_cast<int>(exact.size());
    work.roundingMode = slip.roundingMode;
    work.roundingUnitText = slip.roundingUnitText;
    work.roundingThreshold = slip.roundingThreshold;
    for (std::size_t i = 0; i < exact.size(); ++i)
        work.selections[i].shownAmount = FormatFixed2(exact[i], slip.separator);
    RoundStakes(work);
    std::vector<std::int64_t> cents;
    for (std::size_t i = 0; i < exact.size(); ++i)
        cents.push_back(Cents(TextToNumber(work.selections[i].shownAmount, slip.separator) * 100.0L));
    return cents;
}

std::string sizeLine(SizeBy by, const std::string& amount, int box) {
    const std::string unchanged = "; the calculator's own are unchanged";
    switch (by) {
    case SizeBy::Total: return "Stakes for a total of " + amount + unchanged;
    case SizeBy::Profit: return "Stakes for a profit of " + amount + unchanged;
    case SizeBy::Liability: return "Stakes for a liability of " + amount + unchanged;
    case SizeBy::StakeOnBox: return "Stakes with " + amount + " on box " + std::to_string(box) + unchanged;
    case SizeBy::CalculatorStakes: break;
    }
    return {};
}

// An amount typed into a setting: above 0 and at most kLargestSpread, else refused (when not blank).
std::optional<long double> readAmount(const std::string& typed, char32_t separator, bool& refused) {
    bool blank = false;
    const auto value = readSetting(typed, separator, blank);
    if (value && *value > 0.0L && *value <= kLargestSpread) return value;
    refused = !blank;
    return std::nullopt;
}

// The lines below the table, top to bottom, as the copy writes them (empty ones left out).
std::array<const std::string*, 6> linesBelow(const RaceSheet& sheet) {
    return {&sheet.book, &sheet.staked, &sheet.profitRange, &sheet.outside, &sheet.spread, &sheet.commission};
}

} // namespace

RaceSheet MakeRaceSheet(const BetSlip& slip, const SheetSettings& settings) {
    RaceSheet sheet;
    const BetType type = settings.type;
    sheet.headings = SheetHeadings(type);
    const char32_t sep = slip.separator;
    const int n = std::clamp(slip.playedCount, 1, kSelections);
    const bool eachWay = type == BetType::EachWay;

    bool blank = false;
    long double commission = 0.0L;
    if (!eachWay) { // each way pays no commission (its box is off)
        const auto typed = readSetting(settings.commissionText, sep, blank);
        if (typed && *typed >= 0.0L && *typed <= 100.0L)
            commission = *typed;
        else if (!blank)
            sheet.commissionRefused = true;
    }
    if (commission != 0.0L)
        sheet.commission = "Commission on winnings: " + textOf([&] { return FormatGeneral(commission, sep); }) + " %";
    std::optional<long double> amount;
    if (settings.size != SizeBy::CalculatorStakes) amount = readAmount(settings.sizeText, sep, sheet.sizeRefused);
    const auto minimum = readAmount(settings.minStakeText, sep, sheet.minStakeRefused);

    sheet.rows.resize(static_cast<std::size_t>(n));
    std::vector<long double> decimal;
    bool allOdds = true;
    for (int i = 1; i <= n; ++i) {
        const Selection& s = slip.selection(i);
        RaceSheet::Row& row = sheet.rows[static_cast<std::size_t>(i - 1)];
        row[ColBox] = std::to_string(i);
        row[ColRunner] = runnerText(s.runnerNumber);
        row[ColOdds] = s.oddsText;
        // Odds of 0 or below ("0", "-5", decimal odds under 1, a text that does not read) pay
        // nothing or less than the stake: the row counts as one without odds.
        if (Trim(s.oddsText).empty() || !(s.oddsValue > 0.0f)) {
            allOdds = false;
            continue;
        }
        const long double d = static_cast<long double>(s.oddsValue) + 1.0L;
        decimal.push_back(d);
        row[ColDecimal] = textOf([&] { return FormatFixed2(d, sep); });
        row[ColChance] = eachWay ? textOf([&] {
            return FormatFixed2((d - 1.0L) / static_cast<long double>(settings.termsDivisor) + 1.0L, sep);
        })
                                 : textOf([&] { return FormatFixed1(Divide(100.0L, d), sep) + " %"; });
    }
    if (!allOdds) {
        sheet.book = kTypeTheOdds;
        return sheet;
    }
    const int places = std::clamp(settings.places, 2, 10);
    const Market market = MakeMarket(type, std::move(decimal), commission, places, settings.termsDivisor);
    guarded([&] { sheet.book = BookLine(market, sep); });

    guarded([&] {
        std::optional<std::vector<long double>> exact;
        if (amount) {
            exact = SizeStakes(market, settings.size, *amount,
                               static_cast<std::size_t>(std::clamp(settings.box, 1, n) - 1));
            if (exact)
                sheet.spread = sizeLine(settings.size, FormatFixed2(*amount, sep), std::clamp(settings.box, 1, n));
            else {
                sheet.sizeRefused = true;
                sheet.spread = "No stakes give that at these odds: the calculator's stakes are shown";
            }
        }
        if (!exact) exact = calculatorStakes(slip, market, settings.rounding == StakeRounding::Evenly);
        if (!exact) return;
        const long double least = minimum.value_or(0.0L);
        LiftToMinimum(*exact, least);

        const auto unit = unitOf(slip);
        std::optional<std::vector<std::int64_t>> cents;
        if (unit && settings.rounding == StakeRounding::OntoUnit) cents = ontoUnit(slip, *exact);
        if (unit && settings.rounding == StakeRounding::Evenly) {
            std::optional<std::int64_t> cap;
            if (amount && settings.size == SizeBy::Total && !sheet.sizeRefused) cap = Cents(*amount * 100.0L);
            cents = RoundEvenly(market, *exact, *unit, least, cap);
        }
        if (cents) {
            // A stake rounded below the minimum goes onto the smallest multiple not below it.
            const std::int64_t lifted = Cents(std::ceil(least / *unit - 1e-9L) * *unit * 100.0L);
            for (std::int64_t& c : *cents)
                if (static_cast<long double>(c) < least * 100.0L - 1e-6L) c = lifted;
        } else {
            cents.emplace();
            for (const long double x : *exact)
                cents->push_back(Cents(TextToNumber(FormatFixed2(x, sep), sep) * 100.0L));
        }
        FillTypeFigures(market, *cents, slip.startersCount <= n, sep, sheet);
    });
    return sheet;
}

std::string RaceSheetText(const RaceSheet& sheet) {
    std::string text;
    auto line = [&](const auto& cells) {
        bool first = true;
        for (const auto& cell : cells) {
            if (!first) text += '\t';
            text += cell;
            first = false;
        }
        text += '\n';
    };
    line(sheet.headings);
    for (const RaceSheet::Row& row : sheet.rows)
        line(row);
    for (const std::string* below : linesBelow(sheet))
        if (!below->empty()) text += *below + '\n';
    return text;
}

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text)
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    return out;
}

// One cell of the HTML table.  A figure carries its value in the point form (LibreOffice's
// sdval), so that it is read as a number whatever the reading spreadsheet's locale; the
// shown text stays the locale's.  Percentages keep their one decimal and their sign.
std::string htmlCell(const std::string& cell, bool odds, char32_t separator) {
    if (odds || cell.empty())
        return cell.empty() ? "<td></td>"
                            : "<td sdnum=\"1033;0;@\" style=\"mso-number-format:'\\@'\">" + escaped(cell) + "</td>";
    const bool percent = cell.size() > 2 && cell.compare(cell.size() - 2, 2, " %") == 0;
    const std::string figure = percent ? cell.substr(0, cell.size() - 2) : cell;
    const auto value = ParseNumber(figure, separator);
    if (!value) return "<td>" + escaped(cell) + "</td>";
    std::string point;
    guarded([&] { point = FormatGeneral(percent ? *value / 100.0L : *value, U'.'); });
    const char* format = percent ? "0.0%" : figure.find_first_not_of("-0123456789") == std::string::npos ? "0" : "0.00";
    return std::string("<td sdval=\"") + point + "\" sdnum=\"1033;0;" + format +
           "\" style=\"mso-number-format:'" + format + "'\">" + escaped(cell) + "</td>";
}

} // namespace

std::string RaceSheetHtml(const RaceSheet& sheet, char32_t separator) {
    std::string html = "<html><head><meta charset=\"utf-8\"></head><body><table>\n<tr>";
    for (const char* heading : sheet.headings)
        html += std::string("<th>") + heading + "</th>";
    html += "</tr>\n";
    for (const RaceSheet::Row& row : sheet.rows) {
        html += "<tr>";
        for (std::size_t c = 0; c < row.size(); ++c)
            html += htmlCell(row[c], c == ColOdds, separator);
        html += "</tr>\n";
    }
    html += "</table>\n";
    for (const std::string* below : linesBelow(sheet))
        if (!below->empty()) html += "<p>" + escaped(*below) + "</p>\n";
    return html + "</body></html>\n";
}

} // namespace fairstake
