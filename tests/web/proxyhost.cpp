// Stands in for both ends of the browser window.  Started as a helper (with its
// scratch folder) it is the fake helper: it appends "start", every line it gets
// and "eof" to $FAIRSTAKE_FAKE_HELPER_LOG, and answers "report" with an escaped
// address report (as when the user has typed one) and a window report; with
// FAIRSTAKE_FAKE_HELPER_FLOOD=N an address report of N characters first.
// Started with a helper and an address it is a calculator that links the proxy
// only: it opens the address and prints "helper <pid>", then the reports.

#include "web/webproxy.h"

#include <QCoreApplication>
#include <QTextStream>
#include <fstream>
#include <iostream>

using fairstake::web::TfrmWWWProxy;

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--profile-folder") {
        std::ofstream log(std::getenv("FAIRSTAKE_FAKE_HELPER_LOG"), std::ios::app);
        const char* flood = std::getenv("FAIRSTAKE_FAKE_HELPER_FLOOD");
        std::cout << "ready" << std::endl;
        for (std::string line = "start"; log << line << std::endl, std::getline(std::cin, line);)
            if (line == "report")
                std::cout << (flood ? "address " + std::string(std::stoul(flood), 'x') + '\n' : "")
                          << "address typed\\nby\\\\the user\nwindow 0 0 787 521 1 0" << std::endl;
        log << "eof" << std::endl;
        return 0;
    }
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
