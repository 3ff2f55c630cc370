// The browser window, its helper and the calculator's proxy, against a loopback
// HTTP server and a fake helper; offscreen, but for the desktop run on real X.

#include "calculator/frmjeugagnant.h"
#include "web/frmwww.h"
#include "web/links.h"
#include "web/protocol.h"
#include "web/webproxy.h"
#include "web/windowcommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <algorithm>
#include <csignal>
#include <unistd.h>

using namespace fairstake;
using namespace fairstake::web;
using namespace Qt::StringLiterals;

namespace {

constexpr int kLoadMs = 30000;

// Pages titled with their host and path ("/cookie" keeps a cookie and local storage),
// for every host when it is the proxy; those of the stalled host keep loading.
class LoopbackServer : public QTcpServer {
public:
    QStringList requests; // host and path, in the order they came; favicons left out

    LoopbackServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString at(const char* path) const { return u"http://127.0.0.1:%1%2"_s.arg(serverPort()).arg(path); }
    void serveAll(const QString& stalled = {}) {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=" + at("").toUtf8());
        stalled_ = stalled;
    }

private:
    void answer(QTcpSocket* socket) {
        const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n") || socket->property("stalled").toBool()) return;
        // As a proxy the server gets whole addresses, else only the path.
        const QUrl url(QString::fromLatin1(head.left(head.indexOf("\r\n")).split(' ').value(1)));
        const QString host = url.host().isEmpty() ? u"127.0.0.1"_s : url.host();
        QString path = url.path(QUrl::FullyEncoded);
        if (url.hasQuery()) path += u'?' + url.query(QUrl::FullyEncoded);
        QByteArray status = "404 Not Found", body;
        if (path != u"/favicon.ico") {
            requests.append(host + path);
            if (host == stalled_) return void(socket->setProperty("stalled", true));
            status = path == u"/cookie" ? "200 OK\r\nSet-Cookie: visitor=1; Max-Age=86400; Path=/" : "200 OK";
            body = u"<title>%1</title>"_s.arg((host + path).toHtmlEscaped()).toUtf8();
            if (path == u"/cookie")
                body += "<script>localStorage.setItem('visits', '1'); indexedDB.open('fairstake');</script>";
        }
        socket->write("HTTP/1.1 " + status +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QString stalled_;
};

// The real helper behind a proxy, with the reports it writes.
struct Browser {
    TfrmWWWProxy proxy;
    QStringList reports;
    Browser() {
        proxy.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER));
        QObject::connect(&proxy, &TfrmWWWProxy::helperReported, &proxy,
                         [this](const QString& l) { reports << l; });
    }
    // Runs an operation and waits for the page load it causes.
    bool load(const std::function<void()>& operation) {
        reports.clear();
        operation();
        return QTest::qWaitFor([&] { return !reports.filter(u"loaded 1 "_s).isEmpty(); }, kLoadMs);
    }
    bool open(const QString& link) {
        return load([&] { OpenInBrowserWindow(proxy, link); });
    }
};

// The process and its children.
QList<qint64> Tree(qint64 pid) {
    QProcess pgrep;
    pgrep.start(u"pgrep"_s, {u"-P"_s, QString::number(pid)});
    QList<qint64> out{pid};
    for (const QByteArray& child :
         pgrep.waitForFinished() ? pgrep.readAllStandardOutput().split('\n') : QByteArrayList())
        if (!child.isEmpty()) out << child.toLongLong();
    return out;
}

// Every process ends within 10 s (a zombie still answers kill(0); its state tells).
bool AllEnd(const QList<qint64>& pids) {
    return QTest::qWaitFor(
        [&] {
            return std::none_of(pids.begin(), pids.end(), [](qint64 pid) {
                QFile stat(u"/proc/%1/stat"_s.arg(pid));
                return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
            });
        },
        10000);
}

class WebTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;
    QTemporaryDir dir_;
    QString log_ = dir_.filePath(u"helper.log"_s);
    std::optional<QTemporaryDir> tmp_; // each test's TMPDIR, where the helpers keep their scratch folders
    std::unique_ptr<TfrmWWW> shared_;

