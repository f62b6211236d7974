// The uninstall entry, the registry store behind it, and the lookup of an
// earlier install location.
#include "platform/registrystore.h"
#include "platformtest.h"
#include "registerhelper.h"
#include "testenv.h"
#include "utilities.h"

#include <QDir>
#include <QSettings>

namespace {

const QString UninstallKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela";
const QString UninstallPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela";
const QString WowKey =
    "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QVariant storedValue(const QString &key, const QString &name)
{
    QVariant value;
    return Platform::readRegistryValue(key, name, value) == Platform::RegistrySuccess ? value : QVariant();
}

} // namespace

class TestRegistration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void entryIsWrittenInRegeditFormat();
    void valuesNotWrittenKeepEarlierOnes();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void readRegValue_data();
    void readRegValue();
    void replaceKeepsOldFileWhole();
    void brokenStoreIsNeverOverwritten();
    void unwritableRootWritesNothing();
    void readOnlyRootForUnprivilegedUser();
    void lookupOrder_data();
    void lookupOrder();
    void applicationSettingsNeedAnOrganisation();
    void defaultLocation();
    void programsFolderDefaultsToOpt();
};

void TestRegistration::init()
{
    QDir(Platform::registryRoot()).removeRecursively();
}

void TestRegistration::entryIsWrittenInRegeditFormat()
{
    LogCapture log;
    QVERIFY(RegisterHelper::addInstallerReg("/opt/Games/CloudGameVela/", "1.2.3.4", "维拉云端", 92170));

    QCOMPARE(QString::fromUtf8(readAll(Platform::registryFile())),
             QString("Windows Registry Editor Version 5.00\n"
                     "\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela]\n"
                     "\"DisplayName\"=\"维拉云端\"\n"
                     "\"UninstallString\"=\"\\\"/opt/Games/CloudGameVela/uninstaller.exe\\\"\"\n"
                     "\"DisplayIcon\"=\"\\\"/opt/Games/CloudGameVela/CloudGameVela.exe\\\"\"\n"
                     "\"URLInfoAbout\"=\"https://vela.orvane.com/\"\n"
                     "\"HelpLink\"=\"https://vela.orvane.com/\"\n"
                     "\"Publisher\"=\"Orvane\"\n"
                     "\"InstallLocation\"=\"/opt/Games/CloudGameVela/\"\n"
                     "\"EstimatedSize\"=dword:0001680a\n"
                     "\"DisplayVersion\"=\"1.2.3.4\"\n"));
    QCOMPARE(storedValue(UninstallKey, "EstimatedSize"), QVariant(quint32(92170)));
    QCOMPARE(storedValue(UninstallKey, "uninstallstring").toString(),
             QString("\"/opt/Games/CloudGameVela/uninstaller.exe\""));
    QVERIFY(log.has("\"HKEY_LOCAL_MACHINE\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\CloudGameVela\" "
                    "\"/opt/Games/CloudGameVela/\" true"));
    QVERIFY(log.criticalLines().isEmpty());
}

void TestRegistration::valuesNotWrittenKeepEarlierOnes()
{
    QVERIFY(RegisterHelper::addInstallerReg("/opt/Old/", "1.0", "维拉云端", 2048));
    LogCapture log;
    QVERIFY(RegisterHelper::addInstallerReg("/opt/New/", "", "维拉云端", 0));

    QVERIFY(log.has("++++++++++++++++++++++++++++ EstimatedSize 0 "));
    QCOMPARE(storedValue(UninstallKey, "InstallLocation").toString(), QString("/opt/New/"));
    QCOMPARE(storedValue(UninstallKey, "EstimatedSize"), QVariant(quint32(2048)));
    QCOMPARE(storedValue(UninstallKey, "DisplayVersion").toString(), QString("1.0"));
    QVERIFY(RegisterHelper::addInstallerReg("/opt/New/", "", "维拉云端", -5));
    QCOMPARE(storedValue(UninstallKey, "EstimatedSize"), QVariant(quint32(2048)));
}

void TestRegistration::valuesRoundTrip_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("plain text") << QVariant(QString("D:/Games/"));
    QTest::newRow("quotes and backslashes") << QVariant(QString("\"C:\\Program Files\\a\\\" \\\\"));
    QTest::newRow("line breaks and tabs") << QVariant(QString("one\ntwo\r\n\tthree"));
    QTest::newRow("non-latin") << QVariant(QString("维拉云端 ü"));
    QTest::newRow("empty text") << QVariant(QString(""));
    QTest::newRow("text like a section") << QVariant(QString("[HKEY_LOCAL_MACHINE\\x]"));
    QTest::newRow("largest number") << QVariant(quint32(0xFFFFFFFF));
    QTest::newRow("zero") << QVariant(quint32(0));
}

