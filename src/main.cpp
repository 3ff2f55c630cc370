// The program start sequence: application, calculator window, browser stand-in, event loop.

#include <QApplication>

#include "calculator/frmjeugagnant.h"
#include "components/quitsignals.h"
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
    // At log-out, on a hang-up or Ctrl+C the program ends as its close command
    // ends it; the browser stand-in then ends its helper and removes its folder.
    fairstake::OnQuitSignals(&calculator, [&calculator] { calculator.sessionEnd(); });
    return QApplication::exec();
}
