// The browser window, its helper and the calculator's proxy, offscreen, with a fake helper and local server.

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

using namespace fairstake;
using namespace fairstake::web;
using namespace Qt::StringLiterals;

namespace {

constexpr int kLoadMs = 30000;
constexpr qsizetype kMaxLine = protocol::LineBuffer::kMaxLine;

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

struct LoopbackServer : QTcpServer {
    LoopbackServer() {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [socket] {
                    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
                    socket->setProperty("head", head);
                    if (head.startsWith('\x16')) return socket->abort(); // a TLS handshake: refused at once
                    if (!head.endsWith("\r\n\r\n")) return;
                    socket->write("HTTP/1.0 200 OK\r\n\r\n<title>Page</title>");
                    socket->disconnectFromHost();
                });
        });
    }
};

class WebTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;
    QTemporaryDir dir_;
    QString log_ = dir_.filePath(u"helper.log"_s);
    std::optional<QTemporaryDir> tmp_; // each test's TMPDIR, where the helpers keep their scratch folders
    QStringList asked_;                // the calculator's message boxes
    const QString fake_ = QCoreApplication::applicationFilePath();

    QStringList commands() const {
        QFile file(log_);
        return QString(file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray()).split(u'\n');
    }
    bool tmpEmpty() const { return QDir(tmp_->path()).isEmpty(); }
    static bool quiet(const QSignalSpy& starts, int count) {
        QTest::qWait(300);
        return starts.count() == count;
    }
    QString at(const char* path) const { return u"http://127.0.0.1:%1%2"_s.arg(server_.serverPort()).arg(path); }

