#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "agreementsdlg.h"
#include "finishedwnd.h"
#include "install.h"
#include "installhelper.h"
#include "msgbox.h"
#include "progresswnd.h"
#include "registerhelper.h"
#include "utilities.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QStorageInfo>
#include <QStyle>
#include <QTimer>

#include <cstdlib>

namespace {

const qint64 requiredSpaceMB = 80;
const QString productDisplayName = QStringLiteral("维拉云端");
const QString launcherName = QStringLiteral("CloudGameVela.exe");

MainWindow::DirectoryChooser &directoryChooser()
{
    static MainWindow::DirectoryChooser instance;
    return instance;
}

MainWindow::FreeSpaceQuery &freeSpaceQuery()
{
    static MainWindow::FreeSpaceQuery instance;
    return instance;
}

QString chooseDirectory(QWidget *parent, const QString &caption, const QString &startFolder)
{
    if (directoryChooser())
        return directoryChooser()(parent, caption, startFolder);
    return QFileDialog::getExistingDirectory(parent, caption, startFolder, QFileDialog::ShowDirsOnly);
}

// The folder is usually not created yet: the volume that will hold it is the
// one of its nearest existing ancestor. -1 when it cannot be determined.
qint64 volumeBytesAvailable(const QString &path)
{
    if (path.isEmpty())
        return -1;
    QString folder = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            return -1;
        folder = parent;
    }
    const QStorageInfo storage(folder);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

qint64 bytesAvailable(const QString &path)
{
    if (freeSpaceQuery())
        return freeSpaceQuery()(path);
    return volumeBytesAvailable(path);
}

// An interactive choice always ends in the product's own folder.
QString withProductFolder(QString folder)
{
    folder.replace("\\", "/");
    if (!folder.endsWith('/'))
        folder += '/';
    const QString productFolder = QStringLiteral("CloudGameVela/");
    if (!folder.endsWith(productFolder, Qt::CaseInsensitive))
        folder += productFolder;
    return folder;
}

bool startLauncher(const QString &exe, const QString &installDir)
{
    QStringList command = QProcess::splitCommand(Utilities::getQuotedPath(exe, false));
    if (command.isEmpty())
        return false;
    const QString program = command.takeFirst();
    // Started from the install folder, the launcher does not hold on to the
    // installer's folder, which is removed once the installer has ended.
    return QProcess::startDetached(program, command, installDir);
}

} // namespace

void centerOnWidget(QWidget *widget, QWidget *reference)
{
    QRect rect = widget->rect();
    rect.moveCenter(reference->rect().center());
    widget->move(reference->mapToGlobal(rect.topLeft()));
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    commandLine.targetPath = RegisterHelper::getInstallLocation();
    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(678, 549);
    // Widget contents margins and text margins are not properties of the form.
    ui->widget_path->setContentsMargins(0, 190, 0, 0);
    ui->lineEdit_path->setTextMargins(9, 0, 0, 0);
    ui->widget_btm->setContentsMargins(40, 15, 45, 50);

    ui->widget_title->installEventFilter(this);
    ui->label_agreements->installEventFilter(this);
    ui->label_agreements->setCursor(Qt::PointingHandCursor);

    ui->checkBox_agreements->setChecked(true);
    ui->checkBox_qlb->setChecked(true);
    ui->checkBox_shortcuts->setChecked(true);

    ui->lineEdit_path->setReadOnly(true);
    ui->lineEdit_path->setText(commandLine.targetPath);
    ui->lineEdit_path->setContextMenuPolicy(Qt::NoContextMenu);
    // setText fires no change for an empty text; apply the rule regardless.
    enableInstallButton(ui->checkBox_agreements->isChecked());

    refreshDiskSpaceLine();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::setDirectoryChooser(DirectoryChooser chooser)
{
    directoryChooser() = std::move(chooser);
}

void MainWindow::setFreeSpaceQuery(FreeSpaceQuery query)
{
    freeSpaceQuery() = std::move(query);
}

qint64 MainWindow::refreshDiskSpaceLine()
{
    const qint64 mb = bytesAvailable(ui->lineEdit_path->text()) / 1024 / 1024;
    const qint64 gb = mb / 1024;
    ui->label_disk_storage->setText(tr("Required:%1MB").arg(requiredSpaceMB) + QString(18, ' ')
                                    + tr("Remain:%1GB").arg(gb));
    return mb;
}

void MainWindow::updateDiskSpaceInfo()
{
    const qint64 mb = refreshDiskSpaceLine();
    if (mb >= requiredSpaceMB)
        return;
    qDebug() << "updateDiskSpaceInfo:" << ui->lineEdit_path->text() << mb
             << bytesAvailable(ui->lineEdit_path->text());
    warnInsufficientSpace();
}

void MainWindow::warnInsufficientSpace()
{
    if (commandLine.hideUi) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
        exit(-1);
    }
    MsgBox4Setup box;
    centerOnWidget(&box, this);
    box.setText(tr("The storage is insufficient, please select again."));
    box.setButtonText(tr("Reselect"), QString());
    box.setButtonVisible(true, false);
    box.exec();
    ui->pushButton_choose_path->animateClick(100);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The free-space warning waits for the window to appear; a silent run
    // never shows it and checks the command-line folder instead.
    if (!diskSpaceChecked) {
        diskSpaceChecked = true;
        QTimer::singleShot(0, this, &MainWindow::updateDiskSpaceInfo);
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Ending the event loop now would destroy the running worker thread and
    // remove the installer's folder while files are still being copied.
    if (isCurrentPage(progressWnd)) {
        qDebug() << "trying to close wnd while installing";
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->widget_title)
        trackTitleDrag(event);
    else if (watched == ui->label_agreements && event->type() == QEvent::MouseButtonPress)
        onAgreementsRequired();
    return QMainWindow::eventFilter(watched, event);
}

// dragOrigin (0, 0) is the idle state; a press with the left button alone
// starts a drag, the release of any button ends it.
void MainWindow::trackTitleDrag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::LeftButton)
            dragOrigin = mouse->globalPos();
        break;
    }
    case QEvent::MouseButtonRelease:
        dragOrigin = QPoint();
        break;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!dragOrigin.isNull() && mouse->buttons() == Qt::LeftButton) {
            move(pos() + mouse->globalPos() - dragOrigin);
            dragOrigin = mouse->globalPos();
        }
        break;
    }
    default:
        break;
    }
}

