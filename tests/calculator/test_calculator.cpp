// The calculator window driven through its controls, as a user would, with the
// decimal point and with the decimal comma.

#include "components/picturebox.h"
#include "window.h"

#include <QAccessible>
#include <QComboBox>
#include <QPushButton>

using namespace fairstake;
using fairstake::test::Driver;

namespace {

// A label that counts its paint events.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        return count += event->type() == QEvent::Paint, false;
    }
};

} // namespace

class TestCalculator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scripts_data() {
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("script");
        const std::pair<const char*, const char*> scripts[] = {
            {"start-up", "enabled=x--------; amounts=???|???|???|???|???|???|???|???|???; lblYield=...; "
                         "txtTenths=0.5; HScroll1=2; min=2; warning=0; lblAide=; Combo1_2~Select"},
            {"typing",
             "play 2; enabled=xx-------; type 1 2; Label2_1=???; "
             "lblTotal_ex_Label19=Total amount to bet (click the REFRESH button); type 2 3; "
             "amounts=4.67|3.50|none; lblTotal_ex_Label19=Total amount to bet: 8.17; "
             "lblAmount_ie_Label4=5.84; min=1; play 3; type 3 9/2; "
             "lblYield=Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet; "
             "amounts=8.33|6.25|4.55|none; lblAide=; play 2; clear 1; type 1 1; clear 2; type 2 1; "
             "warning=1; amounts=none|none; lblAmount_ie_Label4=0.00; clear 2; type 2 3; warning=0; "
             "click radioOptions_item1; lblAide~Make your choice as to see the decimal part; "
             "amounts=6|3|none"},
            {"repairs",
             "type 1 4^; txtCote1=4.; type 1 5; txtCote1=4.5; lblYield~Odds of 4.5 will yield 5.50; "
             "clear 1; Label2_1=???; type 1 .5; txtCote1=0.5; clear 1; type 1 ^5; txtCote1=0.5; "
             "clear 1; type 1 9/; lblYield~Odds of 9 will; type 1 2; lblYield~Odds of 4.50; "
             "set txtCote1 /3; txtCote1=; play 2; type 2 9 /2; txtCote2=9/2; focus=txtCote2"},
            {"target",
             "set HScroll1 5; lblAide~When you lose a bet; min=1; Label2_1=???; type 1 3; "
             "Label2_1=5.00; press Image1 93; HScroll1=6; Label2_1=6.00; press Image1 92; HScroll1=5; "
             "set HScroll1 1; press Image1 10; HScroll1=1; Label2_1=1.00; set HScroll1 4; "
             "set Edit1 10; min=10; HScroll1=10; Label2_1=10.00; set Edit1 5; min=5; HScroll1=10; "
             "set Edit1 150; min=5; max=100; set Edit1 1x; set Edit1 2.5; min=5; set Edit1 -3; min=-3"},
            {"rounding",
             "set txtArrondir; keys txtArrondir 1^; txtArrondir=1.; keys txtArrondir 5; "
             "txtArrondir=1.5; play 2; type 1 2; type 2 3; click radioup 6 8; "
             "lblAide~Round figures upwards; amounts=4.67|3.50; click radiodown 6 8; "
             "lblAide~Round figures downwards; set ScrollBar1 1; txtTenths=0.1; set ScrollBar1 9; "
             "txtTenths=0.9; click txtTenths; focus=ScrollBar1; set txtArrondir 1^5; "
             "txtArrondir=1^5; click btnRounditup; amounts=4.67|3.50; set txtArrondir 1.5; "
             "click btnRounditup; amounts=4.5|3|none; click radioOptions_item1; "
             "click radioOptions_item0; amounts=4.67|3.50"},
            {"examples", "click btnExample; enabled=xxxx-----; amounts=20|12|8|4|none; "
                         "lblTotal_ex_Label19=Total amount to bet: 44.00; lblAmount_ie_Label4=15.35; "
                         "focus=txtCote4; click radioOptions_item1; click radioOptions_item0; "
                         "amounts=19.33|11.60|7.25|4.46; lblTotal_ex_Label19=Total amount to bet: 42.64; "
                         "click btnExample2; HScroll1=4; row=3/2|4|5|8|; focus=txtCote4; click btnExample3; "
                         "enabled=xx-------; row=3/2|4|5|8|"},
            {"clear strip", "fill; click imgBlanc 1; filled=xxxxxxxxx; click imgBlanc 142; filled=xxxxxxxx-; "
                            "Label2_9=???; rclick imgBlanc 50; filled=xxx------; fill; click imgBlanc 17; "
                            "filled=x--------; fill; play 1; click imgBlanc 16; filled=---------; "
                            "click Command1; Label2_1=???"},
            {"refresh", "click Cmdrafraichirbid; messages=0; Label2_1=???; play 2; type 1 2; type 2 3; "
                        "click Cmdrafraichirbid; messages=0; amounts=3.33|2.50; lblAmount_ie_Label4=4.16; "
                        "space cmdRafraichir; amounts=4.67|3.50; clear 2; type 2 1; clear 1; type 1 1; "
                        "lblAmount_ie_Label4=0.00; click Cmdrafraichirbid; messages=1; "
                        "message=First, you must choose the amount you want to win!"},
            {"shifting", "click btnExample; row=2|4|7|12|; click imggauche; row=4|7|12||; Label2_4=???; "
                         "txtGauche=2; enabled=xxxx-----; click imgDroite; row=2|4|7|12|; click imggauche; "
                         "click imggauche; click imggauche; avantgauche=4; click imgDroite; click imgDroite; "
                         "click imgDroite; row=|4|7|12|; click imggauche; click imgBlanc 5; txtGauche=; "
                         "avantgauche="},
            {"hover", "hover txtCote1 5 5; lblAide~Type the odds of first horse in here.; "
                      "lblAide~like 4 .5 or even 9/2; hover imgBlanc 142 9; lblAide~clear box 9; "
                      "hover imgBlanc 5 9; lblAide~clear all the boxes; hover Edit1 3 3; lblAide=; "
                      "hover imgracetracks 3 3; lblAide~Click and travel; hover Label14 3 3; "
                      "lblAide~Click and travel"},
            {"currency",
             "type 1 4; trigger U1; lblDollar=£; lblDollar2=£; lblYield~for a $1 bet; trigger F1; "
             "lblDollar2=€; trigger E2; lblDollar=$"},
            {"context help",
             "f1 txtCote1; popup=OddsBoxes; f1 Edit1; popup=StartAt; f1 txtArrondir; "
             "popup=RoundingUnit; f1 radiocenter; popup=RoundByValue; f1 Option1_item2; "
             "popup=Horsestoplay; f1 Combo1_3; popup=RunnerNumbers; f1 ScrollBar1; popup=Threshold; "
             "f1 Command1; popup=CalculateButton; f1 HScroll1; popup=Target"},
            {"tab order", "play 9; tab txtCote9; focus=Combo1_1; tab btnRounditup; focus=cmdRafraichir; "
                          "tab apresdroite; focus=Button1"},
        };
        for (const QChar sep : {u'.', u','})
            for (auto [name, script] : scripts)
                QTest::addRow("%s %s", name, sep == u'.' ? "point" : "comma")
                    << sep << QString::fromUtf8(script);
    }
    void scripts() {
        QFETCH(QChar, sep);
        QFETCH(QString, script);
        Driver d(sep);
        QVERIFY(d.exposed);
        const QString problem = d.run(script);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Every control of the design table where the table puts it, named for
    // assistive technology and carrying its help context.
    void layoutFollowsTheDesignTable() {
        Driver d(u'.');
        QCOMPARE(d.w->client->size(), QSize(794, 565));
        for (const ControlSpec& s : CalculatorControls()) {
            const QString name = QString::fromLatin1(s.name);
            auto* control = d.w->client->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
            QVERIFY2(control, s.name);
            QCOMPARE(control->pos(), QPoint(s.x, s.y));
            if (s.w > 0 && s.h > 0) QCOMPARE(control->size(), QSize(s.w, s.h));
            QCOMPARE(control->property("helpContext").toInt(), s.helpContext);
            if (name != QStringLiteral("lblAide"))
                QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                         s.name);
        }
        QCOMPARE(d.w->Command1->geometry(), d.w->Button1->geometry()); // and above it
        QVERIFY(d.w->client->children().indexOf(d.w->Command1) >
                d.w->client->children().indexOf(d.w->Button1));
        for (auto [screen, left] : {std::pair{1024, 112}, {800, 0}, {801, 0}, {803, 2}, {805, 2}, {640, 0}})
            QCOMPARE(WindowLeft(screen), left); // half a pixel goes to the even side
    }

    void closeAsksFirst() {
        Driver d(u'.');
        d.answer = QMessageBox::Cancel;
        d.w->E1->trigger();
        QCOMPARE(d.asked.size(), 1u);
        QCOMPARE(d.asked[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(d.w->isVisible() && d.w->closeCount() == 0);
        d.answer = QMessageBox::Ok;
        d.w->E1->trigger();
        QVERIFY(!d.w->isVisible() && d.w->closeCount() == 1);
    }

    // The runner lists offer 1 to the number of starters typed, 999 at most.
    void startersAndRunners() {
        Driver d(u'.');
        for (auto [typed, listed] : {std::pair{"15", 15}, {"2000000000", 999}}) {
            d.w->comboStarters->setFocus();
            d.w->comboStarters->lineEdit()->selectAll();
            QTest::keyClicks(d.w->comboStarters, QString::fromLatin1(typed));
            for (QComboBox* combo : d.w->Combo1_) {
                QCOMPARE(combo->count(), listed);
                QCOMPARE(combo->currentText(), QStringLiteral("1 to ") + QLatin1StringView(typed));
            }
        }
        QCOMPARE(d.w->slip().startersCount, 2000000000);
        d.w->Combo1_[1]->setFocus();
        QTest::keyClicks(d.w->Combo1_[1], QStringLiteral("7"));
        QVERIFY(d.w->Combo1_[1]->font().bold());
    }

    // A keystroke's chain changes the amounts several times and lets pending events
    // run at each step; the window is painted once, after it.  The quantity marks
    // it moves and moves back are not repainted.
    void keystrokePaintsOnce() {
        Driver d(u'.');
        QVERIFY(
            d.run("play 9; type 1 3; type 2 5; type 3 7; type 4 9; type 5 11; type 6 13; type 7 15; type 8 "
                  "17; type 9 19")
                .isEmpty());
        QCoreApplication::processEvents();
        PaintCounter amount(d.w->Label2_[8]), background(d.w->imgBig), marks(d.w->Option1->button(8)),
            other(d.w->Option1->button(7));
        const QString before = d.w->Label2_[8]->text();
        QTest::keyClick(d.w->txtCote[8], Qt::Key_Backspace);
        QCOMPARE(amount.count, 0);
        QTRY_COMPARE(amount.count, 1);
        QCOMPARE(background.count, 1);
        QVERIFY(d.w->Label2_[8]->text() != before);
        QTest::keyClick(d.w->txtCote[8], '9');
        QTRY_COMPARE(amount.count, 2);
        QCOMPARE(d.w->Label2_[8]->text(), before);
        QCOMPARE(marks.count + other.count, 0);
        for (const QString& text :
             {QString(), QStringLiteral("1234.56"), QStringLiteral("Total amount to bet")}) {
            d.w->lblYield->setText(text);
            QCOMPARE(FittedLabelSize(d.w->lblYield), d.w->lblYield->sizeHint());
        }
    }

    // The icon follows the first paint at once, or comes a little later without one.
    void applicationIconAfterFirstPaint() {
        const QList<QSize> sizes = {QSize(16, 16), QSize(32, 32),   QSize(48, 48),
                                    QSize(64, 64), QSize(128, 128), QSize(256, 256)};
        for (const bool shown : {true, false}) {
            QApplication::setWindowIcon(QIcon());
            TfrmJeuGagnant w(u'.');
            InstallApplicationIcon(&w);
            QCoreApplication::processEvents();
            QVERIFY(QApplication::windowIcon().isNull());
            if (shown) w.show();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::windowIcon().availableSizes(), sizes, shown ? 500 : 3000);
        }
    }
};

QTEST_MAIN(TestCalculator)
#include "test_calculator.moc"
