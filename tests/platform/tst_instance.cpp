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
    QTest::addColumn<int>("expectedExit");

    const QString target = QDir::tempPath() + "/target \"dir\" $(x)";
    QDir().mkpath(target);
    const QStringList silent = {"-u", "-d", target};
    QTest::newRow("silent, elevated copy succeeds") << silent << 0 << true << 0;
    QTest::newRow("silent, elevated copy fails") << silent << 255 << true << 255;
    QTest::newRow("silent, other exit code") << silent + QStringList{"-s", "-r"} << 3 << true << 3;
    QTest::newRow("silent, no pkexec") << silent << 0 << false << 255;
    QTest::newRow("interactive keeps its options") << QStringList{"-s", "-r", "-i"} << 255 << true << 0;
}

// Run as "nobody" with a stand-in pkexec first on PATH that records its
// arguments and ends with a chosen code.
void TestInstance::unprivilegedStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, pkexecExit);
    QFETCH(bool, pkexecOnPath);
    QFETCH(int, expectedExit);
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
    openToAll(script.fileName(), envRoot, false);
    openToAll(installer, envRoot, false);
    openToAll(QFileInfo(record).path(), envRoot, true);
    openToAll(QDir::tempPath(), envRoot, true);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", pkexecOnPath ? stubs + ":/usr/bin:/bin" : envRoot + "/empty");
    environment.insert("PKEXEC_RECORD", record);
    environment.insert("PKEXEC_EXIT", QString::number(pkexecExit));
    environment.insert("DISPLAY", ":77");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("XAUTHORITY");
    QProcess process;
    QVERIFY(runAsNobody(process, installer, arguments, environment));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), expectedExit);
    QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/CloudGameVelaInstaller.log"));
    if (!pkexecOnPath)
        return;

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 30000);
    QCOMPARE(recordedArguments(record),
             QStringList({"/usr/bin/env", "DISPLAY=:77", "/bin/sh", "-c", "exec \"$0\" \"$@\"", installer}) + arguments);
}

INSTALLER_TEST_MAIN(TestInstance)
#include "tst_instance.moc"
