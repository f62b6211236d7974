#pragma once

#include <QHash>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TestEnvironment;

// Sizes by which the installer's top-level windows are told apart.
const QSize mainWindowSize(678, 549);
const QSize messageBoxSize(610, 272);
const QSize agreementsSize(562, 418);

// A private X display for one test: Xvfb with a compositor, so translucent
// frameless windows render as on a desktop. Both end with the object.
class XDisplay
{
public:
    XDisplay();
    ~XDisplay();

    bool isUp() const { return !display.isEmpty(); }
    QString name() const { return display; }
    // Runs an X tool on this display; returns its standard output.
    QString run(const QString &program, const QStringList &arguments) const;
    // The screen contents in the rectangle of window.
    QImage grab(const QString &window) const;
    QRect geometry(const QString &window) const;
    void click(const QString &window, const QPoint &at) const;
    // Types text, then presses key, into window, given the keyboard focus.
    void type(const QString &window, const QString &text, const QString &key) const;

private:
    QProcess server;
    QProcess compositor;
    QString display;
};

// The installer started from a package folder on a display, with the
// test's redirected environment.
class InstallerRun
{
public:
    InstallerRun(const XDisplay &display, const QString &packageDir, const QStringList &arguments = {},
                 const QStringList &extraEnvironment = {});
    ~InstallerRun();

    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    // Waits for the end; false when it did not end in time.
    bool waitForExit(int timeoutMs = 120000);
    int exitCode() const { return process.exitCode(); }
    QString output();
    // The visible window of the given size, waiting until it is mapped;
    // empty when it does not appear.
    QString waitForWindow(const QSize &size, int timeoutMs = 60000) const;
    // A visible window of the installer other than those in known; empty
    // when none appears.
    QString waitForOtherWindow(const QStringList &known, int timeoutMs = 60000) const;
    // The ids of the installer's visible windows now.
    QStringList visibleWindows() const;

private:
    QString waitFor(const std::function<bool(const QString &)> &wanted, int timeoutMs) const;

    const XDisplay &display;
    QProcess process;
};

// Builds a package from the demo payload into folder with the packaging
// tool; returns an error text, empty on success.
QString makePackage(const QString &folder);

class TestEnvironment;

// The world of one end-to-end test: a fresh environment with the shortcut
// folders a Windows profile has, a private X display, and a package made
// from the demo payload.
struct E2EFixture
{
    std::unique_ptr<TestEnvironment> environment;
    std::unique_ptr<XDisplay> display;

    QString packageDir() const;
    // Returns what went wrong, or an empty text when all is up.
    QString setUp();
    void tearDown();
};

// Replaces the package's archiver by a gate that starts the real one only
// once gateFile is removed, and touches gateFile + ".reached" when the
// installer has got that far. The installation stays on its progress page
// for as long as the test needs.
bool gateArchiver(const QString &packageDir, const QString &gateFile);

// Creates the Start-menu "Programs" and Quick Launch folders, which every
// Windows profile has and the installer only fills.
void createShortcutFolders(const TestEnvironment &environment);

// Every shortcut (".lnk") inside the environment.
QStringList findShortcuts(const TestEnvironment &environment);

// Saves a screenshot into the build folder's screenshots/ folder.
void saveScreenshot(const QImage &image, const QString &name);

// The log text the installer has written so far.
QString readLog(const TestEnvironment &environment);

// Where the installer's controls lie and how its pages look, measured by
// the probe program on the test's display with the installer's own start-up.
// Keys are "<window>/<object name>" with the windows main, finished,
// finished-failed, box-quit, box-running, box-okay and agreements.
class Layout
{
public:
    Layout(const XDisplay &display, const QString &folder);

    bool isValid() const { return !rects.isEmpty(); }
    QRect rect(const QString &key) const { return rects.value(key); }
    QPoint centre(const QString &key) const { return rect(key).center(); }
    // "start" or "finished", as the installer draws it.
    QImage look(const QString &page) const { return QImage(folder + "/" + page + ".png"); }

private:
    QString folder;
    QHash<QString, QRect> rects;
};

// Whether two images agree closely inside rect (anti-aliasing aside).
bool looksAlike(const QImage &a, const QImage &b, const QRect &rect);
