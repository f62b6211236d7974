#include "finishedwnd.h"
#include "mainwindow.h"
#include "msgbox.h"
#include "progresswnd.h"
#include "testenv.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

// One installation started from the window with the real worker. This test
// runs from a folder of its own that holds no package, so the worker finds
// nothing to unpack and the installation ends as failed.
class TestInstallFlow : public QObject
{
    Q_OBJECT

private slots:
    void installThroughThePages();
};

void TestInstallFlow::installThroughThePages()
{
    QStringList shown;
    MsgBox::setAnswerer([&shown](MsgBox &box) {
        shown << box.findChild<QLabel *>("label")->text();
        return 1;
    });
    MainWindow::setFreeSpaceQuery([](const QString &) { return qint64(20) << 30; });

    MainWindow window;
    window.show();
    window.findChild<QLineEdit *>("lineEdit_path")->setText(QDir::tempPath() + "/games/CloudGameVela/");
    auto *stack = window.findChild<QStackedWidget *>("stackedWidget");
    auto *background = window.findChild<QWidget *>("widget_bg");
    auto *closeButton = window.findChild<QPushButton *>("pushButton_close");

    QTest::mouseClick(window.findChild<QPushButton *>("pushButton_install"), Qt::LeftButton);
    QVERIFY(qobject_cast<ProgressWnd *>(stack->currentWidget()));
    QCOMPARE(background->property("page_num").toString(), QString("bg_progress"));
    QVERIFY(!closeButton->isEnabled());

    // A close request that bypasses the close button must not end the
    // event loop while the worker copies files.
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QVERIFY(shown.isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<FinishedWnd *>(stack->currentWidget()), 120000);
    QCOMPARE(background->property("page_num").toString(), QString("bg_progress"));
    QVERIFY(closeButton->isEnabled());
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains("CloudGameVelaInstaller.log"), qPrintable(shown[0]));
    QVERIFY(!stack->currentWidget()->findChild<QPushButton *>("pushButton_start")->isVisible());

    QTest::mouseClick(closeButton, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    MsgBox::setAnswerer({});
    MainWindow::setFreeSpaceQuery({});
}

INSTALLER_TEST_MAIN(TestInstallFlow)
#include "tst_installflow.moc"
