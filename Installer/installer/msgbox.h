#pragma once

#include <QDialog>

#include <functional>

namespace Ui { class MsgBox; }

// The installer's own skinned question and notice box: a message and at most
// two buttons; exec() returns 1 for the OK-position button and 0 otherwise.
class MsgBox : public QDialog
{
    Q_OBJECT
public:
    explicit MsgBox(bool isSquare = false, QWidget *parent = nullptr);
    ~MsgBox() override;

    void setText(const QString &text);
    void setButtonText(const QString &okText, const QString &cancelText);
    void setButtonVisible(bool okVisible, bool cancelVisible);

    // While an answerer is set, exec() hands the box to it and returns its
    // answer instead of waiting for a person; tests use this to walk through
    // the window's questions. An empty answerer restores the modal run.
    using Answerer = std::function<int(MsgBox &box)>;
    static void setAnswerer(Answerer answerer);

    int exec() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

    Ui::MsgBox *ui;

private slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_close_clicked();
};

// The box in the shape the installer's pages use: no title bar, 610 x 272.
class MsgBox4Setup : public MsgBox
{
    Q_OBJECT
public:
    MsgBox4Setup();
    ~MsgBox4Setup() override;
};
