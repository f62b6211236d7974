#include "installhelper.h"

#include <QCoreApplication>

QString getAppDirPath()
{
    QString path = QCoreApplication::applicationDirPath();
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

InstallHelper::InstallHelper(const QString &installDir, bool desktopShortcut,
                             bool startMenuShortcuts, bool registerProduct,
                             bool keepUninstaller, QObject *parent)
    : QObject(parent),
      desktopShortcut(desktopShortcut),
      startMenuShortcuts(startMenuShortcuts),
      registerProduct(registerProduct),
      keepUninstaller(keepUninstaller),
      installDir(installDir)
{
}

InstallHelper::~InstallHelper() = default;

void InstallHelper::run() {}

void InstallHelper::unpack() {}

void InstallHelper::moveFiles() {}

void InstallHelper::postInstall() {}

CThread::~CThread()
{
    quit();
    wait();
}
