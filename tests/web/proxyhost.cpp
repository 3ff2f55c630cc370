// Stands in for the calculator process in the tests that kill it: a program
// that links the proxy only, opens one link in the browser window and then
// waits.  It prints "helper <pid>" once the helper runs, then every report of
// the helper, one a line.  Arguments: the helper's path and the address.

#include "web/webproxy.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) return 2;
    QTextStream out(stdout);
    fairstake::web::TfrmWWWProxy browser;
    browser.setHelperPath(args.at(1));
    QObject::connect(&browser, &fairstake::web::TfrmWWWProxy::helperStarted, &app,
                     [&] { out << "helper " << browser.helperProcessId() << Qt::endl; });
    QObject::connect(&browser, &fairstake::web::TfrmWWWProxy::helperReported, &app,
                     [&](const QString& line) { out << line << Qt::endl; });
    fairstake::web::OpenInBrowserWindow(browser, args.at(2));
    return app.exec();
}
