// Removal of the folder the installer ran from: a real package folder with
// the real archiver, its payload and what unpacking added.
#include "platformtest.h"
#include "testenv.h"
#include "utilities.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString Archiver = QStringLiteral("/usr/lib/p7zip/7za");

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

bool runArchiver(const QString &folder, const QStringList &arguments)
{
    QProcess archiver;
    archiver.setWorkingDirectory(folder);
    archiver.start(Archiver, arguments);
    return archiver.waitForFinished(120000) && archiver.exitCode() == 0;
}

// installer, 7za.exe and vela.7z, with the payload unpacked beside them as
// the installer leaves it.
void makePackage(const QString &folder, const QString &installer)
{
    const QString payload = QDir::tempPath() + "/payload";
    if (!QFileInfo::exists(payload)) {
        writeFile(payload + "/CloudGameVela.exe", "launcher");
        writeFile(payload + "/uninstaller.exe", "uninstaller");
        writeFile(payload + "/docs/readme.txt", "readme");
        writeFile(payload + "/.settings", "hidden");
    }
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(runArchiver(payload, {"a", "-t7z", "-bd", "-y", folder + "/vela.7z", "."}));
    QVERIFY(copyExecutable(Archiver, folder + "/7za.exe"));
    QVERIFY(copyExecutable(installer, folder + "/installer"));
    QVERIFY(runArchiver(folder, {"x", "-y", "-bd", "vela.7z"}));
}

} // namespace

class TestFolderRemoval : public QObject
{
    Q_OBJECT

private slots:
    void packageFolderGoesAfterTheInstaller_data();
    void packageFolderGoesAfterTheInstaller();
    void folderWithForeignEntriesStays();
    void protectedFolders_data();
    void protectedFolders();
    void missingFolderIsIgnored();
};

void TestFolderRemoval::packageFolderGoesAfterTheInstaller_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain name") << "package";
    QTest::newRow("quotes, spaces and commands") << "pkg \"q\" 'a' $(cd;touch pwned) ;cd;touch pwned2 & x";
}

// The helper plays the installer: it schedules the removal of its own folder
// and ends; the folder goes about two seconds later.
void TestFolderRemoval::packageFolderGoesAfterTheInstaller()
{
    QFETCH(QString, name);
    const QString folder = QDir::tempPath() + "/" + name;
    makePackage(folder, helperPath());

    QProcess installer;
    installer.start(folder + "/installer", {"remove"});
    QVERIFY(installer.waitForFinished(60000));
    const QString log = QString::fromUtf8(installer.readAllStandardError());
    QVERIFY2(log.startsWith("rmOpeningFolder: /bin/sh -c"), qPrintable(log));
    QVERIFY2(log.trimmed().endsWith(folder + " true"), qPrintable(log));

    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 30000);
    QVERIFY(QFileInfo::exists(QDir::tempPath() + "/payload"));
    QCOMPARE(QDir::home().entryList({"pwned*"}), QStringList());
    QCOMPARE(QDir::temp().entryList({"pwned*"}), QStringList());
}

void TestFolderRemoval::folderWithForeignEntriesStays()
{
    const QString folder = QDir::tempPath() + "/Downloads";
    makePackage(folder, helperPath());
    writeFile(folder + "/holiday.jpg", "photo");
    QDir().mkpath(folder + "/.private");

    QProcess installer;
    installer.start(folder + "/installer", {"remove"});
    QVERIFY(installer.waitForFinished(60000));
    const QString log = QString::fromUtf8(installer.readAllStandardError());
    QVERIFY2(log.contains("rmOpeningFolder: kept for entries not from the package"), qPrintable(log));
    QVERIFY2(log.contains("(\".private\", \"holiday.jpg\")"), qPrintable(log));
    QVERIFY2(!log.contains("/bin/sh"), qPrintable(log));

    // Longer than the removal would have waited.
    QTest::qWait(4000);
    QVERIFY(QFileInfo::exists(folder + "/holiday.jpg"));
    QVERIFY(QFileInfo::exists(folder + "/vela.7z"));
}

void TestFolderRemoval::protectedFolders_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("desktop");
    QTest::newRow("root") << "/" << QString();
    QTest::newRow("home folder") << QDir::homePath() << QString();
    QTest::newRow("folder holding the desktop") << QDir::tempPath() + "/holder" << QDir::tempPath() + "/holder/Desktop";
    QTest::newRow("the desktop itself") << QDir::tempPath() + "/holder/Desktop" << QDir::tempPath() + "/holder/Desktop";
}

// Even when they hold nothing but a package, these folders are never removed.
void TestFolderRemoval::protectedFolders()
{
    QFETCH(QString, folder);
    QFETCH(QString, desktop);
    const QString userDirs = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/user-dirs.dirs";
    if (!desktop.isEmpty()) {
        QDir().mkpath(folder);
        writeFile(userDirs, "XDG_DESKTOP_DIR=\"" + desktop.toUtf8() + "\"\n");
        QDir().mkpath(desktop);
    }

    LogCapture log;
    rmOpeningFolder(folder, 3);
    QFile::remove(userDirs);

    QCOMPARE(log.lines().size(), 1);
    QCOMPARE(log.criticalLines().size(), 1);
    QVERIFY2(log.lines().first().contains("rmOpeningFolder: not a package folder"), qPrintable(log.lines().first()));
    QVERIFY(QFileInfo::exists(folder));
}

void TestFolderRemoval::missingFolderIsIgnored()
{
    LogCapture log;
    rmOpeningFolder(QDir::tempPath() + "/never-made", 3);
    QCOMPARE(log.lines(), QStringList());
}

INSTALLER_TEST_MAIN(TestFolderRemoval)
#include "tst_folderremoval.moc"
