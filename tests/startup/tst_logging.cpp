#include "testenv.h"

#include "install.h"
#include "platform/logfile.h"

#include <spdlog/spdlog.h>

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

// The log file as a support engineer reads it: one line per message, a local
// timestamp, CR LF line ends, only the messages worth keeping, and a file that
// cannot be redirected by whoever else writes to the temporary folder.
class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void linesHaveTheDocumentedFormat();
    void messagesAreComposedLikeTheDebugStream();
    void filters_data();
    void filters();
    void rotatesAtOneHundredKiBKeepingOneGeneration();
    void refusesFilesItMustNotWriteTo_data();
    void refusesFilesItMustNotWriteTo();
    void removesAnOldLogUnlessItIsInUse();

private:
    // Opens the logger on path, sends the messages, and waits until every
    // line is in the file.
    template<typename Send>
    void logTo(const QString &path, Send send);
    QStringList lines(const QString &path) const;

    QString folder;
    QString logPath;
};

void TestLogging::init()
{
    folder = TestEnvironment::current().root() + "/" + QTest::currentTestFunction();
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    logPath = folder + "/CloudGameVelaInstaller.log";
}

void TestLogging::cleanup()
{
    qInstallMessageHandler(nullptr);
    appLogger.reset();
}

template<typename Send>
void TestLogging::logTo(const QString &path, Send send)
{
    appLogger = initLogger(path);
    qInstallMessageHandler(messageHandler);
    send();
    qInstallMessageHandler(nullptr);
    shutdownLogging();
    appLogger.reset();
}

