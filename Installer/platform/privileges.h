#pragma once

#include <QString>
#include <QStringList>

// Administrator rights and the start of a program with them.
namespace Platform {

bool hasAdministratorRights();
// The full path of the running executable, or an empty text.
QString runningExecutablePath();
// Starts program with arguments and administrator rights, after the system
// has asked the user. When wait is true, returns the program's exit code;
// otherwise 0 once it is started. Returns -1 when it cannot be started.
int startElevated(const QString &program, const QStringList &arguments, bool wait);

} // namespace Platform
