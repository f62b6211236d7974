#include "finishedwnd.h"
#include "ui_finishedwnd.h"

FinishedWnd::FinishedWnd(QWidget *parent) : QWidget(parent), ui(new Ui::FinishedWnd)
{
    ui->setupUi(this);
    ui->gridLayout->setContentsMargins(0, 300, 60, 0);
    ui->gridLayout->setSpacing(20);
}

FinishedWnd::~FinishedWnd()
{
    delete ui;
}

void FinishedWnd::setLaunchOffered(bool offered)
{
    ui->pushButton_start->setVisible(offered);
}

void FinishedWnd::on_pushButton_done_clicked()
{
    emit sigClose(false);
}

void FinishedWnd::on_pushButton_start_clicked()
{
    emit sigClose(true);
}
