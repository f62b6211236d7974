#include "elevation.h"

#include "commandlinehandler.h"
#include "platform/instancelock.h"
#include "platform/privileges.h"

#include <QDebug>
#include <QStringList>

namespace {

Platform::InstanceLock instanceMutex = Platform::NoInstanceLock;

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

bool isElevated()
{
    return Platform::hasAdministratorRights();
}

// A silent caller learns the elevated copy's result, so it waits for it; an
// interactive start hands over to the copy's window and ends at once.
bool ensureAdmin(int argc, char *argv[], int &exitCode)
{
    exitCode = 0;
    if (isElevated())
        return true;
    const QStringList arguments = argumentList(argc, argv);
    CommandLineHandler commandLine;
    commandLine.parse(arguments);
    const int result = relaunchElevated(arguments.mid(1), commandLine.hideUi);
    if (commandLine.hideUi)
        exitCode = result;
    return false;
}

int relaunchElevated(const QStringList &arguments, bool wait)
{
    if (isElevated())
        return 0;
    const QString executable = Platform::runningExecutablePath();
    const int result = executable.isEmpty() ? -1 : Platform::startElevated(executable, arguments, wait);
    if (result == -1)
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "cannot start elevated" << executable;
    return result;
}

bool isDuplicateInstance(const QString &name)
{
    bool alreadyHeld = false;
    instanceMutex = Platform::openInstanceLock(name, alreadyHeld);
    if (instanceMutex == Platform::NoInstanceLock)
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "cannot open the instance lock" << name;
    return alreadyHeld;
}

void releaseInstanceMutex()
{
    Platform::closeInstanceLock(instanceMutex);
    instanceMutex = Platform::NoInstanceLock;
}
