#include "finishedwnd.h"
#include "mainwindow.h"
#include "msgbox.h"
#include "registerhelper.h"
#include "testenv.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>

namespace {

const qint64 MB = 1024 * 1024;

struct ShownBox
{
    QString text;
    QString okText;
    bool okShown;
    bool cancelShown;
};

template <typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(name);
}

} // namespace

// The start page, the folder chooser, the free-space rule, dragging and the
// page logic of the main window. Message boxes, the folder dialog and the
// free-space figure are answered by the test.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startPage();
    void installButtonRule_data();
    void installButtonRule();
    void chooseFolder_data();
    void chooseFolder();
    void chooserStartsFromThePathField();
    void alreadyInstalledBlocksTheChooser();
    void diskSpace_data();
    void diskSpace();
    void reselectWithRegisteredProduct();
    void noSpaceWarningBeforeTheWindowShows();
    void silentExits_data();
    void silentExits();
    void drag_data();
    void drag();
    void agreementLinkOpensTheDialog();
    void closeFromStartPage_data();
    void closeFromStartPage();
    void finishedPage();
    void finishedPageStartsTheLauncher();
    void failureShownWhenTheWorkerEnds();

private:
    // Each test starts without an earlier installation.
    // A fresh environment per test, so that nothing one test installs or
    // registers is seen by the next.
    std::unique_ptr<TestEnvironment> environment;
    QList<ShownBox> boxes;
    QList<int> answers; // given in order; 0 once used up
    QStringList chooserCalls;
    QString nextFolder;
    qint64 freeBytes = 0;
};

void TestMainWindow::init()
{
    environment.reset(new TestEnvironment);
    boxes.clear();
    answers.clear();
    chooserCalls.clear();
    nextFolder.clear();
    freeBytes = 10 * 1024 * MB;
    MsgBox::setAnswerer([this](MsgBox &box) {
        auto *ok = box.findChild<QPushButton *>("pushButton_ok");
        auto *cancel = box.findChild<QPushButton *>("pushButton_cancel");
        boxes << ShownBox{box.findChild<QLabel *>("label")->text(), ok->text(), !ok->isHidden(),
                          !cancel->isHidden()};
        return answers.isEmpty() ? 0 : answers.takeFirst();
    });
    MainWindow::setDirectoryChooser([this](QWidget *, const QString &caption, const QString &start) {
        chooserCalls << caption + "|" + start;
        return nextFolder;
    });
    MainWindow::setFreeSpaceQuery([this](const QString &) { return freeBytes; });
}

void TestMainWindow::cleanup()
{
    MsgBox::setAnswerer({});
    MainWindow::setDirectoryChooser({});
    MainWindow::setFreeSpaceQuery({});
    environment.reset();
}

void TestMainWindow::startPage()
{
    MainWindow window;
    QCOMPARE(window.windowFlags() & ~Qt::Window,
             Qt::WindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint));
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window.size(), QSize(678, 549));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(child<QCheckBox>(&window, "checkBox_agreements")->isChecked());
    QVERIFY(child<QCheckBox>(&window, "checkBox_qlb")->isChecked());
    QVERIFY(child<QCheckBox>(&window, "checkBox_shortcuts")->isChecked());

    auto *path = child<QLineEdit>(&window, "lineEdit_path");
    QCOMPARE(path->text(), RegisterHelper::getInstallLocation());
    QCOMPARE(window.commandLine.targetPath, RegisterHelper::getInstallLocation());
    QVERIFY(path->isReadOnly());
    QCOMPARE(path->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(child<QPushButton>(&window, "pushButton_install")->isEnabled(), !path->text().isEmpty());
    QCOMPARE(child<QLabel>(&window, "label_agreements")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->count(), 1);
    QVERIFY(!child<QWidget>(&window, "widget_bg")->property("page_num").isValid());
    QVERIFY(boxes.isEmpty());
}

void TestMainWindow::installButtonRule_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("agreement");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("path, ticked") << "/srv/CloudGameVela/" << "" << true;
    QTest::newRow("no path, ticked") << "" << "" << false;
    QTest::newRow("path, unticked by click") << "/srv/CloudGameVela/" << "click" << false;
    QTest::newRow("path, ticked again by click") << "/srv/CloudGameVela/" << "click,click" << true;
    QTest::newRow("no path, ticked again by click") << "" << "click,click" << false;
    // Only a person's click re-evaluates; a change in code waits for the
    // next change of the path.
    QTest::newRow("path, unticked in code") << "/srv/CloudGameVela/" << "code" << true;
    QTest::newRow("path, unticked in code, path changes")
        << "/srv/CloudGameVela/" << "code,path" << false;
}

