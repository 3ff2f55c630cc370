// Stands in for either end of the browser window.  Started as a helper (with a
// scratch folder) it is the fake helper: it logs "start", each line it gets and
// "eof" to $FAIRSTAKE_FAKE_HELPER_LOG, answers "report" with an escaped address
// report, after one of $FAIRSTAKE_FAKE_HELPER_FLOOD characters if set, and a
// window report.  Given a helper and an address it is a calculator linking the
// proxy only: it opens the address, prints "helper <pid>", then the reports.

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
