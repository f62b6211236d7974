#include "platformtest.h"

#include <QDir>
#include <QFileInfo>

namespace {
LogCapture *activeCapture = nullptr;
}

LogCapture::LogCapture()
{
    activeCapture = this;
    previous = qInstallMessageHandler(handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous);
    activeCapture = nullptr;
}

QStringList LogCapture::linesStartingWith(const QString &text) const
{
    QStringList found;
    for (const QString &line : captured) {
        if (line.startsWith(text))
            found << line;
    }
    return found;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    activeCapture->captured << message;
    if (type == QtCriticalMsg)
        activeCapture->criticals << message;
}

QString helperPath()
{
    return QStringLiteral(PLATFORM_HELPER);
}

bool runAsNobody(QProcess &process, const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment)
{
    process.setProcessEnvironment(environment);
    process.start("/usr/bin/setpriv",
                  QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", program} + arguments);
    return process.waitForFinished(120000);
}

void openToAll(const QString &path, const QString &stopAt, bool writable)
{
    const QFile::Permissions enter = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(path, writable ? enter | QFile::WriteGroup | QFile::WriteOther : enter);
    for (QString folder = QFileInfo(path).absolutePath(); folder.startsWith(stopAt) && folder != "/";
         folder = QFileInfo(folder).absolutePath())
        QFile::setPermissions(folder, QFile::permissions(folder) | enter);
}

bool copyExecutable(const QString &source, const QString &destination)
{
    QFile::remove(destination);
    return QFile::copy(source, destination)
        && QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                  | QFile::ExeOther);
}
