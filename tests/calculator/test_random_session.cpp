// A long seeded session of random user actions on the real window.  After every
// action what the user sees must still make sense.  FAIRSTAKE_SESSION_SEED and
// FAIRSTAKE_SESSION_ACTIONS replay a failure or run a longer session; the seed
// and the action count are printed when an invariant breaks.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "calculator/frmjeugagnant.h"
#include "components/glyphbutton.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "engine/numtext.h"
#include "support/processlocale.h"

using namespace fairstake;

namespace {

quint32 envNumber(const char* name, quint32 fallback) {
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

class Session {
public:
    Session(TfrmJeuGagnant& w, quint32 seed) : w_(w), random_(seed) {}

    QString lastAction;

    void act() {
        const int choice = pick(100);
        if (choice < 45) typeIntoBox();
        else if (choice < 52) backspace();
        else if (choice < 57) playedCount();
        else if (choice < 62) target();
        else if (choice < 64) startAt();
        else if (choice < 66) displayMode();
        else if (choice < 69) rounding();
        else if (choice < 71) unit();
        else if (choice < 74) click(w_.btnRounditup, "round");
        else if (choice < 75) example();
        else if (choice < 78) arrow();
        else if (choice < 80) clearStrip();
        else if (choice < 83) click(w_.Cmdrafraichirbid, "refresh");
        else if (choice < 85) click(w_.cmdRafraichir, "second refresh");
        else if (choice < 87) currency();
        else if (choice < 93) hoverSomewhere();
        else if (choice < 97) click(w_.Command1, "calculate");
        else threshold();
    }

private:
    int pick(int n) { return static_cast<int>(random_.bounded(n)); }
    QLineEdit* box(int i) { return w_.txtCote[static_cast<std::size_t>(i)]; }

    void typeIntoBox() {
        static const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789..,,//  -e+x\t");
        const int i = pick(9);
        const QChar c = alphabet.at(pick(static_cast<int>(alphabet.size())));
        lastAction = QStringLiteral("type '%1' into box %2").arg(c).arg(i + 1);
        if (!box(i)->isEnabled()) return;
        box(i)->setFocus();
        box(i)->end(false);
        QTest::keyClick(box(i), c.toLatin1());
    }
    void backspace() {
        const int i = pick(9);
        lastAction = QStringLiteral("backspace in box %1").arg(i + 1);
        if (!box(i)->isEnabled()) return;
        box(i)->setFocus();
        box(i)->end(false);
        QTest::keyClick(box(i), Qt::Key_Backspace);
    }
    void playedCount() {
        const int n = pick(9);
        lastAction = QStringLiteral("play %1 horses").arg(n + 1);
        QTest::mouseClick(w_.Option1->button(n), Qt::LeftButton);
    }
    void target() {
        const int step = pick(2) ? 1 : -1;
        lastAction = QStringLiteral("target %1").arg(step);
        w_.HScroll1->triggerAction(step > 0 ? QAbstractSlider::SliderSingleStepAdd
                                            : QAbstractSlider::SliderSingleStepSub);
        if (pick(4) == 0) QTest::mousePress(w_.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(pick(190), 10));
    }
    void startAt() {
        static const char* texts[] = {"1", "2", "5", "10", "150", "abc", "2.5", "-3", "", " 4 ", "99", "0"};
        const char* t = texts[pick(std::size(texts))];
        lastAction = QStringLiteral("start at '%1'").arg(QLatin1String(t));
        w_.Edit1->setText(QString::fromLatin1(t));
    }
    void displayMode() {
        const int n = pick(2);
        lastAction = QStringLiteral("display mode %1").arg(n);
        QTest::mouseClick(w_.radioOptions->button(n), Qt::LeftButton);
    }
    void rounding() {
        QRadioButton* buttons[] = {w_.radioup, w_.radiodown, w_.radiocenter};
        const int n = pick(3);
        lastAction = QStringLiteral("rounding direction %1").arg(n);
        QTest::mouseClick(buttons[n], Qt::LeftButton, Qt::NoModifier, QPoint(6, 8));
    }
    void unit() {
        static const char* texts[] = {"2", "1", "0.5", "0,5", "1.", "1,", "0", "-2", "x", "", "0.1", "10"};
        const char* t = texts[pick(std::size(texts))];
        lastAction = QStringLiteral("unit '%1'").arg(QLatin1String(t));
        w_.txtArrondir->setText(QString::fromLatin1(t));
    }
    void threshold() {
        const int v = 1 + pick(9);
        lastAction = QStringLiteral("threshold %1").arg(v);
        w_.ScrollBar1->setValue(v);
    }
    void example() {
        QPushButton* buttons[] = {w_.btnExample, w_.btnExample2, w_.btnExample3};
        const int n = pick(3);
        lastAction = QStringLiteral("example %1").arg(n + 1);
        QTest::mouseClick(buttons[n], Qt::LeftButton);
    }
    void arrow() {
        const bool left = pick(2);
        lastAction = left ? QStringLiteral("left arrow") : QStringLiteral("right arrow");
        QTest::mouseClick(left ? w_.imggauche : w_.imgDroite, Qt::LeftButton);
    }
    void clearStrip() {
        const int x = pick(162);
        lastAction = QStringLiteral("clear at %1").arg(x);
        QTest::mouseClick(w_.imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(x, 9));
    }
    void currency() {
        QAction* items[] = {w_.E2, w_.U1, w_.F1};
        const int n = pick(3);
        lastAction = QStringLiteral("currency %1").arg(n);
        items[n]->trigger();
    }
    void hoverSomewhere() {
        const QList<QWidget*> controls = w_.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QWidget* control = controls.at(pick(static_cast<int>(controls.size())));
        const QPoint pos(pick(std::max(1, control->width())), pick(std::max(1, control->height())));
        lastAction = QStringLiteral("hover %1 at %2,%3").arg(control->objectName()).arg(pos.x()).arg(pos.y());
        QMouseEvent move(QEvent::MouseMove, pos, control->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(control, &move);
    }
    void click(QAbstractButton* button, const char* what) {
        lastAction = QString::fromLatin1(what);
        button->click();
    }

    TfrmJeuGagnant& w_;
    QRandomGenerator random_;
};

// Empty when what the window shows is coherent, else what is wrong.
// The labels show exactly what the slip holds.
QString labelsBehind(const TfrmJeuGagnant& w) {
    const BetSlip& slip = w.slip();
    for (int i = 1; i <= kSelections; ++i) {
        const QString shown = w.Label2_[static_cast<std::size_t>(i - 1)]->text();
        if (shown != QString::fromStdString(slip.selection(i).shownAmount))
            return QStringLiteral("amount %1 shows '%2' for '%3'").arg(i).arg(shown, QString::fromStdString(slip.selection(i).shownAmount));
    }
    if (w.lblTotal_ex_Label19->text() != QString::fromStdString(slip.totalLine)) return QStringLiteral("total line behind the slip");
    if (w.lblAmount_ie_Label4->text() != QString::fromStdString(slip.profitText)) return QStringLiteral("profit behind the slip");
    if (w.lblYield->text() != QString::fromStdString(slip.yieldLine)) return QStringLiteral("yield line behind the slip");
    if (w.lblDansleRouge->isVisibleTo(w.client) != slip.warningVisible) return QStringLiteral("warning behind the slip");
    return {};
}

QString incoherence(const TfrmJeuGagnant& w) {
    if (const QString behind = labelsBehind(w); !behind.isEmpty()) return behind;
    const char32_t sep = w.separator().unicode();
    auto bad = [](const QString& text) {
        return text.contains(QLatin1String("nan"), Qt::CaseInsensitive) ||
               text.contains(QLatin1String("inf"), Qt::CaseInsensitive);
    };
    for (int i = 0; i < kSelections; ++i) {
        const QString amount = w.Label2_[static_cast<std::size_t>(i)]->text();
        if (amount == QLatin1String("none") || amount == QLatin1String("???")) continue;
        const auto value = ParseNumber(amount.toStdString(), sep);
        if (!value || bad(amount)) return QStringLiteral("amount %1 shows '%2'").arg(i + 1).arg(amount);
        if (*value < 0) return QStringLiteral("amount %1 is negative: %2").arg(i + 1).arg(amount);
    }
    const QString total = w.lblTotal_ex_Label19->text();
    const QString prefix = QStringLiteral("Total amount to bet: ");
    const bool totalOk = total == QLatin1String("Total amount to bet:") ||
                         total == QLatin1String("Total amount to bet (click the REFRESH button)") ||
                         (total.startsWith(prefix) && ParseNumber(total.mid(prefix.size()).toStdString(), sep) &&
                          !bad(total));
    if (!totalOk) return QStringLiteral("total line '%1'").arg(total);

    const QString profit = w.lblAmount_ie_Label4->text();
    if (bad(profit)) return QStringLiteral("profit '%1'").arg(profit);
    const auto profitValue = ParseNumber(profit.toStdString(), sep);
    if (!profitValue && profit != QLatin1String("Amount appears here..")) return QStringLiteral("profit '%1'").arg(profit);
    if (w.lblDansleRouge->isVisible() && profitValue && *profitValue > 1.0L)
        return QStringLiteral("warning beside a profit of %1").arg(profit);
    if (bad(w.lblYield->text())) return QStringLiteral("yield line '%1'").arg(w.lblYield->text());

    const int played = w.Option1->itemIndex() + 1;
    if (played < 1) return QStringLiteral("no played count selected");
    for (int i = 0; i < w.Option1->count(); ++i)
        if (w.Option1->button(i)->isChecked() != (i == played - 1))
            return QStringLiteral("quantity marks do not show %1 played").arg(played);
    for (int i = 0; i < kSelections; ++i)
        if (w.txtCote[static_cast<std::size_t>(i)]->isEnabled() != (i < played))
            return QStringLiteral("box %1 enabled state with %2 played").arg(i + 1).arg(played);
    return {};
}

} // namespace

class TestRandomSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void staysCoherent_data() {
        QTest::addColumn<QChar>("sep");
        QTest::newRow("point") << QChar(u'.');
        QTest::newRow("comma") << QChar(u',');
    }
    void staysCoherent() {
        QFETCH(QChar, sep);
        const quint32 seed = envNumber("FAIRSTAKE_SESSION_SEED", 20261207u) + (sep == u',' ? 1u : 0u);
        const quint32 actions = envNumber("FAIRSTAKE_SESSION_ACTIONS", 3000u);
        // Message boxes are answered as a user would: OK, and Cancel to quitting.
        // The window behind a box shows the slip as it stands.
        QString behindBox;
        setMessageAnswerer([&behindBox](QWidget* parent, const MessageRequest& r) {
            if (const auto* calculator = qobject_cast<const TfrmJeuGagnant*>(parent); calculator && behindBox.isEmpty())
                behindBox = labelsBehind(*calculator);
            return r.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
        });
        const fairstake::test::ProcessLocale locale(sep.unicode());
        TfrmJeuGagnant w(sep);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Session session(w, seed);
        for (quint32 n = 1; n <= actions; ++n) {
            session.act();
            const QString problem = behindBox.isEmpty() ? incoherence(w) : QStringLiteral("behind a box: ") + behindBox;
            if (!problem.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, action %2 (%3): %4")
                                     .arg(seed)
                                     .arg(n)
                                     .arg(session.lastAction, problem)));
        }
        setMessageAnswerer(nullptr);
    }
};

QTEST_MAIN(TestRandomSession)
#include "test_random_session.moc"