void MainWindow::on_pushButton_close_clicked()
{
    if (isCurrentPage(ui->page_startup)) {
        MsgBox4Setup box;
        centerOnWidget(&box, this);
        box.setText(productDisplayName + tr(" is not installed, are you sure to quit?"));
        box.setButtonText(tr("Quit"), tr("Cancel"));
        if (box.exec() != 1)
            return;
    }
    // closeEvent refuses while the installation runs.
    close();
}

void MainWindow::on_pushButton_min_clicked()
{
    showMinimized();
}

void MainWindow::on_pushButton_install_clicked()
{
    if (!waitForLauncherToQuit())
        return;
    if (!progressWnd) {
        progressWnd = new ProgressWnd;
        ui->stackedWidget->addWidget(progressWnd);
    }
    ui->stackedWidget->setCurrentWidget(progressWnd);
    startInstallWorker();
}

// False when the user cancelled while the launcher still runs.
bool MainWindow::waitForLauncherToQuit()
{
    int count = Utilities::getRunningAppCount(launcherName);
    while (count != 0) {
        qDebug() << "CloudGameVela.exe" << " is running, instance count" << count;
        if (commandLine.hideUi) {
            qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
            exit(-1);
        }
        MsgBox4Setup box;
        centerOnWidget(&box, this);
        box.setText(productDisplayName + tr(" is running, please exit and try again."));
        box.setButtonText(tr("Retry"), tr("Cancel"));
        if (box.exec() == 0)
            return false;
        count = Utilities::getRunningAppCount(launcherName);
    }
    return true;
}

void MainWindow::startInstallWorker()
{
    installError.clear();
    const bool shortcutsAllowed = !commandLine.noShortcuts;
    auto *thread = new CThread;
    installThread = thread;
    auto *worker = new InstallHelper(ui->lineEdit_path->text(),
                                     shortcutsAllowed && ui->checkBox_shortcuts->isChecked(),
                                     shortcutsAllowed && ui->checkBox_qlb->isChecked(),
                                     !commandLine.noRegisterData, !commandLine.removeUninstaller);
    worker->moveToThread(thread);
    connect(worker, &QObject::destroyed, thread, &QObject::deleteLater);
    connect(worker, &QObject::destroyed, this, &MainWindow::onProgressDone);
    connect(worker, &InstallHelper::sigProgress, progressWnd, &ProgressWnd::updatePercentValue);
    connect(worker, &InstallHelper::sigProgressText, progressWnd, &ProgressWnd::updateText);
    connect(worker, &InstallHelper::sigErr, this, &MainWindow::onHandleErr);
    thread->start(QThread::InheritPriority);
    QMetaObject::invokeMethod(worker, "run");
}

