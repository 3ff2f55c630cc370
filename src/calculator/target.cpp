// The base amount (target) scroll bar, the picture under it, the "Start at" box
// and the two calculate buttons.

#include <QLineEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <utility>

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "help/hovertexts.h"

namespace fairstake {

void TfrmJeuGagnant::runCalculation(Variant variant) {
    SlipBatch batch(*this);
    pullControls();
    RunCalculation(slip_, variant, *this);
    showSlip();
}

void TfrmJeuGagnant::Command1Click() { runCalculation(Variant::Calculate); }
void TfrmJeuGagnant::Button1Click() { runCalculation(Variant::Refresh); }

// The quantity of horses picked again: one item lower, then back, each setting
// running the quantity handler (for one horse: no item, then back).
// The marks end where they began, so they are held meanwhile: nobody could see
// them move, and the buttons are not repainted for nothing.
void TfrmJeuGagnant::pickQuantityAgain() {
    const int current = Option1->itemIndex();
    const FocusHold focus(*this);
    Option1->holdCheckMarks();
    const auto release = qScopeGuard([this] { Option1->releaseCheckMarks(); });
    Option1->setItemIndex(current - 1);
    Option1->setItemIndex(current);
}

TfrmJeuGagnant::FocusSpot TfrmJeuGagnant::FocusSpot::of(QWidget* control) {
    FocusSpot spot{control};
    if (const auto* box = qobject_cast<QLineEdit*>(control)) {
        spot.cursor = box->cursorPosition();
        spot.selectionStart = box->selectionStart();
        spot.selectionLength = static_cast<int>(box->selectedText().size());
    }
    return spot;
}

void TfrmJeuGagnant::FocusSpot::restore() const {
    if (!control || !control->isEnabled() || !control->isVisible()) return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(control.data())) {
        if (selectionStart < 0)
            box->setCursorPosition(cursor);
        else if (cursor == selectionStart) // selected backwards: the caret at the start
            box->setSelection(selectionStart + selectionLength, -selectionLength);
        else
            box->setSelection(selectionStart, selectionLength);
    }
}

TfrmJeuGagnant::FocusHold::FocusHold(TfrmJeuGagnant& window)
    : window_(window), previous_(window.heldFocus_), spot_(FocusSpot::of(window.focusWidget())) {
    window_.heldFocus_ = spot_.control;
}

TfrmJeuGagnant::FocusHold::~FocusHold() {
    window_.heldFocus_ = previous_;
    if (spot_.control && window_.focusWidget() != spot_.control) spot_.restore();
}

void TfrmJeuGagnant::beginChain() {
    chainFocus_ = FocusSpot::of(focusWidget());
    focusDisplaced_ = false;
}

void TfrmJeuGagnant::endChain() {
    const FocusSpot origin = std::exchange(chainFocus_, {});
    const bool displaced = std::exchange(focusDisplaced_, false);
    const QWidget* focus = focusWidget();
    if (!origin.control || focus == origin.control) return;
    if ((displaced && focus == displacedTo_) || (focus && !focus->isEnabled())) origin.restore();
}

void TfrmJeuGagnant::setControlEnabled(QWidget* control, bool enabled) {
    const bool hadFocus = !enabled && control->isEnabled() && focusWidget() == control;
    control->setEnabled(enabled);
    if (!hadFocus || slipBatch_ == 0) return;
    focusDisplaced_ = true;
    displacedTo_ = focusWidget();
}

void TfrmJeuGagnant::HScroll1Change() {
    SlipBatch batch(*this);
    guarded([&] {
        setHelpText(help::LossRecoveryText());
        if (HScroll1->minimum() == 2) HScroll1->setMinimum(1);
        const int n = slip_.playedCount;
        if (Trim(txtCote[static_cast<std::size_t>(n - 1)]->text().toStdString()).empty()) return;
        slip_.baseAmount = static_cast<float>(HScroll1->value());
        runCalculation(Variant::Calculate);
        ComputeTotalStake(slip_);
        showSlip();
        pickQuantityAgain();
        runCalculation(Variant::Calculate);
    });
}

void TfrmJeuGagnant::Image1MouseDown(int x) {
    const int next = HScroll1->value() + (x <= 92 ? -1 : 1);
    if (next < HScroll1->minimum() || next > HScroll1->maximum()) return;
    HScroll1->setValue(next);
}

void TfrmJeuGagnant::Edit1Change() {
    guarded([&] {
        const QString trimmed = QString::fromStdString(Trim(Edit1->text().toStdString()));
        if (trimmed != Edit1->text()) Edit1->setText(trimmed);
        if (Edit1->text().isEmpty()) return;
        const std::int32_t minimum = TextToInt32(Edit1->text().toStdString());
        // The scroll bar refuses a minimum above its maximum.
        if (minimum > HScroll1->maximum()) return;
        // Raising the minimum above the position moves the position, which
        // runs the recalculation.
        HScroll1->setMinimum(minimum);
    });
}

} // namespace fairstake