void TestMainWindow::installButtonRule()
{
    QFETCH(QString, path);
    QFETCH(QString, agreement);
    QFETCH(bool, enabled);

    MainWindow window;
    auto *pathField = child<QLineEdit>(&window, "lineEdit_path");
    auto *box = child<QCheckBox>(&window, "checkBox_agreements");
    pathField->setText("/placeholder/");
    pathField->setText(path);
    for (const QString &step : agreement.split(',', Qt::SkipEmptyParts)) {
        if (step == "click")
            box->click();
        else if (step == "code")
            box->setChecked(!box->isChecked());
        else
            pathField->setText(path + "other/");
    }
    QCOMPARE(child<QPushButton>(&window, "pushButton_install")->isEnabled(), enabled);
}

void TestMainWindow::chooseFolder_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");
    QTest::newRow("product folder appended") << "/srv/games" << "/srv/games/CloudGameVela/";
    QTest::newRow("trailing slash") << "/srv/games/" << "/srv/games/CloudGameVela/";
    QTest::newRow("backslashes") << "D:\\Games" << "D:/Games/CloudGameVela/";
    QTest::newRow("drive root") << "E:\\" << "E:/CloudGameVela/";
    QTest::newRow("root folder") << "/" << "/CloudGameVela/";
    QTest::newRow("product folder in other case") << "/srv/games/cloudgamevela"
                                                  << "/srv/games/cloudgamevela/";
    QTest::newRow("product folder with slash") << "/srv/CLOUDGAMEVELA/" << "/srv/CLOUDGAMEVELA/";
    QTest::newRow("product folder further up") << "/srv/CloudGameVela/x"
                                               << "/srv/CloudGameVela/x/CloudGameVela/";
    QTest::newRow("cancelled") << "" << "/start/CloudGameVela/";
}

void TestMainWindow::chooseFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, path);

    MainWindow window;
    auto *pathField = child<QLineEdit>(&window, "lineEdit_path");
    pathField->setText("/start/CloudGameVela/");
    QStringList queried;
    MainWindow::setFreeSpaceQuery([&queried](const QString &p) {
        queried << p;
        return 10 * 1024 * MB;
    });

    nextFolder = chosen;
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_choose_path"), Qt::LeftButton);
    QCOMPARE(chooserCalls.size(), 1);
    QCOMPARE(pathField->text(), path);
    // The free-space line follows a new folder.
    QCOMPARE(queried.contains(path), !chosen.isEmpty());
    QVERIFY(boxes.isEmpty());
}

void TestMainWindow::chooserStartsFromThePathField()
{
    MainWindow window;
    auto *pathField = child<QLineEdit>(&window, "lineEdit_path");
    pathField->setText("/srv/games/CloudGameVela/");
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_choose_path"), Qt::LeftButton);
    pathField->setText("");
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_choose_path"), Qt::LeftButton);
    QCOMPARE(chooserCalls, QStringList({"Choose a directory|/srv/games/CloudGameVela/",
                                        "Choose a directory|" + RegisterHelper::getInstallLocation()}));
}

void TestMainWindow::alreadyInstalledBlocksTheChooser()
{
    const QString location = "/srv/" + QString(60, 'a') + "/middle/" + QString(60, 'z') + "/CloudGameVela/";
    QVERIFY(RegisterHelper::addInstallerReg(location, "1.0.0.0", "维拉云端", 100));

    MainWindow window;
    auto *pathField = child<QLineEdit>(&window, "lineEdit_path");
    const QString before = pathField->text();
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_choose_path"), Qt::LeftButton);

    QVERIFY(chooserCalls.isEmpty());
    QCOMPARE(boxes.size(), 1);
    const QStringList lines = boxes[0].text.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString("维拉云端 is already installed on"));
    // Shortened in the middle to fit 250 pixels.
    QVERIFY2(lines[1].contains(QChar(0x2026)) && lines[1].startsWith("/srv/aaa") && lines[1].endsWith("Vela/")
                 && QFontMetrics(MsgBox4Setup().font()).horizontalAdvance(lines[1]) <= 250,
             qPrintable(lines[1]));
    QVERIFY(!boxes[0].cancelShown);
    QCOMPARE(pathField->text(), before);
}

