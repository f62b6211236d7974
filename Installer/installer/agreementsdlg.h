#pragma once

#include <QDialog>

namespace Ui { class AgreementsDlg; }

// Shows the user agreement compiled into the installer; it only displays,
// acceptance is the start page's check box.
class AgreementsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit AgreementsDlg(QWidget *parent = nullptr);
    ~AgreementsDlg() override;

private slots:
    void on_pushButton_clicked();

private:
    Ui::AgreementsDlg *ui;
};
