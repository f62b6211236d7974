#pragma once

#include <QMainWindow>

#include "commandlinehandler.h"

// The installer's only top-level window.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void installDirectly();

    CommandLineHandler commandLine;

private slots:
    void onProgressDone();
    void onHandleErr(QString e);
};
