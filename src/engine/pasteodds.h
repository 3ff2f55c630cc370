#pragma once
// Reading a race's prices out of pasted text: a bookmaker's page, a race card,
// a spreadsheet's row or column.  Plain text and the odds format in, the
// prices as they are to be typed into the odds boxes and the runner numbers
// out; the window types them through the boxes' own handlers.

#include "engine/engine.h"

#include <string>
#include <string_view>
#include <vector>

namespace fairstake {

// Only so much of a pasted text is looked at: the first megabyte, and of that
// the first 200 lines.
inline constexpr std::size_t kPasteBytes = std::size_t{1} << 20;
inline constexpr int kPasteLines = 200;

struct PastedRunner {
    std::string price; // as it stood in the text, an even-money word written as the format writes 1 to 1
    int number = 0;    // the runner's number, 1 to 99; 0 when the line gave none
};

struct PastedOdds {
    std::vector<PastedRunner> runners; // the first nine priced runners, in order
    bool heldMore = false;             // a tenth price followed
};

// One line with two or more tab-separated cells, each a price or empty, is a
// spreadsheet row: one runner per price.  Otherwise each line that is not
// blank is a runner: its tokens are cut at blanks, tabs and ';'; a first token
// that is a whole number from 1 to 99, followed by another, is the runner's
// number; the price is the last other token that reads as odds above 0 in the
// format (either separator, fractions in every format; "Evens", "Evs", "EVS" in
// any case are even money).  A line without a price is left out.
PastedOdds ReadPastedOdds(std::string_view text, char32_t separator, OddsFormat format);

} // namespace fairstake