private Q_SLOTS:
    void initTestCase() {
        setMessageAnswerer([this](QWidget*, const MessageRequest& r) {
            asked_ << r.text;
            return QMessageBox::Ok;
        });
    }
    void init() {
        asked_.clear();
        QFile::remove(log_);
        tmp_.emplace(dir_.filePath(u"tmp-XXXXXX"_s));
        qputenv("TMPDIR", tmp_->path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit()); // else Qt makes $TMPDIR/runtime-<user>
        qputenv("FAIRSTAKE_FAKE_HELPER_LOG", log_.toLocal8Bit());
    }

    // Operations in order, each link asking for a report (answered in time: not hung); addresses escaped both
    // ways, a report over the bound dropped.  After a death the next starts a helper at the reported address.
    void fakeHelperLifetime() {
        TfrmWWWProxy proxy;
        proxy.setHelperPath(fake_);
        proxy.setAnswerTimeout(1000);
        QStringList reports;
        connect(&proxy, &TfrmWWWProxy::helperReported, [&](const QString& l) { reports << l.left(30); });
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

    // Return, keypad Enter and Visit (no key) open the trimmed text, each time a new address (https: one that
    // cannot load), if it is http or https; other schemes do nothing (no load, no script).  The box keeps it.
    void typedAddresses() {
        TfrmWWW w;
        w.show();
        const std::tuple<QString, QKeyCombination, bool> rows[] = {
            {at("/two"), Qt::Key_Return, true},
            {"  " + at("/three?a=1%20b") + " ", {}, true},
            {"HTTP" + at("/two").mid(4), Qt::KeypadModifier | Qt::Key_Enter, true},
            {" FILE:///etc/passwd ", {}, false},
            {"javascript:document.title='Script'", Qt::Key_Return, false},
            {"data:text/html,<title>Data</title>", Qt::Key_Return, false}, {"view-source:" + at("/two"), {}, false},
            {"https" + at("/two").mid(4), Qt::Key_Return, true}};
        for (const auto& [typed, key, opens] : rows) {
            const QString before = w.ie->title();
            QSignalSpy starts(w.ie, &QWebEngineView::loadStarted), ends(w.ie, &QWebEngineView::loadFinished);
            w.editLeSite->clear();
            QTest::keyClicks(w.editLeSite, typed);
            key.key() != Qt::Key_unknown ? QTest::keyClick(w.editLeSite, key.key(), key.keyboardModifiers())
                                         : QTest::mouseClick(w.btnVisit, Qt::LeftButton);
            if (opens)
                // Loaded to its end (or failed), so that its title is not taken for the next row's doing.
                QTRY_VERIFY_WITH_TIMEOUT(w.ie->url() == QUrl(typed.trimmed()) && !ends.isEmpty(), kLoadMs);
            else
                QVERIFY2(quiet(starts, 0) && w.ie->title() == before, qPrintable(typed));
            QCOMPARE(w.editLeSite->text(), typed);
        }
        // A page from a file reads no other file.
        w.ie->setHtml(u"<script>var r = new XMLHttpRequest(), title = t => () => document.title = t;"
                      "r.onload = title('read'); r.onerror = title('refused'); try { r.open('GET', "
                      "'file:///etc/hostname'); r.send(); } catch (e) { title('refused')(); }</script>"_s,
                      QUrl(u"file:///tmp/page.html"_s));
        QTRY_VERIFY_WITH_TIMEOUT(w.ie->title() == u"read" || w.ie->title() == u"refused", kLoadMs);
        QCOMPARE(w.ie->title(), u"refused"_s);
    }

    // The helper's commands, in pieces, ended by LF or CR LF (unknown and empty ones ignored), on a minimized
    // window, and its reports.  History by buttons and commands, none changing the box.
    void windowCommands() {
        TfrmWWW w;
        QStringList reports;
        TWindowCommands commands(w, [&](const QString& line) { reports << line; });
        w.move(37, 21); // every field of the report differs
        w.showMinimized();
        commands.feed(("restore\r\nno such command\n\naddress " + at("/one") + "\\\\x\nshow\nvis").toUtf8());
        QVERIFY(w.isVisible() && !w.isMinimized());
        QCOMPARE(w.editLeSite->text(), at("/one") + "\\x");
        commands.run("address " + at("/one"));
        commands.feed("it\r\nreport\n");
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains("loaded 1 " + at("/one")), kLoadMs);
        QCOMPARE(reports.first(), "address " + at("/one") + "\\\\x");
        QVERIFY2(reports.contains(u"window 37 21 787 521 1 0"_s), qPrintable(reports.join(u'|')));
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { w.editLeSite->setText(at("/two")), w.VisitAddress(); }, "/two"},
            {[&] { QTest::mouseClick(w.btnGaucheWeb1, Qt::LeftButton); }, "/one"},
            {[&] { QTest::mouseClick(w.btnDroiteWeb1, Qt::LeftButton); }, "/two"},
            {[&] { commands.run(u"back"_s); }, "/one"}};
        for (const auto& [step, page] : steps) {
            step();
            QTRY_COMPARE_WITH_TIMEOUT(reports.last(), "loaded 1 " + at(page), kLoadMs);
        }
        QCOMPARE(w.editLeSite->text(), at("/two"));
    }

    // A missing helper is told at its link, a hung or killed one at the next, which opens nothing: one box,
    // no scratch left.  Later links start a helper, each with its address; the calculator closes its input.
    void linkFailures_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "The web browser could not be started: %1 is missing.";
        QTest::newRow("hung") << "The web browser did not answer for 1 seconds and was stopped.";
        QTest::newRow("killed") << "The web browser stopped unexpectedly: it was killed by signal 9.";
    }
    void linkFailures() {
        QFETCH(QString, message);
        const std::string_view tag = QTest::currentDataTag();
        const bool hung = tag == "hung", missing = tag == "missing";
        const QString absent = tmp_->filePath(u"fairstake-web"_s);
        qint64 pid = 0;
        {
            TfrmJeuGagnant calculator(u'.');
            TfrmWWWProxy proxy;
            calculator.setBrowserWindow(&proxy);
            proxy.setHelperPath(missing ? absent : fake_);
            proxy.setAnswerTimeout(1000);
            calculator.drf->trigger();
            if (!missing) {
                QTRY_VERIFY(commands().endsWith(u"report"_s)); // and answered
                ::kill(pid_t(proxy.helperProcessId()), hung ? SIGSTOP : SIGKILL);
                if (hung) calculator.homepage->trigger();    // a link like any other, which nothing answers
                QTRY_VERIFY_WITH_TIMEOUT(tmpEmpty(), 10000); // the helper is gone
                QVERIFY(asked_.isEmpty());
                calculator.paristurf->trigger();
            }
            QCOMPARE(asked_, QStringList{message.replace(u"%1"_s, absent) + " The next link tries again."});
            QFile::remove(log_);
            proxy.setHelperPath(fake_);
            // No action: the racetracks picture, clicked.
            const std::pair<QAction*, const char*> links[] = {
                {calculator.homepage, FAIRSTAKE_MAKER_HOST},
                {calculator.latestversion, FAIRSTAKE_MAKER_HOST "/latest.php?version=20"},
                {nullptr, FAIRSTAKE_MAKER_HOST "/horse-racing-links.php"},
                {calculator.drf, FAIRSTAKE_DRF_HOST},
                {calculator.racingpost, FAIRSTAKE_RACINGPOST_HOST},
                {calculator.paristurf, FAIRSTAKE_PARISTURF_HOST},
                {calculator.search, FAIRSTAKE_SEARCH_HOST "/search?q=online+horse+betting"}};
            for (const auto& [action, page] : links) {
                action
                    ? action->trigger()
                    : QTest::mouseClick(calculator.findChild<QWidget*>(u"imgracetracks"_s), Qt::LeftButton);
                QTRY_COMPARE(commands().filter(u"address http"_s).join(u'|').section(u'|', -1),
                             u"address http://"_s + page);
            }
            QCOMPARE(asked_.size(), 1);
            pid = proxy.helperProcessId();
            if (hung) ::kill(pid_t(pid), SIGSTOP);
        }
        QCOMPARE(commands().endsWith(u"eof"_s), !hung);
        QVERIFY(::kill(pid_t(pid), 0) != 0 && tmpEmpty());
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--profile-folder") == 0) return FakeHelper();
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
