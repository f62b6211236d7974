// End-to-end runs of the install worker: real packages made by
// tools/make-package, the real archiver, and the install runner in the package
// folder as the installer, so the worker finds its source folder as it does in
// a real installation.

#include "enginefixture.h"
#include "registerhelper.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString launcherName = QStringLiteral("CloudGameVela.exe");
const QString linkName = QString::fromUtf8(u8"维拉云端.lnk");
const QString uninstallKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela");

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = seed;
    for (char &byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    return bytes;
}

// What trips a copier up: names with spaces and Chinese characters, deep
// nesting, an empty folder, a folder holding only hidden files, hidden entries,
// an executable bit, and files named like the excluded ones in a subfolder.
void makeRichPayload(const QString &root)
{
    writeFile(root + "/" + launcherName, "#!/bin/sh\necho started\n");
    QFile::setPermissions(root + "/" + launcherName,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                              | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                              | QFile::ExeOther);
    writeFile(root + "/uninstaller.exe", "uninstall");
    writeFile(root + "/docs/read me.txt", "read me\r\n");
    writeFile(root + QString::fromUtf8(u8"/文档/使用 说明.txt"), QByteArray(u8"说明"));
    writeFile(root + "/a/b/c/d/deep.bin", randomBytes(300 * 1024, 7));
    writeFile(root + "/a/empty.txt", QByteArray());
    writeFile(root + "/sub/7za.exe", "not the archiver");
    writeFile(root + "/sub/vela.7z", "not the payload");
    writeFile(root + "/sub/installer", "not the installer");
    writeFile(root + "/.hidden-top", "hidden");
    writeFile(root + "/.hidden-dir/inside.txt", "hidden");
    writeFile(root + "/only hidden/.secret", "hidden");
    QDir().mkpath(root + "/empty folder");
}

// The payload files the worker copies: hidden entries are not listed, and
// folders without a listed file are not created.
QStringList expectedRichFiles()
{
    QStringList files = {launcherName,
                         "uninstaller.exe",
                         "docs/read me.txt",
                         QString::fromUtf8(u8"文档/使用 说明.txt"),
                         "a/b/c/d/deep.bin",
                         "a/empty.txt",
                         "sub/7za.exe",
                         "sub/vela.7z",
                         "sub/installer"};
    files.sort();
    return files;
}

void makeSingleFilePayload(const QString &root, int size)
{
    writeFile(root + "/data.bin", randomBytes(size, quint32(size)));
}

QProcessEnvironment environmentWithPath(const QString &path)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", path);
    return environment;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    // A package of the given payload in a fresh folder; the test fails when it
    // cannot be made.
    bool preparePackage(void (*fill)(const QString &), QTemporaryDir &work);
    void verifyRanToEnd(const InstallRun &run);
    void verifyFailedBeforeCopy(const InstallRun &run, const QString &dest);

    std::unique_ptr<TestEnvironment> environment;
    QString payload;
    QString package;
    QString dest;

private slots:
    void init();
    void fullInstallCopiesThePayloadTree();
    void destinationWithoutTrailingSlash();
    void existingDestinationFileIsReplaced();
    void optionFlags_data();
    void optionFlags();
    void estimatedSize_data();
    void estimatedSize();
    void unpackFailureStopsBeforeCopying_data();
    void unpackFailureStopsBeforeCopying();
    void installerFolderIsRefused_data();
    void installerFolderIsRefused();
    void targetKeepsRepeatedSourceText();
    void folderLinksAreWalkedOnce();
};

// Every run gets its own desktop, menus and registry store.
void TestInstall::init()
{
    environment.reset();
    environment = std::make_unique<TestEnvironment>();
}

bool TestInstall::preparePackage(void (*fill)(const QString &), QTemporaryDir &work)
{
    payload = work.path() + "/payload";
    package = work.path() + "/package";
    dest = work.path() + "/dest/";
    QDir().mkpath(payload);
    fill(payload);
    return makePackage(payload, package);
}

void TestInstall::verifyRanToEnd(const InstallRun &run)
{
    QVERIFY2(run.finished, qPrintable(run.lines.join('\n')));
    QCOMPARE(run.progress, fullProgress());
    QVERIFY(run.hasLog("start install, destination:"));
    QVERIFY(run.hasLog("end install"));
    // The window learns of the end from the worker's destruction, which must
    // follow the last progress value.
    QCOMPARE(run.lines.last(), QString("destroyed "));
    QVERIFY(run.lines.indexOf("progress 1") < run.lines.indexOf("destroyed "));
}

