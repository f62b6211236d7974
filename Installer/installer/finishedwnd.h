#pragma once

#include <QWidget>

namespace Ui { class FinishedWnd; }

// The page shown once the installation has ended: start the launcher, or
// just finish.
class FinishedWnd : public QWidget
{
    Q_OBJECT
public:
    explicit FinishedWnd(QWidget *parent = nullptr);
    ~FinishedWnd() override;

    // After a failed installation there is no launcher to offer.
    void setLaunchOffered(bool offered);

signals:
    void sigClose(bool shoud_start_game);

private slots:
    void on_pushButton_done_clicked();
    void on_pushButton_start_clicked();

private:
    Ui::FinishedWnd *ui;
};
