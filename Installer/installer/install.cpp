#include "install.h"

#include "appfont.h"
#include "commandlinehandler.h"
#include "logfilesink.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QStandardPaths>
#include <QTranslator>

#include <spdlog/async.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <cstdio>

std::shared_ptr<spdlog::logger> appLogger;

namespace {

constexpr std::size_t maxLogFileSize = 102400;

QString logFilePath()
{
    return getTempPath(QString()) + "CloudGameVela" + "Installer.log";
}

void loadStyleSheet(QApplication &app)
{
    QFile css(":/def.css");
    if (!css.open(QIODevice::ReadOnly))
        return;
    app.setStyleSheet(QString::fromUtf8(css.readAll()));
    css.close();
}

void loadTranslator(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load("://zh_CN.qm"))
        QApplication::installTranslator(translator);
}

void setupLogging()
{
    const QString path = logFilePath();
    // A running instance keeps its log open; a new run then appends to it.
    Platform::removeLogFileUnlessInUse(path.toLocal8Bit().toStdString());
    appLogger = initLogger(path);
    qInstallMessageHandler(messageHandler);
}

bool startsWithDroppedPrefix(const QString &message)
{
    static const char *const droppedPrefixes[] = {
        "QWidget::",
        "libpng warning: iCCP:",
        "QProcess: Destroyed while process",
    };
    for (const char *prefix : droppedPrefixes) {
        if (message.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

} // namespace

void setupApplication(QApplication &app)
{
    QApplication::setApplicationVersion("0.0.1");
    QApplication::setApplicationDisplayName(QString::fromUtf8("维拉云端安装程序"));
    QApplication::setApplicationName("CloudGameVela Installer");
    QApplication::setWindowIcon(QIcon("://app.ico"));
    loadStyleSheet(app);
    loadTranslator(app);
    addFontSubstitutes();
    QApplication::setFont(QFont("Microsoft Yahei", 9));
    setupLogging();
}

QString getTempPath(const QString &subFolder)
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + '/';
    if (!subFolder.isEmpty())
        path += subFolder + '/';
    return path;
}

std::shared_ptr<spdlog::logger> initLogger(const QString &logFilePath)
{
    const QByteArray localPath = logFilePath.toLocal8Bit();
    std::fprintf(stdout, "%s\n", localPath.constData());
    std::fflush(stdout);
    try {
        auto sink = std::make_shared<LogFileSink>(localPath.toStdString(), maxLogFileSize);
        auto pool = spdlog::thread_pool();
        if (!pool) {
            spdlog::init_thread_pool(8192, 1);
            pool = spdlog::thread_pool();
        }
        auto logger = std::make_shared<spdlog::async_logger>(
                "app", std::move(sink), pool, spdlog::async_overflow_policy::block);
        logger->set_formatter(std::make_unique<spdlog::pattern_formatter>(
                "[%Y/%m/%d %H:%M:%S.%e]  %v", spdlog::pattern_time_type::local, "\r\n"));
        logger->set_level(spdlog::level::debug);
        logger->flush_on(spdlog::level::debug);
        const QByteArray first = "log: \"" + logFilePath.toUtf8() + '"';
        logger->info(spdlog::string_view_t(first.constData(), std::size_t(first.size())));
        return logger;
    } catch (const spdlog::spdlog_ex &e) {
        auto fallback = spdlog::default_logger();
        if (!fallback) // after a shutdown the library keeps no default logger
            fallback = std::make_shared<spdlog::logger>(
                    "console", std::make_shared<spdlog::sinks::stdout_sink_mt>());
        fallback->error(std::string("spdlog init failed: ") + e.what());
        return fallback;
    }
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(context)
    if (startsWithDroppedPrefix(message))
        return;
    QString text = message;
    text.remove(QString::fromUtf8("未知的错误"));
    const auto level = type == QtDebugMsg ? spdlog::level::info : spdlog::level::critical;
    const QByteArray utf8 = text.toUtf8();
    if (appLogger)
        appLogger->log(level, spdlog::string_view_t(utf8.constData(), std::size_t(utf8.size())));
}

void shutdownLogging()
{
    // Ending the thread pool makes its writer thread write every queued line.
    spdlog::shutdown();
}

bool checkArguments(const QStringList &arguments, CommandLineHandler &handler)
{
    handler.parse(arguments);
    if (!handler.hideUi)
        return true;
    if (handler.targetPath.isEmpty()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO
                    << "CommandLine Error: no ui and no target path";
        return false;
    }
    const QFileInfo target(handler.targetPath);
    if (!target.exists() || !target.isDir()) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO
                    << "CommandLine Error: target path not exists or not a dir"
                    << handler.targetPath;
        return false;
    }
    return true;
}
