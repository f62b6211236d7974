#include "privileges.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVector>

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// pkexec starts the program with a clean environment and root's home; these
// let the elevated copy open its window on the user's display.
QList<QByteArray> displayAssignments()
{
    QList<QByteArray> assignments;
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        assignments << "DISPLAY=" + qgetenv("DISPLAY");
        const QString defaultAuthority = QDir::homePath() + "/.Xauthority";
        if (qEnvironmentVariableIsSet("XAUTHORITY"))
            assignments << "XAUTHORITY=" + qgetenv("XAUTHORITY");
        else if (QFile::exists(defaultAuthority))
            assignments << "XAUTHORITY=" + QFile::encodeName(defaultAuthority);
    }
    // A bare socket name is looked up in the runtime folder, which the
    // elevated copy does not have.
    QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!wayland.isEmpty() && !wayland.startsWith('/') && qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        wayland = qgetenv("XDG_RUNTIME_DIR") + '/' + wayland;
    if (!wayland.isEmpty())
        assignments << "WAYLAND_DISPLAY=" + wayland;
    return assignments;
}

// pkexec env NAME=VALUE... sh -c 'exec "$0" "$@"' PROGRAM ARGUMENTS...
// The program goes through the shell's "$0" because env would take a path
// holding "=" for one more variable.
QList<QByteArray> pkexecCommand(const QString &program, const QStringList &arguments)
{
    QList<QByteArray> command = QList<QByteArray>{"pkexec", "/usr/bin/env"} + displayAssignments();
    command << "/bin/sh" << "-c" << "exec \"$0\" \"$@\"" << QFile::encodeName(program);
    for (const QString &argument : arguments)
        command << argument.toLocal8Bit();
    return command;
}

int waitForExitCode(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

namespace Platform {

bool hasAdministratorRights()
{
    return geteuid() == 0;
}

QString runningExecutablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

int startElevated(const QString &program, const QStringList &arguments, bool wait)
{
    const QList<QByteArray> command = pkexecCommand(program, arguments);
    QVector<char *> argv;
    for (const QByteArray &argument : command)
        argv << const_cast<char *>(argument.constData());
    argv << nullptr;
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv.first(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return wait ? waitForExitCode(pid) : 0;
}

} // namespace Platform
