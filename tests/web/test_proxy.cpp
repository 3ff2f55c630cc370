// The calculator's side of the browser window, against a fake helper that
// records what it is told; and the calculator program's own link libraries.

#include "environment.h"
#include "suites.h"
#include "web/webproxy.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using fairstake::web::OpenInBrowserWindow;
using fairstake::web::TfrmWWWProxy;

namespace {

class ProxyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString log_;

    // What the fake helper was told, its "start <pid>" lines as "start".
    QStringList commands() const {
        QFile file(log_);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (QString& line : lines)
            if (line.startsWith(QStringLiteral("start "))) line = QStringLiteral("start");
        return lines;
    }
    static void useFake(TfrmWWWProxy& proxy) { proxy.setHelperPath(QStringLiteral(FAIRSTAKE_FAKE_HELPER)); }

private Q_SLOTS:
    void init() {
        log_ = dir_.filePath(QStringLiteral("helper.log"));
        QFile::remove(log_);
        qputenv("FAIRSTAKE_FAKE_HELPER_LOG", log_.toLocal8Bit());
    }

    // Nothing runs until the first link; the operations then arrive in the order
    // of a link, although they were given before the process had started.
    void lazyStartAndOrder() {
        TfrmWWWProxy proxy;
        QCOMPARE(proxy.helperPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/fairstake-web"));
        useFake(proxy);
        QCOMPARE(proxy.address(), QStringLiteral("http://www."));
        QTest::qWait(50);
        QVERIFY(!proxy.helperRunning() && !QFile::exists(log_));
        QSignalSpy started(&proxy, &TfrmWWWProxy::helperStarted);
        OpenInBrowserWindow(proxy, QStringLiteral("http://127.0.0.1/one"));
        OpenInBrowserWindow(proxy, QStringLiteral("http://127.0.0.1/two"));
        proxy.back();
        proxy.forward();
        // Each link asks for a report, which tells a hung helper from a busy one.
        QTRY_COMPARE(commands(), (QStringList{"start", "restore", "address http://127.0.0.1/one", "show",
                                              "visit", "report", "restore", "address http://127.0.0.1/two",
                                              "show", "visit", "report", "back", "forward"}));
        QCOMPARE(started.count(), 1);
        QVERIFY(proxy.helperProcessId() > 0);
    }

    // An address cannot break the line protocol, and one reported back is read
    // as the helper wrote it.
    void addressesBothWays() {
        TfrmWWWProxy proxy;
        useFake(proxy);
        QSignalSpy reports(&proxy, &TfrmWWWProxy::helperReported);
        proxy.setAddress(QStringLiteral("a\nb\\c\rd é"));
        proxy.visitAddress();
        QTRY_COMPARE(commands(), (QStringList{"start", QStringLiteral("address a\\nb\\\\c\\rd é"), "visit"}));
        proxy.requestReport();
        QTRY_COMPARE(proxy.address(), QStringLiteral("typed\nby\\the user"));
        QCOMPARE(reports.first().first().toString(), QStringLiteral("ready"));
    }

    // A helper that died, or could not start, is started again by the next
    // operation, and its fresh window gets the address the old one held.
    void restartAfterDeath_data() {
        QTest::addColumn<bool>("starts");
        QTest::newRow("killed") << true;
        QTest::newRow("missing") << false;
    }
    void restartAfterDeath() {
        QFETCH(bool, starts);
        TfrmWWWProxy proxy;
        if (starts)
            useFake(proxy);
        else
            proxy.setHelperPath(dir_.filePath(QStringLiteral("no-such-helper")));
        QSignalSpy ended(&proxy, &TfrmWWWProxy::helperEnded);
        proxy.setAddress(QStringLiteral("http://127.0.0.1/one"));
        proxy.visitAddress();
        QTRY_COMPARE(commands().size(), starts ? 3 : 0);
        const qint64 first = proxy.helperProcessId();
        if (starts) ::kill(pid_t(first), SIGKILL);
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(!proxy.helperRunning() && proxy.helperProcessId() == 0);
        // The cause waits for the calculator, which shows it at the next link.
        const QString failure = proxy.takeFailure();
        QVERIFY2(failure.contains(starts ? QStringLiteral("killed by signal 9") : QStringLiteral("is missing")),
                 qPrintable(failure));
        QVERIFY(proxy.takeFailure().isEmpty());
        useFake(proxy);
        proxy.show();
        QTRY_COMPARE(commands().mid(starts ? 3 : 0),
                     (QStringList{"start", "address http://127.0.0.1/one", "show"}));
        QVERIFY(proxy.helperProcessId() != first);
    }

    // The proxy going (the calculator ending) ends the helper's input; a hung
    // helper is killed.  Either way its scratch folder goes with it.
    void helperEndsWithProxy_data() {
        QTest::addColumn<bool>("hung");
        QTest::newRow("answering") << false;
        QTest::newRow("hung") << true;
    }
    void helperEndsWithProxy() {
        QFETCH(bool, hung);
        QTemporaryDir tmp;
        Environment env;
        env.set("TMPDIR", tmp.path().toLocal8Bit());
        qint64 pid = 0;
        {
            TfrmWWWProxy proxy;
            useFake(proxy);
            proxy.restore();
            QTRY_VERIFY(proxy.helperRunning());
            pid = proxy.helperProcessId();
            QTRY_COMPARE(commands(), (QStringList{"start", "restore"}));
            QVERIFY(!QDir(tmp.path()).isEmpty());
            if (hung) ::kill(pid_t(pid), SIGSTOP);
        }
        QCOMPARE(commands(), (QStringList{"start", "restore", "eof"}).mid(0, hung ? 2 : 3));
        QVERIFY(::kill(pid_t(pid), 0) != 0);
        QVERIFY(QDir(tmp.path()).isEmpty());
    }

    // The calculator program and the proxy never load Qt WebEngine.
    void calculatorWithoutWebEngine() {
        for (const char* program : {FAIRSTAKE_PROGRAM, FAIRSTAKE_PROXY_HOST}) {
            QProcess ldd;
            ldd.start(QStringLiteral("ldd"), {QString::fromLocal8Bit(program)});
            QVERIFY(ldd.waitForFinished(20000) && ldd.exitCode() == 0);
            const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
            QVERIFY2(libraries.contains(QStringLiteral("libQt6Core")) &&
                         !libraries.contains(QStringLiteral("WebEngine"), Qt::CaseInsensitive) &&
                         !libraries.contains(QStringLiteral("Quick"), Qt::CaseInsensitive),
                     qPrintable(libraries));
        }
    }
};

} // namespace

std::unique_ptr<QObject> makeProxyTest() {
    return std::make_unique<ProxyTest>();
}

#include "test_proxy.moc"