    // What the fake helper was told.
    QStringList commands() const {
        QFile file(log_);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
    bool tmpEmpty() const { return QDir(tmp_->path()).isEmpty(); }
    // Nothing is asked of the engine for a while.
    static bool quiet(const QSignalSpy& starts, int count) {
        QTest::qWait(300);
        return starts.count() == count;
    }
    QString at(const char* path) const { return server_.at(path); }

private Q_SLOTS:
    void init() {
        if ((QGuiApplication::platformName() == u"xcb") !=
            (qstrcmp(QTest::currentTestFunction(), "nothingWritten") == 0))
            QSKIP("the desktop run alone on X, the others offscreen");
        server_.requests.clear();
        QFile::remove(log_);
        tmp_.emplace(dir_.filePath(u"tmp-XXXXXX"_s));
        qputenv("TMPDIR", tmp_->path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit()); // else Qt makes $TMPDIR/runtime-<user>
        qputenv("FAIRSTAKE_FAKE_HELPER_LOG", log_.toLocal8Bit());
        for (const char* name : {"QTWEBENGINE_CHROMIUM_FLAGS", "FAIRSTAKE_FAKE_HELPER_FLOOD"})
            qunsetenv(name);
    }
    void cleanupTestCase() { shared_.reset(); }

    // Nothing runs until the first link, then operations come in order, each link
    // asking for a report (which tells a hung helper from a busy one); addresses
    // escaped both ways, a report one byte over the bound dropped.  A killed helper
    // leaves no scratch folder; the next operation starts one with the old address.
    // The proxy going ends the helper's input; a hung helper is killed.
    void fakeHelperLifetime_data() {
        QTest::addColumn<bool>("hung");
        QTest::newRow("answering at the end") << false;
        QTest::newRow("hung at the end") << true;
    }
    void fakeHelperLifetime() {
        QFETCH(bool, hung);
        qputenv("FAIRSTAKE_FAKE_HELPER_FLOOD", QByteArray::number(protocol::LineBuffer::kMaxLine + 1 - 8));
        qint64 pid = 0;
        {
            TfrmWWWProxy proxy;
            QCOMPARE(proxy.helperPath(), QCoreApplication::applicationDirPath() + u"/fairstake-web"_s);
            proxy.setHelperPath(QStringLiteral(FAIRSTAKE_FAKE_HELPER));
            QSignalSpy started(&proxy, &TfrmWWWProxy::helperStarted);
            QSignalSpy ended(&proxy, &TfrmWWWProxy::helperEnded);
            QStringList reports;
            connect(&proxy, &TfrmWWWProxy::helperReported, this,
                    [&](const QString& l) { reports << l.left(30); });
            QTest::qWait(50);
            QVERIFY(!proxy.helperRunning() && !QFile::exists(log_));
            OpenInBrowserWindow(proxy, u"a\nb\\c\rd é"_s);
            OpenInBrowserWindow(proxy, u"http://127.0.0.1/two"_s);
            proxy.back();
            proxy.forward();
            const QStringList first =
                u"start|restore|address a\\nb\\\\c\\rd é|show|visit|report|restore|"
                u"address http://127.0.0.1/two|show|visit|report|back|forward"_s.split(u'|');
            QTRY_COMPARE(commands(), first);
            const QStringList report{"address typed\\nby\\\\the user", "window 0 0 787 521 1 0"};
            QTRY_COMPARE(reports, QStringList{"ready"} + report + report);
            QCOMPARE(proxy.address(), u"typed\nby\\the user"_s);
            QVERIFY(started.count() == 1 && !tmpEmpty());
            ::kill(pid_t(proxy.helperProcessId()), SIGKILL);
            QTRY_COMPARE(ended.count(), 1);
            QVERIFY(!proxy.helperRunning() && tmpEmpty());
            QVERIFY(proxy.takeFailure().contains(u"killed by signal 9"_s) && proxy.takeFailure().isEmpty());
            proxy.show();
            QTRY_COMPARE(commands().mid(first.size()),
                         (QStringList{"start", "address " + report[0].mid(8), "show"}));
            pid = proxy.helperProcessId();
            QVERIFY(started.count() == 2 && !tmpEmpty());
            if (hung) ::kill(pid_t(pid), SIGSTOP);
        }
        QCOMPARE(commands().endsWith(u"eof"_s), !hung);
        QVERIFY(::kill(pid_t(pid), 0) != 0 && tmpEmpty());
    }

    // A command over the bound is dropped whole; one of the bound and those around
    // it are read, unknown and empty ones ignored.
    void longCommandDropped() {
        constexpr qsizetype kMaxLine = protocol::LineBuffer::kMaxLine;
        TfrmWWW w;
        QStringList lines;
        TWindowCommands commands(w, [&](const QString& line) { lines << line.left(20); });
        const QByteArray longest = "address " + QByteArray(kMaxLine - 8, 'b');
        commands.feed("address " + QByteArray(kMaxLine / 2, 'a'));
        commands.feed(QByteArray(kMaxLine / 2, 'a') + "\naddress one\nno such command\n\n" +
                      longest.left(100));
        commands.feed(longest.mid(100) + "\n");
        QCOMPARE(lines, (QStringList{"address one", "address bbbbbbbbbbbb"}));
        QCOMPARE(commands.droppedLines(), 1);
    }

    // The calculator program never loads Qt WebEngine.
    void calculatorWithoutWebEngine() {
        QProcess ldd;
        ldd.start(u"ldd"_s, {QStringLiteral(FAIRSTAKE_PROGRAM)});
        QVERIFY(ldd.waitForFinished(20000) && ldd.exitCode() == 0);
        const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY2(libraries.contains(u"libQt6Core"_s) &&
                     !libraries.contains(u"WebEngine"_s, Qt::CaseInsensitive) &&
                     !libraries.contains(u"Quick"_s, Qt::CaseInsensitive),
                 qPrintable(libraries));
    }

    // Fixed size, each control's help context, and the left edge for a screen width.
    void layout() {
        TfrmWWW w;
        QCOMPARE(w.maximumSize(), w.minimumSize());
        for (auto [c, context] : {std::pair<QWidget*, int>{w.editLeSite, 1600}, {w.ie, 100}, {w.btnVisit, 0}})
            QCOMPARE(c->property("helpContext").toInt(), context);
        for (auto [screen, left] : {std::pair{1025, 112}, {1027, 114}, {799, 0}, {797, -2}, {640, -80}})
            QCOMPARE(TfrmWWW::LeftForScreenWidth(screen), left);
        QCOMPARE(w.x(), TfrmWWW::LeftForScreenWidth(QGuiApplication::primaryScreen()->geometry().width()));
    }

    // Typing opens nothing, nor does leaving the box; Return, keypad Enter and Visit
    // open the trimmed text if it is http or https.  Other schemes change nothing
    // (the page stays, no script runs).  The box keeps the text.
    void typedAddresses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");       // 0: the Visit button
        QTest::addColumn<QString>("title"); // of the page opened; "-": a page that cannot load; none: refused
        const QString two = at("/two");
        QTest::newRow("Return") << two << int(Qt::Key_Return) << "127.0.0.1/two";
        QTest::newRow("keypad Enter, HTTP") << "HTTP" + two.mid(4) << int(Qt::Key_Enter) << "127.0.0.1/two";
        QTest::newRow("Visit, blanks") << "  " + at("/three?a=1%20b") + " " << 0 << "127.0.0.1/three?a=1%20b";
        QTest::newRow("https") << "https" + two.mid(4) << int(Qt::Key_Return) << "-";
        QTest::newRow("FILE, blanks") << " FILE:///etc/passwd " << 0 << "";
        QTest::newRow("data") << "data:text/html,<title>Data</title>" << int(Qt::Key_Return) << "";
        QTest::newRow("view-source") << "view-source:file:///etc/hostname" << int(Qt::Key_Return) << "";
        QTest::newRow("qrc") << "qrc:/img/visit.png" << int(Qt::Key_Return) << "";
        QTest::newRow("javascript") << "javascript:document.title='Script'" << int(Qt::Key_Return) << "";
    }
    void typedAddresses() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, title);
        if (!shared_) shared_ = std::make_unique<TfrmWWW>();
        TfrmWWW& w = *shared_;
        w.show();
        w.editLeSite->setText(at("/one"));
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        w.VisitAddress();
        QTRY_VERIFY_WITH_TIMEOUT(loads.count() == 1 && w.ie->title() == u"127.0.0.1/one", kLoadMs);
        server_.requests.clear();
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        w.editLeSite->clear();
        QTest::keyClicks(w.editLeSite, typed);
        QTest::keyClick(w.editLeSite, Qt::Key_Tab);
        QVERIFY(quiet(starts, 0));
        if (key)
            QTest::keyClick(w.editLeSite, Qt::Key(key),
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        else
            QTest::mouseClick(w.btnVisit, Qt::LeftButton);
        if (title.isEmpty()) {
            QVERIFY(quiet(starts, 0) && server_.requests.isEmpty());
            QVERIFY(w.ie->url() == QUrl(at("/one")) && w.ie->title() == u"127.0.0.1/one");
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(w.ie->url(), QUrl(typed.trimmed()), kLoadMs);
            if (title != u"-") QTRY_COMPARE_WITH_TIMEOUT(server_.requests, QStringList{title}, kLoadMs);
        }
        QCOMPARE(w.editLeSite->text(), typed);
    }

    // A local page, should one ever be opened, reads no other local file.
    void localPageReadsNoFiles() {
        TfrmWWW w;
        w.ie->setHtml(u"<script>var r = new XMLHttpRequest(), title = t => () => document.title = t;"
                      "r.onload = title('read'); r.onerror = title('refused'); try { r.open('GET', "
                      "'file:///etc/hostname'); r.send(); } catch (e) { title('refused')(); }</script>"_s,
                      QUrl(u"file:///tmp/page.html"_s));
        QTRY_VERIFY_WITH_TIMEOUT(w.ie->title() == u"read" || w.ie->title() == u"refused", kLoadMs);
        QCOMPARE(w.ie->title(), u"refused"_s);
    }

    // The helper's commands for a link, in pieces, on a minimized window, and its
    // reports.  Back and forward (buttons and commands) do nothing at either end
    // of the history and leave the address box as it was.
    void windowCommands() {
        TfrmWWW w;
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line; });
        QSignalSpy loads(w.ie, &QWebEngineView::loadFinished);
        QSignalSpy starts(w.ie, &QWebEngineView::loadStarted);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        w.move(37, 21); // every field of the report differs
        w.showMinimized();
        QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton);
        commands.run(u"forward"_s);
        QVERIFY(quiet(starts, 0) && QApplication::topLevelWidgets().size() == windows);
        commands.feed(("restore\naddress " + at("/one") + "\\\\x\nshow\nvis").toUtf8());
        QVERIFY(w.isVisible() && !w.isMinimized());
        QCOMPARE(w.editLeSite->text(), at("/one") + "\\x");
        QVERIFY(w.ie->url().isEmpty()); // "visit" is not complete yet
        commands.run("address " + at("/one"));
        commands.feed("it\nreport\n");
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
            const qsizetype count = loads.count() + 1;
            step();
            QTRY_VERIFY_WITH_TIMEOUT(loads.count() == count && loads.last().first().toBool(), kLoadMs);
            QCOMPARE(w.ie->url().toString(), at(page));
        }
        QCOMPARE(w.editLeSite->text(), at("/two"));
        QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton);
        QVERIFY(quiet(starts, 6));
    }

    // The calculator killed outright ends the helper, and WebEngine's processes
    // with it.  As root, with no sandbox flag anywhere, the helper runs its
    // engine without the sandbox, says so once, and opens the page.
    void endsWithKilledCalculator() {
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"QTWEBENGINE_DISABLE_SANDBOX"_s);
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(FAIRSTAKE_PROXY_HOST), {QStringLiteral(FAIRSTAKE_WEB_HELPER), at("/one")});
        QByteArray out, errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += host.readAllStandardError(), out += host.readAllStandardOutput())
                                     .contains("loaded 1 " + at("/one").toUtf8()),
                                 kLoadMs);
        const qint64 helper = out.mid(out.indexOf("helper ") + 7).split('\n').value(0).toLongLong();
        const QList<qint64> processes = Tree(helper);
        host.kill();
        QVERIFY(host.waitForFinished() && helper > 0 && processes.size() > 1 && AllEnd(processes));
        if (::geteuid() == 0)
            QCOMPARE(errors.count("running as root, so the web pages run without Chromium's sandbox"), 1);
        QVERIFY2(!errors.contains("not supported"), errors.constData());
    }

    // A helper that cannot start is told at its link; one killed while a page
    // loads, or hung, at the next link, which opens nothing: one message box, no
    // scratch folder left.  The link after it opens the page in a new helper,
    // which ends, with WebEngine's processes, when the calculator closes.
    void linkFailures_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "The web browser could not be started: %1 is missing.";
        QTest::newRow("killed") << "The web browser stopped unexpectedly: it was killed by signal 9.";
        QTest::newRow("hung") << "The web browser did not answer for 1 seconds and was stopped.";
    }
    void linkFailures() {
        QFETCH(QString, message);
        const QString cause = QString::fromLatin1(QTest::currentDataTag());
        server_.serveAll(QUrl(DrfAddress()).host());
        std::vector<MessageRequest> asked;
        MessageAnswerer previous = setMessageAnswerer([&](QWidget*, const MessageRequest& r) {
            asked.push_back(r);
            return QMessageBox::Ok;
        });
        const auto restore = qScopeGuard([&] { setMessageAnswerer(std::move(previous)); });
        QList<qint64> processes;
        {
            TfrmJeuGagnant calculator(u'.');
            Browser b;
            calculator.setBrowserWindow(&b.proxy);
            QSignalSpy started(&b.proxy, &TfrmWWWProxy::helperStarted);
            QSignalSpy ended(&b.proxy, &TfrmWWWProxy::helperEnded);
            const QString missing = tmp_->filePath(u"fairstake-web"_s);
            if (cause != u"killed")
                b.proxy.setHelperPath(cause == u"missing" ? missing : QStringLiteral(FAIRSTAKE_FAKE_HELPER));
            b.proxy.setAnswerTimeout(1000);
            calculator.drf->trigger();
            if (cause != u"missing") {
                QTRY_VERIFY_WITH_TIMEOUT(b.reports.contains(u"ready"_s), kLoadMs);
                const auto pid = pid_t(b.proxy.helperProcessId());
                if (cause == u"killed") {
                    QTRY_VERIFY_WITH_TIMEOUT(!server_.requests.isEmpty(), kLoadMs); // the page is loading
                    ::kill(pid, SIGKILL);
                } else {
                    QTRY_VERIFY(b.reports.filter(u"window "_s).size() == 1);
                    ::kill(pid, SIGSTOP);
                    calculator.homepage->trigger(); // a link like any other, which nothing answers
                }
                QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
                QVERIFY2(tmpEmpty(), qPrintable(QDir(tmp_->path()).entryList().join(u' ')));
                QVERIFY(asked.empty());
                calculator.racingpost->trigger();
                QTest::qWait(100);
                QCOMPARE(started.count(), 1);
            }
            QCOMPARE(int(asked.size()), 1);
            const MessageRequest& box = asked.front();
            QCOMPARE(box.text, message.replace(u"%1"_s, missing) + u" The next link tries again."_s);
            QVERIFY(box.title == u"Fairstake" && box.icon == QMessageBox::Information &&
                    box.buttons == QMessageBox::Ok);
            b.proxy.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER));
            QVERIFY(b.load([&] { calculator.racingpost->trigger(); }));
            QVERIFY(b.reports.contains("loaded 1 " + RacingPostAddress() + u'/') && asked.size() == 1);
            QVERIFY(!tmpEmpty()); // the running helper's scratch folder
            processes = Tree(b.proxy.helperProcessId());
        }
        QVERIFY(tmpEmpty() && processes.size() > 1 && AllEnd(processes));
    }

    // On a real X server (GPU path on): every link of the table reaches its host
    // and path; the last keeps loading when the helper is killed; a page keeping
    // a cookie, another, back.  Home (with the XDG folders), temporary and
    // current folder stay empty.
    void nothingWritten() {
        const QString root = tmp_->path(), made[] = {root + "/runtime", root + "/tmp"};
        for (const QString& folder : made)
            QVERIFY(QDir().mkpath(folder) &&
                    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QDir::setCurrent(root); // the last test of its run
        qputenv("HOME", root.toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", made[0].toLocal8Bit());
        qputenv("TMPDIR", made[1].toLocal8Bit());
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "QT_QPA_PLATFORM",
              "QTWEBENGINE_DISABLE_SANDBOX", "QT_DISABLE_SHADER_DISK_CACHE", "MESA_SHADER_CACHE_DISABLE",
              "MESA_GLSL_CACHE_DISABLE", "__GL_SHADER_DISK_CACHE"})
            qunsetenv(name);
        server_.serveAll(QUrl(SearchAddress()).host());
        const std::tuple<QString, const char*, const char*> links[] = {
            {HomePageAddress(), FAIRSTAKE_MAKER_HOST, "/"},
            {LatestVersionAddress(u"020"_s), FAIRSTAKE_MAKER_HOST, "/latest.php?version=020"},
            {RacetrackLinksAddress(), FAIRSTAKE_MAKER_HOST, "/horse-racing-links.php"},
            {DrfAddress(), FAIRSTAKE_DRF_HOST, "/"},
            {RacingPostAddress(), FAIRSTAKE_RACINGPOST_HOST, "/"},
            {ParisTurfAddress(), FAIRSTAKE_PARISTURF_HOST, "/"},
            {SearchAddress(), FAIRSTAKE_SEARCH_HOST, "/search?q=online+horse+betting"}};
        {
            Browser b;
            QSignalSpy ended(&b.proxy, &TfrmWWWProxy::helperEnded);
            for (const auto& [link, host, path] : links) {
                server_.requests.clear();
                if (link == SearchAddress()) // stalled
                    OpenInBrowserWindow(b.proxy, link);
                else
                    QVERIFY2(b.open(link), qPrintable(link));
                QTRY_COMPARE_WITH_TIMEOUT(server_.requests, QStringList{QLatin1String(host) + path}, kLoadMs);
            }
            ::kill(pid_t(b.proxy.helperProcessId()), SIGKILL);
            QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
            QVERIFY(QDir(made[1]).isEmpty() && !b.proxy.takeFailure().isEmpty());
            QVERIFY(b.open(at("/cookie")) && b.open(at("/two")) && b.load([&] { b.proxy.back(); }));
        }
        QStringList written;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            if (const QString path = it.next(); !std::count(std::begin(made), std::end(made), path))
                written << path;
        QVERIFY2(written.isEmpty(), qPrintable(written.join(u'\n')));
    }
};

} // namespace

int main(int argc, char** argv) {
    // The in-process windows need what the helper sets up too; their engine flags go
    // on the test's own command line, so that the helpers it starts inherit none.
    PrepareWebEngineProcess();
    std::vector<char*> args(argv, argv + argc);
    for (const char* flag : {"--webEngineArgs", "--disable-gpu", ::geteuid() == 0 ? "--no-sandbox" : nullptr})
        if (flag) args.push_back(const_cast<char*>(flag));
    int appArgc = int(args.size());
    args.push_back(nullptr);
    QApplication app(appArgc, args.data());
    QApplication::setQuitOnLastWindowClosed(false);
    WebTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web.moc"
