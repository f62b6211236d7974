// Folder sizes, quoted paths and the count of running processes by image name.
#include "platformtest.h"
#include "testenv.h"
#include "utilities.h"

#include <QDir>

#include <memory>

namespace {

void writeFile(const QString &path, int size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(QByteArray(size, 'x')), qint64(size));
}

// A running process whose executable is a copy of sleep under the given name.
class NamedProcess
{
public:
    NamedProcess(const QString &folder, const QString &name)
        : path(folder + "/" + name)
    {
        QDir().mkpath(folder);
        copyExecutable("/bin/sleep", path);
        process.start(path, {"600"});
        process.waitForStarted();
    }
    ~NamedProcess()
    {
        process.kill();
        process.waitForFinished();
    }
    bool isRunning() const { return process.state() == QProcess::Running; }

    const QString path;

private:
    QProcess process;
};

} // namespace

class TestFileFacts : public QObject
{
    Q_OBJECT

private slots:
    void dirSize_data();
    void dirSize();
    void quotedPath_data();
    void quotedPath();
    void runningAppCount();
    void runningLauncherCount();
    void runningAppCountOfOtherUsersProcesses();
};

void TestFileFacts::dirSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("expected");
    const QString base = QDir::tempPath() + "/sizes";
    writeFile(base + "/file.bin", 1000);
    QDir().mkpath(base + "/empty");
    writeFile(base + "/tree/a.bin", 100);
    writeFile(base + "/tree/.hidden", 20);
    writeFile(base + "/tree/sub/deeper/b.bin", 3);
    writeFile(base + "/tree/.hidden-folder/c.bin", 4);
    QFile::link(base + "/file.bin", base + "/tree/link-to-file");
    QFile::link(base + "/tree/sub", base + "/tree/link-to-folder");
    QFile::link(base + "/nowhere", base + "/tree/dangling-link");

    QTest::newRow("a file is its size") << base + "/file.bin" << qint64(1000);
    QTest::newRow("missing path") << base + "/missing" << qint64(0);
    QTest::newRow("empty folder") << base + "/empty" << qint64(0);
    QTest::newRow("hidden entries count, links do not") << base + "/tree" << qint64(100 + 20 + 3 + 4);
}

void TestFileFacts::dirSize()
{
    QFETCH(QString, path);
    QFETCH(qint64, expected);
    QCOMPARE(Utilities::getDirSize(path), expected);
}

void TestFileFacts::quotedPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("toNative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("native") << "/opt/Games/CloudGameVela/uninstaller.exe" << true
                            << "\"" + QDir::toNativeSeparators("/opt/Games/CloudGameVela/uninstaller.exe") + "\"";
    QTest::newRow("as given") << "/opt/Games/Cloud Game/CloudGameVela.exe" << false
                              << "\"/opt/Games/Cloud Game/CloudGameVela.exe\"";
    QTest::newRow("inner quotes stay") << "/opt/a\"b" << false << "\"/opt/a\"b\"";
}

void TestFileFacts::quotedPath()
{
    QFETCH(QString, path);
    QFETCH(bool, toNative);
    QFETCH(QString, expected);
    QCOMPARE(Utilities::getQuotedPath(path, toNative), expected);
}

// Other programs on this machine may run the launcher too, so the processes
// here carry a name of this test's own; the rule is the same for any name.
void TestFileFacts::runningAppCount()
{
    const QString name = QString("CloudGameVela-%1.exe").arg(QCoreApplication::applicationPid());
    const QString folder = QDir::tempPath() + "/processes";
    {
        LogCapture log;
        QCOMPARE(Utilities::getRunningAppCount(name), 0);
        QCOMPARE(log.lines(), QStringList{"check single instance 0"});
    }
    std::unique_ptr<NamedProcess> first(new NamedProcess(folder + "/one", name));
    NamedProcess second(folder + "/two", name);
    NamedProcess otherCase(folder + "/three", name.toLower().replace(".exe", ".EXE"));
    NamedProcess longerName(folder + "/four", name + ".bak");
    QVERIFY(first->isRunning() && second.isRunning() && otherCase.isRunning() && longerName.isRunning());

    LogCapture log;
    QCOMPARE(Utilities::getRunningAppCount(name), 3);
    QCOMPARE(log.lines(), QStringList{"check single instance 3"});

    // A launcher replaced while it runs still counts.
    QVERIFY(QFile::remove(second.path));
    QCOMPARE(Utilities::getRunningAppCount(name.toUpper()), 3);

    first.reset();
    QCOMPARE(Utilities::getRunningAppCount(name), 2);
}

// The launcher's own name; launchers started elsewhere can only add to it.
void TestFileFacts::runningLauncherCount()
{
    const QString folder = QDir::tempPath() + "/launchers";
    NamedProcess first(folder + "/one", "CloudGameVela.exe");
    NamedProcess otherCase(folder + "/two", "cloudgamevela.EXE");
    QVERIFY(first.isRunning() && otherCase.isRunning());
    QVERIFY(Utilities::getRunningAppCount("CloudGameVela.exe") >= 2);
}

// An unprivileged user may not read where another user's process comes from;
// the count then goes by the name the process was started with.
void TestFileFacts::runningAppCountOfOtherUsersProcesses()
{
    const QString name = QString("CloudGameVela-%1-root.exe").arg(QCoreApplication::applicationPid());
    const QString folder = QDir::tempPath() + "/processes-root";
    NamedProcess first(folder, name);
    NamedProcess second(folder + "/other", name);
    QVERIFY(first.isRunning() && second.isRunning());
    const QString envRoot = QFileInfo(QDir::tempPath()).absolutePath();
    const QString helperCopy = envRoot + "/platformhelper";
    QVERIFY(copyExecutable(helperPath(), helperCopy));
    openToAll(envRoot, envRoot, false);

    QProcess helper;
    QVERIFY(runAsNobody(helper, helperCopy, {"count", name}, QProcessEnvironment::systemEnvironment()));
    QCOMPARE(QString::fromUtf8(helper.readAllStandardOutput()).trimmed(), QString("2"));
}

INSTALLER_TEST_MAIN(TestFileFacts)
#include "tst_filefacts.moc"
