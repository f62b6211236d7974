#include "installhelper.h"

#include "platform/filecopy.h"
#include "registerhelper.h"
#include "unpacker.h"
#include "utilities.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QQueue>
#include <QSet>

#include <limits>

namespace {

const QString launcherName = QStringLiteral("CloudGameVela.exe");
const QString displayName = QString::fromUtf8(u8"维拉云端");
const QString uninstallerName = QStringLiteral("uninstaller.exe");
// Reported to the uninstall entry when the measured size rounds down to 0 KiB.
constexpr quint64 fallbackSizeKB = 92160;

bool isSameOrInside(const QString &path, const QString &folder)
{
    return path.compare(folder, Qt::CaseInsensitive) == 0
        || path.startsWith(folder + '/', Qt::CaseInsensitive);
}

// The folder a path names, with links and "." or ".." resolved, also when its
// last parts do not exist yet.
QString resolvedFolder(const QString &path)
{
    QFileInfo existing(QDir(path).absolutePath());
    QStringList missing;
    while (!existing.exists() && !existing.isRoot()) {
        missing.prepend(existing.fileName());
        existing.setFile(existing.absolutePath());
    }
    QString resolved = existing.canonicalFilePath();
    for (const QString &part : qAsConst(missing))
        resolved += (resolved.endsWith('/') ? "" : "/") + part;
    return resolved;
}

struct Folder
{
    QString relativePath; // below the source folder, empty or ending with "/"
    QString canonicalPath;
};

// Breadth first, as listed: the files of a folder, then those of its
// subfolders in the order found. A folder reached a second time (through a
// link, or a link back into the tree) is not walked again, so a link cycle
// cannot make the walk endless. Fills unreadable with folders that could not
// be listed.
QStringList collectFiles(const QString &sourceDir, QStringList &unreadable)
{
    const QString sourceRoot = QFileInfo(sourceDir).canonicalFilePath();
    QStringList files;
    QQueue<Folder> pendingDirs;
    QSet<QString> walked;
    pendingDirs.enqueue({QString(), sourceRoot});
    walked.insert(sourceRoot);
    while (!pendingDirs.isEmpty()) {
        const Folder folder = pendingDirs.dequeue();
        const QString path = sourceDir + folder.relativePath;
        if (!QFileInfo(path).isReadable()) {
            unreadable << path;
            continue;
        }
        QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo entry = it.fileInfo();
            const QString relative = folder.relativePath + entry.fileName();
            if (!entry.isDir()) {
                files << relative;
                continue;
            }
            const QString canonical = entry.isSymLink()
                ? entry.canonicalFilePath()
                : folder.canonicalPath + '/' + entry.fileName();
            const bool linkIntoTree = entry.isSymLink() && isSameOrInside(canonical, sourceRoot);
            if (linkIntoTree || walked.contains(canonical)) {
                qDebug() << "skip folder walked already" << sourceDir + relative;
                continue;
            }
            walked.insert(canonical);
            pendingDirs.enqueue({relative + '/', canonical});
        }
    }
    return files;
}

