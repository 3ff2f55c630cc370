#include "suites.h"
#include "web/frmwww.h"

#include <QApplication>
#include <QTest>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    // The in-process browser window needs what the helper sets up too.  Its
    // engine flags (no GPU on the offscreen platform; no sandbox as root) go on
    // the test's own command line, so that the helpers it starts inherit none.
    fairstake::web::PrepareWebEngineProcess();
    std::vector<char*> appArgs(argv, argv + argc);
    char engineArgs[] = "--webEngineArgs";
    char noGpu[] = "--disable-gpu";
    char noSandbox[] = "--no-sandbox";
    appArgs.push_back(engineArgs);
    appArgs.push_back(noGpu);
    if (::geteuid() == 0) appArgs.push_back(noSandbox);
    int appArgc = int(appArgs.size());
    appArgs.push_back(nullptr);
    QApplication app(appArgc, appArgs.data());
    QApplication::setQuitOnLastWindowClosed(false);
    using Make = std::unique_ptr<QObject> (*)();
    const std::vector<Make> suites =
        QGuiApplication::platformName() == QStringLiteral("xcb")
            ? std::vector<Make>{makeDesktopTest}
            : std::vector<Make>{makeProxyTest, makeWindowTest, makeHelperTest, makeFailureTest};
    int failures = 0;
    for (Make make : suites) {
        auto suite = make();
        failures += QTest::qExec(suite.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