void TestRegistration::valuesRoundTrip()
{
    QFETCH(QVariant, value);
    QCOMPARE(Platform::writeRegistryValues(UninstallKey, {{"Before", QString("b")}, {"Value", value}}),
             long(Platform::RegistrySuccess));
    QCOMPARE(Platform::writeRegistryValues(WowKey, {{"After", QString("a")}}), long(Platform::RegistrySuccess));

    QCOMPARE(storedValue(UninstallKey, "Value"), value);
    QCOMPARE(storedValue(UninstallKey, "Before"), QVariant(QString("b")));
    QCOMPARE(storedValue(WowKey, "After"), QVariant(QString("a")));
}

void TestRegistration::readRegValue_data()
{
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("value found") << UninstallPath << "/srv/vela/" << "/srv/vela/"
                                 << "got reg val \"/srv/vela/\"";
    QTest::newRow("key path in other letter case") << UninstallPath.toUpper() << "/srv/vela/" << "/srv/vela/"
                                                   << "got reg val \"/srv/vela/\"";
    QTest::newRow("missing key") << "Software\\Missing" << "/srv/vela/" << ""
                                 << "RegOpenKey failed 2 InstallLocation";
    QTest::newRow("missing value") << UninstallPath << QString() << ""
                                   << "RegQueryValueEx failed 2 InstallLocation " + UninstallPath;
    QTest::newRow("259 units fit the buffer") << UninstallPath << QString(259, 'x') << QString(259, 'x')
                                              << "got reg val \"" + QString(259, 'x') + "\"";
    QTest::newRow("260 units do not") << UninstallPath << QString(260, 'x') << ""
                                      << "RegQueryValueEx failed 234 InstallLocation " + UninstallPath;
}

void TestRegistration::readRegValue()
{
    QFETCH(QString, keyPath);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QFETCH(QString, logLine);
    const QVector<Platform::RegistryValue> values = {{"Publisher", QString("Orvane")}};
    QCOMPARE(Platform::writeRegistryValues(UninstallKey, stored.isNull() ? values
                                                                         : values + QVector<Platform::RegistryValue>{
                                                                               {"InstallLocation", stored}}),
             long(Platform::RegistrySuccess));

    LogCapture log;
    QCOMPARE(RegisterHelper::readRegValue("InstallLocation", keyPath), expected);
    QCOMPARE(log.lines(), QStringList{logLine});
}

// A reader that opened the store before a write still sees the whole old
// store: the new one replaces it and is never written over it.
void TestRegistration::replaceKeepsOldFileWhole()
{
    QVERIFY(RegisterHelper::addInstallerReg("/opt/Old/", "1.0", "维拉云端", 2048));
    const QByteArray before = readAll(Platform::registryFile());
    QFile reader(Platform::registryFile());
    QVERIFY(reader.open(QIODevice::ReadOnly));

    QVERIFY(RegisterHelper::addInstallerReg("/opt/Much/Longer/Folder/Than/Before/", "2.0", "维拉云端", 4096));

    QCOMPARE(reader.readAll(), before);
    QVERIFY(readAll(Platform::registryFile()).contains("/opt/Much/Longer/Folder/Than/Before/"));
    QCOMPARE(QDir(Platform::registryRoot()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"HKEY_LOCAL_MACHINE.reg"});
}

void TestRegistration::brokenStoreIsNeverOverwritten()
{
    const QByteArray broken = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"unterminated\n";
    QDir().mkpath(Platform::registryRoot());
    writeFile(Platform::registryFile(), broken);

    LogCapture log;
    QVERIFY(!RegisterHelper::addInstallerReg("/opt/New/", "1.0", "维拉云端", 10));
    QCOMPARE(readAll(Platform::registryFile()), broken);
    QCOMPARE(log.criticalLines().size(), 1);
    QVERIFY(log.criticalLines().first().contains("registry write failed 1009"));
    QCOMPARE(RegisterHelper::readRegValue("InstallLocation", UninstallPath), QString());
    QVERIFY(log.has("RegOpenKey failed 1009 InstallLocation"));
}

void TestRegistration::unwritableRootWritesNothing()
{
    const QString blocker = QDir::tempPath() + "/plain-file";
    writeFile(blocker, "not a folder");
    const QByteArray root = qgetenv("INSTALLER_REGISTRY_ROOT");
    qputenv("INSTALLER_REGISTRY_ROOT", (blocker + "/registry").toLocal8Bit());
    LogCapture log;
    const bool written = RegisterHelper::addInstallerReg("/opt/New/", "1.0", "维拉云端", 10);
    qputenv("INSTALLER_REGISTRY_ROOT", root);

    QVERIFY(!written);
    QVERIFY(log.lines().first().endsWith("\"/opt/New/\" false"));
    QCOMPARE(log.criticalLines().size(), 1);
    QVERIFY(log.criticalLines().first().endsWith(
        "\"HKEY_LOCAL_MACHINE\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\CloudGameVela\""));
}

