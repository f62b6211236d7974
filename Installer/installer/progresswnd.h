#pragma once

#include <QWidget>

namespace Ui { class ProgressWnd; }

// The page shown while the installation runs: an animated bar and the
// percentage done.
class ProgressWnd : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressWnd(QWidget *parent = nullptr);
    ~ProgressWnd() override;

public slots:
    // percent is the fraction done, from 0 to 1.
    void updatePercentValue(double percent);
    void updateText(QString text);

private:
    Ui::ProgressWnd *ui;
};
