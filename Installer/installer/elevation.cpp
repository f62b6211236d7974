#include "elevation.h"

#include <QStringList>

#include <unistd.h>

bool isElevated()
{
    return geteuid() == 0;
}

bool ensureAdmin(int argc, char *argv[], int &exitCode)
{
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    exitCode = 0;
    return isElevated();
}

int relaunchElevated(const QStringList &arguments, bool wait)
{
    Q_UNUSED(arguments)
    Q_UNUSED(wait)
    return -1;
}

bool isDuplicateInstance(const QString &name)
{
    Q_UNUSED(name)
    return false;
}

void releaseInstanceMutex() {}
