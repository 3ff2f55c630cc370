#pragma once
// Where the program finds the files it ships with: its help file and its web
// helper.  In the build tree everything sits in one folder beside the program;
// installed, the program is in bin/, the helper in libexec/fairstake/ and the
// help file in share/fairstake/.  The installed places are known only relative
// to the running program's folder, so a package unpacked or moved under another
// prefix still finds its files.

#include <QString>
#include <QStringList>

namespace fairstake::paths {

enum class FileKind { Regular, Executable };

// The first folder of relativeDirs (each relative to programDir; "." is the
// program's own folder) holding fileName of that kind, as a clean absolute path.
// When none holds it: the path in the first folder, which then simply fails to open.
QString FindShippedFile(const QString& programDir, const QString& fileName, const QStringList& relativeDirs,
                        FileKind kind = FileKind::Regular);

// The folders to look in, beside the running program first.  The help file is
// looked for from the calculator (bin/) and from the web helper (libexec/fairstake/),
// which both read it.
QStringList HelpFileDirs();
QStringList WebHelperDirs();

} // namespace fairstake::paths
