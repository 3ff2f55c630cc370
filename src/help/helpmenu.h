#pragma once
// The items of the calculator window's Help menu.

class QWidget;

namespace fairstake::help {

// "Program help": the shell's "open" on "fairstake.hlp" in the current folder;
// when the current folder has none (a desktop launcher starts the program in the
// home folder), the application help file beside the program.
void ProgramHelp(QWidget* window);
// "Quick help": the topic "Quickhelp" of the application help file.
void QuickHelp();
// "Contact us": the topic "Contactusifneeded" of the application help file.
void ContactUs();

} // namespace fairstake::help
