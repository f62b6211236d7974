#pragma once

#include <QString>

// The product's uninstall entry and the lookup of an earlier install location.
namespace RegisterHelper {

// Writes the uninstall entry of the product; returns whether it was written.
bool addInstallerReg(const QString &installDir, const QString &version,
                     const QString &displayName, int estimatedSizeKB);

// The registered install location, else the default folder; never empty.
QString getInstallLocation();
// The first location recorded by an earlier installation, or an empty text.
QString getRegisteredInstallLocation();
// A string value of a key under HKEY_LOCAL_MACHINE, or an empty text.
QString readRegValue(const QString &valueName, const QString &keyPath);

} // namespace RegisterHelper
