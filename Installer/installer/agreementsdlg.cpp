#include "agreementsdlg.h"
#include "ui_agreementsdlg.h"

#include <QDebug>
#include <QFile>

AgreementsDlg::AgreementsDlg(QWidget *parent) : QDialog(parent), ui(new Ui::AgreementsDlg)
{
    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(562, 418);
    ui->gridLayout->setContentsMargins(0, 0, 0, 0);

    // The background picture draws a frame; text and button sit inside it.
    ui->widget_bg->setContentsMargins(50, 85, 50, 32);
    ui->gridLayout_2->setSpacing(15);

    QFile agreement(":/agreements.txt");
    if (!agreement.open(QIODevice::ReadOnly)) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "cannot open" << agreement.fileName();
        return;
    }
    ui->textBrowser->setText(QString::fromUtf8(agreement.readAll()));
    agreement.close();
}

AgreementsDlg::~AgreementsDlg()
{
    delete ui;
}

void AgreementsDlg::on_pushButton_clicked()
{
    close();
}
