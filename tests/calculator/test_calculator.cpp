// The calculator window driven through its controls as a user would, with the decimal point and with the
// decimal comma, each in its C library locale (QApplication sets it from the environment in the program).

#include "calculator/frmjeugagnant.h"
#include "components/fitlabel.h"
#include "components/focusframe.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "help/helpfile.h"
#include "help/helpviewer.h"
#include "help/hovertexts.h"
#include "support/processlocale.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

using namespace fairstake;

namespace {

void hover(QWidget* c, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, c->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(c, &move);
}

// Runs scripts of steps separated by ';' on a shown window and reads back what the user sees:
//   play N; fill [N]     click the quantity button for N horses; play 9 and put N (2) .. N + 8 into the boxes
//   type B TEXT          type TEXT at the end of odds box B; clear B empties it
//   click NAME [X Y]     left click (at X,Y of NAME, on whatever lies there); rclick: the right button
//   set NAME [TEXT]      set a box's or combo's text or a bar's value; keys NAME TEXT: focus NAME, type TEXT
//   tab, space, f1 NAME  press that key in NAME; hover NAME X Y; trigger ITEM (of a menu); answer Ok|Cancel
//   paste NAME TEXT      press Ctrl+Shift+V (pastebox: Ctrl+V) in NAME, TEXT (\n, \t: line break, tab) copied
//   NAME=TEXT            NAME shows TEXT (its text, a bar's value, a combo's "TEXT of COUNT[, bold]"); NAME~TEXT:
//                        it contains TEXT.  Pseudo names: amounts (as many as given, '|' between), row (boxes
//                        1-5), filled, enabled and blue (x or - per box), min and max (of the target bar), focus,
//                        messages (how many), message (the last), warning (0 or 1), NAME? (visible), NAME@ (its
//                        description to a screen reader), NAME# (a combo's first and last items), popup and help
//                        (the topic of the help shown, which is then closed).
// A '.' next to a digit stands for the window's decimal separator and '^' for the other one.
class Driver {
public:
    explicit Driver(QChar separator)
        : locale_(separator.unicode()), w(std::make_unique<TfrmJeuGagnant>(separator)), sep(separator) {
        previous_ = setMessageAnswerer([this](QWidget*, const MessageRequest& r) {
            ++asked, message = r.text;
            return answer;
        });
        help::setApplicationHelpFile(help::InstalledHelpFile());
        w->show();
        exposed = QTest::qWaitForWindowExposed(w.get());
    }
    ~Driver() { setMessageAnswerer(std::move(previous_)); }

    // Empty when every step ran and every check held, else the first difference.
    QString run(const QString& script) {
        for (const QString& raw : script.split(u';', Qt::SkipEmptyParts))
            if (const QString problem = step(raw.trimmed()); !problem.isEmpty())
                return lastProblem = raw.trimmed() + QStringLiteral(": ") + problem;
        return {};
    }
    QLineEdit* box(int i) const { return w->txtCote[std::size_t(i - 1)]; }
    // What the slip shows: played boxes, total, profit and amounts, with all: the focus and its caret, the
    // yield line and every box's and runner list's text.
    QString slip(bool all) {
        QStringList t = {read("enabled"), read("lblTotal_ex_Label19"), read("lblAmount_ie_Label4"), read("amounts")};
        const auto* edit = qobject_cast<QLineEdit*>(w->focusWidget());
        if (all) t << w->focusWidget()->objectName() << QString::number(edit ? edit->cursorPosition() : -1);
        if (all) t << read("lblYield");
        for (int i = 1; i <= 9 * all; ++i) t << box(i)->text() << read(QStringLiteral("Combo1_%1").arg(i));
        return t.join(u'|');
    }

    test::ProcessLocale locale_;
    std::unique_ptr<TfrmJeuGagnant> w;
    QChar sep;
    bool exposed = false;
    int asked = 0;
    QString message;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QString lastProblem;

