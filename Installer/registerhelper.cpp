#include "registerhelper.h"

namespace RegisterHelper {

bool addInstallerReg(const QString &installDir, const QString &version,
                     const QString &displayName, int estimatedSizeKB)
{
    Q_UNUSED(installDir)
    Q_UNUSED(version)
    Q_UNUSED(displayName)
    Q_UNUSED(estimatedSizeKB)
    return false;
}

QString getInstallLocation()
{
    return {};
}

QString getRegisteredInstallLocation()
{
    return {};
}

QString readRegValue(const QString &valueName, const QString &keyPath)
{
    Q_UNUSED(valueName)
    Q_UNUSED(keyPath)
    return {};
}

} // namespace RegisterHelper
