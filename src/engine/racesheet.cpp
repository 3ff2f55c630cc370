#include "engine/racesheet.h"

#include "engine/engine.h"
#include "engine/numtext.h"

#include <algorithm>
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

// A stake's text in the two-decimal form ("25" -> "25.00"); empty when it does not read.
std::string twoDecimals(const std::string& stake, char32_t separator) {
    const auto value = ParseNumber(stake, separator);
    return value ? textOf([&] { return FormatFixed2(*value, separator); }) : std::string();
}

// The total spread over the runners in proportion to their chances, two
// decimals each, and moved onto the calculator's unit by its own rounding when asked.
std::vector<std::string> spreadStakes(const BetSlip& slip, const std::vector<long double>& decimal,
                                      long double total, bool round) {
    const auto n = decimal.size();
    std::vector<std::string> stakes(n);
    guarded([&] {
        long double chances = 0.0L;
        for (const long double d : decimal)
            chances += Divide(1.0L, d);
        for (std::size_t i = 0; i < n; ++i)
            stakes[i] = FormatFixed2(Divide(total * Divide(1.0L, decimal[i]), chances), slip.separator);
    });
    if (!round || n == 0 || stakes.front().empty()) return stakes;
    BetSlip work;
    work.separator = slip.separator;
    work.playedCount = static_cast<int>(n);
    work.roundingMode = slip.roundingMode;
    work.roundingUnitText = slip.roundingUnitText;
    work.roundingThreshold = slip.roundingThreshold;
    for (std::size_t i = 0; i < n; ++i)
        work.selections[i].shownAmount = stakes[i];
    RoundStakes(work);
    for (std::size_t i = 0; i < n; ++i)
        stakes[i] = twoDecimals(work.selections[i].shownAmount, slip.separator);
    return stakes;
}

} // namespace

const std::array<const char*, kSheetColumns>& SheetHeadings() {
    static const std::array<const char*, kSheetColumns> headings = {"Box",    "Runner", "Odds",    "Decimal",
                                                                    "Chance", "Stake",  "Returns", "Profit"};
    return headings;
}

