#include "utilities.h"

#include "platform/detachedremoval.h"
#include "platform/peversion.h"
#include "platform/processes.h"
#include "platform/specialfolders.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const int ArchiveListTimeoutMs = 60000;

// The package the installer is shipped in; everything else in its folder
// comes from the payload archive.
const char ArchiverName[] = "7za.exe";
const char PayloadName[] = "vela.7z";

bool isSameOrInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// "/", a home folder, and any folder that holds the user's desktop are never
// removed, whatever they hold.
bool isProtectedFolder(const QString &folder)
{
    const QString desktop =
        QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).canonicalFilePath();
    return folder == "/" || Platform::isUserHomeFolder(folder)
        || (!desktop.isEmpty() && isSameOrInside(desktop, folder));
}

// The top-level names of the payload archive, as its archiver lists them.
QStringList payloadEntries(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists(ArchiverName) || !dir.exists(PayloadName))
        return {};
    QProcess archiver;
    archiver.setWorkingDirectory(folder);
    archiver.start(dir.filePath(ArchiverName), {"l", "-ba", "-slt", PayloadName});
    if (!archiver.waitForFinished(ArchiveListTimeoutMs) || archiver.exitStatus() != QProcess::NormalExit
        || archiver.exitCode() != 0)
        return {};
    QStringList entries;
    const QStringList lines = QString::fromLocal8Bit(archiver.readAllStandardOutput()).split('\n');
    for (const QString &line : lines) {
        if (line.startsWith("Path = "))
            entries << line.mid(7).replace('\\', '/').section('/', 0, 0);
    }
    return entries;
}

// The entries of folder that are neither the package nor from the payload.
QStringList foreignEntries(const QString &folder)
{
    QStringList known = payloadEntries(folder) << ArchiverName << PayloadName;
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    if (executable.canonicalPath() == folder)
        known << executable.fileName();
    QStringList foreign;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (!known.contains(entry))
            foreign << entry;
    }
    return foreign;
}

// A name ending in ".lnk" in any letter case; an empty name is the target's.
QString linkName(const QString &target, const QString &name)
{
    QString link = name.isEmpty() ? QFileInfo(target).fileName() : name;
    if (!link.endsWith(".lnk", Qt::CaseInsensitive))
        link += ".lnk";
    return link;
}

QString getStartMenuPath()
{
    const QString folder = Platform::startMenuFolder();
    if (folder.isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    return QDir(folder).absolutePath() + "/Programs/";
}

QString getIEQuickLaunchPath()
{
    const QString folder = Platform::applicationDataFolder();
    if (folder.isEmpty())
        return {};
    return QDir::toNativeSeparators(folder + "/Microsoft/Internet Explorer/Quick Launch/");
}

QString hexWord(quint16 word)
{
    return ("000" + QString::number(word, 16)).right(4);
}

quint16 wordAt(const QByteArray &bytes, int index)
{
    return quint16(quint8(bytes.at(index)) | quint8(bytes.at(index + 1)) << 8);
}

// A zero-terminated UTF-16 text at the start of bytes.
QString utf16Text(const QByteArray &bytes)
{
    QString text;
    for (int i = 0; i + 1 < bytes.size() && wordAt(bytes, i) != 0; i += 2)
        text.append(QChar(wordAt(bytes, i)));
    return text;
}

} // namespace

QString getProgramPath()
{
    QString path = Platform::programFilesFolder();
    if (path.trimmed().isEmpty())
        path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    path.replace('\\', '/');
    if (!path.endsWith('/'))
        path += '/';
    qDebug() << "Program Path" << path;
    return path;
}

void rmOpeningFolder(const QString &folder, quint16 seconds)
{
    const QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isDir() || isProtectedFolder(path)) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "rmOpeningFolder: not a package folder" << path;
        return;
    }
    const QStringList foreign = foreignEntries(path);
    if (!foreign.isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "rmOpeningFolder: kept for entries not from the package"
                    << path << foreign;
        return;
    }
    QString command;
    const bool started = Platform::startDelayedRemoval(path, seconds, command);
    qDebug().noquote() << "rmOpeningFolder:" << command << started;
}

namespace Utilities {

bool addDesktopPath(const QString &target, const QString &name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString linkPath = folder + "/" + linkName(target, name);
    // A link whose target is gone does not "exist", but still blocks a new one.
    const QFileInfo existing(linkPath);
    if (existing.exists() || existing.isSymLink()) {
        const bool removed = QFile::remove(linkPath);
        qDebug() << "rm desktop shortcut" << removed << linkPath;
    }
    const bool created = QFile::link(target, linkPath);
    qDebug() << "creating desktop shortcut" << created << target << linkPath;
    return created;
}

bool addStartMenuPath(const QString &target, const QString &name)
{
    const QString folder = getStartMenuPath();
    if (folder.isEmpty())
        return false;
    const QString linkPath = folder + linkName(target, name);
    const bool created = QFile::link(target, linkPath);
    qDebug() << "creating Start Menu" << created << target << linkPath;
    return created;
}

bool addIEQuickLaunchPath(const QString &target, const QString &name)
{
    const QString folder = getIEQuickLaunchPath();
    if (folder.isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return false;
    }
    const QString linkPath = folder + linkName(target, name);
    const bool created = QFile::link(target, linkPath);
    qDebug() << "creating quick lauch shortcut" << created << target << linkPath;
    return created;
}

// Each failure point has its own critical line; only the line numbers tell
// them apart.
QString getAppVersion(const QString &filePath)
{
    const quint32 size = Platform::fileVersionInfoSize(filePath);
    if (size == 0) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    QByteArray block;
    if (!Platform::fileVersionInfo(filePath, size, block)) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    QByteArray translation;
    if (!Platform::queryVersionValue(block, "\\VarFileInfo\\Translation", translation) || translation.size() < 4) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    const QString subBlock = "\\StringFileInfo\\" + hexWord(wordAt(translation, 0)) + hexWord(wordAt(translation, 2))
        + "\\FileVersion";
    QByteArray value;
    if (!Platform::queryVersionValue(block, subBlock, value)) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    const QString version = utf16Text(value);
    if (version.trimmed().isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return {};
    }
    return version;
}

qint64 getDirSize(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return info.size();
    qint64 total = 0;
    const QFileInfoList entries = QDir(path).entryInfoList(
        QDir::Dirs | QDir::Files | QDir::NoSymLinks | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries)
        total += entry.isDir() ? getDirSize(entry.absoluteFilePath()) : entry.size();
    return total;
}

int getRunningAppCount(const QString &exeName)
{
    QStringList names;
    if (!Platform::runningProcessNames(names) || names.isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        return 0;
    }
    QStringList matches;
    for (const QString &name : qAsConst(names)) {
        if (name.compare(exeName, Qt::CaseInsensitive) == 0)
            matches << name;
    }
    qDebug() << "check single instance" << matches.size();
    return matches.size();
}

QString getQuotedPath(const QString &path, bool toNative)
{
    return '"' + (toNative ? QDir::toNativeSeparators(path) : path) + '"';
}

} // namespace Utilities
