#include "e2esession.h"
#include "registerhelper.h"
#include "testenv.h"
#include "windowtest.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>

// The installer as a person uses it: a real package, a real X server, real
// pointer clicks on the installer's windows, and the installed result.
class TestInteractiveInstall : public QObject, private E2EFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void installAndFinish();
    void startTheLauncher();
    void quitFromTheStartPage();
    void launcherRunning();
    void shortcutBoxes_data();
    void shortcutBoxes();
    void alreadyInstalled();
    void insufficientSpace();
    void brokenPackage();

private:
    QString installDir() const { return environment->programsDir() + "/CloudGameVela/"; }
    // Waits until rect of window looks as in reference; false on timeout.
    bool waitForLook(const QString &window, const QImage &reference, const QRect &rect, bool alike = true);
    // The main window once its start page shows; empty when it does not.
    QString shownStartPage(const InstallerRun &run);
    // Waits for the "start" or "finished" page.
    bool waitForPage(const QString &window, const QString &page);
    bool waitForClosed(const InstallerRun &run, const QString &window);
    bool waitForLog(const QString &text);
    // Clicks the message box's button and checks that the box goes away.
    // kind is the box's key in the layout: box-quit, box-running or box-okay.
    void answerBox(const InstallerRun &run, const QString &box, const QString &kind, const char *button,
                   const QString &screenshot = {});
    void checkInstalled(const QString &folder);

    std::unique_ptr<Layout> layout;
};

void TestInteractiveInstall::initTestCase()
{
    XDisplay display;
    QVERIFY2(display.isUp(), "Xvfb did not start");
    layout.reset(new Layout(display, BINARY_DIR "/e2e-probe"));
    QVERIFY(layout->isValid());
}

void TestInteractiveInstall::init()
{
    const QString error = setUp();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestInteractiveInstall::cleanup()
{
    tearDown();
}

bool TestInteractiveInstall::waitForLook(const QString &window, const QImage &reference, const QRect &rect,
                                         bool alike)
{
    QElapsedTimer waited;
    waited.start();
    QImage shown;
    while (waited.elapsed() < 60000) {
        shown = display->grab(window);
        if (looksAlike(shown, reference, rect) == alike)
            return true;
        QThread::msleep(100);
    }
    // Left for whoever reads the failure.
    saveScreenshot(shown, "mismatch-shown");
    saveScreenshot(reference, "mismatch-expected");
    return false;
}

bool TestInteractiveInstall::waitForPage(const QString &window, const QString &page)
{
    const QString control = page == "finished" ? "finished/pushButton_done" : "main/pushButton_install";
    return waitForLook(window, layout->look(page), layout->rect(control));
}

QString TestInteractiveInstall::shownStartPage(const InstallerRun &run)
{
    const QString window = run.waitForWindow(mainWindowSize);
    if (window.isEmpty() || !waitForPage(window, "start"))
        return {};
    return window;
}

bool TestInteractiveInstall::waitForClosed(const InstallerRun &run, const QString &window)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        if (!run.visibleWindows().contains(window))
            return true;
        QThread::msleep(100);
    }
    return false;
}

bool TestInteractiveInstall::waitForLog(const QString &text)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        if (readLog(*environment).contains(text))
            return true;
        QThread::msleep(100);
    }
    for (const QString &line : readLog(*environment).split('\n'))
        qWarning().noquote() << line;
    return false;
}

void TestInteractiveInstall::answerBox(const InstallerRun &run, const QString &box, const QString &kind,
                                       const char *button, const QString &screenshot)
{
    QVERIFY2(!box.isEmpty(), "no message box");
    if (!screenshot.isEmpty()) {
        QThread::msleep(300); // let the compositor show the new window
        saveScreenshot(display->grab(run.waitForWindow(mainWindowSize)), screenshot);
    }
    display->click(box, layout->centre(kind + "/" + button));
    QVERIFY(waitForClosed(run, box));
}

void TestInteractiveInstall::checkInstalled(const QString &folder)
{
    const QString payload = SOURCE_DIR "/demo/payload/";
    QDirIterator files(payload, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = source.mid(payload.size());
        QFile original(source);
        QFile installed(folder + relative);
        QVERIFY2(installed.open(QIODevice::ReadOnly), qPrintable(relative));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QVERIFY2(installed.readAll() == original.readAll(), qPrintable(relative));
        ++count;
    }
    QVERIFY(count > 5);
}

