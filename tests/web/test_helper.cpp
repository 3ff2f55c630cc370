// The real fairstake-web helper driven through the proxy, as the calculator
// drives it: the link table followed to the loopback server, the helper's end
// with the calculator (also when the calculator is killed).

#include "environment.h"
#include "loopbackserver.h"
#include "suites.h"
#include "web/links.h"
#include "web/webproxy.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

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
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray& p : children.readAll().split(' '))
                if (!p.trimmed().isEmpty()) out << p.trimmed().toLongLong();
    }
    return out;
}

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
        return QTest::qWaitFor([&] { return !reports.filter(QStringLiteral("loaded 1 ")).isEmpty(); },
                               kLoadMs);
    }
    bool open(const QString& link) {
        return load([&] { OpenInBrowserWindow(proxy, link); });
    }
};

class HelperTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;

    // Every host the browser asks for lands on the loopback server, which
    // serves as the browser's proxy (loopback addresses go to it directly).
    void mapAllHosts(Environment& env) {
        env.set("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") +
                    " --proxy-server=http://127.0.0.1:" + QByteArray::number(server_.serverPort()));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }
    void init() { server_.forget(); }

    // Every link of the table, plain http, reaches its host with its path through
    // the browser; the version text is appended as it is.
    void linkTableFollowed() {
        Environment env;
        mapAllHosts(env);
        Browser b;
        const std::tuple<QString, const char*, const char*> links[] = {
            {HomePageAddress(), FAIRSTAKE_MAKER_HOST, "/"},
            {LatestVersionAddress(QStringLiteral("020")), FAIRSTAKE_MAKER_HOST, "/latest.php?version=020"},
            {RacetrackLinksAddress(), FAIRSTAKE_MAKER_HOST, "/horse-racing-links.php"},
            {DrfAddress(), FAIRSTAKE_DRF_HOST, "/"},
            {RacingPostAddress(), FAIRSTAKE_RACINGPOST_HOST, "/"},
            {ParisTurfAddress(), FAIRSTAKE_PARISTURF_HOST, "/"},
            {SearchAddress(), FAIRSTAKE_SEARCH_HOST, "/search?q=online+horse+betting"}};
        for (const auto& [link, host, path] : links) {
            server_.forget();
            QVERIFY2(link.startsWith(QStringLiteral("http://")) && b.open(link), qPrintable(link));
            QCOMPARE(server_.requests().size(), 1);
            QCOMPARE(server_.requests().at(0).host + server_.requests().at(0).path,
                     QLatin1String(host) + QLatin1String(path));
        }
    }

    // The calculator ending ends the helper, and WebEngine's processes with it,
    // also when the calculator is killed outright.
    void endsWithCalculator_data() {
        QTest::addColumn<bool>("killed");
        QTest::newRow("closed") << false;
        QTest::newRow("killed") << true;
    }
    void endsWithCalculator() {
        QFETCH(bool, killed);
        qint64 helper = 0;
        QList<qint64> children;
        if (killed) {
            QProcess host;
            host.start(QStringLiteral(FAIRSTAKE_PROXY_HOST),
                       {QStringLiteral(FAIRSTAKE_WEB_HELPER), server_.address(QStringLiteral("/one"))});
            QString output;
            QTRY_VERIFY_WITH_TIMEOUT(
                (output += QString::fromUtf8(host.readAllStandardOutput())).contains("loaded 1 "), kLoadMs);
            helper =
                output.split(u'\n').filter(QStringLiteral("helper ")).value(0).section(u' ', 1).toLongLong();
            children = ChildrenOf(helper);
            host.kill();
            QVERIFY(host.waitForFinished());
        } else {
            Browser b;
            QVERIFY(b.open(server_.address(QStringLiteral("/one"))));
            helper = b.proxy.helperProcessId();
            children = ChildrenOf(helper);
        }
        QVERIFY(helper > 0 && !children.isEmpty());
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
