#include "testenv.h"

#include "commandlinehandler.h"
#include "install.h"

#include <QDir>

namespace {

QStringList capturedMessages;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedMessages << message;
}

} // namespace

// The command line as a caller writes it, and what start-up makes of it.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void checkArguments_data();
    void checkArguments();
    void parseLogsArgumentsAndResult();
    void criticalLineNamesItsOrigin();

private:
    QString root;
};

void TestCommandLine::init()
{
    root = TestEnvironment::current().root() + "/work";
    QDir().mkpath(root);
    QDir::setCurrent(root);
    capturedMessages.clear();
    qInstallMessageHandler(captureMessage);
}

void TestCommandLine::cleanup()
{
    qInstallMessageHandler(nullptr);
}

void TestCommandLine::checkArguments_data()
{
    // Rows use "$" for a scratch folder that exists and "$file" for a file.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("flags"); // hideUi, noShortcuts, noRegisterData, removeUninstaller
    QTest::addColumn<QString>("targetPath");
    QTest::addColumn<QString>("message"); // expected among the logged lines

    QTest::newRow("no arguments") << QStringList{} << true << "----" << "" << "";
    QTest::newRow("silent into an existing folder")
            << QStringList{"-u", "-d", "$"} << true << "u---" << "$/" << "";
    QTest::newRow("backslashes become slashes")
            << QStringList{"-u", "-d", "$\\sub"} << true << "u---" << "$/sub/" << "";
    QTest::newRow("trailing slash kept once")
            << QStringList{"-u", "-d", "$/sub/"} << true << "u---" << "$/sub/" << "";
    QTest::newRow("every option")
            << QStringList{"-u", "-s", "-r", "-i", "-d", "$"} << true << "usri" << "$/" << "";
    QTest::newRow("combined short options")
            << QStringList{"-us", "-d", "$"} << true << "us--" << "$/" << "";
    QTest::newRow("value glued to -d") << QStringList{"-u", "-d$"} << true << "u---" << "$/" << "";
    QTest::newRow("value after -d=") << QStringList{"-u", "-d=$"} << true << "u---" << "$/" << "";
    QTest::newRow("last -d wins")
            << QStringList{"-u", "-d", "$/missing", "-d", "$/sub"} << true << "u---" << "$/sub/" << "";
    QTest::newRow("empty -d is the root folder")
            << QStringList{"-u", "-d", ""} << true << "u---" << "/" << "";
    QTest::newRow("relative -d against the working folder")
            << QStringList{"-u", "-d", "sub"} << true << "u---" << "sub/" << "";
    QTest::newRow("relative -d that does not exist")
            << QStringList{"-u", "-d", "nowhere"} << false << "u---" << "nowhere/"
            << "CommandLine Error: target path not exists or not a dir \"nowhere/\"";
    QTest::newRow("silent without folder")
            << QStringList{"-u"} << false << "u---" << ""
            << "CommandLine Error: no ui and no target path";
    QTest::newRow("silent into a missing folder")
            << QStringList{"-u", "-d", "$\\missing"} << false << "u---" << "$/missing/"
            << "CommandLine Error: target path not exists or not a dir \"$/missing/\"";
    QTest::newRow("silent into a file")
            << QStringList{"-u", "-d", "$file"} << false << "u---" << "$file/"
            << "CommandLine Error: target path not exists or not a dir \"$file/\"";
    QTest::newRow("folder without silent is not checked")
            << QStringList{"-d", "$/missing"} << true << "----" << "$/missing/" << "";
    QTest::newRow("unknown option drops the whole line")
            << QStringList{"-u", "-d", "$", "-x"} << true << "----" << ""
            << "\"Unknown option 'x'.\"";
    QTest::newRow("-d without value")
            << QStringList{"-u", "-d"} << true << "----" << ""
            << "\"Missing value after '-d'.\"";
}

void TestCommandLine::checkArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(QString, flags);
    QFETCH(QString, targetPath);
    QFETCH(QString, message);

    QDir(root).mkpath("sub");
    QFile file(root + "/file");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto expand = [this](QString text) { return text.replace("$", root); };
    for (QString &argument : arguments)
        argument = expand(argument);

    CommandLineHandler handler;
    QCOMPARE(::checkArguments(QStringList{"/pkg/installer"} + arguments, handler), accepted);

    QCOMPARE(handler.hideUi, flags[0] == 'u');
    QCOMPARE(handler.noShortcuts, flags[1] == 's');
    QCOMPARE(handler.noRegisterData, flags[2] == 'r');
    QCOMPARE(handler.removeUninstaller, flags[3] == 'i');
    QCOMPARE(handler.targetPath, expand(targetPath));
    if (!message.isEmpty()) {
        const QString expected = expand(message);
        const bool found = std::any_of(capturedMessages.cbegin(), capturedMessages.cend(),
                                       [&](const QString &line) { return line.endsWith(expected); });
        QVERIFY2(found, qPrintable(capturedMessages.join('\n')));
    }
}

void TestCommandLine::parseLogsArgumentsAndResult()
{
    CommandLineHandler handler;
    handler.parse({"C:\\Setup\\installer.exe", "-u", "-s", "-d", "D:\\Games"});
    QCOMPARE(capturedMessages,
             (QStringList{"cl check (\"C:\\\\Setup\\\\installer.exe\", \"-u\", \"-s\", \"-d\", \"D:\\\\Games\")",
                          "u true s true r false i false d \"D:/Games/\""}));
}

void TestCommandLine::criticalLineNamesItsOrigin()
{
    CommandLineHandler handler;
    QVERIFY(!::checkArguments({"installer", "-u"}, handler));
    QCOMPARE(capturedMessages.size(), 3);
    const QRegularExpression composed(
            "^\\d+ \\S+/Installer/installer/install\\.cpp "
            "bool checkArguments\\(const QStringList&, CommandLineHandler&\\) "
            "CommandLine Error: no ui and no target path$");
    QVERIFY2(composed.match(capturedMessages.last()).hasMatch(), qPrintable(capturedMessages.last()));
}

INSTALLER_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
