#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

namespace spdlog { class logger; }
class QApplication;
struct CommandLineHandler;

// The one application logger; set once during start-up.
extern std::shared_ptr<spdlog::logger> appLogger;

void setupApplication(QApplication &app);

QString getTempPath(const QString &subFolder);
std::shared_ptr<spdlog::logger> initLogger(const QString &logFilePath);
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// Writes every queued log line; called last, before the process ends.
void shutdownLogging();

bool checkArguments(const QStringList &arguments, CommandLineHandler &handler);