RaceSheet MakeRaceSheet(const BetSlip& slip, const SheetSettings& settings) {
    enum { Box, Runner, Odds, Decimal, Chance, Stake, Returns, Profit };
    RaceSheet sheet;
    const char32_t sep = slip.separator;
    const int n = std::clamp(slip.playedCount, 1, kSelections);

    bool blank = false;
    long double commission = 0.0L;
    const auto typedCommission = readSetting(settings.commissionText, sep, blank);
    if (typedCommission && *typedCommission >= 0.0L && *typedCommission <= 100.0L)
        commission = *typedCommission;
    else if (!blank)
        sheet.commissionRefused = true;
    if (commission != 0.0L)
        sheet.commission = "Commission on winnings: " + textOf([&] { return FormatGeneral(commission, sep); }) + " %";
    const auto typedSpread = readSetting(settings.spreadText, sep, blank);
    std::optional<long double> spread;
    if (typedSpread && *typedSpread > 0.0L && *typedSpread <= kLargestSpread)
        spread = typedSpread;
    else if (!blank && !(typedSpread && *typedSpread == 0.0L))
        sheet.spreadRefused = true;

    sheet.rows.resize(static_cast<std::size_t>(n));
    std::vector<long double> decimal; // of the rows with odds
    bool allOdds = true;
    for (int i = 1; i <= n; ++i) {
        const Selection& s = slip.selection(i);
        RaceSheet::Row& row = sheet.rows[static_cast<std::size_t>(i - 1)];
        row[Box] = std::to_string(i);
        row[Runner] = runnerText(s.runnerNumber);
        row[Odds] = s.oddsText;
        // Odds of 0 or below ("0", "-5", decimal odds under 1, a text that does not read) pay
        // nothing or less than the stake: the row counts as one without odds.
        if (Trim(s.oddsText).empty() || !(s.oddsValue > 0.0f)) {
            allOdds = false;
            continue;
        }
        const long double d = static_cast<long double>(s.oddsValue) + 1.0L;
        decimal.push_back(d);
        row[Decimal] = textOf([&] { return FormatFixed2(d, sep); });
        row[Chance] = textOf([&] { return FormatFixed1(Divide(100.0L, d), sep) + " %"; });
        row[Stake] = twoDecimals(shownStake(slip, s), sep);
    }

    if (!allOdds) {
        sheet.book = kTypeTheOdds;
    } else if (spread) {
        const auto stakes = spreadStakes(slip, decimal, *spread, settings.spreadRound);
        for (std::size_t r = 0; r < stakes.size(); ++r)
            sheet.rows[r][Stake] = stakes[r];
        sheet.spread =
            "Stakes for a total of " + FormatFixed2(*spread, sep) + "; the calculator's own are unchanged";
    }

    // Returns where odds and stake are known; the profits only when every stake is.
    std::vector<long double> returns;
    long double staked = 0.0L;
    bool allStakes = allOdds;
    for (std::size_t r = 0, k = 0; r < sheet.rows.size(); ++r) {
        RaceSheet::Row& row = sheet.rows[r];
        if (row[Odds].empty()) continue;
        const long double d = decimal[k++];
        const auto stake = ParseNumber(row[Stake], sep);
        if (!stake) {
            row[Stake].clear();
            allStakes = false;
            continue;
        }
        staked += *stake;
        row[Returns] = textOf([&] { return FormatFixed2(*stake * d, sep); });
        // The profits are worked on the figures shown, so that every row adds up to the cent.
        returns.push_back(ParseNumber(row[Returns], sep).value_or(0.0L));
    }
    if (!allOdds) return sheet;

    guarded([&] {
        long double book = 0.0L;
        for (const long double d : decimal)
            book += Divide(100.0L, d);
        const std::string percent = FormatFixed1(book, sep);
        sheet.book = "Book: " + percent + " % of the market";
        // Judged on the figure shown, so that "100.0 %" never claims a profit.
        if (TextToNumber(percent, sep) >= 100.0L) sheet.book += ": at 100 % or more some runner always loses";
    });
    if (!allStakes) return sheet;

    guarded([&] {
        // If runner i wins, the exchange takes its commission from the net winnings of the market.
        std::vector<std::string> profits;
        const long double kept = 1.0L - commission / 100.0L;
        const std::string stakedText = FormatFixed2(staked, sep);
        const long double shownStaked = TextToNumber(stakedText, sep);
        for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
            const long double net = returns[r] - shownStaked;
            sheet.rows[r][Profit] = FormatFixed2(net > 0.0L ? net * kept : net, sep);
            profits.push_back(sheet.rows[r][Profit]);
        }
        auto figure = [&](const std::string& text) { return TextToNumber(text, sep); };
        const auto [low, high] = std::minmax_element(
            profits.begin(), profits.end(),
            [&](const std::string& a, const std::string& b) { return figure(a) < figure(b); });
        sheet.staked = "Staked: " + stakedText;
        sheet.profitRange =
            "Profit: " + (*low == *high ? *low : *low + " to " + *high) + " whichever of them wins";
        sheet.outside = slip.startersCount <= n ? std::string("Every starter is played.")
                                                : "If any other runner wins: " + FormatFixed2(-shownStaked, sep);
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
    line(SheetHeadings());
    for (const RaceSheet::Row& row : sheet.rows)
        line(row);
    for (const std::string* below :
         {&sheet.book, &sheet.staked, &sheet.profitRange, &sheet.outside, &sheet.spread, &sheet.commission})
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
    for (const char* heading : SheetHeadings())
        html += std::string("<th>") + heading + "</th>";
    html += "</tr>\n";
    for (const RaceSheet::Row& row : sheet.rows) {
        html += "<tr>";
        for (std::size_t c = 0; c < row.size(); ++c)
            html += htmlCell(row[c], c == 2, separator);
        html += "</tr>\n";
    }
    html += "</table>\n";
    for (const std::string* below :
         {&sheet.book, &sheet.staked, &sheet.profitRange, &sheet.outside, &sheet.spread, &sheet.commission})
        if (!below->empty()) html += "<p>" + escaped(*below) + "</p>\n";
    return html + "</body></html>\n";
}

} // namespace fairstake