void TestInteractiveInstall::installAndFinish()
{
    const QString gate = environment->root() + "/gate";
    QVERIFY(gateArchiver(packageDir(), gate));
    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));
    saveScreenshot(display->grab(window), "start");

    // Unticking the agreement shows the disabled install button.
    display->click(window, layout->centre("main/checkBox_agreements"));
    QVERIFY(waitForLook(window, layout->look("start"), layout->rect("main/pushButton_install"), false));
    saveScreenshot(display->grab(window), "start-agreement-unticked");
    display->click(window, layout->centre("main/checkBox_agreements"));
    QVERIFY(waitForPage(window, "start"));

    display->click(window, layout->centre("main/label_agreements"));
    const QString agreements = run.waitForWindow(agreementsSize);
    QVERIFY(!agreements.isEmpty());
    QThread::msleep(300);
    saveScreenshot(display->grab(window), "agreements");
    display->click(agreements, layout->centre("agreements/pushButton"));
    QVERIFY(waitForClosed(run, agreements));

    display->click(window, layout->centre("main/pushButton_install"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + ".reached"), 60000);
    QVERIFY(waitForLook(window, layout->look("start"), layout->rect("main/pushButton_install"), false));
    QThread::msleep(1000); // the bar glides to its first value
    saveScreenshot(display->grab(window), "progress");

    // A close request from outside must not end the installer mid-install.
    display->run(WMCLOSE, {window});
    QVERIFY(waitForLog("trying to close wnd while installing"));
    QVERIFY(run.isRunning());
    QVERIFY(run.visibleWindows().contains(window));

    QFile::remove(gate);
    QVERIFY(waitForPage(window, "finished"));
    saveScreenshot(display->grab(window), "finished");
    display->click(window, layout->centre("finished/pushButton_done"));
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);

    checkInstalled(installDir());
    QCOMPARE(RegisterHelper::getRegisteredInstallLocation(), installDir());
    const QStringList links = findShortcuts(*environment);
    QCOMPARE(links.size(), 3);
    QVERIFY(links.contains(environment->desktopDir() + "/维拉云端.lnk"));
    const QString log = readLog(*environment);
    for (const char *line : {"start install, destination:", "unpack end", "move files end", "end install"})
        QVERIFY2(log.contains(line), line);
    // The installer's folder is removed about two seconds after the end.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(packageDir()), 60000);
}

void TestInteractiveInstall::startTheLauncher()
{
    const QString marker = environment->root() + "/launched";
    InstallerRun run(*display, packageDir(), {}, {"VELA_DEMO_MARKER=" + marker});
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));
    display->click(window, layout->centre("main/pushButton_install"));
    QVERIFY(waitForPage(window, "finished"));
    display->click(window, layout->centre("finished/pushButton_start"));
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 60000);
    QFile started(marker);
    QVERIFY(started.open(QIODevice::ReadOnly));
    QVERIFY(started.readAll().contains(QDir(installDir()).canonicalPath().toLocal8Bit()));
    QVERIFY(readLog(*environment).contains("installed, run launcher true"));
}

