// How the program and its web helper find the help file and the helper: beside themselves in the build
// tree, along the installed layout otherwise, under whatever prefix the installation was unpacked to.

#include "paths/installedfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace fairstake::paths;

class TestInstallLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Files laid out under a prefix (marked - plain, x executable, d a folder), then where the program (or
    // the helper, from its own folder) finds one.
    void findShippedFile_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("found");
        const QString bin = FAIRSTAKE_TEST_BINDIR, helper = FAIRSTAKE_TEST_HELPERDIR,
                      help = FAIRSTAKE_TEST_DATADIR "/fairstake.hlp", web = helper + "/fairstake-web",
                      deep = "tmp/unpacked/opt/fs/", binHelp = bin + "/fairstake.hlp",
                      binWeb = bin + "/fairstake-web";
        const QStringList installed{"-" + help, "x" + web, "x" + bin + "/fairstake"};
        QTest::newRow("help") << installed << bin << help;
        QTest::newRow("help from the helper") << installed << helper << help;
        QTest::newRow("helper") << installed << bin << web;
        QTest::newRow("deep prefix") << QStringList{"-" + deep + help, "x" + deep + web} << deep + bin
                                     << deep + web;
        QTest::newRow("build tree wins") << installed + QStringList{"-" + binHelp} << bin << binHelp;
        QTest::newRow("build tree helper") << installed + QStringList{"x" + binWeb} << bin << binWeb;
        QTest::newRow("helper not executable") << installed + QStringList{"-" + binWeb} << bin << web;
        QTest::newRow("folder of the name") << installed + QStringList{"d" + binHelp} << bin << help;
        QTest::newRow("missing") << QStringList{} << bin << binWeb;
    }
    void findShippedFile() {
        QFETCH(QStringList, files);
        QFETCH(QString, from);
        QFETCH(QString, found);
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
        const bool helper = name == u"fairstake-web";
        QCOMPARE(FindShippedFile(root.filePath(from), name, helper ? WebHelperDirs() : HelpFileDirs(),
                                 helper ? FileKind::Executable : FileKind::Regular),
                 root.filePath(found));
    }
};

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
