#include "testenv.h"

#include "platform/logfile.h"

#include <QDir>
#include <QProcess>

// The real installer executable, started from a package folder of its own,
// as an administrator or a script starts it.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rejectedCommandLines_data();
    void rejectedCommandLines();
    void secondRunStartsAFreshLog();
    void appendsToALogThatIsInUse();
    void doesNotFollowAPlantedLink();
    void duplicateInstanceAppendsToTheFirstInstancesLog();

private:
    int runInstaller(const QStringList &arguments);
    QString logText() const;

    QString packageDir;
    QString logPath;
};

void TestStartup::init()
{
    const TestEnvironment &env = TestEnvironment::current();
    packageDir = env.root() + "/packages/" + QTest::currentTestFunction();
    QDir(packageDir).removeRecursively();
    QVERIFY(QDir().mkpath(packageDir));
    QVERIFY(QFile::copy(INSTALLER_BIN, packageDir + "/installer"));
    logPath = env.logFile();
    QFile::remove(logPath);
}

int TestStartup::runInstaller(const QStringList &arguments)
{
    QProcess process;
    process.setProgram(packageDir + "/installer");
    process.setArguments(arguments);
    process.setWorkingDirectory(packageDir);
    process.start();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1000;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2000;
}

QString TestStartup::logText() const
{
    QFile file(logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TestStartup::rejectedCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("critical");

    QTest::newRow("silent without folder")
            << QStringList{"-u"} << "CommandLine Error: no ui and no target path\r\n";
    QTest::newRow("silent into a missing folder")
            << QStringList{"-u", "-d", "$/missing"}
            << "CommandLine Error: target path not exists or not a dir \"$/missing/\"\r\n";
}

// A rejected silent start ends with -1 after one critical line, before the
// instance guard and the window exist.
void TestStartup::rejectedCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, critical);
    const QString root = TestEnvironment::current().root();
    arguments.replaceInStrings("$", root);

    QCOMPARE(runInstaller(arguments), 255);
    const QString log = logText();
    QVERIFY2(log.contains(critical.replace("$", root)), qPrintable(log));
    QVERIFY2(log.contains("/Installer/installer/install.cpp bool checkArguments("), qPrintable(log));
    QVERIFY(!log.contains("running dir:"));
    QVERIFY2(QFile::exists(packageDir + "/installer"), "the package folder stays");
}

void TestStartup::secondRunStartsAFreshLog()
{
    QCOMPARE(runInstaller({"-u", "-s"}), 255);
    QCOMPARE(runInstaller({"-u", "-r"}), 255);
    const QString log = logText();
    QCOMPARE(log.count("log: \""), 1);
    QVERIFY(log.startsWith('['));
    QVERIFY(log.contains("u true s false r true"));
    QVERIFY(!log.contains("u true s true r false"));
}

void TestStartup::appendsToALogThatIsInUse()
{
    Platform::LogFile running;
    QVERIFY(running.open(logPath.toStdString(), false));
    const char firstLine[] = "[2026/01/01 00:00:00.000]  log: \"first instance\"\r\n";
    QVERIFY(running.write(firstLine, sizeof firstLine - 1));

    QCOMPARE(runInstaller({"-u"}), 255);
    const QString log = logText();
    QVERIFY2(log.startsWith(firstLine), qPrintable(log));
    QVERIFY(log.contains("CommandLine Error: no ui and no target path"));
}

void TestStartup::doesNotFollowAPlantedLink()
{
    const QString victim = TestEnvironment::current().root() + "/victim.conf";
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me\n");
    file.close();
    QVERIFY(QFile::link(victim, logPath));

    QCOMPARE(runInstaller({"-u"}), 255);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me\n"));
    QVERIFY(!QFileInfo(logPath).isSymLink());
    QVERIFY(logText().contains("CommandLine Error: no ui and no target path"));
    QCOMPARE(QFileInfo(logPath).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
             QFile::Permissions());
}

// A second start while the first one runs goes through the whole set-up,
// appends its lines to the first instance's log and ends with 0.
void TestStartup::duplicateInstanceAppendsToTheFirstInstancesLog()
{
    QProcess first;
    first.setProgram(packageDir + "/installer");
    first.setWorkingDirectory(packageDir);
    first.start();
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains("running dir:"), 30000);

    QCOMPARE(runInstaller({"-s"}), 0);
    const QString log = logText();
    QCOMPARE(log.count("log: \""), 2);
    QVERIFY2(log.indexOf("running dir:") < log.indexOf("u false s true"), qPrintable(log));
    QVERIFY2(log.trimmed().endsWith("duplicate instance"), qPrintable(log));

    first.kill();
    first.waitForFinished();
}

INSTALLER_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
