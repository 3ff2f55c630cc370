// Display mode, rounding direction, threshold and unit, and the round button.

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "help/hovertexts.h"

namespace fairstake {

void TfrmJeuGagnant::radioOptionsClick() {
    SlipBatch batch(*this);
    guarded([&] {
        setHelpText(help::DisplayModeText());
        runCalculation(Variant::Calculate);
        ComputeTotalStake(slip_);
        showSlip();
    });
}

// The direction is read into the slip again before every rounding; kept here
// too, for the race sheet's stakes moved onto the unit.
void TfrmJeuGagnant::radioupClick() {
    setHelpText(help::RoundUpText());
    slip_.roundingMode = RoundingMode::Up;
    tellSheet();
}
void TfrmJeuGagnant::radiodownClick() {
    setHelpText(help::RoundDownText());
    slip_.roundingMode = RoundingMode::Down;
    tellSheet();
}
void TfrmJeuGagnant::radiocenterClick() {
    setHelpText(help::RoundByValueText());
    slip_.roundingMode = RoundingMode::ByValue;
    tellSheet();
}

void TfrmJeuGagnant::ScrollBar1Change() {
    guarded([&] {
        const long double threshold = ScrollBar1->value() / 10.0L;
        txtTenths->setText(QString::fromStdString(FormatGeneral(threshold, slip_.separator)));
        slip_.roundingThreshold = StoreFloat(threshold);
    });
    tellSheet();
    guarded([&] { setHelpText(help::ThresholdText()); });
}

void TfrmJeuGagnant::txtTenthsClick() { ScrollBar1->setFocus(Qt::MouseFocusReason); }

void TfrmJeuGagnant::txtArrondirChange() {
    guarded([&] {
        QString text = txtArrondir->text();
        if (text.isEmpty()) return;
        const QChar last = text.back();
        if ((last == u'.' && separator_ != u'.') || (last == u',' && separator_ != u',')) {
            text.back() = separator_;
            txtArrondir->setText(text);
            txtArrondir->setCursorPosition(static_cast<int>(text.size()));
        }
    });
    slip_.roundingUnitText = txtArrondir->text().toStdString();
    tellSheet();
}

void TfrmJeuGagnant::btnRounditupClick() {
    SlipBatch batch(*this);
    pullControls();
    RoundStakes(slip_);
    showSlip();
}

} // namespace fairstake
