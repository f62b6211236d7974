// Desktop, start-menu and Quick Launch links in a redirected home.
#include "platformtest.h"
#include "testenv.h"
#include "utilities.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString LinkName = QStringLiteral("维拉云端.lnk");

QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString startMenuPrograms()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + "/Programs";
}

QString quickLaunch()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + "/Microsoft/Internet Explorer/Quick Launch";
}

} // namespace

class TestShortcuts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void linkName_data();
    void linkName();
    void desktopLinkIsReplacedOnRerun();
    void danglingDesktopLinkIsReplaced();
    void startMenuLinkIsNeverRemoved();
    void startMenuNeedsItsProgramsFolder();
    void quickLaunchLinkUsesNativeSeparators();

private:
    QString target;
};

void TestShortcuts::initTestCase()
{
    QVERIFY(desktop().startsWith(QDir::homePath()));
    target = QDir::tempPath() + "/Games/CloudGameVela/CloudGameVela.exe";
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    QFile launcher(target);
    QVERIFY(launcher.open(QIODevice::WriteOnly));
}

void TestShortcuts::init()
{
    for (const QString &folder : {desktop(), startMenuPrograms(), quickLaunch()}) {
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
    }
}

void TestShortcuts::linkName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("product name") << LinkName << LinkName;
    QTest::newRow("empty name takes the target's") << "" << "CloudGameVela.exe.lnk";
    QTest::newRow("upper-case extension") << "Vela.LNK" << "Vela.LNK";
    QTest::newRow("mixed-case extension") << "Vela.Lnk" << "Vela.Lnk";
    QTest::newRow("no extension") << "Vela" << "Vela.lnk";
}

void TestShortcuts::linkName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QVERIFY(Utilities::addDesktopPath(target, name));
    QVERIFY(Utilities::addStartMenuPath(target, name));
    QVERIFY(Utilities::addIEQuickLaunchPath(target, name));

    for (const QString &folder : {desktop(), startMenuPrograms(), quickLaunch()}) {
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), QStringList{expected});
        QCOMPARE(QFileInfo(folder + "/" + expected).symLinkTarget(), target);
    }
}

void TestShortcuts::desktopLinkIsReplacedOnRerun()
{
    const QString link = desktop() + "/" + LinkName;
    QVERIFY(Utilities::addDesktopPath(target, LinkName));
    LogCapture log;
    QVERIFY(Utilities::addDesktopPath(target, LinkName));

    QCOMPARE(log.lines(), QStringList({"rm desktop shortcut true \"" + link + "\"",
                                       "creating desktop shortcut true \"" + target + "\" \"" + link + "\""}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
}

// A link whose launcher has gone does not count as an existing file, yet it
// still occupies the name.
void TestShortcuts::danglingDesktopLinkIsReplaced()
{
    const QString link = desktop() + "/" + LinkName;
    QVERIFY(QFile::link(QDir::tempPath() + "/gone/CloudGameVela.exe", link));
    QVERIFY(Utilities::addDesktopPath(target, LinkName));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
}

void TestShortcuts::startMenuLinkIsNeverRemoved()
{
    const QString link = startMenuPrograms() + "/" + LinkName;
    QVERIFY(Utilities::addStartMenuPath(target, LinkName));
    QVERIFY(Utilities::addIEQuickLaunchPath(target, LinkName));
    LogCapture log;
    QVERIFY(!Utilities::addStartMenuPath(target, LinkName));
    QVERIFY(!Utilities::addIEQuickLaunchPath(target, LinkName));

    QCOMPARE(log.lines(),
             QStringList({"creating Start Menu false \"" + target + "\" \"" + link + "\"",
                          "creating quick lauch shortcut false \"" + target + "\" \"" + quickLaunch() + "/" + LinkName
                              + "\""}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
}

void TestShortcuts::startMenuNeedsItsProgramsFolder()
{
    QDir(startMenuPrograms()).removeRecursively();
    LogCapture log;
    QVERIFY(!Utilities::addStartMenuPath(target, LinkName));
    QCOMPARE(log.lines(), QStringList{"creating Start Menu false \"" + target + "\" \"" + startMenuPrograms() + "/"
                                      + LinkName + "\""});
    QVERIFY(!QFileInfo::exists(startMenuPrograms()));
}

void TestShortcuts::quickLaunchLinkUsesNativeSeparators()
{
    LogCapture log;
    QVERIFY(Utilities::addIEQuickLaunchPath(target, LinkName));
    const QString link = QDir::toNativeSeparators(quickLaunch() + "/" + LinkName);
    QCOMPARE(log.lines(), QStringList{"creating quick lauch shortcut true \"" + target + "\" \"" + link + "\""});
}

INSTALLER_TEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