void TestInstall::verifyFailedBeforeCopy(const InstallRun &run, const QString &destination)
{
    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.errors.size(), 1);
    QVERIFY(!run.hasLog("move files begin"));
    QVERIFY(!run.hasLog("app version"));
    QVERIFY(treeFiles(destination).isEmpty());
    QVERIFY(RegisterHelper::readRegValue("InstallLocation", uninstallKey).isEmpty());
}

void TestInstall::fullInstallCopiesThePayloadTree()
{
    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    // Beside the package before unpacking: copied like the payload, except
    // the installer, the archiver and the archive in any letter case.
    writeFile(package + "/preexisting.txt", "was here before");
    writeFile(package + "/7ZA.EXE", "other case");
    writeFile(package + "/Vela.7Z", "other case");
    writeFile(package + "/INSTALLER", "other case");

    const InstallRun run = runInstall(package, dest);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.errors.isEmpty());
    QStringList expected = expectedRichFiles() << "preexisting.txt";
    expected.sort();
    QCOMPARE(treeFiles(dest), expected);
    for (const QString &file : expectedRichFiles())
        QVERIFY2(readFile(dest + file) == readFile(payload + "/" + file), qPrintable(file));
    QVERIFY(QFileInfo(dest + launcherName).isExecutable());
    QVERIFY(!QFileInfo::exists(dest + "empty folder"));
    QVERIFY(!QFileInfo::exists(dest + "only hidden"));
    // Copied, not moved: the source tree is still complete.
    for (const QString &file : expected)
        QVERIFY2(QFileInfo::exists(package + "/" + file), qPrintable(file));
    QVERIFY(!run.hasLog("app version"));
    QVERIFY(!run.hasLog("rm uninstaller.exe"));
    // The missing destination is made first.
    QCOMPARE(run.logLine("make path"), QString("make path true \"%1\"").arg(dest));
}

// The window's path field may lack the trailing "/": the files still go into
// the folder, not beside it.
void TestInstall::destinationWithoutTrailingSlash()
{
    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    dest.chop(1);

    const InstallRun run = runInstall(package, dest);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(treeFiles(dest), expectedRichFiles());
    QCOMPARE(treeFiles(work.path()).filter(QRegularExpression("^dest[^/]")), QStringList());
}

void TestInstall::existingDestinationFileIsReplaced()
{
    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    writeFile(dest + "docs/read me.txt", "an older, longer version of the file");
    writeFile(dest + "keep.txt", "belongs to the user");

    const InstallRun run = runInstall(package, dest);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFile(dest + "docs/read me.txt"), QByteArray("read me\r\n"));
    QCOMPARE(readFile(dest + "keep.txt"), QByteArray("belongs to the user"));
    const QString target = dest + "docs/read me.txt";
    // The destination exists, so only its missing subfolders are made.
    QVERIFY(!run.hasLog("make path true \"" + dest + "\""));
    QVERIFY(run.hasLog("make path true \"" + dest + "sub\""));
    QCOMPARE(run.countLog("remove existing file"), 1);
    QCOMPARE(run.logLine("remove existing file"), QString("remove existing file true \"%1\"").arg(target));
    QCOMPARE(run.logLine("move file true \"" + package + "/docs/read me.txt"),
             QString("move file true \"%1/docs/read me.txt\" \"%2\"").arg(package, target));
}

void TestInstall::optionFlags_data()
{
    QTest::addColumn<bool>("desktop");
    QTest::addColumn<bool>("startMenu");
    QTest::addColumn<bool>("registerProduct");
    QTest::addColumn<bool>("keepUninstaller");

    QTest::newRow("nothing asked") << false << false << false << true;
    QTest::newRow("desktop only") << true << false << false << true;
    QTest::newRow("start menu and quick launch") << false << true << false << true;
    QTest::newRow("registration") << false << false << true << true;
    QTest::newRow("uninstaller removed") << false << false << false << false;
    QTest::newRow("everything") << true << true << true << false;
}