    QString read(const QString& name) {
        QStringList parts;
        QString mask;
        for (int i = 1; i <= 9; ++i) {
            const QLabel* amount = w->Label2_[std::size_t(i - 1)];
            parts << (name == u"row" ? box(i)->text() : amount->text());
            const bool on = name == u"filled" ? !box(i)->text().isEmpty()
                            : name == u"blue"
                                ? amount->palette().color(QPalette::WindowText) == QColor(0x0000FF)
                                : box(i)->isEnabled();
            mask += on ? u'x' : u'-';
        }
        if (name == u"amounts" || name == u"row") return parts.mid(0, name == u"row" ? 5 : 9).join(u'|');
        if (name == u"filled" || name == u"enabled" || name == u"blue") return mask;
        if (name == u"min" || name == u"max")
            return QString::number(name == u"min" ? w->HScroll1->minimum() : w->HScroll1->maximum());
        QWidget* focus = QApplication::focusWidget();
        if (name == u"focus") return focus ? focus->objectName() : QString();
        if (name == u"messages" || name == u"message")
            return name == u"message" ? message : QString::number(asked);
        if (name == u"warning") return QString::number(w->lblDansleRouge->isVisible());
        if (name.endsWith(u'?')) return QString::number(w->findChild<QWidget*>(name.chopped(1))->isVisible());
        if (name.endsWith(u'@')) return w->findChild<QWidget*>(name.chopped(1))->accessibleDescription();
        if (name.endsWith(u'#')) { // a combo's first and last items
            const QComboBox* combo = w->findChild<QComboBox*>(name.chopped(1));
            return combo ? combo->itemText(0) + QStringLiteral("-") + combo->itemText(combo->count() - 1) : QString();
        }
        if (name == u"help") { // the help window's topic, which is then closed
            const QString topic = help::helpWindowTopic();
            help::WinHelp(nullptr, {}, help::HelpQuit, 0);
            return topic;
        }
        if (name == u"popup") {
            static const auto file = help::HelpFile::Load(help::InstalledHelpFile());
            const help::HelpTopic* topic = file ? file->topicByContext(help::popupContext()) : nullptr;
            if (QWidget* popup = help::popupWindow()) popup->close();
            return topic ? topic->id : QStringLiteral("(context %1)").arg(help::popupContext());
        }
        QWidget* c = w->findChild<QWidget*>(name);
        if (auto* label = qobject_cast<QLabel*>(c)) return label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(c)) return edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(c)) return button->text();
        if (auto* bar = qobject_cast<QAbstractSlider*>(c)) return QString::number(bar->value());
        if (auto* ticker = qobject_cast<Marquee*>(c))
            return !ticker->isActive() ? "stopped" : ticker->isTimerRunning() ? "running" : "waiting";
        if (auto* combo = qobject_cast<QComboBox*>(c))
            return QStringLiteral("%1 of %2%3")
                .arg(combo->currentText())
                .arg(combo->count())
                .arg(combo->font().bold() ? ", bold" : "");
        return QStringLiteral("(no control %1)").arg(name);
    }

