// The Race menu's sheet items and what tells the race sheet to follow the slip.

#include "calculator/frmjeugagnant.h"
#include "sheet/frmsheet.h"

#include <QAction>

namespace fairstake {

void TfrmJeuGagnant::raceSheetClick() {
    if (!sheet_) {
        sheet_ = new TfrmSheet(slip_, this);
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

void TfrmJeuGagnant::tellSheet() {
    if (!sheet_) return;
    if (slipBatch_ > 0)
        slipStale_ = true;
    else
        sheet_->follow();
}

} // namespace fairstake
