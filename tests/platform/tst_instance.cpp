// The single-instance lock between real processes, and the start without
// administrator rights, which hands over to an elevated copy through pkexec.
#include "platformtest.h"
#include "testenv.h"

#include <QDir>

#include <signal.h>

namespace {

const QString LockName = QStringLiteral("VelaIninstallMutex");

// A helper process that holds (or fails to take) the instance lock.
class LockHolder
{
public:
    explicit LockHolder(const QStringList &extra = {})
    {
        process.start(helperPath(), QStringList{"lock", LockName} + extra);
        process.waitForStarted();
    }
    ~LockHolder()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            process.kill();
        process.waitForFinished();
    }
    // The next line the helper prints.
    QString nextLine()
    {
        while (!process.canReadLine() && process.waitForReadyRead(30000)) {
        }
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    void send(const QByteArray &line) { process.write(line + "\n"); }

    QProcess process;
};

QStringList recordedArguments(const QString &record)
{
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList arguments;
    const QList<QByteArray> parts = file.readAll().split('\0');
    for (const QByteArray &part : parts.mid(0, parts.size() - 1))
        arguments << QString::fromLocal8Bit(part);
    return arguments;
}

} // namespace

class TestInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondInstanceFindsTheLock();
    void lockIsFreeAfterRelease();
    void lockEndsWithAKilledHolder();
    void unprivilegedStart_data();
    void unprivilegedStart();
};

void TestInstance::secondInstanceFindsTheLock()
{
    LockHolder first;
    QCOMPARE(first.nextLine(), QString("acquired"));
    LockHolder second;
    QCOMPARE(second.nextLine(), QString("duplicate"));
    QVERIFY(QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/VelaIninstallMutex.lock"));
}

void TestInstance::lockIsFreeAfterRelease()
{
    LockHolder first;
    QCOMPARE(first.nextLine(), QString("acquired"));
    first.send("release");
    QCOMPARE(first.nextLine(), QString("released"));
    LockHolder second;
    QCOMPARE(second.nextLine(), QString("acquired"));
}

// The holder's own children (the archiver, the launcher) must not keep the
// lock once the holder has gone, however it ended.
void TestInstance::lockEndsWithAKilledHolder()
{
    qint64 child = 0;
    {
        LockHolder first({"child"});
        const QString childLine = first.nextLine();
        QVERIFY2(childLine.startsWith("child "), qPrintable(childLine));
        child = childLine.section(' ', 1).toLongLong();
        QCOMPARE(first.nextLine(), QString("acquired"));
        first.process.kill();
        QVERIFY(first.process.waitForFinished(30000));
    }
    QVERIFY(child > 0 && ::kill(pid_t(child), 0) == 0);
    LockHolder second;
    const QString answer = second.nextLine();
    ::kill(pid_t(child), SIGKILL);
    QCOMPARE(answer, QString("acquired"));
}

void TestInstance::unprivilegedStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("pkexecExit");
    QTest::addColumn<bool>("pkexecOnPath");
    QTest::addColumn<QStringList>("display");
    QTest::addColumn<int>("expectedExit");
    QTest::addColumn<QStringList>("forwarded");

    const QString target = QDir::tempPath() + "/target \"dir\" $(x)";
    QDir().mkpath(target);
    const QStringList silent = {"-u", "-d", target};
    const QStringList x11 = {"DISPLAY=:77", "XAUTHORITY=/run/user/1000/xauth"};
    QTest::newRow("silent, elevated copy succeeds") << silent << 0 << true << x11 << 0 << x11;
    QTest::newRow("silent, elevated copy fails") << silent << 255 << true << x11 << 255 << x11;
    QTest::newRow("silent, other exit code") << silent + QStringList{"-s", "-r"} << 3 << true << x11 << 3 << x11;
    QTest::newRow("silent, no pkexec") << silent << 0 << false << x11 << 255 << QStringList();
    QTest::newRow("interactive keeps its options") << QStringList{"-s", "-r", "-i"} << 255 << true << x11 << 0 << x11;
    QTest::newRow("default X authority")
        << QStringList() << 0 << true << QStringList{"DISPLAY=:0"} << 0
        << QStringList{"DISPLAY=:0", "XAUTHORITY=" + QDir::homePath() + "/.Xauthority"};
    QTest::newRow("wayland socket in the runtime folder")
        << QStringList() << 0 << true << QStringList{"WAYLAND_DISPLAY=wayland-1", "XDG_RUNTIME_DIR=/run/user/1000"}
        << 0 << QStringList{"WAYLAND_DISPLAY=/run/user/1000/wayland-1"};
    QTest::newRow("no display") << QStringList() << 0 << true << QStringList() << 0 << QStringList();
}

// Run as "nobody" with a stand-in pkexec first on PATH that records its
// arguments and ends with a chosen code. Whether a start is silent is decided
// by the installer's own command-line parser.
void TestInstance::unprivilegedStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, pkexecExit);
    QFETCH(bool, pkexecOnPath);
    QFETCH(QStringList, display);
    QFETCH(int, expectedExit);
    QFETCH(QStringList, forwarded);
    const QString envRoot = QFileInfo(QDir::tempPath()).absolutePath();
    const QString installer = envRoot + "/package/installer";
    const QString stubs = envRoot + "/stubs";
    const QString record = envRoot + "/record/pkexec-arguments";
    QDir().mkpath(QFileInfo(installer).path());
    QDir().mkpath(stubs);
    QDir().mkpath(QFileInfo(record).path());
    QFile::remove(record);
    QVERIFY(copyExecutable(INSTALLER_BIN, installer));
    QFile script(stubs + "/pkexec");
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$PKEXEC_RECORD.part\"\n"
                 "mv \"$PKEXEC_RECORD.part\" \"$PKEXEC_RECORD\"\nexit \"$PKEXEC_EXIT\"\n");
    script.close();
    QFile authority(QDir::homePath() + "/.Xauthority");
    QVERIFY(authority.open(QIODevice::WriteOnly));
    authority.close();
    openToAll(script.fileName(), envRoot, false);
    openToAll(installer, envRoot, false);
    openToAll(authority.fileName(), envRoot, false);
    openToAll(QFileInfo(record).path(), envRoot, true);
    openToAll(QDir::tempPath(), envRoot, true);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"})
        environment.remove(name);
    for (const QString &assignment : display)
        environment.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    environment.insert("PATH", pkexecOnPath ? stubs + ":/usr/bin:/bin" : envRoot + "/empty");
    environment.insert("PKEXEC_RECORD", record);
    environment.insert("PKEXEC_EXIT", QString::number(pkexecExit));
    QProcess process;
    QVERIFY(runAsNobody(process, installer, arguments, environment));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), expectedExit);
    QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/CloudGameVelaInstaller.log"));
    if (!pkexecOnPath)
        return;

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 30000);
    const QStringList shell = {"/bin/sh", "-c", "exec \"$0\" \"$@\"", installer};
    QCOMPARE(recordedArguments(record), QStringList("/usr/bin/env") + forwarded + shell + arguments);
}

INSTALLER_TEST_MAIN(TestInstance)
#include "tst_instance.moc"
