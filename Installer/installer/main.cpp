#include "commandlinehandler.h"
#include "elevation.h"
#include "install.h"
#include "mainwindow.h"
#include "platform/display.h"
#include "../utilities.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char *argv[])
{
    int notElevatedExit = 0;
    if (!ensureAdmin(argc, argv, notElevatedExit)) {
        qDebug() << "return for admin rights";
        return notElevatedExit;
    }

    // A silent install shows no window, so it must also run where no display
    // is there (a server, a provisioning script).
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLineHandler::requestsHiddenUi(rawArguments))
        Platform::allowRunningWithoutDisplay();

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(installer);
    setupApplication(app);

    CommandLineHandler handler;
    if (!checkArguments(QCoreApplication::arguments(), handler))
        return -1;

    qDebug() << "running dir:" << QCoreApplication::applicationDirPath();

    if (isDuplicateInstance("VelaIninstallMutex")) {
        qDebug() << "duplicate instance";
        return 0;
    }

    MainWindow window;
    window.commandLine = handler;
    if (handler.hideUi)
        window.installDirectly();
    else
        window.show();

    const int result = app.exec();

    releaseInstanceMutex();
    rmOpeningFolder(QCoreApplication::applicationDirPath(), 3);
    shutdownLogging();
    return result;
}
