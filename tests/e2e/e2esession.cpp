#include "e2esession.h"

#include "testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

QByteArray runTool(const QString &display, const QString &program, const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished();
    }
    return tool.readAllStandardOutput();
}

} // namespace

XDisplay::XDisplay()
{
    // -displayfd 1: the server picks a free display and writes its number.
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!server.waitForStarted())
        return;
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(30000))
        number += server.readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    display = ":" + QString::fromLatin1(number.trimmed());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    compositor.setProcessEnvironment(environment);
    compositor.start("xcompmgr", QStringList());
    compositor.waitForStarted();
}

XDisplay::~XDisplay()
{
    for (QProcess *process : {&compositor, &server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(10000)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

QString XDisplay::run(const QString &program, const QStringList &arguments) const
{
    return QString::fromLocal8Bit(runTool(display, program, arguments));
}

QRect XDisplay::geometry(const QString &window) const
{
    QRect rect;
    const QStringList lines = run("xdotool", {"getwindowgeometry", "--shell", window}).split('\n');
    for (const QString &line : lines) {
        const QString value = line.section('=', 1);
        if (line.startsWith("X="))
            rect.moveLeft(value.toInt());
        else if (line.startsWith("Y="))
            rect.moveTop(value.toInt());
        else if (line.startsWith("WIDTH="))
            rect.setWidth(value.toInt());
        else if (line.startsWith("HEIGHT="))
            rect.setHeight(value.toInt());
    }
    return rect;
}

QImage XDisplay::grab(const QString &window) const
{
    // The composited screen, as a person sees it, cut to the window.
    const QByteArray screen = runTool(display, "import", {"-silent", "-window", "root", "png:-"});
    return QImage::fromData(screen, "PNG").copy(geometry(window));
}

void XDisplay::click(const QString &window, const QPoint &at) const
{
    run("xdotool", {"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                    "click", "1"});
}

void XDisplay::type(const QString &window, const QString &text, const QString &key) const
{
    run("xdotool", {"windowfocus", "--sync", window});
    if (!text.isEmpty())
        run("xdotool", {"type", "--delay", "20", text});
    run("xdotool", {"key", key});
}

InstallerRun::InstallerRun(const XDisplay &display, const QString &packageDir, const QStringList &arguments,
                           const QStringList &extraEnvironment)
    : display(display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    for (const QString &entry : extraEnvironment)
        environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(packageDir);
    process.start(packageDir + "/installer", arguments);
    process.waitForStarted();
}

InstallerRun::~InstallerRun()
{
    if (isRunning()) {
        process.kill();
        process.waitForFinished();
    }
}

bool InstallerRun::waitForExit(int timeoutMs)
{
    return process.waitForFinished(timeoutMs) || !isRunning();
}

QString InstallerRun::output()
{
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

QStringList InstallerRun::visibleWindows() const
{
    return display.run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(process.processId())})
        .split('\n', Qt::SkipEmptyParts);
}

QString InstallerRun::waitForWindow(const QSize &size, int timeoutMs) const
{
    return waitFor([this, size](const QString &window) { return display.geometry(window).size() == size; },
                   timeoutMs);
}

QString InstallerRun::waitForOtherWindow(const QStringList &known, int timeoutMs) const
{
    return waitFor([&known](const QString &window) { return !known.contains(window); }, timeoutMs);
}

QString InstallerRun::waitFor(const std::function<bool(const QString &)> &wanted, int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs && isRunning()) {
        for (const QString &window : visibleWindows())
            if (wanted(window))
                return window;
        QThread::msleep(100);
    }
    return {};
}

QString makePackage(const QString &folder)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("INSTALLER_BIN", INSTALLER_BIN);
    tool.setProcessEnvironment(environment);
    tool.start(SOURCE_DIR "/tools/make-package", {SOURCE_DIR "/demo/payload", folder});
    if (!tool.waitForFinished(300000) || tool.exitCode() != 0)
        return QString::fromLocal8Bit(tool.readAllStandardError());
    return {};
}

QString E2EFixture::packageDir() const
{
    return environment->root() + "/package";
}

QString E2EFixture::setUp()
{
    environment.reset(new TestEnvironment);
    createShortcutFolders(*environment);
    display.reset(new XDisplay);
    if (!display->isUp())
        return "Xvfb did not start";
    return makePackage(packageDir());
}

void E2EFixture::tearDown()
{
    display.reset();
    environment.reset();
}

bool gateArchiver(const QString &packageDir, const QString &gateFile)
{
    const QString archiver = packageDir + "/7za.exe";
    const QString realArchiver = QFileInfo(gateFile).absolutePath() + "/7za.real";
    if (!QFile::rename(archiver, realArchiver))
        return false;
    QFile gate(archiver);
    if (!gate.open(QIODevice::WriteOnly))
        return false;
    gate.write(QString("#!/bin/sh\n"
                       "touch '%1.reached'\n"
                       "while [ -e '%1' ]; do sleep 0.05; done\n"
                       "exec '%2' \"$@\"\n")
                   .arg(gateFile, realArchiver)
                   .toLocal8Bit());
    gate.close();
    QFile(gateFile).open(QIODevice::WriteOnly);
    return gate.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void createShortcutFolders(const TestEnvironment &environment)
{
    QDir().mkpath(environment.dataHome() + "/applications/Programs");
    QDir().mkpath(environment.dataHome() + "/Microsoft/Internet Explorer/Quick Launch");
}

QStringList findShortcuts(const TestEnvironment &environment)
{
    QStringList found;
    QDirIterator files(environment.root(), {"*.lnk"}, QDir::Files | QDir::System | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        found << files.next();
    return found;
}

void saveScreenshot(const QImage &image, const QString &name)
{
    const QString folder = BINARY_DIR "/screenshots";
    QDir().mkpath(folder);
    image.save(folder + "/" + name + ".png");
}

QString readLog(const TestEnvironment &environment)
{
    QFile log(environment.logFile());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll());
}

Layout::Layout(const XDisplay &display, const QString &folder) : folder(folder)
{
    QDir().mkpath(folder);
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // The probe's own log must not mix with the installer's.
    environment.insert("TMPDIR", folder);
    probe.setProcessEnvironment(environment);
    probe.start(E2E_PROBE, {folder});
    probe.waitForFinished(120000);
    const QStringList lines = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n');
    for (const QString &line : lines) {
        const QStringList fields = line.split(' ');
        if (fields.size() == 5)
            rects.insert(fields[0], QRect(fields[1].toInt(), fields[2].toInt(), fields[3].toInt(), fields[4].toInt()));
    }
}

bool looksAlike(const QImage &a, const QImage &b, const QRect &rect)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    int compared = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (!left.valid(x, y) || !right.valid(x, y))
                return false;
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            const int delta = qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
            differing += delta > 60;
            ++compared;
        }
    }
    return compared > 0 && differing * 10 < compared;
}
