// The browser as a user runs it, on a real X server (a private Xvfb, xcb
// platform, the GPU path on): links, a page loading when the helper is killed,
// another link, the end.  Home, XDG folders, the temporary folder and the
// current folder are empty folders of the test's, and stay empty.

#include "environment.h"
#include "loopbackserver.h"
#include "suites.h"
#include "web/links.h"
#include "web/webproxy.h"

#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace fairstake::web;

namespace {

constexpr int kLoadMs = 30000;

class DesktopTest : public QObject {
    Q_OBJECT

    LoopbackServer server_;

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }

    void nothingWritten() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString root = home.path();
        const QStringList made{"/config", "/cache", "/data", "/state", "/runtime", "/tmp", "/cwd"};
        for (const QString& sub : made)
            QVERIFY(QDir(root).mkpath(root + sub));
        QFile::setPermissions(root + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Environment env;
        env.set("HOME", root.toLocal8Bit());
        for (const auto& [name, sub] : {std::pair{"XDG_CONFIG_HOME", "/config"}, {"XDG_CACHE_HOME", "/cache"},
                                        {"XDG_DATA_HOME", "/data"}, {"XDG_STATE_HOME", "/state"},
                                        {"XDG_RUNTIME_DIR", "/runtime"}, {"TMPDIR", "/tmp"}})
            env.set(name, (root + QString::fromLatin1(sub)).toLocal8Bit());
        for (const char* name : {"QT_QPA_PLATFORM", "QTWEBENGINE_DISABLE_SANDBOX", "QT_DISABLE_SHADER_DISK_CACHE",
                                 "MESA_SHADER_CACHE_DISABLE", "MESA_GLSL_CACHE_DISABLE", "__GL_SHADER_DISK_CACHE"})
            env.unset(name);
        // Every host goes to the loopback server; the newspaper's page keeps loading.
        env.set("QTWEBENGINE_CHROMIUM_FLAGS",
                "--proxy-server=http://127.0.0.1:" + QByteArray::number(server_.serverPort()));
        server_.stall(QUrl(DrfAddress()).host());
        const QString previousDir = QDir::currentPath();
        QDir::setCurrent(root + QStringLiteral("/cwd"));
        const auto back = qScopeGuard([&] { QDir::setCurrent(previousDir); });
        {
            TfrmWWWProxy browser;
            browser.setHelperPath(QStringLiteral(FAIRSTAKE_WEB_HELPER));
            QSignalSpy ended(&browser, &TfrmWWWProxy::helperEnded);
            QStringList reports;
            connect(&browser, &TfrmWWWProxy::helperReported, this, [&](const QString& l) { reports << l; });
            const auto open = [&](const QString& link) {
                reports.clear();
                OpenInBrowserWindow(browser, link);
                return QTest::qWaitFor([&] { return !reports.filter(QStringLiteral("loaded 1 ")).isEmpty(); },
                                       kLoadMs);
            };
            QVERIFY(open(server_.address(QStringLiteral("/cookie"))));
            QVERIFY(open(RacingPostAddress()));
            OpenInBrowserWindow(browser, DrfAddress());
            QTRY_VERIFY_WITH_TIMEOUT(server_.paths().size() == 3, kLoadMs); // loading, and it stays so
            ::kill(pid_t(browser.helperProcessId()), SIGKILL);
            QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
            QVERIFY(QDir(root + QStringLiteral("/tmp")).isEmpty());
            QCOMPARE(browser.takeFailure().isEmpty(), false);
            QVERIFY(open(ParisTurfAddress()));
            QVERIFY(open(server_.address(QStringLiteral("/two"))));
            reports.clear();
            browser.back();
            QTRY_VERIFY_WITH_TIMEOUT(!reports.filter(QStringLiteral("loaded 1 ")).isEmpty(), kLoadMs);
        }
        QStringList written;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(root.size());
            if (!made.contains(path)) written << path;
        }
        QVERIFY2(written.isEmpty(), qPrintable(written.join(u'\n')));
    }
};

} // namespace

std::unique_ptr<QObject> makeDesktopTest() {
    return std::make_unique<DesktopTest>();
}

#include "test_desktop.moc"
