// A long seeded session of random user actions on the real window.  After every
// action what the user sees must still make sense.  FAIRSTAKE_SESSION_SEED and
// FAIRSTAKE_SESSION_ACTIONS replay a failure or run a longer session; the seed
// and the action count are printed when an invariant breaks.

#include "calculator/frmjeugagnant.h"
#include "components/glyphbutton.h"
#include "components/picturebox.h"
#include "engine/numtext.h"
#include "window.h"

#include <QPushButton>
#include <QRandomGenerator>

using namespace fairstake;
using fairstake::test::Driver;

namespace {

quint32 envNumber(const char* name, quint32 fallback) {
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

// Random user actions, each picked with the weight given: keys typed at the end of
// a random box (a backspace for an empty key), or one of the driver's steps, in
// which %N stands for a number from 1 to N.
class Session {
public:
    Session(Driver& d, quint32 seed) : d_(d), random_(seed) {}
    QString lastAction;

    // Empty, or why a step could not be taken.
    QString act() {
        static const QString keys = QStringLiteral("0123456789012345678901234567890123456789..,,//  -e+x\t");
        static const std::pair<int, QStringList> steps[] = {
            {5, {"play %9"}},
            {5, {"target"}},
            {2,
             {"set Edit1 1", "set Edit1 10", "set Edit1 150", "set Edit1 abc", "set Edit1 2.5",
              "set Edit1 -3", "set Edit1", "set Edit1 99", "set Edit1 0"}},
            {2, {"click radioOptions_item0", "click radioOptions_item1"}},
            {3, {"click radioup 6 8", "click radiodown 6 8", "click radiocenter 6 8"}},
            {2,
             {"set txtArrondir 2", "set txtArrondir 0.5", "set txtArrondir 0^5", "set txtArrondir 1.",
              "set txtArrondir 1^", "set txtArrondir 0", "set txtArrondir -2", "set txtArrondir x",
              "set txtArrondir", "set txtArrondir 0.1"}},
            {3, {"click btnRounditup"}},
            {1, {"click btnExample", "click btnExample2", "click btnExample3"}},
            {3, {"click imggauche", "click imgDroite"}},
            {2, {"click imgBlanc %162"}},
            {3, {"click Cmdrafraichirbid"}},
            {2, {"second refresh"}},
            {2, {"trigger E2", "trigger U1", "trigger F1"}},
            {6, {"hover"}},
            {4, {"click Command1"}},
            {3, {"set ScrollBar1 %9"}}};
        int choice = pick(100);
        if ((choice -= 52) < 0)
            return key(choice < -7 ? keys.at(pick(int(keys.size()))) : QChar()), QString();
        for (const auto& [weight, alternatives] : steps) {
            if ((choice -= weight) >= 0) continue;
            lastAction = alternatives.at(pick(int(alternatives.size())));
            static const QRegularExpression number(QStringLiteral("%(\\d+)"));
            for (auto m = number.match(lastAction); m.hasMatch(); m = number.match(lastAction))
                lastAction.replace(m.capturedStart(), m.capturedLength(),
                                   QString::number(1 + pick(m.captured(1).toInt())));
            if (lastAction == u"target") return target(), QString();
            if (lastAction == u"hover") return hover(), QString();
            if (lastAction == u"second refresh")
                return d_.w->cmdRafraichir->click(), QString(); // a hidden button
            return d_.run(lastAction);
        }
        return QStringLiteral("no action");
    }

private:
    int pick(int n) { return static_cast<int>(random_.bounded(n)); }
    void key(QChar c) {
        QLineEdit* box = d_.box(1 + pick(9));
        lastAction =
            QStringLiteral("key '%1' into %2").arg(c.isNull() ? QStringLiteral("BS") : c, box->objectName());
        if (!box->isEnabled()) return;
        box->setFocus();
        box->end(false);
        if (c.isNull())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClick(box, c.toLatin1());
    }
    void target() {
        const bool up = pick(2);
        d_.w->HScroll1->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                         : QAbstractSlider::SliderSingleStepSub);
        if (pick(4) == 0)
            QTest::mousePress(d_.w->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(pick(190), 10));
    }
    void hover() {
        const QList<QWidget*> controls = d_.w->client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QWidget* control = controls.at(pick(static_cast<int>(controls.size())));
        const QPoint pos(pick(std::max(1, control->width())), pick(std::max(1, control->height())));
        lastAction = QStringLiteral("hover %1 at %2,%3").arg(control->objectName()).arg(pos.x()).arg(pos.y());
        Driver::hover(control, pos);
    }

    Driver& d_;
    QRandomGenerator random_;
};

// The labels show exactly what the slip holds; empty when they do.
QString labelsBehind(const TfrmJeuGagnant& w) {
    const BetSlip& slip = w.slip();
    for (int i = 1; i <= kSelections; ++i)
        if (w.Label2_[std::size_t(i - 1)]->text().toStdString() != slip.selection(i).shownAmount)
            return QStringLiteral("amount %1 behind the slip").arg(i);
    const std::pair<QLabel*, std::string> lines[] = {{w.lblTotal_ex_Label19, slip.totalLine},
                                                     {w.lblAmount_ie_Label4, slip.profitText},
                                                     {w.lblYield, slip.yieldLine}};
    for (const auto& [label, held] : lines)
        if (label->text().toStdString() != held)
            return label->objectName() + QStringLiteral(" behind the slip");
    return w.lblDansleRouge->isVisibleTo(w.client) == slip.warningVisible ? QString()
                                                                          : QStringLiteral("warning");
}

// Empty when what the window shows is coherent, else what is wrong: every
// figure reads as a number (no amount below zero), the warning never stands
// beside a profit above 1, and the marks and boxes follow the played count.
QString incoherence(const TfrmJeuGagnant& w) {
    if (const QString behind = labelsBehind(w); !behind.isEmpty()) return behind;
    static const QRegularExpression notNumber(QStringLiteral("nan|inf"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto figure = [&](const QString& text) {
        return text.contains(notNumber) ? std::nullopt
                                        : ParseNumber(text.toStdString(), w.separator().unicode());
    };
    for (const QLabel* label : w.Label2_)
        if (label->text() != u"none" && label->text() != u"???" && !(figure(label->text()) >= 0.0L))
            return QStringLiteral("amount '%1'").arg(label->text());
    const QString total = w.lblTotal_ex_Label19->text(), profit = w.lblAmount_ie_Label4->text();
    const QString prefix = QStringLiteral("Total amount to bet: ");
    if (total != u"Total amount to bet:" && total != u"Total amount to bet (click the REFRESH button)" &&
        !(total.startsWith(prefix) && figure(total.mid(prefix.size()))))
        return QStringLiteral("total line '%1'").arg(total);
    if (!figure(profit) && profit != u"Amount appears here..")
        return QStringLiteral("profit '%1'").arg(profit);
    if (w.lblDansleRouge->isVisible() && figure(profit) > 1.0L)
        return QStringLiteral("warning beside ") + profit;
    if (w.lblYield->text().contains(notNumber)) return QStringLiteral("yield line ") + w.lblYield->text();
    const int played = w.Option1->itemIndex() + 1;
    for (int i = 0; i < kSelections; ++i)
        if (w.Option1->button(i)->isChecked() != (i == played - 1) ||
            w.txtCote[std::size_t(i)]->isEnabled() != (i < played))
            return QStringLiteral("mark or box %1 with %2 played").arg(i + 1).arg(played);
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
        Driver d(sep);
        QVERIFY(d.exposed);
        const TfrmJeuGagnant& w = *d.w;
        // Message boxes are answered as a user would: OK, and Cancel to quitting.
        // The window behind a box shows the slip as it stands.
        QString behindBox;
        setMessageAnswerer([&behindBox](QWidget* parent, const MessageRequest& r) {
            if (const auto* calculator = qobject_cast<const TfrmJeuGagnant*>(parent);
                calculator && behindBox.isEmpty())
                behindBox = labelsBehind(*calculator);
            return r.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
        });
        Session session(d, seed);
        for (quint32 n = 1; n <= actions; ++n) {
            const QString failed = session.act();
            const QString problem = !failed.isEmpty()     ? failed
                                    : behindBox.isEmpty() ? incoherence(w)
                                                          : QStringLiteral("behind a box: ") + behindBox;
            if (!problem.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, action %2 (%3): %4")
                                     .arg(seed)
                                     .arg(n)
                                     .arg(session.lastAction, problem)));
        }
    }
};

QTEST_MAIN(TestRandomSession)
#include "test_random_session.moc"