QStringList TestLogging::lines(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    QStringList result = QString::fromUtf8(content).split("\r\n");
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

void TestLogging::linesHaveTheDocumentedFormat()
{
    logTo(logPath, [] { qDebug() << "running dir:" << QString("/opt/pkg"); });

    QFile file(logPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY2(!content.startsWith("\xEF\xBB\xBF"), "no byte-order mark");
    QVERIFY(content.endsWith("\r\n"));
    QCOMPARE(content.count('\n'), content.count("\r\n"));

    const QStringList all = lines(logPath);
    QCOMPARE(all.size(), 2);
    const QRegularExpression line("^\\[\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\]  (.*)$");
    QCOMPARE(line.match(all[0]).captured(1), "log: \"" + logPath + "\"");
    QCOMPARE(line.match(all[1]).captured(1), QString("running dir: \"/opt/pkg\""));

    const QString stamp = all[1].mid(1, 19);
    const QDateTime written = QDateTime::fromString(stamp, "yyyy/MM/dd HH:mm:ss");
    QVERIFY2(qAbs(written.secsTo(QDateTime::currentDateTime())) < 600, "local time");
    QCOMPARE(QFileInfo(logPath).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

void TestLogging::messagesAreComposedLikeTheDebugStream()
{
    int criticalLine = 0;
    QString function;
    logTo(logPath, [&] {
        qDebug() << "path" << QString("C:\\Setup\\\"x\"") << QStringList{"a", "b"} << true << 42;
        function = Q_FUNC_INFO;
        criticalLine = __LINE__ + 1;
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "went wrong" << QString("v");
        qDebug() << QString::fromUtf8("维拉云端");
    });

    QStringList messages;
    for (const QString &line : lines(logPath))
        messages << line.mid(27);
    QCOMPARE(messages.value(1), QString("path \"C:\\\\Setup\\\\\\\"x\\\"\" (\"a\", \"b\") true 42"));
    QCOMPARE(messages.value(2), QString("%1 %2 %3 went wrong \"v\"")
                     .arg(criticalLine)
                     .arg(__FILE__)
                     .arg(function));
    QCOMPARE(messages.value(3), QString::fromUtf8("\"维拉云端\""));
}

void TestLogging::filters_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("written"); // empty: nothing written

    QTest::newRow("widget warning") << int(QtWarningMsg) << "QWidget::repaint: Recursive repaint" << "";
    QTest::newRow("png profile warning") << int(QtWarningMsg) << "libpng warning: iCCP: known incorrect sRGB profile" << "";
    QTest::newRow("process destroyed") << int(QtWarningMsg) << "QProcess: Destroyed while process (\"7za.exe\") is still running." << "";
    QTest::newRow("prefixes are case-sensitive") << int(QtWarningMsg) << "qwidget::x" << "qwidget::x";
    QTest::newRow("prefix only at the start") << int(QtDebugMsg) << "see QWidget::show" << "see QWidget::show";
    QTest::newRow("unknown-error phrase removed")
            << int(QtCriticalMsg) << QString::fromUtf8("拒绝访问。未知的错误 code 5 未知的错误")
            << QString::fromUtf8("拒绝访问。 code 5 ");
    QTest::newRow("toolkit warning kept") << int(QtWarningMsg) << "QFont: bad family" << "QFont: bad family";
    QTest::newRow("info kept") << int(QtInfoMsg) << "note" << "note";
    QTest::newRow("no placeholder processing") << int(QtDebugMsg) << "{} {0} %s" << "{} {0} %s";
}

void TestLogging::filters()
{
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(QString, written);

    logTo(logPath, [&] { messageHandler(QtMsgType(type), QMessageLogContext(), message); });
    const QStringList all = lines(logPath);
    if (written.isEmpty()) {
        QCOMPARE(all.size(), 1);
    } else {
        QCOMPARE(all.size(), 2);
        QCOMPARE(all[1].mid(27), written);
    }
}

void TestLogging::rotatesAtOneHundredKiBKeepingOneGeneration()
{
    const QString padding(90, 'x');
    logTo(logPath, [&] {
        for (int i = 0; i < 3000; ++i)
            qDebug() << "line" << i << padding.toLatin1().constData();
    });

    const QString rotated = folder + "/CloudGameVelaInstaller.1.log";
    QVERIFY(QFile::exists(rotated));
    QVERIFY(!QFile::exists(folder + "/CloudGameVelaInstaller.2.log"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    QVERIFY(QFileInfo(rotated).size() <= 102400);
    QVERIFY(QFileInfo(rotated).size() > 102400 - 200);
    QVERIFY(QFileInfo(logPath).size() <= 102400);

    // The newest line is the last one, and the older file ends where the
    // current one begins.
    const QStringList current = lines(logPath);
    const QStringList older = lines(rotated);
    QVERIFY(current.last().contains("line 2999 "));
    const int lastOlder = older.last().section(' ', 4, 4).toInt();
    const int firstCurrent = current.first().section(' ', 4, 4).toInt();
    QCOMPARE(firstCurrent, lastOlder + 1);
}

void TestLogging::refusesFilesItMustNotWriteTo_data()
{
    QTest::addColumn<QString>("plant");
    QTest::newRow("symbolic link to a file") << "symlink";
    QTest::newRow("dangling symbolic link") << "dangling";
    QTest::newRow("hard link") << "hardlink";
    QTest::newRow("file of another user") << "foreign";
    QTest::newRow("folder") << "folder";
    QTest::newRow("named pipe") << "fifo";
}

// Whatever someone planted at the log path, the logger falls back to the
// console and the file behind it stays as it was.
void TestLogging::refusesFilesItMustNotWriteTo()
{
    QFETCH(QString, plant);
    const QString victim = folder + "/victim";
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("precious\n");
    file.close();
    const QByteArray path = logPath.toLocal8Bit();

    if (plant == "symlink")
        QVERIFY(QFile::link(victim, logPath));
    else if (plant == "dangling")
        QVERIFY(QFile::link(folder + "/created-through-link", logPath));
    else if (plant == "hardlink")
        QCOMPARE(::link(victim.toLocal8Bit().constData(), path.constData()), 0);
    else if (plant == "foreign") {
        QVERIFY(QFile::copy(victim, logPath));
        if (geteuid() != 0)
            QSKIP("needs root to give the file away");
        QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
    } else if (plant == "folder")
        QVERIFY(QDir().mkpath(logPath));
    else if (plant == "fifo")
        QCOMPARE(::mkfifo(path.constData(), 0666), 0);

    auto logger = initLogger(logPath);
    QVERIFY(logger);
    QVERIFY(logger->name() != "app");
    logger->info("must not reach the victim");
    logger->flush();

    QFile check(victim);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("precious\n"));
    QVERIFY(!QFile::exists(folder + "/created-through-link"));
}

void TestLogging::removesAnOldLogUnlessItIsInUse()
{
    const std::string path = logPath.toStdString();
    {
        Platform::LogFile running;
        QVERIFY(running.open(path, false));
        QVERIFY(running.write("first instance\r\n", 16));
        Platform::removeLogFileUnlessInUse(path);
        QVERIFY2(QFile::exists(logPath), "kept while another instance writes to it");
    }
    Platform::removeLogFileUnlessInUse(path);
    QVERIFY2(!QFile::exists(logPath), "removed once nobody uses it");

    QVERIFY(QFile::link(folder + "/elsewhere", logPath));
    Platform::removeLogFileUnlessInUse(path);
    QVERIFY2(!QFileInfo(logPath).isSymLink(), "a planted link is removed, not followed");
}

INSTALLER_TEST_MAIN(TestLogging)
#include "tst_logging.moc"
