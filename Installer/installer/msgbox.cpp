#include "msgbox.h"
#include "ui_msgbox.h"

#include <QKeyEvent>
#include <QTextDocument>

namespace {

MsgBox::Answerer &answerer()
{
    static MsgBox::Answerer instance;
    return instance;
}

} // namespace

MsgBox::MsgBox(bool isSquare, QWidget *parent) : QDialog(parent), ui(new Ui::MsgBox)
{
    ui->setupUi(this);

    const QString title = tr("Information");
    setWindowTitle(title);
    ui->label_title->setText(title);
    ui->label_title->setAlignment(Qt::AlignCenter);
    ui->widget_title->layout()->setContentsMargins(0, 0, 0, 0);
    ui->widget_title->setFixedHeight(30);

    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->gridLayout_3->setContentsMargins(0, 0, 0, 0);

    if (isSquare) {
        setFixedSize(512, 350);
        ui->widget_bg->setProperty("is_square", true);
    } else {
        setFixedSize(642, 300);
    }

    ui->widget_content->layout()->setContentsMargins(20, 0, 20, 0);
    ui->widget_content->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    ui->widget_btm->layout()->setContentsMargins(0, 0, 0, 20);

    ui->label->setAlignment(Qt::AlignCenter);
    ui->label->setWordWrap(true);

    ui->pushButton_ok->setDefault(false);
    ui->pushButton_ok->setAutoDefault(false);
    ui->pushButton_cancel->setDefault(false);
    ui->pushButton_cancel->setAutoDefault(false);
    ui->pushButton_close->hide();

    setButtonText(tr("Okay"), tr("Cancel"));
}

MsgBox::~MsgBox()
{
    delete ui;
}

void MsgBox::setText(const QString &text)
{
    if (Qt::mightBeRichText(text))
        ui->label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui->label->setText(text);
}

void MsgBox::setButtonText(const QString &okText, const QString &cancelText)
{
    ui->pushButton_ok->setText(okText);
    ui->pushButton_cancel->setText(cancelText);
    if (cancelText.isEmpty())
        ui->pushButton_cancel->hide();
    if (okText.isEmpty())
        ui->pushButton_ok->hide();
}

void MsgBox::setButtonVisible(bool okVisible, bool cancelVisible)
{
    ui->pushButton_ok->setVisible(okVisible);
    ui->pushButton_cancel->setVisible(cancelVisible);
}

void MsgBox::setAnswerer(Answerer answerer)
{
    ::answerer() = std::move(answerer);
}

int MsgBox::exec()
{
    if (answerer())
        return answerer()(*this);
    return QDialog::exec();
}

void MsgBox::keyPressEvent(QKeyEvent *event)
{
    // Only the buttons answer the question; Escape must not dismiss it.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void MsgBox::on_pushButton_ok_clicked()
{
    accept();
}

void MsgBox::on_pushButton_cancel_clicked()
{
    reject();
}

void MsgBox::on_pushButton_close_clicked()
{
    reject();
}

MsgBox4Setup::MsgBox4Setup() : MsgBox(false, nullptr)
{
    setWindowFlags(windowFlags() | Qt::Tool);
    setFixedSize(610, 272);
    ui->gridLayout->setContentsMargins(0, 80, 0, 0);
    ui->gridLayout_4->setContentsMargins(0, 0, 0, 60);
    ui->widget_title->hide();
}

MsgBox4Setup::~MsgBox4Setup() = default;
