#pragma once

#include <QObject>
#include <QString>
#include <QThread>

// The installer's folder with "/" separators and a trailing "/".
QString getAppDirPath();

// Copies every file below sourceDir except excludedFiles to the same place
// below installDir, replacing existing files, and syncs the result to disk.
// Both folders end with "/". Returns the first failure's text, or an empty
// text when every file arrived.
QString copyTree(const QString &sourceDir, const QString &installDir,
                 const QStringList &excludedFiles);

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
    bool acceptDestination();
    void unpack();
    void moveFiles();
    void postInstall();
    void registerInstallation(const QString &exePath);
    void fail(const QString &error);
    bool succeeded() const { return firstError.isEmpty(); }

    bool desktopShortcut;
    bool startMenuShortcuts;
    bool registerProduct;
    bool keepUninstaller;
    QString installDir;
    // The first failure of this installation; empty while all went well.
    QString firstError;
};

// The worker's thread: quits and waits for its event loop when destroyed.
class CThread : public QThread
{
public:
    using QThread::QThread;
    ~CThread() override;
};
