// The calculator window under real input: keys and clicks go through the X server (XTest) to the window,
// shown on its own display with openbox, and the controls are read back once the program is idle, so
// that hit-testing, the keyboard focus and the window manager are the server's and Qt's, not the test's.  Run
// with the decimal point, with the decimal comma (LC_ALL, as a user's session sets it) and at 2x.

#include "calculator/frmjeugagnant.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "engine/engine.h"
#include "engine/numtext.h"
#include "help/hovertexts.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <thread>
// After Qt's headers: Xlib's macros (None, Bool, Status) would clash with them.
#include <X11/Xlib.h>
#include <xcb/xcb.h>

using namespace fairstake;

using namespace std::chrono_literals;
using Kind = ControlSpec::Kind;

namespace {

// Real input: xdotool sends the X events through XTest from a process of its own, so that they come at
// their pace whatever the program is doing, while the test runs the event loop; hit-testing, the focus
// and the window manager are the server's and Qt's, never the test's.  Every call returns once the
// program is idle again.  Positions are Qt's device-independent pixels in the widget.
class XDriver : public QAbstractNativeEventFilter {
public:
    XDriver() : display(XOpenDisplay(nullptr)) {
        if (display) marker_ = XInternAtom(display, "FAIRSTAKE_TEST_MARKER", False);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~XDriver() override {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (display) XCloseDisplay(display);
    }
    // Moves the pointer to a point of the widget (its centre by default); a click there comes as a hand
    // clicks: the pointer arrives, the button goes down and comes up a little later.
    bool moveTo(const QWidget* widget, std::optional<QPoint> at = {}, bool click = false) {
        const QPoint p = widget->mapTo(widget->window(), at.value_or(widget->rect().center())) *
                         widget->devicePixelRatioF();
        QStringList args = {"mousemove", "--window", QString::number(widget->window()->winId()),
                            QString::number(p.x()), QString::number(p.y())};
        if (click)
            args << "sleep"
                 << "0.005"
                 << "mousedown"
                 << "1"
                 << "sleep"
                 << "0.02"
                 << "mouseup"
                 << "1";
        return xdo(args);
    }
    bool click(const QWidget* widget, std::optional<QPoint> at = {}) { return moveTo(widget, at, true); }
    // Replaces the focused text: Ctrl+A, then the text one key every `perKey`.
    bool type(const QString& text, std::chrono::milliseconds perKey) {
        return xdo({"key", "ctrl+a"}) && xdo({"type", "--delay", QString::number(perKey.count()), text});
    }
    // Runs the event loop until the program has handled every X event sent so far (a marker event sent
    // after them has come through) and what they posted; false after 5 s.
    bool waitIdle() {
        XSync(display, False);
        XEvent event{};
        event.xclient.type = ClientMessage;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->internalWinId()) event.xclient.window = w->winId();
        event.xclient.message_type = marker_;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(++sent_);
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
        XFlush(display);
        for (const auto end = std::chrono::steady_clock::now() + 5s; seen_ < sent_;)
            if (std::chrono::steady_clock::now() > end)
                return false;
            else
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5), std::this_thread::sleep_for(200us);
        for (int round = 0; round < 3; ++round) // queued calls and deferred repaints
            QCoreApplication::sendPostedEvents(), QCoreApplication::processEvents();
        return true;
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* e = static_cast<const xcb_client_message_event_t*>(message);
        if (type != "xcb_generic_event_t" || (e->response_type & 0x7f) != XCB_CLIENT_MESSAGE ||
            e->type != marker_)
            return false;
        seen_ = e->data.data32[0];
        return true;
    }

    Display* display;

private:
    bool xdo(const QStringList& args) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), args);
        if (!xdotool.waitForStarted()) return false;
        while (xdotool.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1), std::this_thread::sleep_for(1ms);
        return xdotool.exitCode() == 0 && waitIdle();
    }
    unsigned long marker_ = 0;
    unsigned sent_ = 0;
    std::atomic<unsigned> seen_{0};
};

bool windowed(Kind k) {
    return k != Kind::Label && k != Kind::WrapLabel && k != Kind::Picture;
}

// Where a control holds the focus: itself or a part of it (a combo's edit line).
bool holds(const QWidget* control, const QWidget* focus) {
    return focus && (focus == control || control->isAncestorOf(focus));
}

// The amounts the engine gives for these odds: what the window must show.
struct Reference : EngineHost {
    void ProcessPendingEvents() override {}
    void ShowInformation(const std::string&) override {}
    void SetOddsText(int i, const std::string& text) override { slip.selection(i).oddsText = text; }
    BetSlip slip;
};

// The first widget to receive a mouse move after reset(): where the pointer really is.
struct PointerWatch : QObject {
    QWidget* under = nullptr;
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
    MessageAnswerer previousAnswerer;

