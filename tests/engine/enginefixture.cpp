#include "enginefixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QString InstallRun::logLine(const QString &prefix) const
{
    for (const QString &line : log) {
        if (line.startsWith(prefix))
            return line;
    }
    return QString();
}

int InstallRun::countLog(const QString &prefix) const
{
    int count = 0;
    for (const QString &line : log)
        count += line.startsWith(prefix) ? 1 : 0;
    return count;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static QStringList treeEntries(const QString &root, QDir::Filters kind)
{
    QStringList entries;
    QDirIterator it(root, kind | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

QStringList treeFiles(const QString &root)
{
    return treeEntries(root, QDir::Files);
}

QStringList treeFolders(const QString &root)
{
    return treeEntries(root, QDir::Dirs);
}

bool makePackage(const QString &payload, const QString &package)
{
    QProcess pack;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("INSTALLER_BIN", RUNNER_BIN);
    pack.setProcessEnvironment(environment);
    pack.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pack.start(SOURCE_DIR "/tools/make-package", {payload, package});
    return pack.waitForFinished(300000) && pack.exitStatus() == QProcess::NormalExit
        && pack.exitCode() == 0;
}

InstallRun runInstall(const QString &package, const QString &dest,
                      const InstallOptions &options, const QProcessEnvironment &environment,
                      const QString &workingDir)
{
    const auto flag = [](bool value) { return QString(value ? "1" : "0"); };
    QProcess runner;
    runner.setProcessEnvironment(environment);
    runner.setWorkingDirectory(workingDir.isEmpty() ? package : workingDir);
    runner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    runner.start(package + "/installer",
                 {dest, flag(options.desktopShortcut), flag(options.startMenuShortcuts),
                  flag(options.registerProduct), flag(options.keepUninstaller)});

    InstallRun run;
    run.finished = runner.waitForFinished(300000) && runner.exitStatus() == QProcess::NormalExit;
    if (!run.finished)
        runner.kill();
    run.exitCode = runner.exitCode();
    const QString output = QString::fromUtf8(runner.readAllStandardOutput());
    run.lines = output.split('\n', Qt::SkipEmptyParts);
    for (const QString &line : qAsConst(run.lines)) {
        const QString kind = line.section(' ', 0, 0);
        const QString text = line.section(' ', 1);
        if (kind == "progress")
            run.progress << text;
        else if (kind == "error")
            run.errors << text;
        else if (kind == "log")
            run.log << text;
    }
    return run;
}

QStringList fullProgress()
{
    return {"0", "0.3", "0.6", "0.9", "1"};
}
