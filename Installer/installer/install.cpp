#include "install.h"

#include "commandlinehandler.h"

#include <QApplication>

std::shared_ptr<spdlog::logger> appLogger;

void setupApplication(QApplication &app)
{
    Q_UNUSED(app)
}

QString getTempPath(const QString &subFolder)
{
    Q_UNUSED(subFolder)
    return {};
}

std::shared_ptr<spdlog::logger> initLogger(const QString &logFilePath)
{
    Q_UNUSED(logFilePath)
    return {};
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(type)
    Q_UNUSED(context)
    Q_UNUSED(message)
}

bool checkArguments(const QStringList &arguments, CommandLineHandler &handler)
{
    handler.parse(arguments);
    return true;
}