void TestInstall::optionFlags()
{
    QFETCH(bool, desktop);
    QFETCH(bool, startMenu);
    QFETCH(bool, registerProduct);
    QFETCH(bool, keepUninstaller);

    const QString startMenuFolder = environment->dataHome() + "/applications/Programs/";
    const QString quickLaunchFolder =
        environment->dataHome() + "/Microsoft/Internet Explorer/Quick Launch/";
    QDir().mkpath(startMenuFolder);
    QDir().mkpath(quickLaunchFolder);
    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));

    InstallOptions options;
    options.desktopShortcut = desktop;
    options.startMenuShortcuts = startMenu;
    options.registerProduct = registerProduct;
    options.keepUninstaller = keepUninstaller;
    const InstallRun run = runInstall(package, dest, options);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QFileInfo(environment->desktopDir() + "/" + linkName).isSymLink(), desktop);
    QCOMPARE(QFileInfo(startMenuFolder + linkName).isSymLink(), startMenu);
    QCOMPARE(QFileInfo(quickLaunchFolder + linkName).isSymLink(), startMenu);
    QCOMPARE(run.hasLog("app version"), registerProduct);
    QCOMPARE(RegisterHelper::readRegValue("InstallLocation", uninstallKey),
             registerProduct ? dest : QString());
    QCOMPARE(QFileInfo::exists(dest + "uninstaller.exe"), keepUninstaller);
    QCOMPARE(run.logLine("rm uninstaller.exe"),
             keepUninstaller ? QString() : QString("rm uninstaller.exe true"));
}

void TestInstall::estimatedSize_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("sizeKB");

    QTest::newRow("1023 bytes: the fallback estimate") << 1023 << "92160";
    QTest::newRow("1024 bytes") << 1024 << "1";
    QTest::newRow("2047 bytes: rounded down") << 2047 << "1";
}

void TestInstall::estimatedSize()
{
    QFETCH(int, bytes);
    QFETCH(QString, sizeKB);

    QTemporaryDir work;
    payload = work.path() + "/payload";
    package = work.path() + "/package";
    dest = work.path() + "/dest/";
    makeSingleFilePayload(payload, bytes);
    QVERIFY(makePackage(payload, package));
    InstallOptions options;
    options.registerProduct = true;

    const InstallRun run = runInstall(package, dest, options);

    verifyRanToEnd(run);
    QVERIFY2(run.logLine("app version").endsWith("dir size " + sizeKB),
             qPrintable(run.logLine("app version")));
}

void TestInstall::unpackFailureStopsBeforeCopying_data()
{
    QTest::addColumn<QString>("damage");

    QTest::newRow("corrupt archive") << "corrupt";
    QTest::newRow("truncated archive") << "truncated";
    QTest::newRow("password-protected archive") << "password";
    QTest::newRow("missing archive") << "no archive";
    QTest::newRow("missing archiver") << "no archiver";
    QTest::newRow("archiver not executable") << "archiver not executable";
}

// Each of these must end as a reported failure, not as a hang and not with a
// stale or half-extracted tree copied and registered as installed.
void TestInstall::unpackFailureStopsBeforeCopying()
{
    QFETCH(QString, damage);

    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    const QString archive = package + "/vela.7z";
    QByteArray archiveBytes = readFile(archive);
    if (damage == "corrupt") {
        for (int i = 64; i < archiveBytes.size(); i += 97)
            archiveBytes[i] = char(archiveBytes.at(i) ^ 0x5a);
        QVERIFY(writeFile(archive, archiveBytes));
    } else if (damage == "truncated") {
        QVERIFY(writeFile(archive, archiveBytes.left(archiveBytes.size() / 2)));
    } else if (damage == "password") {
        QFile::remove(archive);
        QProcess pack;
        pack.setWorkingDirectory(payload);
        pack.start(package + "/7za.exe", {"a", "-psecret", "-mhe=on", archive, "."});
        QVERIFY(pack.waitForFinished(60000) && pack.exitCode() == 0);
    } else if (damage == "no archive") {
        QVERIFY(QFile::remove(archive));
    } else if (damage == "no archiver") {
        QVERIFY(QFile::remove(package + "/7za.exe"));
    } else {
        QVERIFY(QFile::setPermissions(package + "/7za.exe", QFile::ReadOwner | QFile::WriteOwner));
    }
    // No archiver on PATH either, so a missing one stays missing.
    const QString emptyFolder = work.path() + "/no-programs";
    QDir().mkpath(emptyFolder);
    writeFile(package + "/docs/read me.txt", "stale file of an earlier unpacking");
    InstallOptions options;
    options.registerProduct = true;

    const InstallRun run = runInstall(package, dest, options, environmentWithPath(emptyFolder));

    verifyFailedBeforeCopy(run, dest);
    QCOMPARE(run.errors.first(), QString("Failed to unpack package."));
    QVERIFY(run.hasLog("unpack end"));
}

