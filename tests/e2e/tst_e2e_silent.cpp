#include "e2esession.h"
#include "registerhelper.h"
#include "testenv.h"
#include "windowtest.h"

// Silent installs from a real package on a real X server: the exit code, the
// installed result, and that no window is ever mapped.
class TestSilentInstall : public QObject, private E2EFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void silentInstall_data();
    void silentInstall();
    void launcherRunning();
    void withoutADisplay();

private:
    // Runs until the end, watching for windows all along; returns the
    // windows seen.
    QStringList runWatched(InstallerRun &run);

};

void TestSilentInstall::init()
{
    const QString error = setUp();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestSilentInstall::cleanup()
{
    tearDown();
}

QStringList TestSilentInstall::runWatched(InstallerRun &run)
{
    QStringList seen;
    while (!run.waitForExit(100))
        seen << run.visibleWindows();
    return seen;
}

void TestSilentInstall::silentInstall_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("shortcuts");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("uninstallerKept");
    QTest::newRow("defaults") << QStringList() << 3 << true << true;
    QTest::newRow("-s: no shortcuts") << QStringList({"-s"}) << 0 << true << true;
    QTest::newRow("-r: not registered") << QStringList({"-r"}) << 3 << false << true;
    QTest::newRow("-i: uninstaller removed") << QStringList({"-i"}) << 3 << true << false;
}

void TestSilentInstall::silentInstall()
{
    QFETCH(QStringList, options);
    QFETCH(int, shortcuts);
    QFETCH(bool, registered);
    QFETCH(bool, uninstallerKept);

    // The command-line folder itself receives the files; no product folder.
    const QString target = environment->root() + "/silent target";
    QVERIFY(QDir().mkpath(target));
    InstallerRun run(*display, packageDir(), QStringList({"-u", "-d", target}) + options);
    QCOMPARE(runWatched(run), QStringList());
    QCOMPARE(run.exitCode(), 0);

    QVERIFY(QFileInfo(target + "/CloudGameVela.exe").isExecutable());
    QVERIFY(QFileInfo::exists(target + "/docs/使用说明/读我.txt"));
    QVERIFY(!QFileInfo::exists(target + "/CloudGameVela"));
    QCOMPARE(QFileInfo::exists(target + "/uninstaller.exe"), uninstallerKept);
    QCOMPARE(findShortcuts(*environment).size(), shortcuts);
    QCOMPARE(!RegisterHelper::getRegisteredInstallLocation().isEmpty(), registered);
    QVERIFY(readLog(*environment).contains("installed without UI"));
}

void TestSilentInstall::launcherRunning()
{
    const QString fake = environment->root() + "/running/CloudGameVela.exe";
    QDir().mkpath(QFileInfo(fake).absolutePath());
    QVERIFY(QFile::copy("/bin/sleep", fake));
    QProcess launcher;
    launcher.start(fake, {"600"});
    QVERIFY(launcher.waitForStarted());

    const QString target = environment->root() + "/target";
    QVERIFY(QDir().mkpath(target));
    InstallerRun run(*display, packageDir(), {"-u", "-d", target});
    QCOMPARE(runWatched(run), QStringList());
    launcher.kill();
    launcher.waitForFinished();
    QCOMPARE(run.exitCode(), 255);
    QVERIFY(!QFileInfo::exists(target + "/CloudGameVela.exe"));
    QVERIFY(readLog(*environment).contains("is running, instance count"));
}

// A server or a provisioning script has no display; a silent install must not
// need one.
void TestSilentInstall::withoutADisplay()
{
    const QString target = environment->root() + "/headless";
    QVERIFY(QDir().mkpath(target));
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(variable);
    QProcess run;
    run.setProcessEnvironment(headless);
    run.start(packageDir() + "/installer", {"-u", "-d", target});
    QVERIFY(run.waitForFinished(120000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(QFileInfo(target + "/CloudGameVela.exe").isExecutable());
    QVERIFY(readLog(*environment).contains("installed without UI"));
}

INSTALLER_TEST_MAIN(TestSilentInstall)
#include "tst_e2e_silent.moc"