private:
    QString figures(QString text) const {
        static const QRegularExpression point(QStringLiteral("(?<=\\d)\\.|\\.(?=\\d)"));
        return text.replace(point, QString(sep)).replace(u'^', sep == u'.' ? u',' : u'.');
    }
    QString step(const QString& step) {
        const qsizetype op = step.indexOf(QRegularExpression(QStringLiteral("[=~]")));
        if (op > 0 && !step.left(op).contains(u' ')) {
            const QString expected = figures(step.mid(op + 1));
            QString shown;
            const auto holds = [&] {
                shown = read(step.left(op));
                if (step.startsWith(u"amounts"))
                    shown = shown.split(u'|').mid(0, expected.count(u'|') + 1).join(u'|');
                return step[op] == u'=' ? shown == expected : shown.contains(expected);
            };
            // The focus may move once pending events have run.
            if (holds() || (step.startsWith(u"focus") && QTest::qWaitFor(holds, 1000))) return {};
            return QStringLiteral("shows '%1', expected '%2'").arg(shown, expected);
        }
        const QString verb = step.section(u' ', 0, 0), name = step.section(u' ', 1, 1);
        const QString rest = figures(step.mid(verb.size() + name.size() + 2));
        const QStringList xy = rest.split(u' ', Qt::SkipEmptyParts);
        QPoint at = QPoint(xy.value(0).toInt(), xy.size() == 2 ? xy[1].toInt() : 9);
        QWidget* c = verb == u"type" || verb == u"clear" ? box(name.toInt()) : w->findChild<QWidget*>(name);
        if (verb == u"play" || verb == u"fill") {
            QTest::mouseClick(w->Option1->button(verb == u"fill" ? 8 : name.toInt() - 1), Qt::LeftButton);
            for (int i = 1; i <= 9 && verb == u"fill"; ++i)
                box(i)->setText(QString::number(i - 1 + (name.isEmpty() ? 2 : name.toInt())));
        } else if (verb == u"answer") {
            answer = name == u"Ok" ? QMessageBox::Ok : QMessageBox::Cancel;
        } else if (verb == u"trigger") {
            auto* action = w->findChild<QAction*>(name);
            if (!action) return QStringLiteral("no such item");
            action->trigger();
        } else if (!c) {
            return QStringLiteral("no control ") + name;
        } else if (verb == u"click" || verb == u"rclick") {
            if (!xy.isEmpty()) { // where the pointer lands, on whatever lies there
                const QPoint p = c->mapTo(w->client, at);
                c = w->client->childAt(p);
                at = c->mapFrom(w->client, p);
            }
            QTest::mouseClick(c, verb == u"click" ? Qt::LeftButton : Qt::RightButton, {},
                              xy.isEmpty() ? QPoint() : at);
        } else if (verb == u"set" || verb == u"clear") {
            if (auto* combo = qobject_cast<QComboBox*>(c)) c = combo->lineEdit();
            if (auto* edit = qobject_cast<QLineEdit*>(c)) edit->setText(verb == u"set" ? rest : QString());
            if (auto* bar = qobject_cast<QAbstractSlider*>(c)) bar->setValue(rest.toInt());
        } else if (verb == u"type" || verb == u"keys") {
            c->setFocus();
            if (verb == u"type") box(name.toInt())->end(false);
            QTest::keyClicks(c, rest);
        } else if (verb == u"tab" || verb == u"space" || verb == u"f1") {
            c->setFocus();
            QTest::keyClick(c, verb == u"f1" ? Qt::Key_F1 : verb == u"tab" ? Qt::Key_Tab : Qt::Key_Space);
        } else if (verb == u"hover") {
            hover(c, at);
        } else if (verb == u"paste" || verb == u"pastebox") {
            QGuiApplication::clipboard()->setText(
                step.mid(verb.size() + name.size() + 2).replace("\\n", "\n").replace("\\t", "\t"));
            c->setFocus();
            QTest::keyClick(c, Qt::Key_V, Qt::ControlModifier | (verb == u"paste" ? Qt::ShiftModifier : Qt::NoModifier));
        } else {
            return QStringLiteral("unknown step");
        }
        return {};
    }

    MessageAnswerer previous_;
};

// Points of a rectangle of client coordinates whose background pixels are (inside) or are not (!inside)
// the white, or the JPEG's near-white, of the horse's speech balloon.
int balloonPixels(const QImage& background, const QRect& r, bool inside) {
    const qreal dpr = background.devicePixelRatio();
    const QRect d =
        QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr).toAlignedRect() & background.rect();
    int count = d.isEmpty() && !inside;
    for (int y = d.top(); y <= d.bottom(); ++y)
        for (int x = d.left(); x <= d.right(); ++x) {
            const QRgb p = background.pixel(x, y);
            count += (qRed(p) >= 0xF4 && qGreen(p) >= 0xF4 && qBlue(p) >= 0xF4) == inside;
        }
    return count;
}

// The help text's ink, one pixel around it included, in client coordinates.
QRect helpTextRect(const QLabel* label) {
    const QRect text = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                         int(Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap),
                                                         label->text());
    return text.translated(label->pos() + label->contentsRect().topLeft()).adjusted(-1, -1, 1, 1);
}

} // namespace

// Runs a script and fails the test at its first difference.
#define RUN(driver, script)                                                                                  \
    QVERIFY2((driver).run(QString(script)).isEmpty(), qPrintable((driver).lastProblem))

