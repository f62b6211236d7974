#include "specialfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>

namespace Platform {

QString programFilesFolder()
{
    const QString folder = qEnvironmentVariable("INSTALLER_PROGRAMS_DIR");
    return folder.isEmpty() ? QStringLiteral("/opt") : folder;
}

QString startMenuFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

QString applicationDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool isUserHomeFolder(const QString &folder)
{
    if (folder == QFileInfo(QDir::homePath()).canonicalFilePath())
        return true;
    bool found = false;
    setpwent();
    while (const passwd *user = getpwent()) {
        if (user->pw_dir && folder == QFileInfo(QFile::decodeName(user->pw_dir)).canonicalFilePath()) {
            found = true;
            break;
        }
    }
    endpwent();
    return found;
}

} // namespace Platform