// The store belongs to root; an unprivileged process is told it may not write
// and leaves the earlier entry as it was.
void TestRegistration::readOnlyRootForUnprivilegedUser()
{
    QVERIFY(RegisterHelper::addInstallerReg("/opt/Old/", "1.0", "维拉云端", 2048));
    const QByteArray before = readAll(Platform::registryFile());
    const QString envRoot = QFileInfo(Platform::registryRoot()).absolutePath();
    openToAll(Platform::registryRoot(), envRoot, false);
    openToAll(Platform::registryFile(), envRoot, false);
    const QString helperCopy = envRoot + "/platformhelper";
    QVERIFY(copyExecutable(helperPath(), helperCopy));

    QProcess helper;
    QVERIFY(runAsNobody(helper, helperCopy, {"register", "/opt/New/"}, QProcessEnvironment::systemEnvironment()));
    const QString errors = QString::fromUtf8(helper.readAllStandardError());

    QCOMPARE(QString::fromUtf8(helper.readAllStandardOutput()).trimmed(), QString("false"));
    QVERIFY2(errors.contains("\"/opt/New/\" false"), qPrintable(errors));
    QVERIFY2(errors.contains("RegisterHelper::addInstallerReg(const QString&, const QString&, const QString&, int) "
                             "\"HKEY_LOCAL_MACHINE\\\\Software"),
             qPrintable(errors));
    QCOMPARE(readAll(Platform::registryFile()), before);
}

void TestRegistration::lookupOrder_data()
{
    QTest::addColumn<QString>("uninstallEntry");
    QTest::addColumn<QString>("wowEntry");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("logLines");

    QTest::newRow("uninstall entry, no raw read")
        << "/opt/Games/CloudGameVela/" << "/srv/wow/" << "/opt/Games/CloudGameVela/"
        << QStringList{"getInstallLocation, using native val \"/opt/Games/CloudGameVela/\""};
    QTest::newRow("32-bit view only")
        << QString() << "/srv/wow/" << "/srv/wow/"
        << QStringList{"RegOpenKey failed 2 InstallLocation", "got reg val \"/srv/wow/\"",
                       "getInstallLocation, using API 64 val \"/srv/wow/\""};
    QTest::newRow("empty uninstall value falls through")
        << "" << "/srv/wow/" << "/srv/wow/"
        << QStringList{"got reg val \"\"", "got reg val \"/srv/wow/\"",
                       "getInstallLocation, using API 64 val \"/srv/wow/\""};
    QTest::newRow("only spaces is a location")
        << "   " << QString() << "   " << QStringList{"getInstallLocation, using native val \"   \""};
    QTest::newRow("no trailing slash is kept")
        << "/srv/vela" << QString() << "/srv/vela" << QStringList{"getInstallLocation, using native val \"/srv/vela\""};
    QTest::newRow("nothing registered")
        << QString() << QString() << ""
        << QStringList{"RegOpenKey failed 2 InstallLocation", "RegOpenKey failed 2 InstallLocation"};
}

void TestRegistration::lookupOrder()
{
    QFETCH(QString, uninstallEntry);
    QFETCH(QString, wowEntry);
    QFETCH(QString, expected);
    QFETCH(QStringList, logLines);
    if (!uninstallEntry.isNull())
        Platform::writeRegistryValues(UninstallKey, {{"InstallLocation", uninstallEntry}});
    if (!wowEntry.isNull())
        Platform::writeRegistryValues(WowKey, {{"InstallLocation", wowEntry}});

    for (int round = 0; round < 2; ++round) {
        LogCapture log;
        QCOMPARE(RegisterHelper::getRegisteredInstallLocation(), expected);
        QCOMPARE(log.lines(), logLines);
    }
}

// The installer sets no organisation name, so its own settings are never read.
void TestRegistration::applicationSettingsNeedAnOrganisation()
{
    QCoreApplication::setOrganizationName("Orvane");
    QSettings().setValue("path", "/srv/compat/");
    {
        LogCapture log;
        QCOMPARE(RegisterHelper::getRegisteredInstallLocation(), QString("/srv/compat/"));
        QCOMPARE(log.lines().last(), QString("getInstallLocation, using compatible val \"/srv/compat/\""));
    }
    QCoreApplication::setOrganizationName(QString());
    LogCapture log;
    QCOMPARE(RegisterHelper::getRegisteredInstallLocation(), QString());
    QVERIFY(log.linesStartingWith("getInstallLocation").isEmpty());
}

void TestRegistration::defaultLocation()
{
    LogCapture log;
    const QString programs = qEnvironmentVariable("INSTALLER_PROGRAMS_DIR");
    QCOMPARE(RegisterHelper::getInstallLocation(), programs + "/CloudGameVela/");
    QVERIFY(log.has("Program Path \"" + programs + "/\""));
    QCOMPARE(log.lines().last(), "getInstallLocation, using def val \"" + programs + "/CloudGameVela/\"");
}

void TestRegistration::programsFolderDefaultsToOpt()
{
    const QByteArray programs = qgetenv("INSTALLER_PROGRAMS_DIR");
    qunsetenv("INSTALLER_PROGRAMS_DIR");
    const QString path = getProgramPath();
    qputenv("INSTALLER_PROGRAMS_DIR", programs);
    QCOMPARE(path, QString("/opt/"));
}

INSTALLER_TEST_MAIN(TestRegistration)
#include "tst_registration.moc"