void TestInstall::installerFolderIsRefused_data()
{
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("workingDir");

    // <package> stands for the package folder, <PACKAGE> for the same name in
    // upper case, <work> for their parent.
    QTest::newRow("the installer's folder") << "<package>/" << "";
    QTest::newRow("without the trailing slash") << "<package>" << "";
    QTest::newRow("in other letter case") << "<PACKAGE>/" << "";
    QTest::newRow("through a link") << "<work>/link to package/" << "";
    QTest::newRow("relative path") << "package/" << "<work>";
    QTest::newRow("relative path without the trailing slash") << "package" << "<work>";
    QTest::newRow("relative dot") << "./" << "<package>";
    QTest::newRow("with dot dot") << "<package>/docs/../" << "";
    QTest::newRow("a folder inside it") << "<package>/installed/" << "";
}

void TestInstall::installerFolderIsRefused()
{
    QFETCH(QString, destination);
    QFETCH(QString, workingDir);

    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    QVERIFY(QFile::link(package, work.path() + "/link to package"));
    const auto expand = [&](QString text) {
        return text.replace("<package>", package)
            .replace("<PACKAGE>", work.path() + "/PACKAGE")
            .replace("<work>", work.path());
    };
    const QString target = expand(destination);
    const QStringList before = treeFiles(package);

    const InstallRun run = runInstall(package, target, {}, QProcessEnvironment::systemEnvironment(),
                                      expand(workingDir));

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.hasLog("start install"));
    QVERIFY(!run.hasLog("unpack begin"));
    QVERIFY(!run.hasLog("remove existing file"));
    QVERIFY(run.log.filter("destination is the installer's own folder").size() == 1);
    QCOMPARE(treeFiles(package), before);
    QVERIFY(readFile(package + "/vela.7z").size() > 0);
}

// A file whose path repeats the source folder's text must keep that text
// below the destination: only the leading source folder is replaced.
void TestInstall::targetKeepsRepeatedSourceText()
{
    QTemporaryDir work;
    package = work.path() + "/package";
    payload = work.path() + "/payload";
    dest = work.path() + "/dest/";
    const QString repeated = "again" + package + "/file.txt";
    QVERIFY(writeFile(payload + "/" + repeated, "nested"));
    QVERIFY(makePackage(payload, package));

    const InstallRun run = runInstall(package, dest);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(treeFiles(dest), QStringList{repeated});
    QCOMPARE(readFile(dest + repeated), QByteArray("nested"));
}

// A link back to the top, a link to a sibling folder and a link out of the
// tree whose target links back: the walk ends, and no folder is walked twice.
void TestInstall::folderLinksAreWalkedOnce()
{
    QTemporaryDir work;
    QVERIFY(preparePackage(makeRichPayload, work));
    const QString outside = work.path() + "/outside";
    QVERIFY(writeFile(outside + "/outside.txt", "outside"));
    QVERIFY(QFile::link(package, outside + "/back to package"));
    QVERIFY(QDir().mkpath(package + "/docs"));
    QVERIFY(QFile::link(package, package + "/docs/loop"));
    QVERIFY(QFile::link(package + "/docs", package + "/docs again"));
    QVERIFY(QFile::link(outside, package + "/outside link"));

    const InstallRun run = runInstall(package, dest);

    verifyRanToEnd(run);
    QCOMPARE(run.exitCode, 0);
    QStringList expected = expectedRichFiles() << "outside link/outside.txt";
    expected.sort();
    QCOMPARE(treeFiles(dest), expected);
    QCOMPARE(run.countLog("move file true"), expected.size());
}

INSTALLER_TEST_MAIN(TestInstall)
#include "tst_install.moc"
