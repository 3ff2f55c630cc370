// The program start sequence: application, calculator window, browser stand-in, event loop.

#include <QApplication>

#include "calculator/frmjeugagnant.h"
#include "help/helpviewer.h"
#include "web/webproxy.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fairstake"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.fairstake.Fairstake"));
    fairstake::help::setApplicationHelpFile(fairstake::help::InstalledHelpFile());

    fairstake::TfrmJeuGagnant calculator;
    fairstake::web::TfrmWWWProxy browser;
    calculator.setBrowserWindow(&browser);
    fairstake::InstallApplicationIcon(&calculator);
    calculator.show();
    return QApplication::exec();
}