bool isExcluded(const QString &file, const QStringList &excludedFiles)
{
    for (const QString &excluded : excludedFiles) {
        if (file.compare(excluded, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Creates the folder that is to hold targetFile unless it exists.
void makeFolderFor(const QString &targetFile)
{
    const QString folder = QFileInfo(targetFile).absolutePath();
    if (QFileInfo::exists(folder))
        return;
    const bool made = QDir().mkpath(folder);
    qDebug() << "make path" << made << folder;
}

QString folderOf(const QString &relativeFile)
{
    return relativeFile.left(relativeFile.lastIndexOf('/') + 1);
}

// The folder's contents are not on disk until synced; syncing once for the
// whole tree is far cheaper than once per file.
bool syncInstalledTree(const QString &installDir)
{
    const bool synced = Platform::syncFileSystem(installDir);
    qDebug() << "sync" << synced << installDir;
    return synced;
}

// Target paths are built by appending to the destination: without its
// trailing "/" every file would land beside the destination instead of in it.
QString asFolderPath(const QString &path)
{
    return path.isEmpty() || path.endsWith('/') ? path : path + '/';
}

quint64 estimatedSizeKB(qint64 bytes)
{
    const quint64 sizeKB = quint64(qMax<qint64>(bytes, 0)) >> 10;
    return sizeKB == 0 ? fallbackSizeKB : sizeKB;
}

} // namespace

QString getAppDirPath()
{
    QString path = QCoreApplication::applicationDirPath();
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

QString copyTree(const QString &sourceDir, const QString &installDir,
                 const QStringList &excludedFiles)
{
    QStringList unreadable;
    const QStringList files = collectFiles(sourceDir, unreadable);
    QString firstError;
    for (const QString &folder : qAsConst(unreadable)) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "cannot list folder" << folder;
        firstError = InstallHelper::tr("Cannot read the folder %1").arg(folder);
    }

    QString currentFolder;
    for (const QString &relative : files) {
        const QString sourceFile = sourceDir + relative;
        const QString targetFile = installDir + relative;
        // The files of one folder come together: check each folder once.
        if (currentFolder.isNull() || folderOf(relative) != currentFolder) {
            currentFolder = folderOf(relative);
            makeFolderFor(targetFile);
        }
        if (isExcluded(sourceFile, excludedFiles))
            continue;
        if (QFileInfo::exists(targetFile)) {
            const bool removed = QFile::remove(targetFile);
            qDebug() << "remove existing file" << removed << targetFile;
        }
        const bool copied = Platform::copyNewFile(sourceFile, targetFile);
        qDebug() << "move file" << copied << sourceFile << targetFile;
        if (!copied && firstError.isEmpty())
            firstError = InstallHelper::tr("Failed to copy %1").arg(targetFile);
    }

    if (!syncInstalledTree(installDir) && firstError.isEmpty())
        firstError = InstallHelper::tr("Failed to write %1 to disk").arg(installDir);
    return firstError;
}

InstallHelper::InstallHelper(const QString &installDir, bool desktopShortcut,
                             bool startMenuShortcuts, bool registerProduct,
                             bool keepUninstaller, QObject *parent)
    : QObject(parent),
      desktopShortcut(desktopShortcut),
      startMenuShortcuts(startMenuShortcuts),
      registerProduct(registerProduct),
      keepUninstaller(keepUninstaller),
      installDir(asFolderPath(installDir))
{
}

InstallHelper::~InstallHelper() = default;

void InstallHelper::run()
{
    qDebug() << "start install, destination:" << installDir;
    // Whatever way run() is left, the worker deletes itself afterwards; its
    // destruction is how the window learns that the installation ended.
    QObject guard;
    connect(&guard, &QObject::destroyed, this, &QObject::deleteLater);

    emit sigProgress(0.0);
    if (acceptDestination())
        unpack();
    emit sigProgress(0.3);
    // A failed step leaves nothing worth copying or registering.
    if (succeeded())
        moveFiles();
    emit sigProgress(0.6);
    if (succeeded())
        postInstall();
    emit sigProgress(0.9);
    emit sigProgress(1.0);
    if (!succeeded())
        emit sigErr(firstError);
    qDebug() << "end install";
}

// Copying the installer's folder onto itself would delete every source file
// before copying it, and a folder inside it goes when the installer's folder
// is removed at exit.
bool InstallHelper::acceptDestination()
{
    const QString sourceRoot = QFileInfo(getAppDirPath()).canonicalFilePath();
    if (!isSameOrInside(resolvedFolder(installDir), sourceRoot))
        return true;
    qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO
                << "destination is the installer's own folder" << installDir;
    fail(tr("Cannot install into the installer's own folder %1").arg(installDir));
    return false;
}

void InstallHelper::unpack()
{
    qDebug() << "unpack begin";
    QEventLoop loop;
    Unpacker unpacker;
    connect(&unpacker, &Unpacker::sigDone, &loop, &QEventLoop::quit);
    connect(&unpacker, &Unpacker::sigErr, &loop, &QEventLoop::quit);
    connect(&unpacker, &Unpacker::sigErr, this, &InstallHelper::fail);
    // Started from inside the loop, so that a signal emitted at once still
    // finds the loop running and ends it.
    QMetaObject::invokeMethod(&unpacker, &Unpacker::start, Qt::QueuedConnection);
    loop.exec();
    qDebug() << "unpack end";
}

void InstallHelper::moveFiles()
{
    qDebug() << "move files begin";
    const QString sourceDir = getAppDirPath();
    if (!QFileInfo::exists(installDir)) {
        const bool made = QDir().mkpath(installDir);
        qDebug() << "make path" << made << installDir;
    }
    const QStringList excludedFiles = {QCoreApplication::applicationFilePath(),
                                       sourceDir + "7za.exe", sourceDir + "vela.7z"};
    fail(copyTree(sourceDir, installDir, excludedFiles));
    qDebug() << "move files end";
}

void InstallHelper::postInstall()
{
    const QString exePath = installDir + launcherName;
    const QString linkName = displayName + ".lnk";
    if (desktopShortcut)
        Utilities::addDesktopPath(exePath, linkName);
    if (startMenuShortcuts) {
        Utilities::addStartMenuPath(exePath, linkName);
        Utilities::addIEQuickLaunchPath(exePath, linkName);
    }
    if (registerProduct)
        registerInstallation(exePath);
    if (!keepUninstaller) {
        const bool removed = QFile::remove(installDir + uninstallerName);
        qDebug() << "rm uninstaller.exe" << removed;
    }
}

// Measured before the uninstaller may be deleted, so the size includes it and
// whatever the destination held before.
void InstallHelper::registerInstallation(const QString &exePath)
{
    const quint64 sizeKB = estimatedSizeKB(Utilities::getDirSize(installDir));
    const QString version = Utilities::getAppVersion(exePath);
    qDebug() << "app version" << version << "dir size" << sizeKB;
    const int reportedKB = int(qMin<quint64>(sizeKB, std::numeric_limits<int>::max()));
    if (!RegisterHelper::addInstallerReg(installDir, version, displayName, reportedKB))
        fail(tr("Failed to register the product."));
}

void InstallHelper::fail(const QString &error)
{
    if (firstError.isEmpty())
        firstError = error;
}

CThread::~CThread()
{
    quit();
    wait();
}
