#include "progresswnd.h"
#include "ui_progresswnd.h"

namespace {

QString percentText(double percent)
{
    return QString::number(percent * 100, 'g', 6) + "%";
}

} // namespace

ProgressWnd::ProgressWnd(QWidget *parent) : QWidget(parent), ui(new Ui::ProgressWnd)
{
    ui->setupUi(this);
    ui->gridLayout->setContentsMargins(60, 370, 60, 0);
    ui->progressBar->setRange(0, 10000);
    ui->progressBar->setValue(8000);
    ui->label_percent->setText(percentText(0.8));
}

ProgressWnd::~ProgressWnd()
{
    delete ui;
}

void ProgressWnd::updatePercentValue(double percent)
{
    ui->progressBar->setValue(int(percent * 10000));
    ui->label_percent->setText(percentText(percent));
}

void ProgressWnd::updateText(QString text)
{
    // The page keeps its "Installing" label whatever the worker reports.
    Q_UNUSED(text)
}