void TestMainWindow::diskSpace_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("remain");
    QTest::addColumn<bool>("warned");
    QTest::newRow("1.9 GB") << qint64(1.9 * 1024 * MB) << "Remain:1GB" << false;
    QTest::newRow("exactly 80 MB") << 80 * MB << "Remain:0GB" << false;
    QTest::newRow("a byte under 80 MB") << 80 * MB - 1 << "Remain:0GB" << true;
    QTest::newRow("79 MB") << 79 * MB << "Remain:0GB" << true;
    QTest::newRow("cannot be determined") << qint64(-1) << "Remain:0GB" << true;
}

void TestMainWindow::diskSpace()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, remain);
    QFETCH(bool, warned);

    freeBytes = bytes;
    MainWindow window;
    window.updateDiskSpaceInfo();
    QCOMPARE(child<QLabel>(&window, "label_disk_storage")->text(),
             "Required:80MB" + QString(18, ' ') + remain);
    if (!warned) {
        QVERIFY(boxes.isEmpty());
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QString("The storage is insufficient, please select again."));
    QCOMPARE(boxes[0].okText, QString("Reselect"));
    QVERIFY(boxes[0].okShown && !boxes[0].cancelShown);
    // The folder chooser follows by itself.
    QTRY_COMPARE_WITH_TIMEOUT(chooserCalls.size(), 1, 10000);
}

// The warning's own click on the folder button meets the same refusal.
void TestMainWindow::reselectWithRegisteredProduct()
{
    QVERIFY(RegisterHelper::addInstallerReg("/srv/CloudGameVela/", "1.0.0.0", "维拉云端", 100));
    freeBytes = 79 * MB;
    MainWindow window;
    window.updateDiskSpaceInfo();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 2, 10000);
    QVERIFY(boxes[1].text.contains(" is already installed on\n/srv/CloudGameVela/"));
    QVERIFY(chooserCalls.isEmpty());
}

// A silent run never shows the window, so it must never be asked anything.
void TestMainWindow::noSpaceWarningBeforeTheWindowShows()
{
    freeBytes = 79 * MB;
    MainWindow window;
    QCoreApplication::processEvents();
    QVERIFY(boxes.isEmpty());
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 10000);
}

void TestMainWindow::silentExits_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("logged");
    QTest::newRow("too little space for the command-line folder") << "low-space" << 255 << "updateDiskSpaceInfo:";
    QTest::newRow("worker failed") << "error" << 255 << "MainWindow::onHandleErr(QString) \"unpack failed\"";
    QTest::newRow("worker done") << "done" << 0 << "installed without UI";
}

void TestMainWindow::silentExits()
{
    QFETCH(QString, mode);
    QFETCH(int, exitCode);
    QFETCH(QString, logged);

    QProcess helper;
    helper.start(WINDOW_HELPER, {mode});
    QVERIFY(helper.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(helper.readAllStandardError());
    QVERIFY2(!output.contains("unexpected box"), qPrintable(output));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), exitCode);
    QVERIFY2(output.contains(logged), qPrintable(output));
    QCOMPARE(output.contains("installed without UI"), exitCode == 0);
}

void TestMainWindow::drag_data()
{
    // Steps: kind (press, move, release), buttons held (L, R, LR or -), global x,y.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QPoint>("moved");
    QTest::newRow("left drag") << "press L 100,100; move L 130,110; move L 140,90" << QPoint(40, -10);
    QTest::newRow("press at the idle origin") << "press L 0,0; move L 20,20" << QPoint(0, 0);
    QTest::newRow("left and right pressed") << "press LR 100,100; move LR 130,110" << QPoint(0, 0);
    QTest::newRow("right button joins the move") << "press L 100,100; move LR 130,110" << QPoint(0, 0);
    QTest::newRow("after release") << "press L 100,100; release - 100,100; move L 150,150" << QPoint(0, 0);
    QTest::newRow("another button released") << "press L 100,100; release L 100,100; move L 110,100"
                                                  << QPoint(0, 0);
}