void TestInteractiveInstall::quitFromTheStartPage()
{
    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));

    display->click(window, layout->centre("main/pushButton_close"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-quit", "pushButton_cancel", "box-quit");
    QVERIFY(run.isRunning());

    display->click(window, layout->centre("main/pushButton_close"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-quit", "pushButton_ok");
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(installDir()));
    QVERIFY(RegisterHelper::getRegisteredInstallLocation().isEmpty());
}

void TestInteractiveInstall::launcherRunning()
{
    // A process whose executable is named like the launcher.
    const QString fake = environment->root() + "/running/CloudGameVela.exe";
    QDir().mkpath(QFileInfo(fake).absolutePath());
    QVERIFY(QFile::copy("/bin/sleep", fake));
    QProcess launcher;
    launcher.start(fake, {"600"});
    QVERIFY(launcher.waitForStarted());

    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));

    display->click(window, layout->centre("main/pushButton_install"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-running", "pushButton_cancel", "box-running");
    QVERIFY(waitForPage(window, "start"));

    display->click(window, layout->centre("main/pushButton_install"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-running", "pushButton_ok");
    // Still running: asked again.
    const QString again = run.waitForWindow(messageBoxSize);
    QVERIFY(!again.isEmpty());
    launcher.kill();
    launcher.waitForFinished();
    answerBox(run, again, "box-running", "pushButton_ok");

    QVERIFY(waitForPage(window, "finished"));
    display->click(window, layout->centre("finished/pushButton_done"));
    QVERIFY(run.waitForExit());
    checkInstalled(installDir());
}

void TestInteractiveInstall::shortcutBoxes_data()
{
    QTest::addColumn<QString>("untick");
    QTest::addColumn<QStringList>("shortcuts");
    const QString desktop = "/home/Desktop/维拉云端.lnk";
    const QString startMenu = "/home/.local/share/applications/Programs/维拉云端.lnk";
    const QString quickLaunch = "/home/.local/share/Microsoft/Internet Explorer/Quick Launch/维拉云端.lnk";
    QTest::newRow("no desktop shortcut") << "checkBox_shortcuts" << QStringList({startMenu, quickLaunch});
    QTest::newRow("no menu shortcuts") << "checkBox_qlb" << QStringList({desktop});
}

// Each box switches off its own shortcuts.
void TestInteractiveInstall::shortcutBoxes()
{
    QFETCH(QString, untick);
    QFETCH(QStringList, shortcuts);

    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));
    display->click(window, layout->centre("main/" + untick));
    display->click(window, layout->centre("main/pushButton_install"));
    QVERIFY(waitForPage(window, "finished"));
    display->click(window, layout->centre("finished/pushButton_done"));
    QVERIFY(run.waitForExit());

    QStringList found = findShortcuts(*environment);
    for (QString &shortcut : found)
        shortcut.remove(0, environment->root().size());
    found.sort();
    shortcuts.sort();
    QCOMPARE(found, shortcuts);
}

void TestInteractiveInstall::alreadyInstalled()
{
    const QString earlier = environment->root() + "/earlier/CloudGameVela/";
    QVERIFY(RegisterHelper::addInstallerReg(earlier, "1.0.0.0", "维拉云端", 100));

    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));
    display->click(window, layout->centre("main/pushButton_choose_path"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-okay", "pushButton_ok", "box-already-installed");
    // The proposed folder is the earlier one, and the installation goes there.
    display->click(window, layout->centre("main/pushButton_install"));
    QVERIFY(waitForPage(window, "finished"));
    display->click(window, layout->centre("finished/pushButton_done"));
    QVERIFY(run.waitForExit());
    checkInstalled(earlier);
}

// The real folder dialog, answered with a folder on a file system that has
// no free space at all (sysfs); nothing is written there.
void TestInteractiveInstall::insufficientSpace()
{
    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));

    display->click(window, layout->centre("main/pushButton_choose_path"));
    QString chooser = run.waitForOtherWindow({window});
    QVERIFY(!chooser.isEmpty());
    display->type(chooser, "/sys", "Return");
    QVERIFY(waitForClosed(run, chooser));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-okay", "pushButton_ok", "box-insufficient-space");
    QVERIFY(readLog(*environment).contains("updateDiskSpaceInfo: \"/sys/CloudGameVela/\" 0 0"));

    // Reselect opens the folder dialog again by itself.
    chooser = run.waitForOtherWindow({window});
    QVERIFY(!chooser.isEmpty());
    display->type(chooser, "", "Escape");
    QVERIFY(waitForClosed(run, chooser));

    display->click(window, layout->centre("main/pushButton_close"));
    answerBox(run, run.waitForWindow(messageBoxSize), "box-quit", "pushButton_ok");
    QVERIFY(run.waitForExit());
    QVERIFY(!QFileInfo::exists("/sys/CloudGameVela"));
}

void TestInteractiveInstall::brokenPackage()
{
    QFile archive(packageDir() + "/vela.7z");
    QVERIFY(archive.resize(archive.size() / 2));

    InstallerRun run(*display, packageDir());
    const QString window = shownStartPage(run);
    QVERIFY2(!window.isEmpty(), qPrintable(run.output()));
    display->click(window, layout->centre("main/pushButton_install"));
    const QString box = run.waitForWindow(messageBoxSize);
    answerBox(run, box, "box-okay", "pushButton_ok", "box-install-failed");
    saveScreenshot(display->grab(window), "finished-after-failure");
    display->click(window, layout->centre("finished-failed/pushButton_done"));
    QVERIFY(run.waitForExit());
    QCOMPARE(run.exitCode(), 0);
}

INSTALLER_TEST_MAIN(TestInteractiveInstall)
#include "tst_e2e_interactive.moc"
