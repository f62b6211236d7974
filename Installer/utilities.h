#pragma once

#include <QString>

// The programs folder with "/" separators and a trailing "/".
QString getProgramPath();

// Schedules the removal of the installer's own folder once this process has
// ended, when it holds nothing but the installer's package and the unpacked
// payload; returns at once.
void rmOpeningFolder(const QString &folder, quint16 seconds);

namespace Utilities {

bool addDesktopPath(const QString &target, const QString &name);
bool addStartMenuPath(const QString &target, const QString &name);
bool addIEQuickLaunchPath(const QString &target, const QString &name);

QString getAppVersion(const QString &filePath);
qint64 getDirSize(const QString &path);
int getRunningAppCount(const QString &exeName);
QString getQuotedPath(const QString &path, bool toNative);

} // namespace Utilities
