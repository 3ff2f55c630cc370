// The browser window, its helper and the calculator's proxy, against a loopback HTTP server and a fake
// helper (this program started as one); offscreen, but for the desktop run on real X.

#include "calculator/frmjeugagnant.h"
#include "web/frmwww.h"
#include "web/protocol.h"
#include "web/webproxy.h"
#include "web/windowcommands.h"

#include <QWebEngineView>
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <fstream>
#include <iostream>
#include <unistd.h>

using namespace fairstake;
using namespace fairstake::web;
using namespace Qt::StringLiterals;
using namespace std::literals;

namespace {

constexpr int kLoadMs = 30000;
constexpr qsizetype kMaxLine = protocol::LineBuffer::kMaxLine;
const QString kAgain = u" The next link tries again."_s;

// The fake helper: logs "start", each line and "eof" to $FAIRSTAKE_FAKE_HELPER_LOG; answers "report" with
// address reports of the longest length, of one byte more and escaped, and a window report.
int FakeHelper() {
    std::ofstream log(std::getenv("FAIRSTAKE_FAKE_HELPER_LOG"), std::ios::app);
    std::cout << "ready" << std::endl;
    for (std::string line = "start"; log << line << std::endl, std::getline(std::cin, line);)
        if (line == "report")
            std::cout << "address " << std::string(kMaxLine - 8, 'x') << "\naddress "
                      << std::string(kMaxLine - 7, 'x')
                      << "\naddress typed\\nby\\\\the user\nwindow 0 0 787 521 1 0" << std::endl;
    log << "eof" << std::endl;
    return 0;
}

// A calculator of the proxy alone, opening the address with the helper given.
int ProxyHost(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TfrmWWWProxy browser;
    browser.setHelperPath(app.arguments().at(2));
    OpenInBrowserWindow(browser, app.arguments().at(3));
    return app.exec();
}

// Pages titled with their host (as a proxy) and path, keeping a cookie and local storage; those of the
// search engine and /loading keep loading.
struct LoopbackServer : QTcpServer {
    QStringList requests; // host and path, in the order they came; favicons left out

    LoopbackServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
    }
    QString at(const char* path) const { return u"http://127.0.0.1:%1%2"_s.arg(serverPort()).arg(path); }
    void answer(QTcpSocket* socket) {
        const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.endsWith("\r\n\r\n")) return;
        const QUrl url(QString::fromLatin1(head.left(head.indexOf("\r\n")).split(' ').value(1)));
        const QString page = url.host() + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        if (!page.endsWith(u"/favicon.ico")) requests.append(page);
        if (url.host() == u"" FAIRSTAKE_SEARCH_HOST || url.path() == u"/loading") return;
        const QByteArray body = "<title>" + page.toHtmlEscaped().toUtf8() +
                                "</title><script>localStorage.a = 1; indexedDB.open('a')</script>";
        socket->write("HTTP/1.0 200 OK\r\nSet-Cookie: a=1; Max-Age=99999\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

// The process and all its descendants.
QList<qint64> Tree(qint64 pid) {
    QProcess pgrep;
    pgrep.start(u"pgrep"_s, {u"-P"_s, QString::number(pid)});
    pgrep.waitForFinished();
    QList<qint64> out{pid};
    for (const QByteArray& child : pgrep.readAllStandardOutput().split('\n'))
        if (!child.isEmpty()) out << Tree(child.toLongLong());
    return out;
}

// A zombie still answers kill(0); its state tells.
bool Running(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

class WebTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;
    QTemporaryDir dir_;
    QString log_ = dir_.filePath(u"helper.log"_s);
    std::optional<QTemporaryDir> tmp_; // each test's TMPDIR, where the helpers keep their scratch folders
    QStringList asked_;                // the calculator's message boxes
    const QString fake_ = QCoreApplication::applicationFilePath();

    // What the fake helper was told.
    QStringList commands() const {
        QFile file(log_);
        return QString(file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray()).split(u'\n');
    }
    bool tmpEmpty() const { return QDir(tmp_->path()).isEmpty(); }
    // Nothing is asked of the engine for a while.
    static bool quiet(const QSignalSpy& starts, int count) {
        QTest::qWait(300);
        return starts.count() == count;
    }
    QString at(const char* path) const { return server_.at(path); }

private Q_SLOTS:
    void initTestCase() {
        setMessageAnswerer([this](QWidget*, const MessageRequest& r) { // information boxes with OK are told
            const bool information = r.icon == QMessageBox::Information && r.buttons == QMessageBox::Ok;
            asked_ << (information && r.title == u"Fairstake" ? r.text : u"another box: "_s + r.text);
            return QMessageBox::Ok;
        });
    }
    void init() {
        server_.requests.clear();
        asked_.clear();
        QFile::remove(log_);
        tmp_.emplace(dir_.filePath(u"tmp-XXXXXX"_s));
        qputenv("TMPDIR", tmp_->path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit()); // else Qt makes $TMPDIR/runtime-<user>
        qputenv("FAIRSTAKE_FAKE_HELPER_LOG", log_.toLocal8Bit());
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    }

    // Operations come in order, each link asking for a report (a helper answering in time is not taken for
    // hung); addresses escaped both ways, a report over the bound dropped.  After a death the next
    // operation starts a helper with the reported address.
    void fakeHelperLifetime() {
        TfrmWWWProxy proxy;
        proxy.setHelperPath(fake_);
        proxy.setAnswerTimeout(1000);
        QStringList reports;
        connect(&proxy, &TfrmWWWProxy::helperReported, [&](const QString& l) { reports << l.left(30); });
        QTest::qWait(100); // nothing runs until the first operation
        QVERIFY(tmpEmpty() && !QFile::exists(log_));
        OpenInBrowserWindow(proxy, u"a\nb\\c\rd é"_s);
        OpenInBrowserWindow(proxy, u"http://127.0.0.1/two"_s);
        proxy.back();
        proxy.forward();
        QTRY_COMPARE(commands(), u"start|restore|address a\\nb\\\\c\\rd é|show|visit|report|restore|address "
                                 u"http://127.0.0.1/two|show|visit|report|back|forward"_s.split(u'|'));
        const QStringList report{"address " + QString(22, u'x'), "address typed\\nby\\\\the user",
                                 "window 0 0 787 521 1 0"};
        QTRY_COMPARE(reports, QStringList{"ready"} + report + report);
        QTest::qWait(1500); // past the answer time
        QVERIFY(proxy.helperRunning() && !tmpEmpty());
        ::kill(pid_t(proxy.helperProcessId()), SIGKILL);
        QTRY_VERIFY(tmpEmpty());
        QFile::remove(log_);
        proxy.show();
        QTRY_COMPARE(commands(), (QStringList{"start", report[1], "show"}));
    }

    // Typing opens nothing, nor does leaving the box; Return, keypad Enter and Visit open the trimmed text
    // if it is http or https; other schemes do nothing (no load, no script).  The box keeps the text.  A
    // local page, should one ever be opened, reads no other local file.
    void typedAddresses() {
        TfrmWWW w;
        w.show();
        const QString two = at("/two");
        // No key: the Visit button.  The page's title; "-": one that cannot load; none: refused.
        const std::tuple<QString, QKeyCombination, const char*> rows[] = {
            {two, Qt::Key_Return, "/two"},
            {"HTTP" + two.mid(4), Qt::KeypadModifier | Qt::Key_Enter, "/two"},
            {"  " + at("/three?a=1%20b") + " ", {}, "/three?a=1%20b"},
            {" FILE:///etc/passwd ", {}, ""},
            {"data:text/html,<title>Data</title>", Qt::Key_Return, ""},
            {"view-source:file:///etc/hostname", Qt::Key_Return, ""},
            {"qrc:/img/visit.png", Qt::Key_Return, ""},
            {"javascript:document.title='Script'", Qt::Key_Return, ""},
            {"https" + two.mid(4), Qt::Key_Return, "-"}};
        for (const auto& [typed, key, title] : rows) {
            const QString before = w.ie->title();
            server_.requests.clear();
            QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
            w.editLeSite->clear();
            QTest::keyClicks(w.editLeSite, typed);
            QTest::keyClick(w.editLeSite, Qt::Key_Tab);
            QVERIFY2(quiet(starts, 0), qPrintable(typed));
            key.key() != Qt::Key_unknown ? QTest::keyClick(w.editLeSite, key.key(), key.keyboardModifiers())
                                         : QTest::mouseClick(w.btnVisit, Qt::LeftButton);
            if (!*title)
                QVERIFY2(quiet(starts, 0) && w.ie->title() == before, qPrintable(typed));
            else if (*title == '-')
                QTRY_COMPARE_WITH_TIMEOUT(w.ie->url(), QUrl(typed.trimmed()), kLoadMs);
            else
                QTRY_VERIFY_WITH_TIMEOUT(w.ie->title() == title && server_.requests == QStringList{title},
                                         kLoadMs);
            QCOMPARE(w.editLeSite->text(), typed);
        }
        w.ie->setHtml(u"<script>var r = new XMLHttpRequest(), title = t => () => document.title = t;"
                      "r.onload = title('read'); r.onerror = title('refused'); try { r.open('GET', "
                      "'file:///etc/hostname'); r.send(); } catch (e) { title('refused')(); }</script>"_s,
                      QUrl(u"file:///tmp/page.html"_s));
        QTRY_VERIFY_WITH_TIMEOUT(w.ie->title() == u"read" || w.ie->title() == u"refused", kLoadMs);
        QCOMPARE(w.ie->title(), u"refused"_s);
    }

    // Fixed size, help contexts, left edge for a screen width.  The helper's commands, in pieces, ended by LF
    // or CR LF (unknown and empty ones ignored), on a minimized window, and its reports.  Back and forward
    // (buttons and commands) do nothing at either end of the history and leave the address box as it was.
    void windowCommands() {
        TfrmWWW w;
        QCOMPARE(w.maximumSize(), w.minimumSize());
        for (auto [c, context] : {std::pair<QWidget*, int>{w.editLeSite, 1600}, {w.ie, 100}, {w.btnVisit, 0}})
            QCOMPARE(c->property("helpContext").toInt(), context);
        for (auto [screen, left] : {std::pair{1025, 112}, {1027, 114}, {799, 0}, {797, -2}, {640, -80}})
            QCOMPARE(TfrmWWW::LeftForScreenWidth(screen), left);
        QCOMPARE(w.x(), TfrmWWW::LeftForScreenWidth(QGuiApplication::primaryScreen()->geometry().width()));
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line; });
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        w.move(37, 21); // every field of the report differs
        w.showMinimized();
        QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton);
        commands.run(u"forward"_s);
        QVERIFY(quiet(starts, 0) && QApplication::topLevelWidgets().size() == windows);
        commands.feed(("restore\r\nno such command\n\naddress " + at("/one") + "\\\\x\nshow\nvis").toUtf8());
        QVERIFY(w.isVisible() && !w.isMinimized());
        QCOMPARE(w.editLeSite->text(), at("/one") + "\\x");
        QVERIFY(w.ie->url().isEmpty()); // "visit" is not complete yet
        commands.run("address " + at("/one"));
        commands.feed("it\r\nreport\n");
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains("loaded 1 " + at("/one")), kLoadMs);
        QCOMPARE(reports.first(), "address " + at("/one") + "\\\\x");
        QVERIFY2(reports.contains(u"window 37 21 787 521 1 0"_s), qPrintable(reports.join(u'|')));
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { w.editLeSite->setText(at("/two")), w.VisitAddress(); }, "/two"},
            {[&] { QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton); }, "/one"},
            {[&] { commands.run(u"forward"_s); }, "/two"},
            {[&] { commands.run(u"back"_s); }, "/one"},
            {[&] { QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton); }, "/two"}};
        for (const auto& [step, page] : steps) {
            step();
            QTRY_COMPARE_WITH_TIMEOUT(reports.last(), "loaded 1 " + at(page), kLoadMs);
        }
        QCOMPARE(w.editLeSite->text(), at("/two"));
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QVERIFY(quiet(starts, 6));
    }

    // The calculator never loads Qt WebEngine.  Killed outright while a page loads, it ends the helper, and
    // WebEngine's processes with it, and the helper removes its scratch folder.  As root, with no sandbox flag anywhere, the helper runs its engine without the
    // sandbox, says so once, and opens the page.
    void killedCalculator() {
        QProcess ldd;
        ldd.start(u"ldd"_s, {QStringLiteral(FAIRSTAKE_PROGRAM)});
        ldd.waitForFinished(20000);
        const QString libs = QString::fromLocal8Bit(ldd.readAllStandardOutput()).toLower();
        QVERIFY2(libs.contains(u"libqt6core") && !libs.contains(u"webengine") && !libs.contains(u"quick"),
                 qPrintable(libs));
        QProcess host;
        host.start(fake_, {u"--proxy-host"_s, QStringLiteral(FAIRSTAKE_WEB_HELPER), at("/loading")});
        QTRY_VERIFY_WITH_TIMEOUT(server_.requests.contains(u"/loading"), kLoadMs);
        const QList<qint64> processes = Tree(host.processId()); // the host, the helper and WebEngine's
        QVERIFY(!tmpEmpty());
        host.kill();
        QVERIFY(host.waitForFinished() && processes.size() > 2);
        QTRY_VERIFY_WITH_TIMEOUT(std::none_of(processes.begin(), processes.end(), Running), 10000);
        QVERIFY(tmpEmpty());
        const QByteArray errors = host.readAllStandardError();
        if (::geteuid() == 0)
            QCOMPARE(errors.count("running as root, so the web pages run without Chromium's sandbox"), 1);
        QVERIFY2(!errors.contains("not supported"), errors.constData());
    }

    // A missing helper is told at its link, a hung one at the next, which opens nothing: one box, no scratch
    // folder left.  The link after starts a helper again; the calculator closes its input (kills it if hung).
    void linkFailures_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "The web browser could not be started: %1 is missing.";
        QTest::newRow("hung") << "The web browser did not answer for 1 seconds and was stopped.";
    }
    void linkFailures() {
        QFETCH(QString, message);
        const bool hung = QTest::currentDataTag() == "hung"sv;
        const QString missing = tmp_->filePath(u"fairstake-web"_s);
        qint64 pid = 0;
        {
            TfrmJeuGagnant calculator(u'.');
            TfrmWWWProxy proxy;
            calculator.setBrowserWindow(&proxy);
            proxy.setHelperPath(hung ? fake_ : missing);
            proxy.setAnswerTimeout(1000);
            calculator.drf->trigger();
            if (hung) {
                QTRY_VERIFY(commands().endsWith(u"report"_s)); // and answered
                ::kill(pid_t(proxy.helperProcessId()), SIGSTOP);
                calculator.homepage->trigger();              // a link like any other, which nothing answers
                QTRY_VERIFY_WITH_TIMEOUT(tmpEmpty(), 10000); // the helper is stopped
                QVERIFY(asked_.isEmpty());
                calculator.paristurf->trigger();
                QVERIFY(tmpEmpty()); // no helper started
            }
            QCOMPARE(asked_, QStringList{message.replace(u"%1"_s, missing) + kAgain});
            QFile::remove(log_);
            proxy.setHelperPath(fake_);
            calculator.racingpost->trigger();
            const QString address = u"address http://" FAIRSTAKE_RACINGPOST_HOST ""_s;
            QTRY_COMPARE(commands().mid(2, 2), (QStringList{"restore", address})); // after the old address
            QCOMPARE(asked_.size(), 1);
            pid = proxy.helperProcessId();
            if (hung) ::kill(pid_t(pid), SIGSTOP);
        }
        QCOMPARE(commands().endsWith(u"eof"_s), !hung);
        QVERIFY(::kill(pid_t(pid), 0) != 0 && tmpEmpty());
    }

    // On a real X server (GPU path on): every item of the Internet menu and the racetracks picture reach
    // their host and path.  The helper killed while the last loads is told at the next link, which opens
    // nothing; the link after opens its page.  Home (with the XDG folders), temporary and current folder
    // stay empty.
    void nothingWritten() {
        if (QGuiApplication::platformName() != u"xcb") QSKIP("on X alone");
        QTemporaryDir home(dir_.filePath(u"home-XXXXXX"_s)), runtime(dir_.filePath(u"runtime-XXXXXX"_s));
        const QStringList folders{tmp_->path(), home.path(), runtime.path()};
        QDir::setCurrent(home.path()); // the last test of its run
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            qunsetenv(name);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=" + at("").toUtf8()); // for every host
        {
            TfrmJeuGagnant calculator(u'.');
            TfrmWWWProxy proxy;
            calculator.setBrowserWindow(&proxy);
            proxy.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER));
            QStringList reports;
            connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& l) { reports << l; });
            QAction picture; // clicks the racetracks picture
            QWidget* racetracks = calculator.findChild<QWidget*>(u"imgracetracks"_s);
            connect(&picture, &QAction::triggered, [&] { QTest::mouseClick(racetracks, Qt::LeftButton); });
            const std::tuple<QAction*, const char*, const char*> links[] = {
                {calculator.homepage, FAIRSTAKE_MAKER_HOST, "/"},
                {calculator.latestversion, FAIRSTAKE_MAKER_HOST, "/latest.php?version=20"},
                {&picture, FAIRSTAKE_MAKER_HOST, "/horse-racing-links.php"},
                {calculator.drf, FAIRSTAKE_DRF_HOST, "/"},
                {calculator.racingpost, FAIRSTAKE_RACINGPOST_HOST, "/"},
                {calculator.paristurf, FAIRSTAKE_PARISTURF_HOST, "/"},
                {calculator.search, FAIRSTAKE_SEARCH_HOST, "/search?q=online+horse+betting"}};
            for (const auto& [action, host, path] : links) {
                server_.requests.clear();
                action->trigger();
                const QString page = QLatin1String(host) + path;
                QTRY_COMPARE_WITH_TIMEOUT(server_.requests, QStringList{page}, kLoadMs);
                if (action != calculator.search) // whose page keeps loading
                    QTRY_VERIFY_WITH_TIMEOUT(reports.contains("loaded 1 http://" + page), kLoadMs);
            }
            ::kill(pid_t(proxy.helperProcessId()), SIGKILL);
            QTRY_VERIFY_WITH_TIMEOUT(tmpEmpty(), 10000); // the helper has ended
            calculator.drf->trigger();
            QVERIFY(tmpEmpty() && asked_.size() == 1); // nothing opened
            QCOMPARE(asked_[0],
                     u"The web browser stopped unexpectedly: it was killed by signal 9."_s + kAgain);
            reports.clear();
            calculator.drf->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(reports.contains(u"loaded 1 http://" FAIRSTAKE_DRF_HOST "/"_s), kLoadMs);
            QVERIFY(asked_.size() == 1 && !tmpEmpty());
        }
        for (const QString& folder : folders) {
            const QStringList written =
                QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            QVERIFY2(written.isEmpty(), qPrintable(folder + u": "_s + written.join(u' ')));
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--profile-folder") == 0) return FakeHelper();
    if (argc == 4 && qstrcmp(argv[1], "--proxy-host") == 0) return ProxyHost(argc, argv);
    // The in-process windows' engine flags go on the test's own command line: the helpers inherit none.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static char flags[][16] = {"--webEngineArgs", "--disable-gpu", "--no-sandbox"};
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.end(), {flags[0], flags[1], flags[2], nullptr});
    int appArgc = int(args.size()) - 1;
    QApplication app(appArgc, args.data());
    QApplication::setQuitOnLastWindowClosed(false);
    WebTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web.moc"
