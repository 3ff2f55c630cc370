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
#include <array>
#include <functional>

using namespace fairstake;
using fairstake::test::Driver;

namespace {

quint32 envNumber(const char* name, quint32 fallback) {
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

// Random user actions, each picked with the weight given.
class Session {
public:
    Session(TfrmJeuGagnant& w, quint32 seed) : w_(w), random_(seed) {}
    QString lastAction;

    void act() {
        static const char* starts[] = {"1", "2", "5", "10", "150", "abc", "2.5", "-3", "", " 4 ", "99", "0"};
        static const char* units[] = {"2", "1", "0.5", "0,5", "1.", "1,", "0", "-2", "x", "", "0.1", "10"};
        static const QString alphabet =
            QStringLiteral("0123456789012345678901234567890123456789..,,//  -e+x\t");
        const std::pair<int, std::function<void()>> actions[] = {
            {45, [&] { key(alphabet.at(pick(int(alphabet.size())))); }},
            {7, [&] { key(QChar()); }},
            {5, [&] { click(w_.Option1->button(pick(9)), "play"); }},
            {5, [&] { target(); }},
            {2, [&] { setText(w_.Edit1, starts[pick(std::size(starts))], "start at"); }},
            {2, [&] { click(w_.radioOptions->button(pick(2)), "display mode"); }},
            {3,
             [&] {
                 click(std::array<QAbstractButton*, 3>{w_.radioup, w_.radiodown, w_.radiocenter}[pick(3)],
                       "direction", QPoint(6, 8));
             }},
            {2, [&] { setText(w_.txtArrondir, units[pick(std::size(units))], "unit"); }},
            {3, [&] { click(w_.btnRounditup, "round"); }},
            {1,
             [&] {
                 click(
                     std::array<QAbstractButton*, 3>{w_.btnExample, w_.btnExample2, w_.btnExample3}[pick(3)],
                     "example");
             }},
            {3, [&] { click(pick(2) ? w_.imggauche : w_.imgDroite, "arrow"); }},
            {2, [&] { click(w_.imgBlanc, "clear", QPoint(pick(162), 9)); }},
            {3, [&] { click(w_.Cmdrafraichirbid, "refresh"); }},
            {2, [&] { click(w_.cmdRafraichir, "second refresh"); }},
            {2,
             [&] {
                 QAction* item = std::array<QAction*, 3>{w_.E2, w_.U1, w_.F1}[pick(3)];
                 lastAction = QStringLiteral("currency ") + item->objectName();
                 item->trigger();
             }},
            {6, [&] { hover(); }},
            {4, [&] { click(w_.Command1, "calculate"); }},
            {3, [&] {
                 const int v = 1 + pick(9);
                 lastAction = QStringLiteral("threshold %1").arg(v);
                 w_.ScrollBar1->setValue(v);
             }}};
        int choice = pick(100);
        for (const auto& [weight, action] : actions)
            if ((choice -= weight) < 0) return action();
    }

private:
    int pick(int n) { return static_cast<int>(random_.bounded(n)); }

    // A key typed at the end of a random box (no key: a backspace).
    void key(QChar c) {
        QLineEdit* box = w_.txtCote[std::size_t(pick(9))];
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
        lastAction = up ? QStringLiteral("target up") : QStringLiteral("target down");
        w_.HScroll1->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                      : QAbstractSlider::SliderSingleStepSub);
        if (pick(4) == 0) QTest::mousePress(w_.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(pick(190), 10));
    }
    void setText(QLineEdit* box, const char* text, const char* what) {
        lastAction = QStringLiteral("%1 '%2'").arg(QLatin1String(what), QLatin1String(text));
        box->setText(QString::fromLatin1(text));
    }
    void hover() {
        const QList<QWidget*> controls = w_.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QWidget* control = controls.at(pick(static_cast<int>(controls.size())));
        const QPoint pos(pick(std::max(1, control->width())), pick(std::max(1, control->height())));
        lastAction = QStringLiteral("hover %1 at %2,%3").arg(control->objectName()).arg(pos.x()).arg(pos.y());
        Driver::hover(control, pos);
    }
    void click(QAbstractButton* button, const char* what, QPoint at = {}) {
        lastAction = QStringLiteral("%1 %2").arg(QLatin1String(what), button->objectName());
        if (at.isNull())
            button->click();
        else
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
    }
    void click(QWidget* picture, const char* what, QPoint at = {}) {
        lastAction =
            QStringLiteral("%1 %2 at %3").arg(QLatin1String(what), picture->objectName()).arg(at.x());
        QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, at.isNull() ? QPoint(5, 5) : at);
    }

    TfrmJeuGagnant& w_;
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
        // Message boxes are answered as a user would: OK, and Cancel to quitting.
        // The window behind a box shows the slip as it stands.
        QString behindBox;
        setMessageAnswerer([&behindBox](QWidget* parent, const MessageRequest& r) {
            if (const auto* calculator = qobject_cast<const TfrmJeuGagnant*>(parent);
                calculator && behindBox.isEmpty())
                behindBox = labelsBehind(*calculator);
            return r.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
        });
        TfrmJeuGagnant w(sep);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Session session(w, seed);
        for (quint32 n = 1; n <= actions; ++n) {
            session.act();
            const QString problem =
                behindBox.isEmpty() ? incoherence(w) : QStringLiteral("behind a box: ") + behindBox;
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
