// How the program and its web helper find the help file and the helper: beside
// themselves in the build tree, along the installed layout otherwise, under
// whatever prefix the installation was unpacked to.

#include "paths/installedfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fairstake::paths;

namespace {

// The install directories the build was configured with, relative to the prefix.
const QString binDir = QStringLiteral(FAIRSTAKE_TEST_BINDIR);
const QString dataDir = QStringLiteral(FAIRSTAKE_TEST_DATADIR);
const QString helperDir = QStringLiteral(FAIRSTAKE_TEST_HELPERDIR);

bool Touch(const QString& path, bool executable = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1) return false;
    file.close();
    const auto perms = QFile::ReadOwner | QFile::WriteOwner;
    return file.setPermissions(executable ? perms | QFile::ExeOwner : perms);
}

} // namespace

class TestInstallLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installedUnderAnyPrefix_data();
    void installedUnderAnyPrefix();
    void buildTreeFolderWinsOverInstalled();
    void helperMustBeExecutable();
    void missingFileGivesThePathBesideTheProgram();
};

void TestInstallLayout::installedUnderAnyPrefix_data() {
    QTest::addColumn<QString>("prefix");
    QTest::newRow("usr") << QStringLiteral("usr");
    QTest::newRow("unpacked deep") << QStringLiteral("tmp/unpacked/opt/fairstake");
}

// A prefix laid out as `cmake --install` lays it out: the calculator and the
// helper both reach share/fairstake/fairstake.hlp, the calculator reaches the helper.
void TestInstallLayout::installedUnderAnyPrefix() {
    QFETCH(QString, prefix);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QDir root(tmp.path() + u'/' + prefix);
    const QString help = root.filePath(dataDir + QStringLiteral("/fairstake.hlp"));
    const QString helper = root.filePath(helperDir + QStringLiteral("/fairstake-web"));
    QVERIFY(Touch(help));
    QVERIFY(Touch(helper, true));
    QVERIFY(Touch(root.filePath(binDir + QStringLiteral("/fairstake")), true));

    const QString programFolder = root.filePath(binDir);
    const QString helperFolder = root.filePath(helperDir);
    QCOMPARE(FindShippedFile(programFolder, QStringLiteral("fairstake.hlp"), HelpFileDirs()), help);
    QCOMPARE(FindShippedFile(helperFolder, QStringLiteral("fairstake.hlp"), HelpFileDirs()), help);
    QCOMPARE(FindShippedFile(programFolder, QStringLiteral("fairstake-web"), WebHelperDirs(),
                             FileKind::Executable),
             helper);
    // The helper is not a command of bin/.
    QVERIFY(!QFile::exists(root.filePath(binDir + QStringLiteral("/fairstake-web"))));
}

// The build tree keeps everything in one folder; a stale installation elsewhere
// under the same parent must not be taken instead of the freshly built files.
void TestInstallLayout::buildTreeFolderWinsOverInstalled() {
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    QVERIFY(Touch(root.filePath(dataDir + QStringLiteral("/fairstake.hlp"))));
    QVERIFY(Touch(root.filePath(helperDir + QStringLiteral("/fairstake-web")), true));
    const QString beside = root.filePath(binDir + QStringLiteral("/fairstake.hlp"));
    const QString besideHelper = root.filePath(binDir + QStringLiteral("/fairstake-web"));
    QVERIFY(Touch(beside));
    QVERIFY(Touch(besideHelper, true));

    QCOMPARE(FindShippedFile(root.filePath(binDir), QStringLiteral("fairstake.hlp"), HelpFileDirs()), beside);
    QCOMPARE(FindShippedFile(root.filePath(binDir), QStringLiteral("fairstake-web"), WebHelperDirs(),
                             FileKind::Executable),
             besideHelper);
}

// A helper that cannot be run (or a folder of the name) is passed over for the next place.
void TestInstallLayout::helperMustBeExecutable() {
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    const QString installed = root.filePath(helperDir + QStringLiteral("/fairstake-web"));
    QVERIFY(Touch(root.filePath(binDir + QStringLiteral("/fairstake-web")), false));
    QVERIFY(Touch(installed, true));
    QCOMPARE(FindShippedFile(root.filePath(binDir), QStringLiteral("fairstake-web"), WebHelperDirs(),
                             FileKind::Executable),
             installed);

    const QString help = root.filePath(dataDir + QStringLiteral("/fairstake.hlp"));
    QVERIFY(root.mkpath(binDir + QStringLiteral("/fairstake.hlp")));
    QVERIFY(Touch(help));
    QCOMPARE(FindShippedFile(root.filePath(binDir), QStringLiteral("fairstake.hlp"), HelpFileDirs()), help);
}

void TestInstallLayout::missingFileGivesThePathBesideTheProgram() {
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("bin"));
    QCOMPARE(FindShippedFile(folder, QStringLiteral("fairstake.hlp"), HelpFileDirs()),
             folder + QStringLiteral("/fairstake.hlp"));
    QCOMPARE(FindShippedFile(folder, QStringLiteral("fairstake-web"), WebHelperDirs(), FileKind::Executable),
             folder + QStringLiteral("/fairstake-web"));
}

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
