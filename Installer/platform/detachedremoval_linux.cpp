#include "detachedremoval.h"

#include <QProcess>
#include <QStringList>

namespace Platform {

// The folder reaches the shell as an argument, never as part of the script,
// so no character of its name can run as a command.
bool startDelayedRemoval(const QString &folder, quint16 seconds, QString &command)
{
    const QString shell = QStringLiteral("/bin/sh");
    const QStringList arguments = {"-c", "sleep \"$1\" && exec rm -rf --one-file-system -- \"$2\"", "sh",
                                   QString::number(qMax(1, int(seconds)) - 1), folder};
    command = (QStringList{shell} + arguments).join(' ');
    QProcess process;
    process.setProgram(shell);
    process.setArguments(arguments);
    process.setWorkingDirectory(QStringLiteral("/"));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace Platform
