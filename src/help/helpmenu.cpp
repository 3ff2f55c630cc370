#include "help/helpmenu.h"

#include "help/helpviewer.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>

namespace fairstake::help {

namespace {

const QString helpFileName = QStringLiteral("fairstake.hlp");

// A topic jump goes straight to the viewer, not through the application's help handler.
void JumpToTopic(const char* topicId) {
    const QByteArray macro = QByteArrayLiteral("JumpID(\"\",\"") + topicId + QByteArrayLiteral("\")");
    WinHelp(QApplication::activeWindow(), applicationHelpFile(), HelpCommandMacro, MacroData(macro));
}

} // namespace

void ProgramHelp(QWidget* window) {
    if (QFileInfo(QDir::current(), helpFileName).isFile())
        ShellOpen(window, helpFileName);
    else
        ShellOpen(window, applicationHelpFile());
}

void QuickHelp() {
    JumpToTopic("Quickhelp");
}

void ContactUs() {
    JumpToTopic("Contactusifneeded");
}

} // namespace fairstake::help