void MainWindow::on_pushButton_choose_path_clicked()
{
    const QString registered = RegisterHelper::getRegisteredInstallLocation();
    if (!registered.isEmpty()) {
        MsgBox4Setup box;
        const QString elided = box.fontMetrics().elidedText(registered, Qt::ElideMiddle, 250);
        centerOnWidget(&box, this);
        box.setText(productDisplayName + tr(" is already installed on") + "\n" + elided);
        box.setButtonText(tr("Okay"), QString());
        box.exec();
        return;
    }

    QString startFolder = ui->lineEdit_path->text();
    if (startFolder.isEmpty())
        startFolder = RegisterHelper::getInstallLocation();
    const QString chosen = chooseDirectory(this, tr("Choose a directory"), startFolder);
    if (chosen.isEmpty())
        return;
    ui->lineEdit_path->setText(withProductFolder(chosen));
    updateDiskSpaceInfo();
}

void MainWindow::on_lineEdit_path_textChanged(QString arg1)
{
    Q_UNUSED(arg1)
    enableInstallButton(ui->checkBox_agreements->isChecked());
}

void MainWindow::on_checkBox_agreements_clicked(bool checked)
{
    enableInstallButton(checked);
}

void MainWindow::enableInstallButton(bool agreementAccepted)
{
    ui->pushButton_install->setEnabled(!ui->lineEdit_path->text().isEmpty() && agreementAccepted);
}

void MainWindow::onAgreementsRequired()
{
    AgreementsDlg dialog;
    centerOnWidget(&dialog, this);
    dialog.exec();
}

void MainWindow::installDirectly()
{
    qDebug() << "installDirectly";
    // The command-line folder itself, without the product folder.
    ui->lineEdit_path->setText(commandLine.targetPath);
    // Ends the process when its drive is too small: there is nobody to ask.
    updateDiskSpaceInfo();
    on_pushButton_install_clicked();
}

void MainWindow::onProgressDone()
{
    if (commandLine.hideUi)
        exitSilently();
    showFinishedPage();
    if (!installError.isEmpty())
        showInstallFailure();
}

void MainWindow::onHandleErr(QString e)
{
    if (commandLine.hideUi)
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << e;
    // Acted on once the worker has ended (onProgressDone): ending the process
    // while it still runs would tear down what it is using.
    installError = e;
}

void MainWindow::exitSilently()
{
    if (installThread) {
        installThread->quit();
        installThread->wait();
    }
    if (!installError.isEmpty())
        exit(-1);
    qDebug() << "++++++++++++++++++++++++++++" << "installed without UI";
    exit(0);
}

void MainWindow::showFinishedPage()
{
    if (!finishedWnd) {
        finishedWnd = new FinishedWnd;
        connect(finishedWnd, &FinishedWnd::sigClose, this, &MainWindow::leaveFinishedPage);
        ui->stackedWidget->addWidget(finishedWnd);
    }
    finishedWnd->setLaunchOffered(installError.isEmpty());
    ui->stackedWidget->setCurrentWidget(finishedWnd);
}

void MainWindow::showInstallFailure()
{
    const QString logFile = getTempPath(QString()) + "CloudGameVelaInstaller.log";
    MsgBox4Setup box;
    centerOnWidget(&box, this);
    box.setText(productDisplayName + tr(" could not be installed, see the log file:") + "\n"
                + QDir::toNativeSeparators(logFile));
    box.setButtonText(tr("Okay"), QString());
    box.exec();
}

void MainWindow::leaveFinishedPage(bool shoud_start_game)
{
    if (shoud_start_game) {
        const QString exe = ui->lineEdit_path->text() + launcherName;
        qDebug() << "installed, run launcher" << startLauncher(exe, ui->lineEdit_path->text()) << exe;
    }
    close();
}

void MainWindow::on_stackedWidget_currentChanged(int arg1)
{
    Q_UNUSED(arg1)
    QString pageName = "page_startup";
    if (isCurrentPage(progressWnd)) {
        ui->pushButton_close->setEnabled(false);
        pageName = "bg_progress";
    } else if (isCurrentPage(ui->page_startup)) {
    } else if (isCurrentPage(finishedWnd)) {
        pageName = "bg_progress";
        ui->pushButton_close->setEnabled(true);
    } else {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO;
    }
    // The style sheet selects the background on page_num; re-polish so the
    // change shows at once.
    ui->widget_bg->setProperty("page_num", pageName);
    style()->unpolish(ui->widget_bg);
    style()->polish(ui->widget_bg);
    update();
}

bool MainWindow::isCurrentPage(QWidget *page) const
{
    return page && ui->stackedWidget->currentWidget() == page;
}