void TestMainWindow::drag()
{
    QFETCH(QString, steps);
    QFETCH(QPoint, moved);

    MainWindow window;
    window.move(200, 200);
    auto *title = child<QWidget>(&window, "widget_title");
    const QMap<QString, QEvent::Type> kinds = {{"press", QEvent::MouseButtonPress},
                                               {"move", QEvent::MouseMove},
                                               {"release", QEvent::MouseButtonRelease}};
    const QMap<QString, Qt::MouseButtons> held = {
        {"L", Qt::LeftButton}, {"R", Qt::RightButton}, {"LR", Qt::LeftButton | Qt::RightButton}, {"-", {}}};
    for (const QString &step : steps.split(';')) {
        const QStringList parts = step.trimmed().split(' ');
        const QStringList xy = parts[2].split(',');
        const QPointF global(xy[0].toInt(), xy[1].toInt());
        const QEvent::Type kind = kinds.value(parts[0]);
        const Qt::MouseButton button = kind == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(kind, QPointF(5, 5), global, button, held.value(parts[1]), Qt::NoModifier);
        QCoreApplication::sendEvent(title, &event);
    }
    QCOMPARE(window.pos(), QPoint(200, 200) + moved);
}

void TestMainWindow::agreementLinkOpensTheDialog()
{
    MainWindow window;
    window.move(100, 50);
    QString shownClass;
    QPoint shownCentre;
    whenModalShown([&](QWidget *dialog) {
        shownClass = dialog->metaObject()->className();
        shownCentre = dialog->geometry().center();
        dialog->close();
    });
    auto *link = child<QLabel>(&window, "label_agreements");
    QTest::mousePress(link, Qt::LeftButton);
    QCOMPARE(shownClass, QString("AgreementsDlg"));
    QVERIFY2((shownCentre - window.mapToGlobal(window.rect().center())).manhattanLength() <= 2,
             qPrintable(QString("%1,%2").arg(shownCentre.x()).arg(shownCentre.y())));
}

void TestMainWindow::closeFromStartPage_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("quit") << 1 << false;
    QTest::newRow("cancel") << 0 << true;
}

void TestMainWindow::closeFromStartPage()
{
    QFETCH(int, answer);
    QFETCH(bool, stillOpen);

    MainWindow window;
    window.show();
    answers << answer;
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_close"), Qt::LeftButton);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QString("维拉云端 is not installed, are you sure to quit?"));
    QVERIFY(boxes[0].okShown && boxes[0].cancelShown);
    QCOMPARE(window.isVisible(), stillOpen);
}

void TestMainWindow::finishedPage()
{
    MainWindow window;
    window.show();
    window.onProgressDone();
    auto *stack = child<QStackedWidget>(&window, "stackedWidget");
    auto *finished = qobject_cast<FinishedWnd *>(stack->currentWidget());
    QVERIFY(finished);
    QCOMPARE(child<QWidget>(&window, "widget_bg")->property("page_num").toString(), QString("bg_progress"));
    QVERIFY(child<QPushButton>(&window, "pushButton_close")->isEnabled());
    QVERIFY(child<QPushButton>(finished, "pushButton_start")->isVisible());
    QVERIFY(boxes.isEmpty());

    QTest::mouseClick(child<QPushButton>(finished, "pushButton_done"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestMainWindow::finishedPageStartsTheLauncher()
{
    QTemporaryDir games;
    const QString installDir = games.path() + "/CloudGameVela/";
    QDir().mkpath(installDir);
    QVERIFY(QFile::copy(SOURCE_DIR "/demo/payload/CloudGameVela.exe", installDir + "CloudGameVela.exe"));
    const QString marker = games.path() + "/launched";
    qputenv("VELA_DEMO_MARKER", marker.toLocal8Bit());

    MainWindow window;
    window.show();
    nextFolder = games.path();
    QTest::mouseClick(child<QPushButton>(&window, "pushButton_choose_path"), Qt::LeftButton);
    window.onProgressDone();
    auto *finished = child<FinishedWnd>(&window, "FinishedWnd");
    QTest::mouseClick(child<QPushButton>(finished, "pushButton_start"), Qt::LeftButton);
    qunsetenv("VELA_DEMO_MARKER");

    QVERIFY(!window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 30000);
    QFile log(marker);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains(QDir(installDir).canonicalPath().toLocal8Bit()));
}

void TestMainWindow::failureShownWhenTheWorkerEnds()
{
    MainWindow window;
    window.show();
    window.onHandleErr("Failed to unpack package.");
    QVERIFY(boxes.isEmpty());
    QCOMPARE(child<QPushButton>(&window, "pushButton_install")->text(), QString());

    window.onProgressDone();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains("CloudGameVelaInstaller.log"), qPrintable(boxes[0].text));
    QVERIFY(boxes[0].okShown && !boxes[0].cancelShown);
    auto *finished = child<FinishedWnd>(&window, "FinishedWnd");
    QVERIFY(finished->isVisible());
    QVERIFY(!child<QPushButton>(finished, "pushButton_start")->isVisible());
}

INSTALLER_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
