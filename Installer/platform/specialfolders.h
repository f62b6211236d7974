#pragma once

#include <QString>

// Folders the system designates for programs, menus and user data. Each is
// empty when the system cannot name it.
namespace Platform {

// Where programs are installed: $INSTALLER_PROGRAMS_DIR, else /opt.
QString programFilesFolder();
// The user's start menu: the folder of the user's application entries.
QString startMenuFolder();
// The user's own application data.
QString applicationDataFolder();
// Whether folder (a canonical path) is the home folder of some user.
bool isUserHomeFolder(const QString &folder);

} // namespace Platform
