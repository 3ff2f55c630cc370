#pragma once
// Our stand-in for the WinHelp viewer: the same entry point and command numbers,
// serving our own help file format (help/helpfile.h).  Full topics open in one
// help window per process (contents page, links, back and forward); context
// pop-ups open as a small frameless window that closes on a click or a key.
// The help file is read on the first request, not at start-up, and read again
// only when it changes on disk.

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

namespace fairstake::help {

enum HelpCommand : unsigned {
    HelpContext = 0x1,       // data: context number; the full topic in the help window
    HelpQuit = 0x2,          // closes the help window and the pop-up
    HelpContents = 0x3,      // the contents page
    HelpContextPopup = 0x8,  // data: context number; the pop-up at the position set last
    HelpFinder = 0xb,        // the contents page (there is no separate finder)
    HelpSetPopupPos = 0xd,   // data: PackPopupPosition(screen point) for the next pop-up
    HelpCommandMacro = 0x102 // data: MacroData(...): "JumpID("file","id")" (also "JI"), "Contents()"
};

// Runs one viewer command; true when the viewer accepted it (help shown, closed or
// the position taken).  A missing or unreadable help file, an unknown topic or an
// unknown command shows nothing and gives false.  window only decides the screen.
bool WinHelp(QWidget* window, const QString& helpFile, unsigned command, quintptr data);

// x in the low 16 bits, y in the high 16 bits, each a signed 16-bit value.
quintptr PackPopupPosition(QPoint screenPoint);
QPoint UnpackPopupPosition(quintptr data);
// The data value of HelpCommandMacro: a pointer to the NUL-terminated UTF-8 macro,
// valid for as long as the array lives unchanged.
inline quintptr MacroData(const QByteArray& macro) {
    return reinterpret_cast<quintptr>(macro.constData());
}

// The application help file (an absolute path, set at start-up).
void setApplicationHelpFile(const QString& file);
QString applicationHelpFile();
// "fairstake.hlp" beside the program (the build tree), else in the installed
// share/fairstake/ (paths/installedfiles.h).
QString InstalledHelpFile();

// The application's help handler.  callHelp comes in true; a handler that has
// served the request (or wants nothing more to happen) clears it.
using HelpHandler = std::function<bool(unsigned command, quintptr data, bool& callHelp)>;
void setApplicationHelpHandler(HelpHandler handler);
HelpHandler applicationHelpHandler();

// The application's help command: the installed handler, then, while callHelp is
// still set, the viewer on the active window's own help file (its dynamic
// property "helpFile") or else the application help file.
bool ApplicationHelpCommand(unsigned command, quintptr data);

// The shell's "open" on a help file name (relative names are looked up in the
// current folder): the viewer's contents page of that file.  A missing file does nothing.
void ShellOpen(QWidget* parent, const QString& fileName);

// What the viewer shows now, for whoever needs to know (the tests among them).
QWidget* helpWindow();     // the help window once created, else nullptr
QString helpWindowTopic(); // the topic ID shown in the visible help window; empty when hidden
QString helpWindowFile();  // the absolute path of the help file it shows
QWidget* popupWindow();    // the visible pop-up, else nullptr
int popupContext();        // the context number of the visible pop-up; 0 when none
QString popupFile();       // the help file of the visible pop-up
QPoint popupAnchor();      // where the visible pop-up was asked for (before keeping it on screen)

} // namespace fairstake::help
