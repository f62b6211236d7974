#pragma once

#include <QObject>
#include <QString>
#include <QThread>

// The installer's folder with "/" separators and a trailing "/".
QString getAppDirPath();

// Performs one installation on its own thread: unpack, copy, post-install.
class InstallHelper : public QObject
{
    Q_OBJECT
public:
    InstallHelper(const QString &installDir, bool desktopShortcut, bool startMenuShortcuts,
                  bool registerProduct, bool keepUninstaller, QObject *parent = nullptr);
    ~InstallHelper() override;

signals:
    void sigDone();
    void sigProgress(double percent);
    void sigProgressText(QString t);
    // Emitted once, before the worker ends, when the installation failed.
    void sigErr(QString e);

public slots:
    void run();

private:
    void unpack();
    void moveFiles();
    void postInstall();

    bool desktopShortcut;
    bool startMenuShortcuts;
    bool registerProduct;
    bool keepUninstaller;
    QString installDir;
};

// The worker's thread: quits and waits for its event loop when destroyed.
class CThread : public QThread
{
public:
    using QThread::QThread;
    ~CThread() override;
};
