// The browser window in the test's own process, against the loopback server:
// layout, typed addresses, the Visit button, back and forward, and the helper's
// commands run on the window.

#include "loopbackserver.h"
#include "suites.h"
#include "web/frmwww.h"
#include "web/windowcommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <functional>

using fairstake::web::TfrmWWW;
using fairstake::web::TWindowCommands;

namespace {

class WindowTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;

    // Waits for the count-th load to end, and says whether it succeeded.
    static bool loaded(QSignalSpy& loads, int count) {
        return QTest::qWaitFor([&] { return loads.count() >= count; }, 20000) &&
               loads.at(count - 1).first().toBool();
    }
    // Nothing is asked of the server for a while.
    bool quiet(const QSignalSpy& starts, int count) const {
        QTest::qWait(300);
        return starts.count() == count;
    }
    QString at(const char* path) const { return server_.address(QString::fromLatin1(path)); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }
    void init() { server_.forget(); }

    // Fixed size, each control's help context, and the left edge for a screen width.
    void layout() {
        TfrmWWW w;
        QCOMPARE(w.size(), QSize(787, 521));
        QCOMPARE(w.maximumSize(), w.minimumSize());
        QCOMPARE(w.editLeSite->text(), QStringLiteral("http://www."));
        for (auto [c, context] : {std::pair<QWidget*, int>{w.editLeSite, 1600}, {w.ie, 100}, {w.btnVisit, 0}})
            QCOMPARE(c->property("helpContext").toInt(), context);
        for (auto [screen, left] :
             {std::pair{1025, 112}, {1027, 114}, {800, 0}, {799, 0}, {797, -2}, {640, -80}})
            QCOMPARE(TfrmWWW::LeftForScreenWidth(screen), left);
        QCOMPARE(
            w.pos(),
            QPoint(TfrmWWW::LeftForScreenWidth(QGuiApplication::primaryScreen()->geometry().width()), 0));
    }

    // Typing opens nothing, nor does leaving the box; Enter (keypad) and Return
    // open the whole text, and Visit the text without blanks around it.
    void addressBox() {
        TfrmWWW w;
        w.show();
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        w.editLeSite->setFocus();
        w.editLeSite->clear();
        QTest::keyClicks(w.editLeSite, at("/one"));
        QTest::keyClick(w.editLeSite, Qt::Key_Left);
        QTest::keyClick(w.editLeSite, Qt::Key_Tab);
        QVERIFY(quiet(starts, 0) && server_.requests().isEmpty());
        QTest::keyClick(w.editLeSite, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(loaded(loads, 1));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("One"));
        w.editLeSite->setFocus();
        QTest::keyClick(w.editLeSite, Qt::Key_End);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w.editLeSite, Qt::Key_Backspace);
        QTest::keyClicks(w.editLeSite, QStringLiteral("two"));
        QVERIFY(quiet(starts, 1));
        QTest::keyClick(w.editLeSite, Qt::Key_Return);
        QVERIFY(loaded(loads, 2));
        w.editLeSite->setText(QStringLiteral(" \t ") + at("/three?a=1%20b") + QStringLiteral("\t  "));
        QTest::mouseClick(w.btnVisit, Qt::LeftButton);
        QVERIFY(loaded(loads, 3));
        QTRY_COMPARE(w.ie->title(), QStringLiteral("Three"));
        QVERIFY(w.editLeSite->text().startsWith(QStringLiteral(" \t "))); // the box keeps what was typed
        w.editLeSite->setText(QStringLiteral("   "));
        QTest::mouseClick(w.btnVisit, Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(server_.paths(), (QStringList{"/one", "/two", "/three?a=1%20b"}));
    }

    // Back and forward do nothing at either end of the history; going back
    // leaves the address box as it was.
    void backAndForward() {
        TfrmWWW w;
        w.show();
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton);
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QVERIFY(quiet(starts, 0) && QApplication::topLevelWidgets().size() == windows);
        for (const char* page : {"/one", "/two"}) {
            w.editLeSite->setText(at(page));
            w.VisitAddress();
            QVERIFY(loaded(loads, int(loads.count()) + 1));
        }
        // By the buttons and by the helper's commands.
        TWindowCommands commands(w, [](const QString&) {});
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton); }, "/one"},
            {[&] { commands.run(QStringLiteral("forward")); }, "/two"},
            {[&] { commands.run(QStringLiteral("back")); }, "/one"},
            {[&] { QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton); }, "/two"}};
        for (const auto& [step, page] : steps) {
            step();
            QVERIFY(loaded(loads, int(loads.count()) + 1));
            QCOMPARE(w.ie->url().toString(), at(page));
        }
        QCOMPARE(w.editLeSite->text(), at("/two"));
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QVERIFY(quiet(starts, 6));
    }

    // The helper's commands for a link, in pieces, on a minimized window:
    // restored, shown, the address in its box, the page loaded; and its reports.
    void commandsOnMinimizedWindow() {
        TfrmWWW w;
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line; });
        w.move(37, 21); // every field of the report differs
        w.showMinimized();
        commands.feed(("restore\naddress " + at("/one") + "\\\\x\nshow\nvis").toUtf8());
        QVERIFY(w.isVisible() && !w.isMinimized());
        QCOMPARE(w.editLeSite->text(), at("/one") + "\\x");
        QVERIFY(w.ie->url().isEmpty()); // "visit" is not complete yet
        commands.run(QStringLiteral("address ") + at("/one"));
        commands.feed("it\nreport\n");
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(QStringLiteral("loaded 1 ") + at("/one")), 20000);
        QCOMPARE(reports.first(), QStringLiteral("address ") + at("/one") + "\\\\x");
        QVERIFY2(reports.contains(QStringLiteral("window 37 21 787 521 1 0")),
                 qPrintable(reports.join(u'|')));
        reports.clear();
        commands.run(QStringLiteral("no such command"));
        commands.run(QString());
        QVERIFY(reports.isEmpty());
    }
};

} // namespace

std::unique_ptr<QObject> makeWindowTest() {
    return std::make_unique<WindowTest>();
}

#include "test_window.moc"
