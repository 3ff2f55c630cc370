// Stands in for the calculator in the tests that kill it: links the proxy only,
// opens one link in the browser window and waits, printing "helper <pid>" once
// the helper runs, then the helper's reports.  Arguments: helper, address.

#include "web/webproxy.h"

#include <QCoreApplication>
#include <QTextStream>

using fairstake::web::TfrmWWWProxy;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    QTextStream out(stdout);
    TfrmWWWProxy browser;
    browser.setHelperPath(app.arguments().at(1));
    QObject::connect(&browser, &TfrmWWWProxy::helperStarted, &app,
                     [&] { out << "helper " << browser.helperProcessId() << Qt::endl; });
    QObject::connect(&browser, &TfrmWWWProxy::helperReported, &app,
                     [&](const QString& l) { out << l << Qt::endl; });
    fairstake::web::OpenInBrowserWindow(browser, app.arguments().at(2));
    return app.exec();
}
