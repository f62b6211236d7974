#pragma once

#include <QObject>
#include <QProcess>

// Runs the archiver to extract the payload into the installer's own folder.
class Unpacker : public QObject
{
    Q_OBJECT
public:
    explicit Unpacker(QObject *parent = nullptr);
    ~Unpacker() override;

    void start();

signals:
    void sigErr(QString e);
    void sigDone();

private slots:
    void onFinished();

private:
    void onErrorOccurred(QProcess::ProcessError error);

    QProcess process;
};
