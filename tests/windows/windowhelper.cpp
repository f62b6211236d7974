// Runs the main window in silent mode up to one of its process exits, so a
// test can check the exit code and the log output from outside.
//   low-space  the command-line folder's drive has too little space
//   error      the worker reports a failure, then ends
//   done       the worker ends
#include "mainwindow.h"
#include "msgbox.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(installer);
    const QString mode = argc > 1 ? argv[1] : "";

    // There is nobody to answer in a silent run.
    MsgBox::setAnswerer([](MsgBox &) {
        std::fprintf(stderr, "unexpected box\n");
        std::_Exit(3);
        return 0;
    });
    MainWindow::setFreeSpaceQuery([](const QString &) { return qint64(79) * 1024 * 1024; });

    MainWindow window;
    window.commandLine.hideUi = true;
    window.commandLine.targetPath = QDir::tempPath() + "/silent/";
    if (mode == "low-space")
        window.installDirectly();
    if (mode == "error")
        window.onHandleErr("unpack failed");
    if (mode == "error" || mode == "done")
        window.onProgressDone();
    std::fprintf(stderr, "no exit for mode \"%s\"\n", qPrintable(mode));
    return 4;
}
