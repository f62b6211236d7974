// A small program that the platform tests start as a separate process:
//   lock NAME [child]  holds the instance lock NAME (and, with child, starts a
//                      long-running child first); prints "acquired" or
//                      "duplicate", then "released" after a line "release"
//   register DIR       writes the uninstall entry for DIR, prints true/false
//   count NAME         prints how many processes run with image name NAME
//   remove             schedules the removal of its own folder and ends
// Log lines go to standard error.
#include "elevation.h"
#include "registerhelper.h"
#include "utilities.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>

#include <iostream>

namespace {

void say(const QString &text)
{
    std::cout << text.toStdString() << std::endl;
}

int holdLock(const QString &name, bool withChild)
{
    if (withChild) {
        qint64 pid = 0;
        QProcess::startDetached("/bin/sleep", {"600"}, "/", &pid);
        say("child " + QString::number(pid));
    }
    if (isDuplicateInstance(name)) {
        say("duplicate");
        return 0;
    }
    say("acquired");
    QTextStream input(stdin);
    while (!input.atEnd()) {
        if (input.readLine() == "release") {
            releaseInstanceMutex();
            say("released");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    if (mode == "lock")
        return holdLock(arguments.value(1), arguments.value(2) == "child");
    if (mode == "register") {
        say(RegisterHelper::addInstallerReg(arguments.value(1), "1.0", "维拉云端", 100) ? "true" : "false");
        return 0;
    }
    if (mode == "count") {
        say(QString::number(Utilities::getRunningAppCount(arguments.value(1))));
        return 0;
    }
    if (mode == "remove") {
        rmOpeningFolder(QCoreApplication::applicationDirPath(), 3);
        return 0;
    }
    std::cerr << "unknown mode" << std::endl;
    return 2;
}
