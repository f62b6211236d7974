#include "processes.h"

#include <QDir>
#include <QFile>

namespace {

const QLatin1String DeletedMark(" (deleted)");

QString baseName(const QString &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file name of the process's executable. The kernel's short name is cut
// at 15 characters, so the executable link is read, and where that is not
// allowed (another user's process) the first word of its command line.
QString imageName(const QString &processFolder)
{
    QString target = QFile::symLinkTarget(processFolder + "/exe");
    if (!target.isEmpty()) {
        // An executable replaced or removed while it runs.
        if (target.endsWith(DeletedMark))
            target.chop(DeletedMark.size());
        return baseName(target);
    }
    QFile commandLine(processFolder + "/cmdline");
    if (!commandLine.open(QIODevice::ReadOnly))
        return {};
    const QByteArray arguments = commandLine.read(4096);
    return baseName(QFile::decodeName(arguments.left(arguments.indexOf('\0'))));
}

} // namespace

namespace Platform {

bool runningProcessNames(QStringList &names)
{
    const QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return false;
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isProcess = false;
        entry.toUInt(&isProcess);
        if (!isProcess)
            continue;
        const QString name = imageName(proc.filePath(entry));
        if (!name.isEmpty())
            names << name;
    }
    return true;
}

} // namespace Platform
