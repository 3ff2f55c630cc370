// What goes wrong around the browser window, and what the user then sees: the
// helper run as root with no sandbox flag; a helper missing, killed while a
// page loads, or hung (one message at the next link, which opens nothing, and a
// new helper at the one after, with no scratch folder left behind); protocol
// lines over the bound; typed addresses of every scheme.

#include "calculator/frmjeugagnant.h"
#include "environment.h"
#include "loopbackserver.h"
#include "suites.h"
#include "web/frmwww.h"
#include "web/links.h"
#include "web/protocol.h"
#include "web/webproxy.h"
#include "web/windowcommands.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <csignal>
#include <unistd.h>

using namespace fairstake;
using namespace fairstake::web;

namespace {

constexpr int kLoadMs = 30000;
constexpr qsizetype kMaxLine = protocol::LineBuffer::kMaxLine;

class FailureTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;
    QTemporaryDir logs_;
    std::unique_ptr<TfrmWWW> schemes_;

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }
    void cleanupTestCase() { schemes_.reset(); }
    void init() {
        server_.forget();
        server_.stall({});
    }

    // As root, with no sandbox flag anywhere, the helper runs its engine without
    // the sandbox, says so once, and opens the page.
    void rootWithoutSandboxFlag() {
        if (::geteuid() != 0) QSKIP("needs root");
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        helper.setProcessEnvironment(env);
        helper.start(QStringLiteral(FAIRSTAKE_WEB_HELPER), {});
        QVERIFY(helper.waitForStarted());
        const QByteArray one = server_.address(QStringLiteral("/one")).toUtf8();
        helper.write("address " + one + "\nvisit\n");
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += helper.readAllStandardOutput()).contains("loaded 1 " + one), kLoadMs);
        helper.closeWriteChannel();
        QVERIFY(helper.waitForFinished(10000));
        const QByteArray errors = helper.readAllStandardError();
        QCOMPARE(errors.count("running as root, so the web pages run without Chromium's sandbox"), 1);
        QVERIFY2(!errors.contains("not supported"), errors.constData());
    }

    void linkFailures_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing" << "The web browser could not be started: %1 is missing.";
        QTest::newRow("killed") << "killed" << "The web browser stopped unexpectedly: it was killed by signal 9.";
        QTest::newRow("hung") << "hung" << "The web browser did not answer for 1 seconds and was stopped.";
    }
    void linkFailures() {
        QFETCH(QString, cause);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        Environment env;
        env.set("TMPDIR", tmp.path().toLocal8Bit());
        // Qt makes $TMPDIR/runtime-<user> for a session without one.
        env.set("XDG_RUNTIME_DIR", logs_.path().toLocal8Bit());
        env.set("FAIRSTAKE_FAKE_HELPER_LOG", logs_.filePath(QStringLiteral("fake.log")).toLocal8Bit());
        // Every host goes to the loopback server; the newspaper's page keeps loading.
        env.set("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=http://127.0.0.1:" +
                                                  QByteArray::number(server_.serverPort()));
        server_.stall(QUrl(DrfAddress()).host());
        std::vector<MessageRequest> asked;
        MessageAnswerer previous = setMessageAnswerer([&](QWidget*, const MessageRequest& r) {
            asked.push_back(r);
            return QMessageBox::Ok;
        });
        const auto restore = qScopeGuard([&] { setMessageAnswerer(std::move(previous)); });
        {
            TfrmJeuGagnant calculator(u'.');
            TfrmWWWProxy browser;
            calculator.setBrowserWindow(&browser);
            QSignalSpy started(&browser, &TfrmWWWProxy::helperStarted);
            QSignalSpy ended(&browser, &TfrmWWWProxy::helperEnded);
            QStringList reports;
            connect(&browser, &TfrmWWWProxy::helperReported, this, [&](const QString& l) { reports << l; });
            const QString missing = tmp.filePath(QStringLiteral("fairstake-web"));
            browser.setHelperPath(cause == QStringLiteral("missing") ? missing
                                  : cause == QStringLiteral("hung")  ? QStringLiteral(FAIRSTAKE_FAKE_HELPER)
                                                                     : QStringLiteral(FAIRSTAKE_WEB_HELPER));
            browser.setAnswerTimeout(1000);
            if (cause == QStringLiteral("missing")) {
                calculator.drf->trigger(); // known at once, at this very link
                QCOMPARE(int(asked.size()), 1);
            } else {
                calculator.drf->trigger();
                QTRY_VERIFY_WITH_TIMEOUT(reports.contains(QStringLiteral("ready")), kLoadMs);
                const auto pid = pid_t(browser.helperProcessId());
                if (cause == QStringLiteral("killed")) {
                    QTRY_VERIFY_WITH_TIMEOUT(!server_.requests().isEmpty(), kLoadMs); // the page is loading
                    ::kill(pid, SIGKILL);
                } else {
                    QTRY_VERIFY(reports.filter(QStringLiteral("window ")).size() == 1);
                    ::kill(pid, SIGSTOP);
                    calculator.homepage->trigger(); // a link like any other, which nothing answers
                }
                QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
                QVERIFY2(QDir(tmp.path()).isEmpty(), qPrintable(QDir(tmp.path()).entryList().join(u' ')));
                QVERIFY(asked.empty());
                calculator.racingpost->trigger();
                QCOMPARE(int(asked.size()), 1);
                QTest::qWait(100);
                QCOMPARE(started.count(), 1); // the message link opens nothing
            }
            const MessageRequest& box = asked.front();
            QCOMPARE(box.text, (message.contains(u'%') ? message.arg(missing) : message) +
                                   QStringLiteral(" The next link tries again."));
            QCOMPARE(box.title, QStringLiteral("Fairstake"));
            QCOMPARE(box.icon, QMessageBox::Information);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

            // The link after it starts a browser again, which opens the page.
            browser.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER));
            reports.clear();
            calculator.racingpost->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(reports.contains(QStringLiteral("loaded 1 ") + RacingPostAddress() + u'/'),
                                     kLoadMs);
            QCOMPARE(int(asked.size()), 1);
            QVERIFY(!QDir(tmp.path()).isEmpty()); // the running helper's scratch folder
        }
        QVERIFY(QDir(tmp.path()).isEmpty());
    }

    // Typed into the address box and sent with Return: http and https open,
    // every other scheme is refused, and nothing changes (the address stays in
    // the box, the open page stays open, no script runs in it).
    void typedSchemes_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opens");
        const QString two = server_.address(QStringLiteral("/two"));
        QTest::newRow("http") << two << true;
        QTest::newRow("HTTP") << QStringLiteral("HTTP") + two.mid(4) << true;
        QTest::newRow("https") << QStringLiteral("https") + two.mid(4) << true;
        QTest::newRow("file") << QStringLiteral("file:///etc/hostname") << false;
        QTest::newRow("FILE, blanks") << QStringLiteral(" \tFILE:///etc/passwd ") << false;
        QTest::newRow("data") << QStringLiteral("data:text/html,<title>Data</title>") << false;
        QTest::newRow("view-source") << QStringLiteral("view-source:") + two << false;
        QTest::newRow("view-source file") << QStringLiteral("view-source:file:///etc/hostname") << false;
        QTest::newRow("qrc") << QStringLiteral("qrc:/img/visit.png") << false;
        QTest::newRow("javascript") << QStringLiteral("javascript:document.title='Script'") << false;
        QTest::newRow("about") << QStringLiteral("about:blank") << false;
        QTest::newRow("chrome") << QStringLiteral("chrome://version") << false;
        QTest::newRow("blob") << QStringLiteral("blob:") + two << false;
        QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/") << false;
    }
    void typedSchemes() {
        QFETCH(QString, address);
        QFETCH(bool, opens);
        // One window for all rows, each starting from page one.
        if (!schemes_) schemes_ = std::make_unique<TfrmWWW>();
        TfrmWWW& w = *schemes_;
        w.show();
        const QString one = server_.address(QStringLiteral("/one"));
        w.editLeSite->setText(one);
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        w.VisitAddress();
        QTRY_VERIFY_WITH_TIMEOUT(loads.count() == 1 && w.ie->title() == QStringLiteral("One"), kLoadMs);
        server_.forget();
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        w.editLeSite->setText(address);
        w.editLeSite->setFocus();
        QTest::keyClick(w.editLeSite, Qt::Key_Return);
        if (opens) {
            QTRY_COMPARE_WITH_TIMEOUT(w.ie->url().toString(QUrl::RemovePort),
                                      QUrl(address).toString(QUrl::RemovePort), kLoadMs);
            return;
        }
        QTest::qWait(300);
        QCOMPARE(starts.count(), 0);
        QCOMPARE(w.ie->url(), QUrl(one));
        QCOMPARE(w.ie->title(), QStringLiteral("One"));
        QCOMPARE(w.editLeSite->text(), address);
        QVERIFY(server_.requests().isEmpty());
    }

    // A local page, should one ever be opened, reads no other local file.
    void localPageReadsNoFiles() {
        TfrmWWW w;
        w.ie->setHtml(QStringLiteral("<script>var r = new XMLHttpRequest();"
                                     "r.onload = function() { document.title = 'read'; };"
                                     "r.onerror = function() { document.title = 'refused'; };"
                                     "try { r.open('GET', 'file:///etc/hostname'); r.send(); }"
                                     "catch (e) { document.title = 'refused'; }</script>"),
                      QUrl(QStringLiteral("file:///tmp/page.html")));
        QTRY_VERIFY_WITH_TIMEOUT(w.ie->title() == QStringLiteral("read") || w.ie->title() == QStringLiteral("refused"),
                                 kLoadMs);
        QCOMPARE(w.ie->title(), QStringLiteral("refused"));
    }

    // A line over the bound is dropped whole on either side of the channel; a
    // line of exactly the bound and the lines around it are read.
    void longLinesDropped() {
        // The helper reading the calculator's commands.
        TfrmWWW w;
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line.left(20); });
        const QByteArray longest = "address " + QByteArray(kMaxLine - 8, 'b');
        commands.feed("address " + QByteArray(kMaxLine / 2, 'a'));
        commands.feed(QByteArray(kMaxLine / 2, 'a') + "\naddress one\n" + longest.left(100));
        commands.feed(longest.mid(100) + "\n");
        QCOMPARE(reports, (QStringList{"address one", "address bbbbbbbbbbbb"}));
        QCOMPARE(commands.droppedLines(), 1);

        // The calculator reading the helper's reports.
        Environment env;
        env.set("FAIRSTAKE_FAKE_HELPER_LOG", logs_.filePath(QStringLiteral("fake.log")).toLocal8Bit());
        env.set("FAIRSTAKE_FAKE_HELPER_FLOOD", QByteArray::number(kMaxLine + 1));
        TfrmWWWProxy proxy;
        proxy.setHelperPath(QStringLiteral(FAIRSTAKE_FAKE_HELPER));
        QStringList lines;
        connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& l) { lines << l.left(30); });
        proxy.requestReport();
        QTRY_COMPARE(lines, (QStringList{"ready", "address typed\\nby\\\\the user", "window 0 0 787 521 1 0"}));
        QCOMPARE(proxy.address(), QStringLiteral("typed\nby\\the user"));
    }
};

} // namespace

std::unique_ptr<QObject> makeFailureTest() {
    return std::make_unique<FailureTest>();
}

#include "test_failures.moc"
