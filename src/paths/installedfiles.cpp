#include "paths/installedfiles.h"

#include <QDir>
#include <QFileInfo>

namespace fairstake::paths {

QString FindShippedFile(const QString& programDir, const QString& fileName, const QStringList& relativeDirs,
                        FileKind kind) {
    const QDir base(programDir);
    QString first;
    for (const QString& dir : relativeDirs) {
        const QString path = QDir::cleanPath(base.absoluteFilePath(dir + u'/' + fileName));
        if (first.isEmpty()) first = path;
        const QFileInfo info(path);
        if (info.isFile() && (kind == FileKind::Regular || info.isExecutable())) return path;
    }
    return first;
}

// The relative folders come from the build (src/paths/CMakeLists.txt), computed
// from the install directories; an empty one means the same folder.
namespace {
QString Dir(const char* relative) {
    const QString dir = QString::fromUtf8(relative);
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}
} // namespace

QStringList HelpFileDirs() {
    return {QStringLiteral("."), Dir(FAIRSTAKE_BINDIR_TO_DATADIR), Dir(FAIRSTAKE_HELPERDIR_TO_DATADIR)};
}

QStringList WebHelperDirs() {
    return {QStringLiteral("."), Dir(FAIRSTAKE_BINDIR_TO_HELPERDIR)};
}

} // namespace fairstake::paths
