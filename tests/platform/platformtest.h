#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the messages the code under test writes, for as long as it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const { return captured; }
    QStringList criticalLines() const { return criticals; }
    // The lines that start with text.
    QStringList linesStartingWith(const QString &text) const;
    bool has(const QString &line) const { return captured.contains(line); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QStringList captured;
    QStringList criticals;
    QtMessageHandler previous = nullptr;
};

// The helper executable built beside the tests; see platformhelper.cpp.
QString helperPath();

// Runs a program as the unprivileged user "nobody" with the given environment
// and waits for it; its standard output and error are kept in process.
bool runAsNobody(QProcess &process, const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment);
// Lets every user enter path and each folder above it up to stopAt, and also
// write into path itself when writable is true.
void openToAll(const QString &path, const QString &stopAt, bool writable);
// Copies an executable to destination, ready to run.
bool copyExecutable(const QString &source, const QString &destination);
