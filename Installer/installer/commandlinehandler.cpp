#include "commandlinehandler.h"

#include <QCommandLineParser>
#include <QDebug>

namespace {

void declareOptions(QCommandLineParser &parser)
{
    parser.addOption({"d", "Point a path for installation", "target"});
    parser.addOption({"u", "Hide ui"});
    parser.addOption({"s", "No shortcuts for desktop"});
    parser.addOption({"r", "No data for register"});
    parser.addOption({"i", "Remove uninstaller"});
}

} // namespace

bool CommandLineHandler::requestsHiddenUi(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser);
    return parser.parse(arguments) && parser.isSet("u");
}

void CommandLineHandler::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    declareOptions(parser);

    qDebug() << "cl check" << arguments;
    if (!parser.parse(arguments)) {
        qDebug() << parser.errorText();
        return;
    }

    if (parser.isSet("d")) {
        QString path = parser.value("d");
        path.replace('\\', '/');
        if (!path.endsWith('/'))
            path += '/';
        targetPath = path;
    }
    hideUi = hideUi || parser.isSet("u");
    noShortcuts = noShortcuts || parser.isSet("s");
    noRegisterData = noRegisterData || parser.isSet("r");
    removeUninstaller = removeUninstaller || parser.isSet("i");

    qDebug() << "u" << hideUi << "s" << noShortcuts << "r" << noRegisterData << "i"
             << removeUninstaller << "d" << targetPath;
}
