#include "mainwindow.h"

#include "installhelper.h"

#include <QDebug>

#include <cstdlib>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {}

MainWindow::~MainWindow() = default;

void MainWindow::installDirectly()
{
    qDebug() << "installDirectly";
    auto *thread = new CThread;
    auto *worker = new InstallHelper(commandLine.targetPath, !commandLine.noShortcuts,
                                     !commandLine.noShortcuts, !commandLine.noRegisterData,
                                     !commandLine.removeUninstaller);
    worker->moveToThread(thread);
    connect(worker, &QObject::destroyed, thread, &QObject::deleteLater);
    connect(worker, &QObject::destroyed, this, &MainWindow::onProgressDone);
    connect(worker, &InstallHelper::sigErr, this, &MainWindow::onHandleErr);
    thread->start(QThread::InheritPriority);
    QMetaObject::invokeMethod(worker, "run", Qt::AutoConnection);
}

void MainWindow::onProgressDone()
{
    qDebug() << "++++++++++++++++++++++++++++" << "installed without UI";
    exit(0);
}

void MainWindow::onHandleErr(QString e)
{
    qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << e;
    exit(-1);
}