class TestCalculator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One script a row, continued on indented lines.  Start rule: the quantity picked starts the calculation
    // when boxes 1 to k hold odds for up to 4 horses, when box k does for 5 and more.  A shift that disables
    // the focused box gives the focus back to the box that had it.  The runner lists offer 1 to the number of
    // starters typed, 999 at most; a text that is no number empties the first list and stops there.
    void scripts_data() {
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("script");
        static const char scripts[] = R"(
start-up: enabled=x--------; amounts=???|???; lblYield=...; txtTenths=0.5; HScroll1=2; min=2; warning=0;
    comboStarters=10 of 20; comboStarters#=3-22; Combo1_1#=1-22; Combo1_9=Select of 22
typing: play 2; enabled=xx-------; type 1 2; Label2_1=???; lblTotal_ex_Label19~(click the REFRESH button); type 2 3;
    amounts=4.67|3.50|none; lblTotal_ex_Label19~: 8.17; lblAmount_ie_Label4=5.84; min=1; blue=xx-------; clear 2;
    type 2 1; clear 1; type 1 1; warning=1; amounts=none|none; clear 2; type 2 3; warning=0; click radioOptions_item1;
    lblAide~see the decimal part; amounts=6|3|none
start rule: play 2; type 1 1; type 2 1; set txtCote4 5; set txtCote5 5; clear 2; warning=1; play 4; warning=1; play 3;
    warning=1; play 5; warning=0
repairs: type 1 4^; txtCote1=4.; type 1 5; txtCote1=4.5; lblYield~yield 5.50; clear 1; type 1 ^5; txtCote1=0.5; clear 1;
    type 1 9/; lblYield~Odds of 9 will; set txtCote1  4; txtCote1=4; set txtCote1 /3; txtCote1=; play 2; type 2 9 /2;
    txtCote2=9/2; set txtCote2 4 5; txtCote2=45; set txtCote1 4 5; txtCote1=45; focus=txtCote2
target: set HScroll1 5; lblAide~lose a bet; min=1; Label2_1=???; type 1 3; Label2_1=5.00; click Image1 93; HScroll1=6;
    Label2_1=6.00; click Image1 92; HScroll1=5; click Image1 -1; click Image1 190; HScroll1=5; set Edit1 10; min=10;
    HScroll1=10; set Edit1 5; min=5; HScroll1=10; set Edit1 150; min=5; max=100; set Edit1  7; Edit1=7; min=7;
    set Edit1 1x; min=7; set Edit1 -3; min=-3; set HScroll1 -2; click Image1 10; HScroll1=-3; set HScroll1 99;
    click Image1 150; click Image1 150; HScroll1=100; set Edit1 100; min=100
rounding: set txtArrondir; keys txtArrondir 1^; txtArrondir=1.; keys txtArrondir 5; play 2; type 1 2; type 2 3;
    click radiodown 6 8; lblAide~downwards; set ScrollBar1 9; txtTenths=0.9; click txtTenths; focus=ScrollBar1;
    click btnRounditup; amounts=4.5|3|none; click radioOptions_item1; click radioOptions_item0; amounts=4.67|3.50;
    click radiocenter 6 8; set ScrollBar1 2; lblAide~up or down to whole; click btnRounditup; amounts=4.5|4.5
examples: click btnExample; enabled=xxxx-----; amounts=20|12|8|4|none; focus=txtCote4; click btnExample2; HScroll1=4;
    row=3/2|4|5|8|; click btnExample3; enabled=xx-------; row=3/2|4|5|8|; trigger oddsAmerican; click btnExample;
    row=+200|+400|+700|+1200|; click btnExample2; row=3/2|+400|+500|+800|
clear strip: fill; click imgBlanc 162; filled=xxxxxxxxx; click imgBlanc 161; filled=xxxxxxxx-; Label2_9=???; fill;
    click imgBlanc 123; filled=xxxxxxx--; click imgBlanc 122; filled=xxxxxx---; fill; click imgBlanc 2;
    filled=---------; fill; click imgBlanc 1; click imgBlanc -1; filled=xxxxxxxxx; rclick imgBlanc 50; filled=xxx------;
    fill; play 1; click imgBlanc 16; filled=---------; click Command1; Label2_1=???
refresh: play 2; type 1 2; type 2 3; click Cmdrafraichirbid; messages=0; amounts=3.33|2.50; space cmdRafraichir;
    amounts=4.67|3.50; clear 2; type 2 1; clear 1; type 1 1; click Cmdrafraichirbid; messages=1;
    message~choose the amount
shifting: click btnExample; click imggauche; row=4|7|12||; Label2_4=???; txtGauche=2; enabled=xxxx-----;
    click imggauche; click imggauche; avantgauche=4; click imgDroite; click imgDroite; click imgDroite; row=|4|7|12|;
    click imggauche; click imgBlanc 5; txtGauche=; avantgauche=; fill; play 4; click imgDroite; click imgDroite;
    enabled=xxxx-----; apresdroite=10; click imggauche; click imggauche; txtDroite=; apresdroite=
shift focus: type 1 5; click imgDroite; focus=txtCote1; set txtCote2 7; set txtCote3 9; type 1 4; click imggauche;
    row=7|9|||; focus=txtCote1; click btnExample; type 1; click imgDroite; row=4|2|4|7|12; focus=txtCote2
hover: hover txtCote1 5 5; lblAide~like 4 .5 or even 9/2; hover imgBlanc 142 9; lblAide~clear box 9; hover imgBlanc 5 9;
    lblAide~clear all the boxes; hover Edit1 3 3; lblAide=; trigger oddsDecimal; hover txtCote2 5 5;
    lblAide~decimal odds of second horse; trigger oddsAmerican; txtCote2@~American odds of second horse;
    hover txtCote9 5 5; lblAide~like +450 (4.5 to one)
currency: type 1 4; trigger U1; lblDollar=£; trigger F1; lblDollar2=€; trigger E2; lblDollar=$; MarqueeFreeware=running;
    click chkNomore; MarqueeFreeware=stopped; MarqueeFreeware?=0
context help: f1 txtCote1; popup=OddsBoxes; f1 Edit1; popup=StartAt; f1 radiodown; popup=RoundDown; f1 Option1_item2;
    popup=Horsestoplay; f1 Combo1_3; popup=RunnerNumbers; f1 cmdRafraichir; popup=HiddenRefresh; trigger M1;
    help=Contents; trigger Q1; help=Quickhelp; trigger conctact; help=Contactusifneeded
quitting: answer Cancel; trigger E1; messages=1; Command1?=1; answer Ok; trigger E1; messages=2; Command1?=0
starters: set comboStarters; keys comboStarters 15; Combo1_1=1 to 15 of 15; Combo1_9=1 to 15 of 15; set comboStarters;
    Combo1_1= of 0; Combo1_2=1 to 15 of 15; keys comboStarters 2000000000; Combo1_1=1 to 2000000000 of 999;
    keys Combo1_2 7; Combo1_2~bold
    )";
        static const QRegularExpression row(QStringLiteral("\n(?=\\S)")), wrap(QStringLiteral("\\s*\n\\s*"));
        for (const QChar sep : {u'.', u','})
            for (const QString& script : QString::fromUtf8(scripts).trimmed().split(row))
                QTest::addRow("%s %s", qPrintable(script.section(u':', 0, 0)), sep == u'.' ? "point" : "comma")
                    << sep << script.section(u':', 1).replace(wrap, QStringLiteral(" "));
    }
    void scripts() {
        QFETCH(QChar, sep);
        QFETCH(QString, script);
        Driver d(sep);
        QVERIFY(d.exposed);
        RUN(d, script);
    }

    // Tab goes round the window in the design's order, every stop seen inside it (never a hidden cell of the
    // odds row nor the refresh button outside), the focus framed on the controls the style draws none on (or
    // under another, as Button1's under Command1).
    void tabWalk() {
        Driver d(u'.');
        RUN(d, "play 9; keys txtCote1 4");
        const auto* frame = d.w->client->findChild<FocusFrame*>();
        const QString framed = "radioup radiodown radiocenter chkNomore HScroll1 ScrollBar1 Button1", order =
            "txtCote1 txtCote2 txtCote3 txtCote4 txtCote5 txtCote6 txtCote7 txtCote8 txtCote9 Combo1_1 comboStarters "
            "Combo1_2 Combo1_3 Combo1_4 Combo1_5 Combo1_6 Combo1_7 Combo1_8 Combo1_9 HScroll1 btnExample Command1 "
            "radioOptions_item0 txtArrondir Edit1 btnRounditup chkNomore radioup txtTenths ScrollBar1 Button1 "
            "Cmdrafraichirbid btnExample2 btnExample3 Option1_item8";
        QStringList stops;
        for (QWidget* at = d.box(1); stops.size() < 60 && (stops.isEmpty() || at != d.box(1));
             at = QApplication::focusWidget()) {
            stops << at->objectName();
            const QRect place(at->mapTo(d.w->client, QPoint()), at->size());
            QVERIFY2(at->isVisible() && d.w->client->rect().contains(place), qPrintable(stops.join(u' ')));
            QCOMPARE(frame->framed() == at, framed.split(u' ').contains(at->objectName()));
            QTest::keyClick(at, Qt::Key_Tab);
        }
        QCOMPARE(stops.join(u' '), order);
    }

    // Odds pasted or read again leave what the same typed leave: boxes, yield line, amounts, totals, played
    // count, runners, focus and caret.  Ctrl+Shift+V pastes the clipboard's prices from any control, saying how
    // many in the balloon; Ctrl+V in an odds box pastes into that box only.  A switch of the odds format reads
    // the boxes again and recalculates; each example gives the same stakes in every format of the Race menu.
    void asTyped() {
        const QString ex1 = "play 4; type 1 2; type 2 4; type 3 7; type 4 12";
        const auto switched = [](const QString& format, const QString& typing, const QString& yield) {
            return QStringList{"", typing + "; focus=txtCote3; trigger " + format + "; focus=txtCote3",
                               "trigger " + format + "; " + typing + "; lblYield~" + yield + " for a $1 bet and"};
        };
        QList<QStringList> rows = { // before both, pasted or switched, typed instead[, "slip": the slip only]
            {"", "paste txtCote1 2\\n4\\n7\\n12\\n; lblAide=Pasted the odds of 4 runners.", ex1},
            {"", "paste HScroll1 1 Alpha 5/2\\n2 Bravo NR\\n3 Charlie Evs\\n4 Delta 9/2\\n"
             "; lblAide=Pasted the odds of 3 runners.",
             "set Combo1_1; keys Combo1_1 1; set Combo1_2; keys Combo1_2 3; set Combo1_3; keys Combo1_3 4; play 3; "
             "type 1 5/2; type 2 1/1; type 3 9/2"},
            {"play 2", "paste Option1_item1 9/2; lblAide=Pasted the odds of 1 runner.", "play 1; type 1 9/2"},
            {"type 1 5", "paste txtCote1 no prices here; lblAide=The clipboard holds no odds to paste.", ""},
            {"play 9; set txtCote9 4", "pastebox txtCote9 7; txtCote9=47", "type 9 7"},
            switched("oddsDecimal", "play 3; type 1 5.5; type 2 3; type 3 8^", "Decimal odds of 8. will yield 8.00"),
            switched("oddsAmerican", "play 3; type 1 +450; type 2 -200; type 3 +750",
                     "American odds of +750 will yield 8.50"),
            {"", "trigger oddsDecimal; paste Command1 3.00\\n5.00\\n8.00\\n13.00", ex1, "slip"}};
        for (const QString example : {"btnExample", "btnExample2", "btnExample3"})
            for (const QString format : {"oddsDecimal", "oddsAmerican", "oddsAmerican; trigger oddsToOne"})
                rows.append({"", "trigger " + format + "; click " + example, "click " + example, "slip"});
        for (const QChar sep : {u'.', u','})
            for (const QStringList& r : rows) {
                Driver one(sep);
                RUN(one, r[0] + ";" + r[1]);
                Driver typed(sep);
                RUN(typed, r[0] + ";" + r[2]);
                QVERIFY2(one.slip(r.size() < 4) == typed.slip(r.size() < 4), qPrintable(r[1]));
            }
    }

    // The icon follows the first paint; the window stands centred, half a pixel going to the even side.
    void iconAndPlace() {
        QApplication::setWindowIcon(QIcon());
        TfrmJeuGagnant w(u'.');
        InstallApplicationIcon(&w);
        w.show();
        QTRY_COMPARE(QApplication::windowIcon().availableSizes().size(), 6);
        for (auto [screen, left] : {std::pair{1024, 112}, {801, 0}, {803, 2}})
            QCOMPARE(WindowLeft(screen), left);
    }

    // Every text the horse says, for every control hovered (the CLEAR strip over each of its cells) and from
    // every handler, lies inside the white of its speech balloon, read from the background as drawn.
    void balloonTexts() {
        Driver d(u',');
        QList<std::pair<QWidget*, int>> hovered; // and the x, at y 3
        for (QWidget* c : d.w->client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            hovered.append({c, 3});
        for (int x : {2, 17, 32, 50, 67, 85, 103, 123, 142})
            hovered.append({d.w->imgBlanc, x});
        // and the odds boxes' in the other formats, at their longest ordinal
        const QString texts[] = {help::LossRecoveryText(), help::DisplayModeText(), help::RoundUpText(),
                                 help::RoundDownText(), help::RoundByValueText(), help::ThresholdText(),
                                 help::OddsBoxText(2, u',', "decimal point", help::OddsForm::Decimal),
                                 help::OddsBoxText(2, u',', "decimal point", help::OddsForm::American)};
        for (qsizetype i = 0; i < hovered.size() + qsizetype(std::size(texts)); ++i) {
            d.w->setHelpText(i < hovered.size() ? QString() : texts[i - hovered.size()]);
            if (i < hovered.size()) hover(hovered[i].first, {hovered[i].second, 3});
            const QString text = d.w->lblAide->text();
            QVERIFY2(!balloonPixels(d.w->imgBig->grab().toImage(), helpTextRect(d.w->lblAide), false),
                     qPrintable(text));
        }
    }

    // The long total line asking for a refresh stays clear of the balloon; every wrapped caption fits its box
    // (one that did not would lose its last word); disabled boxes' text is grey on silver, at least as dark as
    // the classic desktop's grey.  With figures far too long for it, every changing line is drawn smaller or
    // cut inside its place, keeping its whole text, its size measured as the label's own hint gives it.
    void shownWhole() {
        Driver d(u',');
        RUN(d, "play 5; set txtCote5 4; lblTotal_ex_Label19=Total amount to bet (click the REFRESH button)");
        const QLabel* total = d.w->lblTotal_ex_Label19;
        QCOMPARE(balloonPixels(d.w->imgBig->grab().toImage(), total->geometry(), true), 0);
        QVERIFY(d.w->lblTotal_ex_Label19->fit().scale < 1 && d.w->lblTotal_ex_Label19->fit().text == total->text());
        RUN(d, "fill 11; set txtCote1 99999999999; type 1 9; set txtArrondir 99999999999; click btnRounditup");
        QList<QRectF> drawn;
        for (auto* label : d.w->client->findChildren<FitLabel*>()) {
            const QRectF r = label->fit().rect.translated(label->pos());
            QVERIFY2(QRectF(label->geometry()).contains(r) && label->width() <= label->maximumWidth() &&
                         label->accessibleName().isEmpty(), // a screen reader reads the whole text()
                     qPrintable(label->objectName()));
            for (const QRectF& other : std::as_const(drawn))
                QVERIFY2(!r.intersects(other), qPrintable(label->text()));
            if (label->isVisible()) drawn << r;
        }
        QVERIFY(drawn.size() >= 12 && d.w->lblYield->geometry().right() < d.w->imggauche->x());
        QVERIFY(d.w->lblYield->text().contains(u"99999999999") && d.w->lblYield->fit().scale < 1 &&
                d.w->Label2_[1]->text().endsWith(u"98") && d.w->Label2_[1]->fit().text.endsWith(u'…'));
        QCOMPARE(FittedLabelSize(d.w->lblYield), d.w->lblYield->sizeHint()); // measured once, as Qt would
        for (const ControlSpec& s : CalculatorControls()) {
            const auto* label = d.w->findChild<QLabel*>(QLatin1String(s.name));
            if (s.kind == ControlSpec::Kind::WrapLabel && s.h > 0)
                QVERIFY2(label->heightForWidth(label->width()) <= label->height() &&
                             label->fontInfo().pixelSize() >= 9,
                         s.name);
        }
        RUN(d, "clear 5; click btnExample2; click btnExample3; enabled=xx-------; row=3/2|4|5|8|");
        const QImage shown = d.box(3)->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                darkest = std::min(darkest, qGray(shown.pixel(x, y)));
        QVERIFY2(darkest <= 0x80, qPrintable(QString::number(darkest, 16)));
    }
};

QTEST_MAIN(TestCalculator)
#include "test_calculator.moc"
