// The calculator window under real input on its own display with openbox, read back once the program is
// idle.  Run with the decimal point, with the decimal comma (LC_ALL, as a user's session sets it) and at 2x.

#include "calculator/frmjeugagnant.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "help/hovertexts.h"
#include "engine/numtext.h"
#include "sheet/frmsheet.h"

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <set>
#include <thread>
#include <xcb/xcb.h>

using namespace fairstake;
using namespace std::chrono_literals;
using Kind = ControlSpec::Kind;
using ms = std::chrono::milliseconds;

namespace {

// xdotool sends X events through XTest from its own process, at their pace whatever the program is doing;
// every call returns once the program is idle again.  Positions are device-independent, in the widget.
class XDriver : public QAbstractNativeEventFilter {
public:
    XDriver() { QCoreApplication::instance()->installNativeEventFilter(this); }
    // Clicks a point of the widget (its centre by default) as a hand does, or only moves the pointer there.
    bool click(const QWidget* widget, std::optional<QPoint> at = {}, bool press = true) {
        const QPoint p = widget->mapTo(widget->window(), at.value_or(widget->rect().center())) *
                         widget->devicePixelRatioF();
        QStringList args = {"mousemove", "--window", QString::number(widget->window()->winId()),
                            QString::number(p.x()), QString::number(p.y())};
        if (press) args += {"sleep", "0.005", "mousedown", "1", "sleep", "0.02", "mouseup", "1"};
        return xdo(args);
    }
    // Presses keys by name (xdotool's: "Home", "ctrl+a", "1").
    bool key(const QString& name) { return xdo({"key", name}); }
    // Replaces the focused text: Ctrl+A, then the text one key every `perKey`.
    bool type(const QString& text, ms perKey) {
        return key("ctrl+a") && xdo({"type", "--delay", QString::number(perKey.count()), text});
    }
    // Runs the event loop until a marker sent after every X event so far has come through; false after 5 s.
    bool waitIdle() {
        xcb_window_t window = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->internalWinId()) window = xcb_window_t(w->winId());
        const xcb_client_message_event_t event{XCB_CLIENT_MESSAGE, 32, 0, window, kMarker, {.data32 = {++sent_}}};
        xcb_send_event(x11->connection(), false, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(x11->connection());
        for (const QDeadlineTimer end(5s); seen_ < sent_; std::this_thread::sleep_for(200us))
            if (end.hasExpired()) return false;
            else QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (int round = 0; round < 3; ++round) // queued calls and deferred repaints
            QCoreApplication::sendPostedEvents(), QCoreApplication::processEvents();
        return true;
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* e = static_cast<const xcb_client_message_event_t*>(message);
        const bool marker =
            type == "xcb_generic_event_t" && (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && e->type == kMarker;
        if (marker) seen_ = e->data.data32[0];
        return marker;
    }
    QNativeInterface::QX11Application* const x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();

private:
    bool xdo(const QStringList& args) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), args);
        if (!xdotool.waitForStarted()) return false;
        while (xdotool.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1), std::this_thread::sleep_for(1ms);
        return xdotool.exitCode() == 0 && waitIdle();
    }
    static constexpr xcb_atom_t kMarker = XCB_ATOM_CUT_BUFFER7; // a message type nothing else sends
    std::uint32_t sent_ = 0, seen_ = 0;
};

// The first widget to receive a mouse move after `under` is reset: where the pointer really is.
struct PointerWatch : QObject {
    QWidget* under = nullptr;
    PointerWatch() { qApp->installEventFilter(this); } // and out again as it goes
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove && !under && watched->isWidgetType())
            under = static_cast<QWidget*>(watched);
        return false;
    }
};

} // namespace

class RealInput : public QObject {
    Q_OBJECT
    std::unique_ptr<XDriver> x;
    std::unique_ptr<TfrmJeuGagnant> w;
    QChar sep;