    QWidget* control(const char* name) const { return w->client->findChild<QWidget*>(QLatin1String(name)); }
    QString local(QString figure) const { return figure.replace(u'.', sep).replace(u',', sep); }
    QStringList runnerTexts() const {
        QStringList t;
        for (QComboBox* c : w->Combo1_)
            t << c->currentText();
        return t;
    }
    void clearBoxes(int played) {
        w->Option1->setItemIndex(played - 1);
        for (QLineEdit* box : w->txtCote)
            box->clear();
    }

private Q_SLOTS:
    void initTestCase() {
        x = std::make_unique<XDriver>();
        QVERIFY2(x->display, "no X display");
        previousAnswerer =
            setMessageAnswerer([](QWidget*, const MessageRequest&) { return QMessageBox::Ok; });
        w = std::make_unique<TfrmJeuGagnant>();
        sep = w->separator();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(x->waitIdle());
    }
    void cleanupTestCase() {
        w.reset();
        setMessageAnswerer(std::move(previousAnswerer));
    }

    // The window opens on the first control of its tab order: the checked item of Option1.
    void startupFocus() {
        QCOMPARE(QApplication::focusWidget(), w->Option1->button(0));
        QVERIFY(w->Option1->button(0)->isChecked());
    }

    // Pictures and labels lie under every windowed control, in painting order and for the pointer: at each
    // overlap the pointer is over the windowed control (and the picture's hover help does not show).
    void stacking() {
        const QObjectList order = w->client->children();
        std::vector<std::pair<const ControlSpec*, QWidget*>> flat, win;
        for (const ControlSpec& s : CalculatorControls())
            if (QWidget* c = control(s.name); c->isVisible() && w->client->rect().intersects(c->geometry()))
                (windowed(s.kind) ? win : flat).emplace_back(&s, c);
        std::vector<qsizetype> winOrder;
        for (auto [s, c] : win)
            winOrder.push_back(order.indexOf(c));
        for (auto [s, c] : flat)
            QVERIFY2(order.indexOf(c) < winOrder.front(), s->name);
        QVERIFY(std::is_sorted(winOrder.begin(), winOrder.end()));
        PointerWatch watch;
        qApp->installEventFilter(&watch);
        int overlaps = 0;
        for (auto [fs, f] : flat) {
            for (auto [ws, c] : win) {
                const QRect both = f->geometry() & c->geometry() & w->client->rect();
                if (both.isEmpty() || fs->name == std::string_view("imgBig")) continue;
                QWidget* top = c; // the design's last windowed control at that point
                for (auto [os, o] : win)
                    if (o->geometry().contains(both.center())) top = o;
                ++overlaps;
                w->setHelpText(QString());
                QVERIFY(x->moveTo(w->client, both.center() + QPoint(1, 0)));
                watch.under = nullptr;
                QVERIFY(x->moveTo(w->client, both.center()));
                QVERIFY2(
                    holds(top, watch.under),
                    qPrintable(QStringLiteral("%1 over %2: %3")
                                   .arg(fs->name, ws->name, watch.under ? watch.under->objectName() : "")));
                const QString help = help::HoverText(QString::fromLatin1(fs->name));
                if (!help.isEmpty() && help != help::HoverText(top->objectName()))
                    QVERIFY(w->lblAide->text() !=
                            QString(help).replace(help::LineBreak(), QStringLiteral("\n")));
            }
        }
        qApp->removeEventFilter(&watch);
        QVERIFY(overlaps > 0);
    }

