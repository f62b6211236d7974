#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Helpers for the engine tests: real packages made by tools/make-package with
// the install runner as their installer, and runs of that runner.

struct InstallOptions
{
    bool desktopShortcut = false;
    bool startMenuShortcuts = false;
    bool registerProduct = false;
    bool keepUninstaller = true;
};

// What the install runner printed, split by kind.
struct InstallRun
{
    bool finished = false;
    int exitCode = -1;
    QStringList lines;
    QStringList progress;
    QStringList errors;
    QStringList log;

    // The first log message that starts with prefix, or a null text.
    QString logLine(const QString &prefix) const;
    bool hasLog(const QString &prefix) const { return !logLine(prefix).isNull(); }
    int countLog(const QString &prefix) const;
};

bool writeFile(const QString &path, const QByteArray &content);
QByteArray readFile(const QString &path);
// Every file below root (hidden ones included), as paths relative to root.
QStringList treeFiles(const QString &root);
// Every folder below root (hidden ones included), as paths relative to root.
QStringList treeFolders(const QString &root);

// Packs payload into package/vela.7z next to the runner (as "installer") and
// the real archiver (as "7za.exe").
bool makePackage(const QString &payload, const QString &package);

// Runs package/installer for dest; waits generously for its end.
InstallRun runInstall(const QString &package, const QString &dest,
                      const InstallOptions &options = {},
                      const QProcessEnvironment &environment =
                          QProcessEnvironment::systemEnvironment(),
                      const QString &workingDir = QString());

// The progress sequence of a run that went to its end.
QStringList fullProgress();
