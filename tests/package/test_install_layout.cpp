// How the program and its web helper find the help file and the helper: beside themselves in the build
// tree, along the installed layout otherwise, under whatever prefix the installation was unpacked to.

#include "paths/installedfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

using namespace fairstake::paths;

class TestInstallLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Files laid out under a prefix (marked - plain, x executable, d a folder), then where the program (or
    // the helper, from its own folder) finds one.
    void findShippedFile() {
        const QString bin = FAIRSTAKE_TEST_BINDIR, helper = FAIRSTAKE_TEST_HELPERDIR,
                      help = FAIRSTAKE_TEST_DATADIR "/fairstake.hlp", web = helper + "/fairstake-web",
                      deep = "tmp/unpacked/opt/fs/", binHelp = bin + "/fairstake.hlp",
                      binWeb = bin + "/fairstake-web";
        const QStringList installed{"-" + help, "x" + web, "x" + bin + "/fairstake"};
        const std::tuple<const char*, QStringList, QString, QString> rows[] = {
            {"help", installed, bin, help},
            {"help from the helper", installed, helper, help},
            {"helper", installed, bin, web},
            {"deep prefix", {"-" + deep + help, "x" + deep + web}, deep + bin, deep + web},
            {"build tree wins", installed + QStringList{"-" + binHelp}, bin, binHelp},
            {"build tree helper", installed + QStringList{"x" + binWeb}, bin, binWeb},
            {"helper not executable", installed + QStringList{"-" + binWeb}, bin, web},
            {"folder of the name", installed + QStringList{"d" + binHelp}, bin, help},
            {"missing", {}, bin, binWeb}};
        for (const auto& [row, files, from, found] : rows) {
            QTemporaryDir tmp;
            const QDir root(tmp.path());
            for (const QString& entry : files) {
                const QString file = entry.mid(1);
                QVERIFY(root.mkpath(entry[0] == u'd' ? file : QFileInfo(file).path()));
                QFile f(root.filePath(file));
                if (entry[0] != u'd')
                    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1 &&
                            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                             (entry[0] == u'x' ? QFile::ExeOwner : QFile::Permissions())));
            }
            const QString name = found.section(u'/', -1);
            const bool isHelper = name == u"fairstake-web";
            const QString got =
                FindShippedFile(root.filePath(from), name, isHelper ? WebHelperDirs() : HelpFileDirs(),
                                isHelper ? FileKind::Executable : FileKind::Regular);
            QVERIFY2(got == root.filePath(found), qPrintable(QString(row) + ": " + got));
        }
    }
};

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
