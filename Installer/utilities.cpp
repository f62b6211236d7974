#include "utilities.h"

QString getProgramPath()
{
    return {};
}

void rmOpeningFolder(const QString &folder, quint16 seconds)
{
    Q_UNUSED(folder)
    Q_UNUSED(seconds)
}

namespace Utilities {

bool addDesktopPath(const QString &target, const QString &name)
{
    Q_UNUSED(target)
    Q_UNUSED(name)
    return false;
}

bool addStartMenuPath(const QString &target, const QString &name)
{
    Q_UNUSED(target)
    Q_UNUSED(name)
    return false;
}

bool addIEQuickLaunchPath(const QString &target, const QString &name)
{
    Q_UNUSED(target)
    Q_UNUSED(name)
    return false;
}

QString getAppVersion(const QString &filePath)
{
    Q_UNUSED(filePath)
    return {};
}

qint64 getDirSize(const QString &path)
{
    Q_UNUSED(path)
    return 0;
}

int getRunningAppCount(const QString &exeName)
{
    Q_UNUSED(exeName)
    return 0;
}

QString getQuotedPath(const QString &path, bool toNative)
{
    Q_UNUSED(path)
    Q_UNUSED(toNative)
    return {};
}

} // namespace Utilities