    static bool windowed(Kind k) { return k != Kind::Label && k != Kind::WrapLabel && k != Kind::Picture; }
    // Whether a control holds the focus: itself or a part of it (a combo's edit line).
    static bool holds(const QWidget* control, const QWidget* focus = QApplication::focusWidget()) {
        return focus && (focus == control || control->isAncestorOf(focus));
    }
    static QString focusName() { return QApplication::focusWidget()->objectName(); }
    QWidget* control(const QString& name) const { return w->client->findChild<QWidget*>(name); }
    QLineEdit* box(int i) const { return w->txtCote[std::size_t(i - 1)]; }
    QString local(QString figure) const { return figure.replace(u'.', sep).replace(u',', sep); }
    // Sets the horses played and the odds from box 1 on, the other boxes cleared.
    void fill(int played, const QStringList& odds = {}) {
        w->Option1->setItemIndex(played - 1);
        for (int i = 1; i <= kSelections; ++i) box(i)->setText(local(odds.value(i - 1)));
    }
    // Replaces an edit's text by keys: it lands whole, and the edit keeps the focus, caret at the end.
    bool typed(QLineEdit* edit, const QString& text, ms perKey = 20ms) {
        return x->type(text, perKey) && edit->text() == local(text) && QApplication::focusWidget() == edit &&
               edit->cursorPosition() == edit->text().size();
    }
    QStringList runnerTexts() const {
        QStringList t;
        for (QComboBox* c : w->Combo1_) t << c->currentText();
        return t;
    }
    // The amounts and profit (`played` horses) the window shows, and those the engine makes of the boxes' odds.
    QString shownAmounts(int played) const {
        QStringList t;
        for (int i = 0; i < played; ++i) t << w->Label2_[std::size_t(i)]->text();
        return (t << w->lblAmount_ie_Label4->text()).join(u'|');
    }
    QString engineAmounts(int played) const {
        struct : EngineHost {
            void ProcessPendingEvents() override {}
            void ShowInformation(const std::string&) override {}
            void SetOddsText(int, const std::string&) override {}
        } host;
        BetSlip slip = w->slip(); // the window's separator and rounding; mode and base as the controls show
        slip.playedCount = played;
        slip.displayMode = w->radioOptions->itemIndex() == 1;
        slip.baseAmount = static_cast<float>(w->HScroll1->value());
        for (int i = 1; i <= kSelections; ++i) {
            Selection& s = slip.selection(i);
            s.isActive = i <= played;
            s.oddsText = box(i)->text().toStdString();
            s.oddsValue = ParseOdds(s.oddsText, slip.separator, w->oddsFormat()).value_or(0.0f);
        }
        RunCalculation(slip, Variant::Calculate, host);
        QStringList t;
        for (int i = 1; i <= played; ++i) t << QString::fromStdString(slip.selection(i).shownAmount);
        return (t << QString::fromStdString(slip.profitText)).join(u'|');
    }

private Q_SLOTS:
    // The window opens on the first control of its tab order: the checked item of Option1.
    void initTestCase() {
        x = std::make_unique<XDriver>();
        QVERIFY2(x->x11, "not on X");
        setMessageAnswerer([](QWidget*, const MessageRequest&) { return QMessageBox::Ok; });
        w = std::make_unique<TfrmJeuGagnant>();
        sep = w->separator();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()) && x->waitIdle());
        QVERIFY(QApplication::focusWidget() == w->Option1->button(0) && w->Option1->button(0)->isChecked());
    }

    // Pictures and labels lie under every windowed control, in painting order and for the pointer: at each
    // overlap the pointer is over the windowed control (and the picture's hover help does not show).
    void stacking() {
        const QObjectList order = w->client->children();
        std::vector<std::pair<QString, QWidget*>> flat, win;
        for (const ControlSpec& s : CalculatorControls())
            if (QWidget* c = control(s.name); c->isVisible() && w->client->rect().intersects(c->geometry()))
                (windowed(s.kind) ? win : flat).emplace_back(s.name, c);
        const auto painted = [&](const auto& named) { return order.indexOf(named.second); };
        QVERIFY(std::ranges::is_sorted(win, {}, painted));
        for (const auto& named : flat) QVERIFY2(painted(named) < painted(win.front()), qPrintable(named.first));
        PointerWatch watch;
        int overlaps = 0;
        for (auto [name, f] : flat)
            for (auto [winName, c] : win) {
                const QRect both = f->geometry() & c->geometry() & w->client->rect();
                if (both.isEmpty() || name == u"imgBig") continue;
                QWidget* top = c; // the design's last windowed control at that point
                for (auto [other, o] : win)
                    if (o->geometry().contains(both.center())) top = o;
                ++overlaps;
                w->setHelpText(QString());
                QVERIFY(x->click(w->client, both.center() + QPoint(1, 0), false));
                watch.under = nullptr;
                QVERIFY(x->click(w->client, both.center(), false));
                QVERIFY2(holds(top, watch.under), qPrintable(name + " over " + winName));
                const QString help = help::HoverText(name);
                if (!help.isEmpty() && help != help::HoverText(top->objectName()))
                    QVERIFY(w->lblAide->text() != QString(help).replace(help::LineBreak(), "\n"));
            }
        QVERIFY(overlaps > 0);
    }

    // A click on a windowed control gives it the focus (the tenths box to its bar, examples to an odds box).
    void clickFocus() {
        for (const ControlSpec& s : CalculatorControls()) {
            const QString name = QLatin1String(s.name);
            QWidget* target = control(name);
            if (!windowed(s.kind) || s.kind == Kind::Ticker || name == u"Button1" ||
                !w->client->rect().contains(target->geometry()))
                continue;
            const QString focused = s.kind == Kind::Group            ? name + "_item1"
                                    : name == u"txtTenths"           ? "ScrollBar1"
                                    : name == u"btnExample3"         ? "txtCote2"
                                    : name.startsWith(u"btnExample") ? "txtCote4"
                                                                     : name;
            fill(kSelections); // every odds box enabled
            QVERIFY(x->waitIdle());
            if (auto* group = qobject_cast<RadioGroup*>(target)) target = group->button(1);
            QPoint at = target->rect().center();
            if (qobject_cast<QComboBox*>(target)) at.setX(8); // the edit part, not the drop-down
            QVERIFY(x->click(target, at));
            QTRY_VERIFY2_WITH_TIMEOUT(holds(control(focused)), qPrintable(name + ": " + focusName()), 1000);
        }
    }

    // Odds typed into a box (as many horses played as the box, or all) in four forms, at 25 or 1 ms a key,
    // land whole; the box keeps the focus, caret at the end; runners stay, the amounts are the engine's.
    void typing() {
        for (int n = 1; n <= kSelections; ++n)
            for (int played : std::set{n, kSelections}) {
                fill(played, {"5", "7", "9", "11", "13", "15", "17", "19", "21"}); // 2 x box + 3
                box(n)->clear();
                QVERIFY(x->waitIdle());
                const QStringList runners = runnerTexts();
                QVERIFY(x->click(box(n)));
                for (const char* form : {"12", "9/2", "4.5", "4,5"}) {
                    QVERIFY2(typed(box(n), form, ms((n + played) % 2 ? 25 : 1)),
                             qPrintable(QString("box %1 of %2: ").arg(n).arg(played) + focusName()));
                    QCOMPARE(runnerTexts(), runners);
                    QCOMPARE(shownAmounts(played), engineAmounts(played));
                }
            }
    }

    // A shift that disables the box it gave the focus to gives it back to the box typed in, caret where it was
    // (before the first character), and the next key goes there; one ending on an enabled box leaves it there.
    void chainFocus() {
        // Played, the odds (box 1's typed, the others set), the shift, the box then focused and its text once
        // a "1" is typed.
        for (const auto& [played, odds, arrow, focused, text] :
             {std::tuple{1, QStringList{"45"}, "imgDroite", "txtCote1", "1"},
              {1, {"9/2", "12/5", "9"}, "imggauche", "txtCote1", "112/5"},
              {4, {"2", "4", "7", "12"}, "imgDroite", "txtCote2", "21"}}) {
            fill(played, QStringList{""} + odds.mid(1));
            QVERIFY(x->click(box(1)) && typed(box(1), odds[0]) && x->key("Home"));
            QVERIFY(x->click(control(arrow)));
            QCOMPARE(focusName(), focused);
            QVERIFY(x->key("1"));
            QCOMPARE(qobject_cast<QLineEdit*>(control(focused))->text(), text);
        }
    }

    // The tenths arrows take clicks: each moves the threshold a tenth, within 0.1 to 0.9.
    void tenths() {
        const QRect bar = w->ScrollBar1->rect();
        for (auto [clicks, position] : {std::pair{1, 6}, {-2, 3}, {-6, 1}, {6, 9}}) { // < 0: the upper arrow
            w->ScrollBar1->setValue(5);
            QVERIFY(x->waitIdle());
            for (int i = 0; i < std::abs(clicks); ++i)
                QVERIFY(x->click(w->ScrollBar1, QPoint(bar.center().x(), clicks > 0 ? bar.bottom() - 2 : 2)));
            QVERIFY(w->ScrollBar1->value() == position && QApplication::focusWidget() == w->ScrollBar1);
            QCOMPARE(w->slip().roundingThreshold, static_cast<float>(position / 10.0L));
            QCOMPARE(w->txtTenths->text(), local(QStringLiteral("0.%1").arg(position)));
        }
    }

    // Tab keys go round the window and back to box 1, never to a control outside it; then the unit typed as
    // 0.1 (either separator key) and example 1 give one-decimal stakes, which Round up leaves where they are.
    void tabWalkAndTenth() {
        fill(kSelections);
        w->radioOptions->setItemIndex(0); // decimals shown, whatever a click before chose
        QVERIFY(x->click(box(1)));
        QStringList stops;
        do {
            QWidget* at = QApplication::focusWidget();
            stops << at->objectName();
            QVERIFY2(at->isVisible() && w->client->rect().contains(QRect(at->mapTo(w->client, QPoint()), at->size())),
                     qPrintable(stops.join(u' ')));
            QVERIFY(x->key("Tab"));
        } while (QApplication::focusWidget() != box(1) && stops.size() < 60);
        QVERIFY2(stops.size() > 30 && stops.size() < 60 && stops.contains(u"chkNomore") &&
                     stops.filter(QRegularExpression("^radio(up|down|center)$")).size() == 1,
                 qPrintable(stops.join(u' ')));
        QVERIFY(x->click(w->txtArrondir) && typed(w->txtArrondir, "0,1"));
        for (QWidget* press : std::initializer_list<QWidget*>{w->btnExample, w->radioup, w->btnRounditup}) {
            QVERIFY(x->click(press));
            QCOMPARE(shownAmounts(4).section(u'|', 0, 3), local("19.3|11.60|7.2|4.4"));
        }
        w->txtArrondir->setText("2");
        w->radiocenter->click();
        fill(kSelections);
    }

    // Example 1, then a click on the picture under the base-amount bar: it goes up, box 4 keeps the caret.
    void exampleThenImage1() {
        QVERIFY(x->click(w->btnExample) && QApplication::focusWidget() == box(4));
        const int before = w->HScroll1->value();
        QVERIFY(x->click(w->Image1, QPoint(150, 12)) && w->HScroll1->value() == before + 1);
        QVERIFY(QApplication::focusWidget() == box(4) && box(4)->cursorPosition() == box(4)->text().size());
    }

    // Decimal odds chosen in the Race menu and typed at a hand's pace, either separator key: the stakes are
    // the engine's, and stay when to-one odds are chosen back (focus kept) and the odds one less put in.
    void decimalOdds() {
        const auto choose = [this](QAction* format) {
            return x->click(w->menuBar(), w->menuBar()->actionGeometry(w->race->menuAction()).center()) &&
                   QTest::qWaitFor([&] { return w->race->isVisible(); }) &&
                   x->click(w->race, w->race->actionGeometry(format).center()) && format->isChecked();
        };
        fill(3);
        QVERIFY(choose(w->oddsDecimal));
        const QStringList odds = {"3.00", "5,5", "8.5"};
        for (int i = 1; i <= 3; ++i) QVERIFY(x->click(box(i)) && typed(box(i), odds[i - 1], 90ms));
        QCOMPARE(w->lblYield->text(),
                 local("Decimal odds of 8.5 will yield 8.50 for a $1 bet and 17.00 for a $2 bet"));
        const QString decimal = shownAmounts(3);
        QCOMPARE(decimal, engineAmounts(3));
        QVERIFY(choose(w->oddsToOne) && QApplication::focusWidget() == box(3));
        fill(3, {"2", "4.5", "7.5"});
        QVERIFY(x->waitIdle());
        QCOMPARE(shownAmounts(3), decimal);
    }

    // 15 starters typed: every combo shows its whole text ("1 to 15" in the runners') in its design width,
    // as QLineEdit scrolls once text and caret need more than its width less 2 pixels each side.
    void comboTexts() {
        QVERIFY(x->click(w->comboStarters, QPoint(8, w->comboStarters->height() / 2)) && x->type("15", 20ms));
        for (QComboBox* combo : w->client->findChildren<QComboBox*>()) {
            QCOMPARE(combo->currentText(), combo == w->comboStarters ? "15" : "1 to 15");
            const QLineEdit* line = combo->lineEdit();
            QVERIFY2(line->fontMetrics().horizontalAdvance(line->text()) + 1 + 2 * 2 <= line->width(),
                     qPrintable(combo->objectName()));
        }
    }

    // The clipboard set from outside (xclip), Ctrl+Shift+V pressed in a runner combo: a race card's prices go
    // into the boxes as if typed, runners and played count follow, the amounts are the engine's; a megabyte of
    // noise changes nothing, ten thousand lines give nine.  Ctrl+V in a box still pastes into that box.
    void pasteOdds() {
        const auto clip = [](const QByteArray& text) {
            QProcess xclip;
            xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-i"});
            return xclip.waitForStarted() && xclip.write(text) == text.size() &&
                   (xclip.closeWriteChannel(), xclip.waitForFinished()) && xclip.exitCode() == 0;
        };
        fill(1);
        const QStringList card = {"5/2", "1/1", "4.5"}, none = {"The clipboard holds no odds to paste."};
        for (const auto& [text, boxes, help] :
             {std::tuple{QByteArray("1 Alpha 5/2\n2 Bravo NR\n3 Charlie Evs\n4 Delta 4.5\n"), card,
                         QString("Pasted the odds of 3 runners.")},
              {QByteArray(1 << 20, 'x').replace(9, 1, " "), card, none[0]},
              {QByteArray("6\n").repeated(10000), QStringList(9, "6"),
               "Nine runners pasted; the clipboard held more."}}) {
            QVERIFY(clip(text) && x->click(w->Combo1_[5], QPoint(8, 10)) && x->key("ctrl+shift+v"));
            QStringList shown;
            for (int i = 1; i <= boxes.size(); ++i) shown << box(i)->text();
            QVERIFY(shown == boxes && w->Option1->itemIndex() == boxes.size() - 1 && w->lblAide->text() == help);
            QVERIFY2(help == none[0] ? holds(w->Combo1_[5]) : focusName() == QString("txtCote%1").arg(boxes.size()),
                     qPrintable(focusName()));
            QCOMPARE(shownAmounts(int(boxes.size())), engineAmounts(int(boxes.size())));
            QCOMPARE(runnerTexts().mid(0, 3), (QStringList{"1", "3", "4"}));
        }
        QVERIFY(clip("7") && x->click(box(2)) && x->key("ctrl+a") && x->key("ctrl+v"));
        QVERIFY(box(2)->text() == "7" && box(3)->text() == "6" && w->Option1->itemIndex() == 8);
        QGuiApplication::clipboard()->clear(); // xclip leaves once it no longer holds the clipboard
    }

    // Ctrl+R opens the race sheet beside the calculator, which keeps the keys: odds typed go on into the
    // boxes and the sheet follows them; Ctrl+Shift+C copies it.
    void raceSheet() {
        fill(3);
        QVERIFY(x->click(box(1)) && x->key("ctrl+r"));
        TfrmSheet* sheet = w->sheet();
        QVERIFY(sheet && sheet->isVisible());
        // On the 1280 x 1024 screen it fits below the calculator; at twice the size nowhere beside it.
        if (w->devicePixelRatioF() == 1) QTRY_VERIFY(!sheet->frameGeometry().intersects(w->frameGeometry()));
        QVERIFY(w->screen()->availableGeometry().contains(sheet->frameGeometry()));
        for (int i = 1; i <= 3; ++i) // box 1 without a click
            QVERIFY((i == 1 || x->click(box(i))) && typed(box(i), QString::number(i == 3 ? 7 : 2 * i)));
        for (int row = 0; row < 3; ++row) {
            const std::string shown = w->Label2_[std::size_t(row)]->text().toStdString();
            const auto amount = ParseNumber(shown, sep.unicode()).value_or(-1);
            QCOMPARE(sheet->gridSheet->item(row, 5)->text().toStdString(), FormatFixed2(amount, sep.unicode()));
        }
        QCOMPARE(sheet->lblBook->text(), local("Book: 65.8 % of the market"));
        QVERIFY(x->key("ctrl+shift+c"));
        QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                 RaceSheetText(MakeRaceSheet(w->slip(), sheet->settings())));
        QVERIFY(QGuiApplication::clipboard()->text().contains(sheet->lblProfitRange->text() + "\n"));
        sheet->close();
    }
};

QTEST_MAIN(RealInput)
#include "test_realinput.moc"
