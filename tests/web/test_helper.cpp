// The real fairstake-web helper driven through the proxy, as the calculator
// drives it: links in a row, back and forward, the link table followed to the
// loopback server, placement on wide screens, the helper's end with the
// calculator (also when the calculator is killed), and restart after death.

#include "environment.h"
#include "loopbackserver.h"
#include "suites.h"
#include "web/links.h"
#include "web/webproxy.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace fairstake::web;

namespace {

constexpr int kLoadMs = 30000;

bool ProcessAlive(qint64 pid) {
    // A zombie still answers kill(0); its state letter tells.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

QList<qint64> ChildrenOf(qint64 pid) {
    QList<qint64> out;
    QDirIterator tasks(QStringLiteral("/proc/%1/task").arg(pid), QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        QFile children(tasks.next() + QStringLiteral("/children"));
        if (!children.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& p : children.readAll().split(' '))
            if (!p.trimmed().isEmpty()) out << p.trimmed().toLongLong();
    }
    return out;
}

class HelperTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;

    static void useHelper(TfrmWWWProxy& proxy) { proxy.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER)); }
    static QString loaded(const QString& url) { return QStringLiteral("loaded 1 ") + url; }

    // Every host the browser asks for lands on the loopback server, which
    // serves as the browser's proxy (loopback addresses go to it directly).
    void mapAllHosts(Environment& env) {
        env.set("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") +
                                                  QByteArrayLiteral(" --proxy-server=http://127.0.0.1:") +
                                                  QByteArray::number(server_.serverPort()));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }
    void init() { server_.forget(); }

    // Two links in a row: both pages in the history, back returns to the first.
    // Also the first opening's time, for the record.
    void linksInARow() {
        TfrmWWWProxy proxy;
        useHelper(proxy);
        QStringList reports;
        QElapsedTimer clock;
        qint64 readyMs = -1;
        qint64 firstPageMs = -1;
        connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& line) {
            reports << line;
            if (line == QStringLiteral("ready")) readyMs = clock.elapsed();
            if (line.startsWith(QStringLiteral("loaded ")) && firstPageMs < 0) firstPageMs = clock.elapsed();
        });
        const QString one = server_.address(QStringLiteral("/one"));
        const QString two = server_.address(QStringLiteral("/two"));

        clock.start();
        OpenInBrowserWindow(proxy, one);
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(one)), kLoadMs);
        qInfo("first link: helper ready after %lld ms, first page loaded after %lld ms", readyMs,
              firstPageMs);
        OpenInBrowserWindow(proxy, two);
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(two)), kLoadMs);
        QCOMPARE(proxy.address(), two);
        QCOMPARE(server_.paths(), (QStringList{"/one", "/two"}));

        reports.clear();
        proxy.back();
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(one)), kLoadMs);
        reports.clear();
        proxy.forward();
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(two)), kLoadMs);

        reports.clear();
        proxy.requestReport();
        QTRY_VERIFY(!reports.filter(QStringLiteral("window ")).isEmpty());
        const QStringList window = reports.filter(QStringLiteral("window ")).first().split(u' ');
        QCOMPARE(window.mid(3), (QStringList{"787", "521", "1", "0"}));
    }

    // Every link of the table reaches its host with its path, through the browser.
    void linkTableFollowed() {
        Environment env;
        mapAllHosts(env);
        TfrmWWWProxy proxy;
        useHelper(proxy);
        QStringList reports;
        connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& line) { reports << line; });
        const QStringList links{HomePageAddress(),       LatestVersionAddress(QStringLiteral("20")),
                                RacetrackLinksAddress(), DrfAddress(),
                                RacingPostAddress(),     ParisTurfAddress(),
                                SearchAddress()};
        for (const QString& link : links) {
            OpenInBrowserWindow(proxy, link);
            QTRY_VERIFY_WITH_TIMEOUT(!reports.filter(QStringLiteral("loaded 1 ")).isEmpty(), kLoadMs);
            reports.clear();
        }
        QCOMPARE(server_.requests().size(), links.size());
        for (qsizetype i = 0; i < links.size(); ++i) {
            const QUrl link(links.at(i));
            QCOMPARE(server_.requests().at(i).host, link.host());
            const QString path = link.path().isEmpty() ? QStringLiteral("/") : link.path();
            QCOMPARE(server_.requests().at(i).path,
                     path + (link.hasQuery() ? u'?' + link.query() : QString()));
        }
        QCOMPARE(server_.requests().at(1).path, QStringLiteral("/latest.php?version=20"));
    }

    // The window's left edge on screens 1025 and 1027 pixels wide.
    void placementOnWideScreens_data() {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("left");
        QTest::newRow("1025") << 1025 << 112;
        QTest::newRow("1027") << 1027 << 114;
    }
    void placementOnWideScreens() {
        QFETCH(int, screenWidth);
        QFETCH(int, left);
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": %1, "height": 768,
                                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(screenWidth)
                       .toUtf8());
        file.close();
        Environment env;
        env.set("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());

        TfrmWWWProxy proxy;
        useHelper(proxy);
        QStringList reports;
        connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& line) { reports << line; });
        proxy.requestReport();
        QTRY_VERIFY_WITH_TIMEOUT(!reports.filter(QStringLiteral("window ")).isEmpty(), kLoadMs);
        QCOMPARE(reports.filter(QStringLiteral("window ")).first(),
                 QStringLiteral("window %1 0 787 521 0 0").arg(left));
    }

    // The helper dies: the next link starts a new one, which opens the page.
    void restartedAfterDeath() {
        TfrmWWWProxy proxy;
        useHelper(proxy);
        QStringList reports;
        connect(&proxy, &TfrmWWWProxy::helperReported, this, [&](const QString& line) { reports << line; });
        QSignalSpy ended(&proxy, &TfrmWWWProxy::helperEnded);
        OpenInBrowserWindow(proxy, server_.address(QStringLiteral("/one")));
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(server_.address(QStringLiteral("/one")))), kLoadMs);
        const qint64 first = proxy.helperProcessId();
        ::kill(pid_t(first), SIGKILL);
        QTRY_COMPARE(ended.count(), 1);

        reports.clear();
        OpenInBrowserWindow(proxy, server_.address(QStringLiteral("/two")));
        QTRY_VERIFY_WITH_TIMEOUT(reports.contains(loaded(server_.address(QStringLiteral("/two")))), kLoadMs);
        QVERIFY(proxy.helperProcessId() != first);
        QCOMPARE(reports.first(), QStringLiteral("ready"));
    }

    // The calculator closing ends the helper, and WebEngine's processes with it.
    void endsWithCalculator() {
        qint64 helper = 0;
        QList<qint64> children;
        QElapsedTimer clock;
        {
            TfrmWWWProxy proxy;
            useHelper(proxy);
            QStringList reports;
            connect(&proxy, &TfrmWWWProxy::helperReported, this,
                    [&](const QString& line) { reports << line; });
            OpenInBrowserWindow(proxy, server_.address(QStringLiteral("/one")));
            QTRY_VERIFY_WITH_TIMEOUT(!reports.filter(QStringLiteral("loaded 1 ")).isEmpty(), kLoadMs);
            helper = proxy.helperProcessId();
            children = ChildrenOf(helper);
            clock.start();
        }
        qInfo("helper ended %lld ms after the proxy went", clock.elapsed());
        QVERIFY(!ProcessAlive(helper));
        QVERIFY(!children.isEmpty());
        for (qint64 child : children)
            QTRY_VERIFY(!ProcessAlive(child));
    }

    // Killed outright, the calculator leaves no helper behind.
    void endsWithKilledCalculator() {
        QProcess host;
        host.start(QStringLiteral(FAIRSTAKE_PROXY_HOST),
                   {QStringLiteral(FAIRSTAKE_WEB_HELPER), server_.address(QStringLiteral("/one"))});
        QVERIFY(host.waitForStarted());
        QString output;
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += QString::fromUtf8(host.readAllStandardOutput())).contains(QStringLiteral("loaded 1 ")),
            kLoadMs);
        const QString helperLine = output.split(u'\n').filter(QStringLiteral("helper ")).value(0);
        const qint64 helper = helperLine.section(u' ', 1).toLongLong();
        QVERIFY(helper > 0);
        QVERIFY(ProcessAlive(helper));
        const QList<qint64> children = ChildrenOf(helper);

        host.kill();
        QVERIFY(host.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(!ProcessAlive(helper), 10000);
        for (qint64 child : children)
            QTRY_VERIFY_WITH_TIMEOUT(!ProcessAlive(child), 10000);
    }
};

} // namespace

std::unique_ptr<QObject> makeHelperTest() {
    return std::make_unique<HelperTest>();
}

#include "test_helper.moc"
