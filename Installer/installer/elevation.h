#pragma once

#include <QString>
#include <QStringList>

// True when the process runs with administrator rights.
bool isElevated();

// True when elevated. Otherwise starts an elevated copy of the installer with
// the same arguments and returns false; exitCode is what this process should
// end with (for a silent run the copy's own code, or -1 when it cannot be
// started; else 0).
bool ensureAdmin(int argc, char *argv[], int &exitCode);

// Starts the running executable elevated with the given arguments. When wait
// is true, waits and returns its exit code; returns -1 when it cannot start.
int relaunchElevated(const QStringList &arguments, bool wait);

// True when another installer instance holds the named guard.
bool isDuplicateInstance(const QString &name);
void releaseInstanceMutex();
