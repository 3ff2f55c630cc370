// The Race menu's sheet items and what tells the race sheet to follow the slip.

#include "calculator/frmjeugagnant.h"
#include "help/contexthelp.h"
#include "sheet/frmsheet.h"

#include <QAction>

namespace fairstake {

void TfrmJeuGagnant::raceSheetClick() {
    if (!sheet_) {
        sheet_ = new TfrmSheet(slip_, this);
        // F1 and Shift+F1 open the sheet's own topic in the help window (no pop-ups there).
        help::ContextHelp::install(sheet_, [] { return false; });
        // The two items' keys work in the sheet's window as well.
        sheet_->addAction(raceSheet);
        sheet_->addAction(copyRace);
    }
    if (!sheet_->isVisible()) sheet_->placeBeside(*this);
    sheet_->show();
    sheet_->raise();
}

void TfrmJeuGagnant::copyRaceClick() {
    if (sheet_)
        sheet_->copy();
    else
        CopyRace(slip_, SheetSettings{});
}

void TfrmJeuGagnant::tellSheetNewRace() {
    if (sheet_) sheet_->newRace();
}

void TfrmJeuGagnant::tellSheet() {
    if (!sheet_) return;
    if (slipBatch_ > 0)
        slipStale_ = true;
    else
        sheet_->follow();
}

} // namespace fairstake
