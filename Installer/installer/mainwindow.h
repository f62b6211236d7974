#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <functional>

#include "commandlinehandler.h"

namespace Ui { class MainWindow; }
class CThread;
class FinishedWnd;
class ProgressWnd;

// Moves widget so that it is centred over reference; call it after the
// dialog has fixed its size and before it runs.
void centerOnWidget(QWidget *widget, QWidget *reference);

// The installer's only top-level window: the start page, then the progress
// and finished pages of one installation, or the silent install.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void updateDiskSpaceInfo();
    void installDirectly();

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Seams for tests: the folder dialog and the free-space figure can be
    // answered without a person or a real disk of a given size. Empty
    // functions restore the real dialog and the real query.
    using DirectoryChooser = std::function<QString(QWidget *parent, const QString &caption,
                                                   const QString &startFolder)>;
    using FreeSpaceQuery = std::function<qint64(const QString &path)>;
    static void setDirectoryChooser(DirectoryChooser chooser);
    static void setFreeSpaceQuery(FreeSpaceQuery query);

    CommandLineHandler commandLine;

public slots:
    void onProgressDone();
    void onHandleErr(QString e);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_min_clicked();
    void on_pushButton_install_clicked();
    void on_pushButton_choose_path_clicked();
    void on_lineEdit_path_textChanged(QString arg1);
    void on_checkBox_agreements_clicked(bool checked);
    void onAgreementsRequired();
    void on_stackedWidget_currentChanged(int arg1);

private:
    qint64 refreshDiskSpaceLine();
    void warnInsufficientSpace();
    void enableInstallButton(bool agreementAccepted);
    bool waitForLauncherToQuit();
    void startInstallWorker();
    void showFinishedPage();
    void showInstallFailure();
    void leaveFinishedPage(bool shoud_start_game);
    [[noreturn]] void exitSilently();
    void trackTitleDrag(QEvent *event);
    bool isCurrentPage(QWidget *page) const;

    ProgressWnd *progressWnd = nullptr;
    FinishedWnd *finishedWnd = nullptr;
    QPoint dragOrigin;
    Ui::MainWindow *ui;
    QPointer<CThread> installThread;
    // What the worker reported when the installation failed; shown once it ends.
    QString installError;
    bool diskSpaceChecked = false;
};
