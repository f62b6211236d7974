#include "unpacker.h"

#include "platform/programsearch.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

const QString archiverName = QStringLiteral("7za.exe");

// The archiver ends its lines with "\n": success is the words on a line of
// their own.
const QByteArray successMarker = QByteArrayLiteral("\nEverything is Ok\n");

} // namespace

Unpacker::Unpacker(QObject *parent) : QObject(parent)
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString archiver = Platform::findProgram(archiverName, appDir);
    process.setProgram(archiver.isEmpty() ? archiverName : archiver);
    process.setArguments({"x", "-y", "vela.7z"});
    process.setWorkingDirectory(appDir);
    connect(&process, &QProcess::started, this, [] { qDebug() << "running 7za.exe"; });
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &Unpacker::onFinished);
    // A program that cannot be started never reports finished.
    connect(&process, &QProcess::errorOccurred, this, &Unpacker::onErrorOccurred);
}

Unpacker::~Unpacker() = default;

void Unpacker::start()
{
    process.start(QIODevice::ReadWrite);
    // Nothing is ever typed in: a question (such as a password prompt) reads
    // end of input and fails instead of waiting forever.
    process.closeWriteChannel();
}

void Unpacker::onFinished()
{
    qDebug() << "done 7za.exe";
    const QByteArray output = process.readAllStandardOutput();
    if (output.contains(successMarker)) {
        emit sigDone();
        return;
    }
    qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << QString::fromLocal8Bit(output)
                << QString::fromLocal8Bit(process.readAllStandardError());
    emit sigErr(tr("Failed to unpack package."));
}

void Unpacker::onErrorOccurred(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return;
    qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "cannot start" << process.program()
                << process.errorString();
    emit sigErr(tr("Failed to unpack package."));
}
