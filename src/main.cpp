// The program start sequence: application, calculator window, browser stand-in, event loop.

#include <QApplication>

#include "calculator/frmjeugagnant.h"
#include "help/helpviewer.h"
#include "web/webproxy.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fairstake"));
    QApplication::setApplicationDisplayName(QStringLiteral("Fairstake"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/fairstake.png").arg(size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.fairstake.Fairstake"));
    fairstake::help::setApplicationHelpFile(fairstake::help::InstalledHelpFile());

    fairstake::TfrmJeuGagnant calculator;
    fairstake::web::TfrmWWWProxy browser;
    calculator.setBrowserWindow(&browser);
    calculator.show();
    return QApplication::exec();
}
