// benchcopy SOURCE DEST LOGFILE
//
// The installer's copy step alone: copies the tree below SOURCE into DEST the
// way the install worker does (with its log lines, written to LOGFILE) and
// syncs it. Exit code 0 when every file arrived.

#include "installhelper.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

FILE *logFile = nullptr;

void writeMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const QByteArray line = message.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), logFile);
}

QString folderPath(const char *argument)
{
    QString path = QFile::decodeName(argument);
    return path.endsWith('/') ? path : path + '/';
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    logFile = std::fopen(argv[3], "w");
    if (!logFile)
        return 2;
    qInstallMessageHandler(writeMessage);
    const QString error = copyTree(folderPath(argv[1]), folderPath(argv[2]), {});
    std::fclose(logFile);
    return error.isEmpty() ? 0 : 1;
}
