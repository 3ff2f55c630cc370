// The smaller tools: shifting the odds, the CLEAR strip, the REFRESH buttons,
// the worked examples and the odds pasted from the clipboard.  They drive the
// window through its controls, so every change handler runs exactly as when
// the user does the same by hand.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "engine/pasteodds.h"
#include "help/hovertexts.h"

namespace fairstake {

namespace {

constexpr int kRowCells = 13;
constexpr int kAllNineItem = 8;

// A worked example's to-one odds as they are typed in the format in force, so
// that the example shows the same stakes in every format: 2 to one is decimal 3
// and American +200.  The examples' numbers are whole; fractions are to-one odds
// in every format and stay as they are.
QString exampleOdds(const QString& toOne, OddsFormat format) {
    if (toOne.contains(u'/')) return toOne;
    switch (format) {
    case OddsFormat::ToOne: break;
    case OddsFormat::Decimal: return QString::number(toOne.toInt() + 1);
    case OddsFormat::American: return u'+' + QString::number(toOne.toInt() * 100);
    }
    return toOne;
}

} // namespace

// The row of odds texts: two hidden cells on the left, the nine boxes, two on the right.
QLineEdit* TfrmJeuGagnant::oddsCell(int cell) const {
    switch (cell) {
    case 1: return avantgauche;
    case 2: return txtGauche;
    case 12: return txtDroite;
    case 13: return apresdroite;
    default: return txtCote[static_cast<std::size_t>(cell - 3)];
    }
}

void TfrmJeuGagnant::imggaucheClick() {
    SlipBatch batch(*this);
    guarded([&] {
        const int p = Option1->itemIndex();
        Option1->setItemIndex(kAllNineItem);
        for (int cell = 1; cell < kRowCells; ++cell) oddsCell(cell)->setText(oddsCell(cell + 1)->text());
        oddsCell(kRowCells)->setText(QString());
        Option1->setItemIndex(p);
    });
}

void TfrmJeuGagnant::imgDroiteClick() {
    SlipBatch batch(*this);
    guarded([&] {
        const int p = Option1->itemIndex();
        Option1->setItemIndex(kAllNineItem);
        for (int cell = kRowCells; cell > 1; --cell) oddsCell(cell)->setText(oddsCell(cell - 1)->text());
        oddsCell(1)->setText(QString());
        Option1->setItemIndex(p);
    });
}

void TfrmJeuGagnant::imgBlancMouseDown(int x) {
    // Left edges of the strip's nine cells; x 0 and 1 lie before the first.
    static constexpr int kCellLeft[kSelections] = {2, 17, 32, 50, 67, 85, 103, 123, 142};
    int first = 0;
    for (int k = kSelections; k >= 1; --k)
        if (x >= kCellLeft[k - 1]) {
            first = k;
            break;
        }
    if (first == 0) return;
    tellSheetNewRace();
    SlipBatch batch(*this);
    guarded([&] {
        for (int i = first; i <= kSelections; ++i) txtCote[static_cast<std::size_t>(i - 1)]->setText(QString());
    });
}

void TfrmJeuGagnant::refresh(Variant variant) {
    SlipBatch batch(*this);
    guarded([&] {
        flushSlip(); // the profit is read back from its label
        const auto profit = ParseNumber(lblAmount_ie_Label4->text().toStdString(), slip_.separator);
        if (!profit) return;
        if (*profit <= 0) {
            AskUser(this, {QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                           QStringLiteral("First, you must choose the amount you want to win!"), QMessageBox::Ok});
            return;
        }
        HScroll1Change();
        pickQuantityAgain();
        (variant == Variant::Refresh ? Button1 : Command1)->click();
        RefreshTotals(slip_);
        showSlip();
    });
}

void TfrmJeuGagnant::CmdrafraichirbidClick() { refresh(Variant::Refresh); }
void TfrmJeuGagnant::cmdRafraichirClick() { refresh(Variant::Calculate); }

void TfrmJeuGagnant::runExample(int position, int playedItem, const std::vector<QString>& odds) {
    tellSheetNewRace();
    SlipBatch batch(*this);
    guarded([&] {
        HScroll1->setValue(position);
        Option1->setItemIndex(playedItem);
        for (std::size_t i = 0; i < odds.size(); ++i) txtCote[i]->setText(exampleOdds(odds[i], oddsFormat_));
        Command1->click();
        btnRounditup->click();
    });
}

void TfrmJeuGagnant::btnExampleClick() {
    runExample(2, 3, {QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("7"), QStringLiteral("12")});
}

void TfrmJeuGagnant::btnExample2Click() {
    runExample(4, 3, {QStringLiteral("3/2"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("8")});
}

void TfrmJeuGagnant::btnExample3Click() { runExample(4, 1, {QStringLiteral("3/2"), QStringLiteral("4")}); }

// The clipboard is read only here, when the command runs.  The prices go in as
// a user's paste into each box would put them: one change per box, each
// running the box's handler, the played count first so that the last box's
// change calculates; the balloon's line comes after the chain's own.
void TfrmJeuGagnant::pasteOddsClick() {
    // At most a megabyte of characters is turned into UTF-8; the reader looks at no more bytes than that.
    const QString text = QGuiApplication::clipboard()->text().left(static_cast<qsizetype>(kPasteBytes));
    const PastedOdds pasted = ReadPastedOdds(text.toStdString(), slip_.separator, oddsFormat_);
    const int k = static_cast<int>(pasted.runners.size());
    SlipBatch batch(*this);
    if (k > 0) {
        guarded([&] {
            Option1->setItemIndex(k - 1);
            for (int i = 1; i <= k; ++i)
                txtCote[static_cast<std::size_t>(i - 1)]->setText(
                    QString::fromStdString(pasted.runners[static_cast<std::size_t>(i - 1)].price));
            for (int i = 1; i <= k; ++i)
                if (const int number = pasted.runners[static_cast<std::size_t>(i - 1)].number; number > 0) {
                    Combo1_[static_cast<std::size_t>(i - 1)]->setEditText(QString::number(number));
                    Combo1Change(i);
                }
            focusOddsBox(k);
        });
    }
    setHelpText(help::PastedOddsText(k, pasted.heldMore));
}

} // namespace fairstake
