// How the program and its web helper find the help file and the helper: beside
// themselves in the build tree, along the installed layout otherwise, under
// whatever prefix the installation was unpacked to.

#include "paths/installedfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fairstake::paths;

class TestInstallLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Files laid out under a prefix (marked - plain, x executable, d a folder), then
    // where the program (or the helper, from its own folder) looks for one.
    void findShippedFile_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        const QString bin = QStringLiteral(FAIRSTAKE_TEST_BINDIR),
                      data = QStringLiteral(FAIRSTAKE_TEST_DATADIR),
                      helper = QStringLiteral(FAIRSTAKE_TEST_HELPERDIR), help = data + "/fairstake.hlp",
                      web = helper + "/fairstake-web", deep = QStringLiteral("tmp/unpacked/opt/fs/");
        const QStringList installed{"-" + help, "x" + web, "x" + bin + "/fairstake"};
        QTest::newRow("help") << installed << bin << "fairstake.hlp" << help;
        QTest::newRow("help from the helper") << installed << helper << "fairstake.hlp" << help;
        QTest::newRow("helper") << installed << bin << "fairstake-web" << web;
        QTest::newRow("deep prefix") << QStringList{"-" + deep + help, "x" + deep + web} << deep + bin
                                     << "fairstake-web" << deep + web;
        QTest::newRow("build tree wins") << installed + QStringList{"-" + bin + "/fairstake.hlp"} << bin
                                         << "fairstake.hlp" << bin + "/fairstake.hlp";
        QTest::newRow("build tree helper") << installed + QStringList{"x" + bin + "/fairstake-web"} << bin
                                           << "fairstake-web" << bin + "/fairstake-web";
        QTest::newRow("helper not executable")
            << installed + QStringList{"-" + bin + "/fairstake-web"} << bin << "fairstake-web" << web;
        QTest::newRow("folder of the name")
            << installed + QStringList{"d" + bin + "/fairstake.hlp"} << bin << "fairstake.hlp" << help;
        QTest::newRow("missing") << QStringList{} << bin << "fairstake-web" << bin + "/fairstake-web";
    }
    void findShippedFile() {
        QFETCH(QStringList, files);
        QFETCH(QString, from);
        QFETCH(QString, name);
        QFETCH(QString, found);
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        for (QString file : files) {
            const QChar kind = file.front();
            file.remove(0, 1);
            QVERIFY(root.mkpath(kind == u'd' ? file : QFileInfo(file).path()));
            QFile f(root.filePath(file));
            if (kind == u'd') continue;
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                             (kind == u'x' ? QFile::ExeOwner : QFile::Permissions()));
        }
        const bool helper = name == u"fairstake-web";
        QCOMPARE(FindShippedFile(root.filePath(from), name, helper ? WebHelperDirs() : HelpFileDirs(),
                                 helper ? FileKind::Executable : FileKind::Regular),
                 root.filePath(found));
    }
};

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
