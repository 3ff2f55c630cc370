// Odds entry, the played count, the starters box and the runner numbers.

#include <QComboBox>
#include <algorithm>
#include <utility>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "help/hovertexts.h"

namespace fairstake {

namespace {

std::string toStd(const QString& text) { return text.toStdString(); }
QString fromStd(const std::string& text) { return QString::fromStdString(text); }

// A refused focus ends a handler like any of the program's own faults.
class FocusRefused : public Fault {
public:
    FocusRefused() : Fault("Cannot focus a disabled or invisible window") {}
};

constexpr std::int32_t kMostRunnersListed = 999;

void caretToEnd(QLineEdit* box) { box->setCursorPosition(static_cast<int>(box->text().size())); }

// An odds text ending with the locale's separator is read without it ("4." as 4).
void cutSeparatorAtEnd(std::string& s, char32_t sep) {
    const std::string sepText = SeparatorText(sep);
    if (s.size() >= sepText.size() && s.compare(s.size() - sepText.size(), sepText.size(), sepText) == 0)
        s.erase(s.size() - sepText.size());
}

} // namespace

void TfrmJeuGagnant::focusOddsBox(int i) {
    QLineEdit* box = txtCote[static_cast<std::size_t>(i - 1)];
    if (!box->isEnabled() || !box->isVisible()) throw FocusRefused();
    box->setFocus(Qt::OtherFocusReason);
    caretToEnd(box);
}

void TfrmJeuGagnant::txtCoteChange(int i) {
    SlipBatch batch(*this);
    QLineEdit* box = txtCote[static_cast<std::size_t>(i - 1)];
    Selection& selection = slip_.selection(i);
    guarded([&] {
        selection.oddsText = toStd(box->text());

        const QString trimmed = fromStd(Trim(toStd(box->text())));
        if (trimmed != box->text()) box->setText(trimmed);
        if (box->text().startsWith(u'/')) box->setText(QString());
        if (box->text().startsWith(u',')) {
            box->setText(QStringLiteral("0,"));
            caretToEnd(box);
        }
        if (box->text().startsWith(u'.')) {
            box->setText(QStringLiteral("0."));
            caretToEnd(box);
        }
        selection.oddsText = toStd(box->text());

        if (Trim(selection.oddsText).empty()) selection.shownAmount = kPlaceholder;
        slip_.totalLine = kTotalAskRefresh;
        showSlip();

        std::string s = Trim(selection.oddsText);
        if (s.empty()) return;

        if (i >= 2) {
            guarded([&] {
                if (const auto blank = s.find(' '); blank != std::string::npos) {
                    s.erase(blank, 1);
                    box->setText(fromStd(s));
                    caretToEnd(box);
                }
            });
        }

        const char32_t sep = slip_.separator;
        const auto endsWithWrongSeparator = [&](char c) { return !s.empty() && s.back() == c && sep != char32_t(c); };
        if (endsWithWrongSeparator(',') || endsWithWrongSeparator('.')) {
            const std::string head = s.substr(0, s.size() - 1);
            selection.oddsValue = ParseOdds(head, sep, oddsFormat_).value_or(0.0f);
            box->setText(fromStd(head) + separator_);
            caretToEnd(box);
            HScroll1Change();
            ProcessPendingEvents();
            showYieldOf(i);
            showSlip();
            return;
        }

        cutSeparatorAtEnd(s, sep);
        selection.oddsValue = ParseOdds(s, sep, oddsFormat_).value_or(0.0f);
        closeOddsStep(i, s);
    });
    showSlip();
}

// The closing steps differ by box; the order is part of what the user sees
// (which yield line wins, where the focus ends, whether totals are refreshed).
void TfrmJeuGagnant::closeOddsStep(int i, const std::string&) {
    QLineEdit* box = txtCote[static_cast<std::size_t>(i - 1)];
    auto target = [&] { HScroll1Change(); };
    auto events = [&] { ProcessPendingEvents(); };
    auto yield = [&] {
        showYieldOf(i);
        showSlip();
    };
    auto focus = [&] { focusOddsBox(i); };
    auto refresh = [&] {
        RefreshTotals(slip_);
        showSlip();
    };

    switch (i) {
    case 1: {
        const QString text = box->text();
        const qsizetype blank = text.indexOf(u' ');
        if (blank > 0 && blank < text.size() - 1) {
            QString joined = text;
            joined.remove(blank, 1);
            box->setText(joined);
            caretToEnd(box);
        }
        target();
        events();
        yield();
        refresh();
        break;
    }
    case 2:
    case 4:
        target();
        yield();
        events();
        focus();
        refresh();
        break;
    case 3:
        target();
        events();
        yield();
        refresh();
        break;
    default:
        target();
        yield();
        events();
        focus();
        break;
    }
}

help::OddsForm TfrmJeuGagnant::oddsHelpForm() const {
    switch (oddsFormat_) {
    case OddsFormat::Decimal: return help::OddsForm::Decimal;
    case OddsFormat::American: return help::OddsForm::American;
    case OddsFormat::ToOne: break;
    }
    return help::OddsForm::ToOne;
}

void TfrmJeuGagnant::oddsFormatClick(OddsFormat format) {
    if (format == oddsFormat_) return;
    SlipBatch batch(*this);
    oddsFormat_ = format;
    // A screen reader tells the odds boxes' first help line, which names the format.
    for (int i = 1; i <= kSelections; ++i)
        txtCote[static_cast<std::size_t>(i - 1)]->setAccessibleDescription(help::OddsBoxDescription(i, oddsHelpForm()));
    guarded([&] {
        // Each box read as its change handling reads it, the texts left as they
        // are: trimmed, the first blank gone (from box 2 on), a separator at the
        // end cut off; an empty box keeps its odds, as it does when emptied.
        const char32_t sep = slip_.separator;
        for (int i = 1; i <= kSelections; ++i) {
            std::string s = Trim(toStd(txtCote[static_cast<std::size_t>(i - 1)]->text()));
            if (s.empty()) continue;
            if (const auto blank = s.find(' '); i >= 2 && blank != std::string::npos) s.erase(blank, 1);
            if (s.back() == ',' || s.back() == '.')
                s.pop_back();
            else
                cutSeparatorAtEnd(s, sep);
            slip_.selection(i).oddsValue = ParseOdds(s, sep, format).value_or(0.0f);
        }
        HScroll1Change();
    });
    // The yield line speaks of one box's odds in the format it was read in: it
    // is written again for that box, as retyping its text would write it.
    if (yieldBox_ > 0) guarded([&] { showYieldOf(yieldBox_); });
    showSlip();
}

void TfrmJeuGagnant::showYieldOf(int i) {
    // An empty line tells whether the box's text gave a line at all.
    std::string before = std::exchange(slip_.yieldLine, std::string());
    ShowOddsYield(slip_, toStd(txtCote[static_cast<std::size_t>(i - 1)]->text()), oddsFormat_);
    if (slip_.yieldLine.empty())
        slip_.yieldLine = std::move(before);
    else
        yieldBox_ = i;
}

void TfrmJeuGagnant::Option1Click() {
    const int index = Option1->itemIndex();
    if (index < 0) return;
    SlipBatch batch(*this);
    guarded([&] {
        setHelpText(QString());
        const int k = index + 1;
        slip_.playedCount = k;
        for (int i = 2; i <= kSelections; ++i) {
            const bool active = i <= k;
            slip_.selection(i).isActive = active;
            QLineEdit* box = txtCote[static_cast<std::size_t>(i - 1)];
            QPalette p = box->palette();
            p.setColor(QPalette::Base, active ? palette().color(QPalette::Base) : QColor::fromRgb(0xC0C0C0));
            box->setPalette(p);
            setControlEnabled(box, active);
        }

        auto filled = [&](int i) { return !Trim(toStd(txtCote[static_cast<std::size_t>(i - 1)]->text())).empty(); };
        bool ready = true;
        if (k <= 4) {
            for (int i = 1; i <= k; ++i) ready = ready && filled(i);
        } else {
            ready = filled(k);
        }
        if (!ready) return;
        Command1->click();
        Command1->click();
    });
}

void TfrmJeuGagnant::comboStartersChange() {
    guarded([&] {
        for (std::size_t c = 0; c < Combo1_.size(); ++c) {
            QComboBox* combo = Combo1_[c];
            combo->clear();
            combo->clearEditText();
            const std::int32_t n = TextToInt32(toStd(comboStarters->currentText()));
            // No field is that large; a mistyped number of starters (a million
            // and more) would otherwise freeze the window filling nine lists.
            const std::int32_t listed = std::min(n, kMostRunnersListed);
            QStringList items;
            for (std::int32_t r = 1; r <= listed; ++r) items << QString::number(r);
            combo->addItems(items);
            combo->setCurrentIndex(-1);
            combo->setEditText(QStringLiteral("1 to ") + comboStarters->currentText());
        }
    });
    for (int i = 1; i <= kSelections; ++i)
        slip_.selection(i).runnerNumber = toStd(Combo1_[static_cast<std::size_t>(i - 1)]->currentText());
    slip_.startersCount = ParseInt32(toStd(comboStarters->currentText())).value_or(slip_.startersCount);
    tellSheet();
}

void TfrmJeuGagnant::Combo1Change(int i) {
    QComboBox* combo = Combo1_[static_cast<std::size_t>(i - 1)];
    QFont f = combo->font();
    f.setPixelSize(16);
    f.setBold(true);
    combo->setFont(f);
    slip_.selection(i).runnerNumber = toStd(combo->currentText());
    tellSheet();
}

void TfrmJeuGagnant::SetOddsText(int i, const std::string& text) {
    txtCote[static_cast<std::size_t>(i - 1)]->setText(fromStd(text));
}

} // namespace fairstake
