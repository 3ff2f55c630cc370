// The calculator's side of the browser window, against a fake helper that
// records what it is told; and the calculator program's own link libraries.

#include "environment.h"
#include "suites.h"
#include "web/webproxy.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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
    QString logPath_;

    QStringList logged() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        lines.removeAll(QString());
        return lines;
    }
    // The log without the "start <pid>" lines, which carry a changing number.
    QStringList commands() const {
        QStringList lines = logged();
        for (QString& line : lines)
            if (line.startsWith(QStringLiteral("start "))) line = QStringLiteral("start");
        return lines;
    }
    void useFake(TfrmWWWProxy& proxy) { proxy.setHelperPath(QStringLiteral(FAIRSTAKE_FAKE_HELPER)); }

private Q_SLOTS:
    void init() {
        logPath_ = dir_.filePath(QStringLiteral("helper.log"));
        QFile::remove(logPath_);
        qputenv("FAIRSTAKE_FAKE_HELPER_LOG", logPath_.toLocal8Bit());
    }

    void defaultHelperBesideProgram() {
        TfrmWWWProxy proxy;
        QCOMPARE(proxy.objectName(), QStringLiteral("frmWWW"));
        QCOMPARE(proxy.helperPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/fairstake-web"));
    }

    // Nothing runs until the first link; the window's operations then arrive in
    // the order of a link, although they were given before the process had started.
    void lazyStartAndOrder() {
        TfrmWWWProxy proxy;
        useFake(proxy);
        QCOMPARE(proxy.address(), QStringLiteral("http://www."));
        QTest::qWait(50);
        QVERIFY(!proxy.helperRunning());
        QVERIFY(!QFile::exists(logPath_));

        QSignalSpy started(&proxy, &TfrmWWWProxy::helperStarted);
        OpenInBrowserWindow(proxy, QStringLiteral("http://127.0.0.1/one"));
        QCOMPARE(proxy.address(), QStringLiteral("http://127.0.0.1/one"));
        OpenInBrowserWindow(proxy, QStringLiteral("http://127.0.0.1/two"));
        QTRY_COMPARE(started.count(), 1);
        QVERIFY(proxy.helperRunning());
        QVERIFY(proxy.helperProcessId() > 0);
        const QStringList expected{QStringLiteral("start"),
                                   QStringLiteral("restore"),
                                   QStringLiteral("address http://127.0.0.1/one"),
                                   QStringLiteral("show"),
                                   QStringLiteral("visit"),
                                   QStringLiteral("report"),
                                   QStringLiteral("restore"),
                                   QStringLiteral("address http://127.0.0.1/two"),
                                   QStringLiteral("show"),
                                   QStringLiteral("visit"),
                                   QStringLiteral("report")};
        QTRY_COMPARE(commands(), expected);
        QCOMPARE(started.count(), 1);

        proxy.back();
        proxy.forward();
        QTRY_COMPARE(commands().mid(expected.size()), (QStringList{"back", "forward"}));
    }

    // An address cannot break the line protocol, whatever characters it holds.
    void addressStaysOnItsLine() {
        TfrmWWWProxy proxy;
        useFake(proxy);
        proxy.setAddress(QStringLiteral("a\nb\\c\rd é"));
        proxy.visitAddress();
        QTRY_COMPARE(commands(), (QStringList{"start", QStringLiteral("address a\\nb\\\\c\\rd é"), "visit"}));
    }

    // What the user types in the helper's address box comes back to the proxy.
    void addressReportedBack() {
        TfrmWWWProxy proxy;
        useFake(proxy);
        QSignalSpy reports(&proxy, &TfrmWWWProxy::helperReported);
        proxy.setAddress(QStringLiteral("http://127.0.0.1/one"));
        proxy.requestReport();
        QTRY_COMPARE(proxy.address(), QStringLiteral("typed by the user"));
        QCOMPARE(reports.first().first().toString(), QStringLiteral("ready"));
    }

    // A helper that died is started again by the next operation, and its fresh
    // window gets the address the old one held (as it last reported it).
    void restartAfterDeath() {
        TfrmWWWProxy proxy;
        useFake(proxy);
        QSignalSpy ended(&proxy, &TfrmWWWProxy::helperEnded);
        OpenInBrowserWindow(proxy, QStringLiteral("http://127.0.0.1/one"));
        QTRY_VERIFY(proxy.helperRunning());
        const qint64 first = proxy.helperProcessId();
        QTRY_COMPARE(commands().size(), 6);
        ::kill(pid_t(first), SIGKILL);
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(!proxy.helperRunning());
        QCOMPARE(proxy.helperProcessId(), 0);

        proxy.visitAddress();
        QTRY_VERIFY(proxy.helperRunning());
        QVERIFY(proxy.helperProcessId() != first);
        QTRY_COMPARE(commands().mid(6), (QStringList{"start", "address typed by the user", "visit"}));
    }

    // A helper that cannot be started costs the attempt and leaves its cause,
    // known before the operation returns; once that is taken, a later one works.
    void missingHelperIgnored() {
        TfrmWWWProxy proxy;
        const QString missing = dir_.filePath(QStringLiteral("no-such-helper"));
        proxy.setHelperPath(missing);
        QSignalSpy ended(&proxy, &TfrmWWWProxy::helperEnded);
        proxy.setAddress(QStringLiteral("http://127.0.0.1/one"));
        QCOMPARE(ended.count(), 1);
        proxy.visitAddress();
        QTest::qWait(50);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!proxy.helperRunning());
        QCOMPARE(proxy.address(), QStringLiteral("http://127.0.0.1/one"));
        const QString failure = proxy.takeFailure();
        QVERIFY2(failure.contains(missing + QStringLiteral(" is missing")), qPrintable(failure));
        QVERIFY(proxy.takeFailure().isEmpty());

        useFake(proxy);
        proxy.show();
        QTRY_COMPARE(commands(), (QStringList{"start", "address http://127.0.0.1/one", "show"}));
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
    void calculatorWithoutWebEngine_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("fairstake") << QStringLiteral(FAIRSTAKE_PROGRAM);
        QTest::newRow("proxy host") << QStringLiteral(FAIRSTAKE_PROXY_HOST);
    }
    void calculatorWithoutWebEngine() {
        QFETCH(QString, program);
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {program});
        QVERIFY(ldd.waitForFinished(20000));
        QCOMPARE(ldd.exitCode(), 0);
        const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY2(libraries.contains(QStringLiteral("libQt6Core")), qPrintable(libraries));
        QVERIFY2(!libraries.contains(QStringLiteral("WebEngine"), Qt::CaseInsensitive),
                 qPrintable(libraries));
        QVERIFY2(!libraries.contains(QStringLiteral("Quick"), Qt::CaseInsensitive), qPrintable(libraries));
    }
};

} // namespace

std::unique_ptr<QObject> makeProxyTest() {
    return std::make_unique<ProxyTest>();
}

#include "test_proxy.moc"