    // A click on any windowed control gives it the keyboard focus (the tenths box hands it to its scroll
    // bar, the examples to their last odds box).
    void clickFocus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("focused");
        for (const ControlSpec& s : CalculatorControls()) {
            const QString name = QLatin1String(s.name);
            if (windowed(s.kind) && s.kind != Kind::Ticker && name != u"Button1" &&
                w->client->rect().contains(control(s.name)->geometry()))
                QTest::newRow(s.name) << name
                                      << (s.kind == Kind::Group            ? name + QStringLiteral("_item1")
                                          : name == u"txtTenths"           ? QStringLiteral("ScrollBar1")
                                          : name == u"btnExample3"         ? QStringLiteral("txtCote2")
                                          : name.startsWith(u"btnExample") ? QStringLiteral("txtCote4")
                                                                           : name);
        }
    }
    void clickFocus() {
        QFETCH(QString, name);
        QFETCH(QString, focused);
        clearBoxes(kSelections); // every odds box enabled
        QVERIFY(x->waitIdle());
        QWidget* target = w->client->findChild<QWidget*>(name);
        QPoint at = target->rect().center();
        if (auto* group = qobject_cast<RadioGroup*>(target))
            target = group->button(1), at = target->rect().center();
        if (qobject_cast<QComboBox*>(target)) at.setX(8); // the edit part, not the drop-down
        QVERIFY(x->click(target, at));
        QVERIFY2(
            holds(w->client->findChild<QWidget*>(focused), QApplication::focusWidget()),
            qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none"));
    }

    // Odds typed by key into a box, with as many horses played as the box or all, in four forms, at a
    // typist's pace and at 1 ms a key: each lands whole in its box, which keeps the focus with the caret
    // at the end; the runner numbers stay as they were and the amounts are the engine's for those odds.
    void typing_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("played");
        QTest::addColumn<int>("perKey");
        for (int box = 1; box <= kSelections; ++box)
            for (int played : {box, kSelections})
                if (played == box || box < kSelections)
                    QTest::addRow("box %d of %d", box, played)
                        << box << played << ((box + played) % 2 ? 25 : 1);
    }
    void typing() {
        QFETCH(int, box);
        QFETCH(int, played);
        QFETCH(int, perKey);
        clearBoxes(played);
        for (int i = 1; i <= kSelections; ++i)
            if (i != box) w->txtCote[std::size_t(i - 1)]->setText(local(QString::number(2 * i + 3)));
        QVERIFY(x->waitIdle());
        const QStringList runners = runnerTexts();
        QLineEdit* edit = w->txtCote[std::size_t(box - 1)];
        QVERIFY(x->click(edit));
        for (const char* form : {"12", "9/2", "4.5", "4,5"}) {
            QVERIFY(x->type(QLatin1String(form), std::chrono::milliseconds(perKey)));
            QCOMPARE(edit->text(), local(QLatin1String(form)));
            QCOMPARE(QApplication::focusWidget(), edit);
            QCOMPARE(edit->cursorPosition(), edit->text().size());
            QCOMPARE(runnerTexts(), runners);
            Reference ref;
            ref.slip.separator = sep.unicode();
            ref.slip.playedCount = played;
            ref.slip.displayMode = w->radioOptions->itemIndex() == 1;
            ref.slip.baseAmount = static_cast<float>(w->HScroll1->value());
            for (int i = 1; i <= kSelections; ++i) {
                Selection& s = ref.slip.selection(i);
                s.isActive = i <= played;
                s.oddsText = w->txtCote[std::size_t(i - 1)]->text().toStdString();
                s.oddsValue = ParseOdds(s.oddsText, ref.slip.separator).value_or(0.0f);
            }
            RunCalculation(ref.slip, Variant::Calculate, ref);
            for (int i = 1; i <= played; ++i)
                QCOMPARE(w->Label2_[std::size_t(i - 1)]->text(),
                         QString::fromStdString(ref.slip.selection(i).shownAmount));
            QCOMPARE(w->lblAmount_ie_Label4->text(), QString::fromStdString(ref.slip.profitText));
        }
    }

    // The tenths arrows take clicks: each moves the threshold a tenth, within 0.1 to 0.9.
    void tenths_data() {
        QTest::addColumn<int>("clicks"); // on the lower arrow, or the upper one when negative
        QTest::addColumn<int>("position");
        for (auto [clicks, position] : {std::pair{1, 6}, {-2, 3}, {-6, 1}, {6, 9}})
            QTest::addRow("%d", clicks) << clicks << position;
    }
    void tenths() {
        QFETCH(int, clicks);
        QFETCH(int, position);
        w->ScrollBar1->setValue(5);
        QVERIFY(x->waitIdle());
        const QRect bar = w->ScrollBar1->rect();
        for (int i = 0; i < std::abs(clicks); ++i) {
            QVERIFY(x->click(w->ScrollBar1, QPoint(bar.center().x(), clicks > 0 ? bar.bottom() - 2 : 2)));
        }
        QCOMPARE(w->ScrollBar1->value(), position);
        QCOMPARE(w->slip().roundingThreshold, static_cast<float>(position / 10.0L));
        QCOMPARE(QApplication::focusWidget(), w->ScrollBar1);
        QCOMPARE(w->txtTenths->text(), QStringLiteral("0.%1").arg(position).replace(u'.', sep));
    }

    // Example 1, then a click on the picture under the base-amount scroll bar: the base amount goes up
    // and the focus stays in box 4, caret at the end.
    void exampleThenImage1() {
        QVERIFY(x->click(w->btnExample));
        QCOMPARE(QApplication::focusWidget(), w->txtCote[3]);
        const int before = w->HScroll1->value();
        QVERIFY(x->click(w->Image1, QPoint(150, 12)));
        QCOMPARE(w->HScroll1->value(), before + 1);
        QCOMPARE(QApplication::focusWidget(), w->txtCote[3]);
        QCOMPARE(w->txtCote[3]->cursorPosition(), w->txtCote[3]->text().size());
    }

    // 15 starters typed into the starters box: every combo shows its whole text, "1 to 15" in the runner
    // combos, within the design widths.
    void comboTexts() {
        QVERIFY(x->click(w->comboStarters, QPoint(8, w->comboStarters->height() / 2)));
        QVERIFY(x->type(QStringLiteral("15"), 20ms));
        std::vector<QComboBox*> combos(w->Combo1_.begin(), w->Combo1_.end());
        combos.push_back(w->comboStarters);
        for (QComboBox* combo : combos) {
            QCOMPARE(combo->currentText(), combo == w->comboStarters ? "15" : "1 to 15");
            // QLineEdit scrolls once text and caret need more than its width less 2 pixels each side.
            const QLineEdit* line = combo->lineEdit();
            const int needed = line->fontMetrics().horizontalAdvance(line->text()) + 1 + 2 * 2;
            QVERIFY2(needed <= line->width(), qPrintable(combo->objectName()));
        }
    }
};

QTEST_MAIN(RealInput)
#include "test_realinput.moc"
