#include "suites.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    // The in-process browser window needs what the helper sets up too.
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    int failures = 0;
    for (auto make : {makeProxyTest, makeWindowTest, makeHelperTest}) {
        auto suite = make();
        failures += QTest::qExec(suite.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
