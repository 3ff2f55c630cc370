// The browser window in the test's own process, against the loopback server:
// layout, typed addresses, the Visit button, back and forward, context help, and
// the helper's commands run on the window.

#include "components/glyphbutton.h"
#include "help/contexthelp.h"
#include "help/helprouter.h"
#include "help/helpviewer.h"
#include "loopbackserver.h"
#include "suites.h"
#include "web/frmwww.h"
#include "web/windowcommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEngineView>

using fairstake::web::TfrmWWW;
using fairstake::web::TWindowCommands;

namespace {

constexpr int kLoadMs = 20000;

class WindowTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;

    static bool waitLoaded(QSignalSpy& loads, int count) {
        return QTest::qWaitFor([&] { return loads.count() >= count; }, kLoadMs) &&
               loads.at(count - 1).first().toBool();
    }
    static void clearAndType(QLineEdit* box, const QString& text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }
    void init() { server_.forget(); }

    void layout() {
        TfrmWWW w;
        QCOMPARE(w.objectName(), QStringLiteral("frmWWW"));
        QCOMPARE(w.windowTitle(), QStringLiteral("WWW"));
        QVERIFY(!w.isVisible());
        QCOMPARE(w.minimumSize(), QSize(787, 521));
        QCOMPARE(w.maximumSize(), QSize(787, 521));
        QVERIFY(w.windowFlags() & Qt::WindowContextHelpButtonHint);
        QVERIFY(w.windowFlags() & Qt::WindowSystemMenuHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

        struct Control {
            const char* name;
            QRect geometry;
            int helpContext;
        };
        const Control controls[] = {{"editLeSite", {192, 6, 441, 30}, 1600},
                                    {"ie", {0, 40, 785, 481}, 100},
                                    {"btnVisit", {64, 4, 105, 35}, 0},
                                    {"btnDroiteWeb1", {704, 8, 30, 30}, 0},
                                    {"btnGaucheWeb1", {664, 8, 30, 30}, 0}};
        QList<QWidget*> inOrder;
        for (const Control& c : controls) {
            auto* widget = w.findChild<QWidget*>(QString::fromLatin1(c.name));
            QVERIFY2(widget, c.name);
            QCOMPARE(widget->geometry(), c.geometry);
            QVERIFY(w.rect().contains(widget->geometry()));
            QCOMPARE(widget->property("helpContext").toInt(), c.helpContext);
            QVERIFY(!widget->accessibleName().isEmpty());
            inOrder << widget;
        }

        // Tab order: the first of the five (or of their insides) each focus
        // chain step reaches, from the address box on.
        QList<QWidget*> reached;
        QWidget* step = w.editLeSite;
        for (int guard = 0; guard < 200 && reached.size() < inOrder.size();
             ++guard, step = step->nextInFocusChain()) {
            for (QWidget* c : inOrder)
                if ((step == c || c->isAncestorOf(step)) && !reached.contains(c) &&
                    (step->focusPolicy() & Qt::TabFocus))
                    reached << c;
        }
        QCOMPARE(reached, inOrder);

        QCOMPARE(w.editLeSite->text(), QStringLiteral("http://www."));
        QVERIFY(w.editLeSite->font().bold());
        QCOMPARE(w.editLeSite->font().pixelSize(), 19);
        QCOMPARE(QFontInfo(w.editLeSite->font()).family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(w.btnVisit->text(), QStringLiteral("Visit:"));
        QVERIFY(w.btnDroiteWeb1->text().isEmpty());
        QVERIFY(w.btnGaucheWeb1->text().isEmpty());
        const struct {
            QAbstractButton* button;
            QColor hotTrack;
            Qt::CursorShape cursor;
        } glyphButtons[] = {{w.btnVisit, Qt::red, Qt::PointingHandCursor},
                            {w.btnDroiteWeb1, Qt::yellow, Qt::ArrowCursor},
                            {w.btnGaucheWeb1, Qt::yellow, Qt::ArrowCursor}};
        for (const auto& g : glyphButtons) {
            auto* button = qobject_cast<fairstake::GlyphButton*>(g.button);
            QVERIFY2(button, qPrintable(g.button->objectName()));
            QVERIFY(!button->glyph().isNull());
            QCOMPARE(button->hotTrackColor(), g.hotTrack);
            QCOMPARE(button->cursor().shape(), g.cursor);
        }
        QCOMPARE(
            w.editLeSite->toolTip(),
            QStringLiteral(
                "Type here the address of the site you want to navigate to, then hit ENTER to continue."));
        QVERIFY(w.ie->url().isEmpty());
    }

    void placement() {
        QCOMPARE(TfrmWWW::LeftForScreenWidth(1025), 112);
        QCOMPARE(TfrmWWW::LeftForScreenWidth(1027), 114);
        QCOMPARE(TfrmWWW::LeftForScreenWidth(1024), 112);
        QCOMPARE(TfrmWWW::LeftForScreenWidth(800), 0);
        QCOMPARE(TfrmWWW::LeftForScreenWidth(799), 0);   // -0.5
        QCOMPARE(TfrmWWW::LeftForScreenWidth(797), -2);  // -1.5
        QCOMPARE(TfrmWWW::LeftForScreenWidth(640), -80); // no lower bound
        TfrmWWW w;
        const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
        QCOMPARE(w.pos(), QPoint(TfrmWWW::LeftForScreenWidth(screenWidth), 0));
    }

    // Typing edits the text and opens nothing; Enter (keypad) and Return open the
    // whole text.
    void typedAddressVisitedOnEnter() {
        TfrmWWW w;
        w.show();
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);

        clearAndType(w.editLeSite, server_.address(QStringLiteral("/one")));
        QTest::keyClick(w.editLeSite, Qt::Key_Left);
        QTest::keyClick(w.editLeSite, Qt::Key_Tab, Qt::NoModifier); // leaves the box, visits nothing
        QTest::qWait(300);
        QCOMPARE(starts.count(), 0);
        QVERIFY(server_.requests().isEmpty());
        QVERIFY(w.ie->url().isEmpty());

        QTest::keyClick(w.editLeSite, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(waitLoaded(loads, 1));
        QCOMPARE(w.ie->url().toString(), server_.address(QStringLiteral("/one")));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("One"));
        QCOMPARE(w.editLeSite->text(), server_.address(QStringLiteral("/one")));

        // Only the last three characters differ: a half-typed prefix is never asked for.
        QTest::keyClick(w.editLeSite, Qt::Key_End);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w.editLeSite, Qt::Key_Backspace);
        QTest::keyClicks(w.editLeSite, QStringLiteral("two"));
        QTest::qWait(300);
        QCOMPARE(loads.count(), 1);
        QTest::keyClick(w.editLeSite, Qt::Key_Return);
        QVERIFY(waitLoaded(loads, 2));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("Two"));
        QCOMPARE(server_.paths(), (QStringList{"/one", "/two"}));
    }

    // The Visit button trims blanks and control characters and nothing else.
    void visitButtonTrims() {
        TfrmWWW w;
        w.show();
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        w.editLeSite->setText(QStringLiteral(" \t ") + server_.address(QStringLiteral("/three?a=1%20b")) +
                              QStringLiteral("\t  "));
        QTest::mouseClick(w.btnVisit, Qt::LeftButton);
        QVERIFY(waitLoaded(loads, 1));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("Three"));
        QCOMPARE(server_.paths(), QStringList{"/three?a=1%20b"});
        // The box keeps what was typed.
        QVERIFY(w.editLeSite->text().startsWith(QStringLiteral(" \t ")));
    }

    // Only blanks: the empty address, which opens no page and asks the server nothing.
    void blankAddress() {
        TfrmWWW w;
        w.show();
        w.editLeSite->setText(QStringLiteral("   "));
        QTest::mouseClick(w.btnVisit, Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(server_.requests().isEmpty());
        QVERIFY(w.ie->url().isEmpty() || w.ie->url().toString() == QStringLiteral("about:blank"));
        QCOMPARE(w.editLeSite->text(), QStringLiteral("   "));
    }

    void backAndForward() {
        TfrmWWW w;
        w.show();
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        const int windowsBefore = int(QApplication::topLevelWidgets().size());

        // Fresh window: back and forward do nothing and show nothing.
        QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton);
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(starts.count(), 0);
        QVERIFY(w.ie->url().isEmpty());
        QCOMPARE(int(QApplication::topLevelWidgets().size()), windowsBefore);
        QVERIFY(!QApplication::activeModalWidget());

        w.editLeSite->setText(server_.address(QStringLiteral("/one")));
        w.VisitAddress();
        QVERIFY(waitLoaded(loads, 1));
        w.editLeSite->setText(server_.address(QStringLiteral("/two")));
        w.VisitAddress();
        QVERIFY(waitLoaded(loads, 2));
        QVERIFY(w.ie->history()->canGoBack());

        QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton);
        QVERIFY(waitLoaded(loads, 3));
        QCOMPARE(w.ie->url().toString(), server_.address(QStringLiteral("/one")));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("One"));
        // Going back leaves the address box as it was.
        QCOMPARE(w.editLeSite->text(), server_.address(QStringLiteral("/two")));

        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QVERIFY(waitLoaded(loads, 4));
        QCOMPARE(w.ie->url().toString(), server_.address(QStringLiteral("/two")));

        // At the end of the history forward does nothing.
        const int started = int(starts.count());
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(int(starts.count()), started);
        QCOMPARE(w.ie->url().toString(), server_.address(QStringLiteral("/two")));
    }

    // The helper's commands for a link, run on a minimized window: restored,
    // shown, the address in its box, the page loaded; with the reports it writes.
    void linkOnMinimizedWindow() {
        TfrmWWW w;
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line; });
        w.showMinimized();
        QVERIFY(w.isMinimized());
        const QString one = server_.address(QStringLiteral("/one"));
        commands.feed(("restore\naddress " + one + "\nshow\nvis").toUtf8());
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QCOMPARE(w.editLeSite->text(), one);
        QVERIFY(w.ie->url().isEmpty()); // "visit" is not complete yet
        commands.feed("it\nreport\n");
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(QStringLiteral("loaded 1 ") + one), kLoadMs);
        QCOMPARE(reports.first(), QStringLiteral("address ") + one);
        QVERIFY(reports.contains(QStringLiteral("window %1 0 787 521 1 0").arg(w.x())));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("One"));

        reports.clear();
        commands.run(QStringLiteral("no such command"));
        commands.run(QString());
        QVERIFY(reports.isEmpty());
    }

    // F1 shows the pop-up of the control's context number; inside the page it is
    // the browser's (100), in the address box 1600.
    void contextHelp() {
        using namespace fairstake::help;
        setApplicationHelpFile(InstalledHelpFile());
        TfrmWWW w;
        THelpRouter router(&w);
        ContextHelp::install(&w, [] { return true; });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        w.editLeSite->setFocus();
        QTest::keyClick(w.editLeSite, Qt::Key_F1);
        QTRY_COMPARE(popupContext(), 1600);
        QCOMPARE(popupAnchor(), w.editLeSite->mapToGlobal(QPoint(0, 0)));
        WinHelp(&w, InstalledHelpFile(), HelpQuit, 0);

        QWidget* inside = w.ie->focusProxy() ? w.ie->focusProxy() : w.ie;
        QCOMPARE(ContextHelp::HelpContextOf(inside), 100);
        inside->setFocus();
        QTest::keyClick(inside, Qt::Key_F1);
        QTRY_COMPARE(popupContext(), 100);
        WinHelp(&w, InstalledHelpFile(), HelpQuit, 0);
        QCOMPARE(ContextHelp::HelpContextOf(w.btnVisit), 0);
    }
};

} // namespace

std::unique_ptr<QObject> makeWindowTest() {
    return std::make_unique<WindowTest>();
}

#include "test_window.moc"
