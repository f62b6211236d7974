// Runs one installation the way the main window does (worker on a CThread,
// queued run, self-deleting worker) and prints on standard output what the
// window would see, one item a line:
//   log <message>        every message the engine logs
//   progress <fraction>  each sigProgress
//   error <text>         sigErr
//   destroyed            the worker's destroyed signal
// Usage: installrunner DEST DESKTOP STARTMENU REGISTER KEEPUNINSTALLER (flags 0 or 1)
// Exit code: 0 when the installation succeeded, 1 when it reported a failure,
// 2 for a wrong command line.

#include "installhelper.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printLine(const QString &kind, const QString &text)
{
    QString flat = text;
    flat.replace('\n', QLatin1String("\\n"));
    const QByteArray line = (kind + ' ' + flat + '\n').toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void printMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    printLine("log", message);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(printMessage);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6)
        return 2;
    const auto flag = [&args](int index) { return args.at(index) == "1"; };

    auto *thread = new CThread;
    auto *worker = new InstallHelper(args.at(1), flag(2), flag(3), flag(4), flag(5));
    worker->moveToThread(thread);
    bool failed = false;
    QObject::connect(worker, &QObject::destroyed, thread, &QObject::deleteLater);
    QObject::connect(worker, &QObject::destroyed, &app, [&failed] {
        printLine("destroyed", QString());
        QCoreApplication::exit(failed ? 1 : 0);
    });
    QObject::connect(worker, &InstallHelper::sigProgress, &app,
                     [](double percent) { printLine("progress", QString::number(percent)); });
    QObject::connect(worker, &InstallHelper::sigErr, &app, [&failed](const QString &e) {
        failed = true;
        printLine("error", e);
    });
    thread->start(QThread::InheritPriority);
    QMetaObject::invokeMethod(worker, "run", Qt::AutoConnection);
    const int result = app.exec();
    // Deletes the thread object, which waits for the worker thread to end.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
