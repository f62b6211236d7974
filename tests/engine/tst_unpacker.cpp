// The unpacker's verdict on the archiver's output, with stand-in archivers
// (shell scripts named 7za.exe) found on PATH, and the archiver lookup.

#include "enginefixture.h"
#include "platform/programsearch.h"
#include "testenv.h"
#include "unpacker.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList criticalMessages;

void collectCriticals(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg)
        criticalMessages << message;
}

// A script that writes exactly these bytes to its standard output.
QByteArray standInScript(const QByteArray &output, int exitCode)
{
    QByteArray escaped;
    for (const char byte : output)
        escaped += '\\' + QByteArray::number(uchar(byte), 8).rightJustified(3, '0');
    return "#!/bin/sh\nprintf '" + escaped + "'\nexit " + QByteArray::number(exitCode) + "\n";
}

bool writeProgram(const QString &path, const QByteArray &content, bool executable = true)
{
    if (!writeFile(path, content))
        return false;
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    return QFile::setPermissions(path, permissions);
}

} // namespace

class TestUnpacker : public QObject
{
    Q_OBJECT

private:
    // Runs one unpacker with PATH set to folder; returns "done" or "error".
    QString runUnpacker(const QString &folder);

    QByteArray originalPath;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void successMarker_data();
    void successMarker();
    void archiverThatCannotStart_data();
    void archiverThatCannotStart();
    void findProgram_data();
    void findProgram();
};

void TestUnpacker::initTestCase()
{
    // The unpacker looks beside the running executable first; the stand-ins
    // must come from PATH.
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + "/7za.exe"));
    originalPath = qgetenv("PATH");
}

void TestUnpacker::init()
{
    criticalMessages.clear();
    qInstallMessageHandler(collectCriticals);
}

void TestUnpacker::cleanup()
{
    qInstallMessageHandler(nullptr);
    qputenv("PATH", originalPath);
}

QString TestUnpacker::runUnpacker(const QString &folder)
{
    qputenv("PATH", folder.toLocal8Bit());
    Unpacker unpacker;
    QSignalSpy done(&unpacker, &Unpacker::sigDone);
    QSignalSpy error(&unpacker, &Unpacker::sigErr);
    unpacker.start();
    if (!QTest::qWaitFor([&] { return done.count() + error.count() > 0; }, 60000))
        return "no answer";
    if (done.count() + error.count() != 1)
        return "more than one answer";
    if (!error.isEmpty())
        return "error: " + error.first().first().toString();
    return "done";
}

void TestUnpacker::successMarker_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("success");

    QTest::newRow("marker at the end") << QByteArray("\nExtracting archive: vela.7z\n\nEverything is Ok\n") << 0 << true;
    QTest::newRow("marker followed by text") << QByteArray("x\nEverything is Ok\n\nSize: 3\n") << 0 << true;
    QTest::newRow("marker in the middle of other lines") << QByteArray("a\nEverything is Ok\nb\nc\n") << 0 << true;
    QTest::newRow("non-zero exit with marker") << QByteArray("\nEverything is Ok\n") << 2 << true;
    QTest::newRow("words at the very start") << QByteArray("Everything is Ok\n") << 0 << false;
    QTest::newRow("words without the final delimiter") << QByteArray("\nEverything is Ok") << 0 << false;
    QTest::newRow("words inside a line") << QByteArray("\nNot Everything is Ok\n") << 0 << false;
    QTest::newRow("other letter case") << QByteArray("\nEverything is OK\n") << 0 << false;
    QTest::newRow("carriage returns instead") << QByteArray("\rEverything is Ok\r") << 0 << false;
    QTest::newRow("empty output") << QByteArray() << 0 << false;
    QTest::newRow("errors only") << QByteArray("\nERROR: Data Error : a.txt\n") << 2 << false;
}

void TestUnpacker::successMarker()
{
    QFETCH(QByteArray, output);
    QFETCH(int, exitCode);
    QFETCH(bool, success);

    QTemporaryDir folder;
    QVERIFY(writeProgram(folder.path() + "/7za.exe", standInScript(output, exitCode)));

    const QString result = runUnpacker(folder.path());

    if (success) {
        QCOMPARE(result, QString("done"));
        QVERIFY(criticalMessages.isEmpty());
    } else {
        QCOMPARE(result, QString("error: Failed to unpack package."));
        QCOMPARE(criticalMessages.size(), 1);
        // The critical line carries the archiver's output as a quoted text.
        QString quoted;
        QDebug(&quoted) << QString::fromLocal8Bit(output);
        quoted = quoted.trimmed();
        QVERIFY2(criticalMessages.first().contains(quoted), qPrintable(criticalMessages.first()));
    }
}

void TestUnpacker::archiverThatCannotStart_data()
{
    QTest::addColumn<QString>("archiver");

    QTest::newRow("missing") << "missing";
    QTest::newRow("not executable") << "not executable";
    QTest::newRow("a folder of that name") << "folder";
}

void TestUnpacker::archiverThatCannotStart()
{
    QFETCH(QString, archiver);

    QTemporaryDir folder;
    const QString path = folder.path() + "/7za.exe";
    if (archiver == "not executable")
        QVERIFY(writeProgram(path, standInScript("\nEverything is Ok\n", 0), false));
    else if (archiver == "folder")
        QVERIFY(QDir().mkpath(path));

    QCOMPARE(runUnpacker(folder.path()), QString("error: Failed to unpack package."));
    QCOMPARE(criticalMessages.size(), 1);
    QVERIFY(criticalMessages.first().contains("cannot start"));
}

void TestUnpacker::findProgram_data()
{
    QTest::addColumn<QString>("beside");
    QTest::addColumn<bool>("onPath");
    QTest::addColumn<QString>("expected");

    QTest::newRow("beside the installer wins") << "executable" << true << "beside";
    QTest::newRow("only beside") << "executable" << false << "beside";
    QTest::newRow("beside but not executable") << "not executable" << true << "path";
    QTest::newRow("a folder beside") << "folder" << true << "path";
    QTest::newRow("only on PATH") << "none" << true << "path";
    QTest::newRow("nowhere") << "none" << false << "";
}

void TestUnpacker::findProgram()
{
    QFETCH(QString, beside);
    QFETCH(bool, onPath);
    QFETCH(QString, expected);

    QTemporaryDir root;
    const QString appFolder = root.path() + "/app";
    const QString pathFolder = root.path() + "/bin";
    QDir().mkpath(appFolder);
    QDir().mkpath(pathFolder);
    if (beside == "folder")
        QDir().mkpath(appFolder + "/7za.exe");
    else if (beside != "none")
        QVERIFY(writeProgram(appFolder + "/7za.exe", "#!/bin/sh\n", beside == "executable"));
    if (onPath)
        QVERIFY(writeProgram(pathFolder + "/7za.exe", "#!/bin/sh\n"));
    qputenv("PATH", (root.path() + "/nothing:" + pathFolder).toLocal8Bit());

    const QString found = Platform::findProgram("7za.exe", appFolder);

    const QString wanted = expected == "beside" ? appFolder + "/7za.exe"
        : expected == "path"                    ? pathFolder + "/7za.exe"
                                                : QString();
    QCOMPARE(found, wanted);
}

INSTALLER_TEST_MAIN(TestUnpacker)
#include "tst_unpacker.moc"
