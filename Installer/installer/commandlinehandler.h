#pragma once

#include <QString>
#include <QStringList>

// The choices a caller can make on the command line.
struct CommandLineHandler
{
    bool hideUi = false;
    bool noShortcuts = false;
    bool noRegisterData = false;
    bool removeUninstaller = false;
    QString targetPath;

    void parse(const QStringList &arguments);

    // True when the arguments ask for an install without a window. Logs
    // nothing, so it may run before logging is set up.
    static bool requestsHiddenUi(const QStringList &arguments);
};
