#include "agreementsdlg.h"
#include "finishedwnd.h"
#include "mainwindow.h"
#include "msgbox.h"
#include "progresswnd.h"
#include "testenv.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QLabel>

// Every window's texts: English source texts without the catalogue, the
// Chinese ones with it, looked up in the class's own context.
class TestWindowTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void texts_data();
    void texts();
    void questions_data();
    void questions();

private:
    std::unique_ptr<CatalogueScope> catalogue;
    static QWidget *create(const QString &className);
    static QString textOf(QWidget *widget);
};

void TestWindowTexts::initTestCase()
{
    MainWindow::setFreeSpaceQuery([](const QString &) { return qint64(20) << 30; });
}

void TestWindowTexts::cleanupTestCase()
{
    MainWindow::setFreeSpaceQuery({});
    MsgBox::setAnswerer({});
}

// Rows tagged "zh" run with the catalogue installed.
void TestWindowTexts::init()
{
    if (!QByteArray(QTest::currentDataTag()).startsWith("zh"))
        return;
    catalogue.reset(new CatalogueScope);
    QVERIFY(catalogue->isLoaded());
}

void TestWindowTexts::cleanup()
{
    catalogue.reset();
}

QWidget *TestWindowTexts::create(const QString &className)
{
    if (className == "MainWindow")
        return new MainWindow;
    if (className == "ProgressWnd")
        return new ProgressWnd;
    if (className == "FinishedWnd")
        return new FinishedWnd;
    if (className == "MsgBox")
        return new MsgBox;
    return new AgreementsDlg;
}

QString TestWindowTexts::textOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return qobject_cast<QAbstractButton *>(widget)->text();
}

void TestWindowTexts::texts_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("text");
    const QList<QStringList> texts = {
        {"MainWindow", "label_path_indicator", "Install Path:", "安装路径："},
        {"MainWindow", "checkBox_qlb", "Add to the Start menu", "添加到“开始菜单”"},
        {"MainWindow", "checkBox_shortcuts", "Generate shortcuts", "生成快捷方式"},
        {"MainWindow", "checkBox_agreements", "I accept", "我已阅读并认可"},
        {"MainWindow", "label_agreements", "agreement", "用户协议"},
        {"MainWindow", "label_disk_storage", "Required:80MB" + QString(18, ' ') + "Remain:20GB",
         "所需空间：80MB" + QString(18, ' ') + "剩余空间：20GB"},
        {"ProgressWnd", "label", "Installing", "正在安装..."},
        {"FinishedWnd", "pushButton_start", "Start", "打开启动器"},
        {"FinishedWnd", "pushButton_done", "Done", "完成"},
        {"MsgBox", "label_title", "Information", "温馨提示"},
        {"MsgBox", "pushButton_ok", "Okay", "确认"},
        {"MsgBox", "pushButton_cancel", "Cancel", "取消"},
        {"AgreementsDlg", "pushButton", "Okay", "我知道了"},
    };
    for (bool chinese : {false, true}) {
        for (const QStringList &row : texts) {
            QTest::addRow("%s %s %s", chinese ? "zh" : "en", qPrintable(row[0]), qPrintable(row[1]))
                << row[0] << row[1] << row[chinese ? 3 : 2];
        }
    }
}

void TestWindowTexts::texts()
{
    QFETCH(QString, className);
    QFETCH(QString, objectName);
    QFETCH(QString, text);

    std::unique_ptr<QWidget> window(create(className));
    auto *widget = window->findChild<QWidget *>(objectName);
    QVERIFY(widget);
    QCOMPARE(textOf(widget), text);
}

void TestWindowTexts::questions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("okText");
    QTest::addColumn<QString>("cancelText");
    QTest::newRow("en quit") << "维拉云端 is not installed, are you sure to quit?" << "Quit" << "Cancel";
    QTest::newRow("zh quit") << "维拉云端安装尚未完成，是否确定退出安装？" << "退出" << "取消";
}

// The display name stays untranslated in front of the translated question.
void TestWindowTexts::questions()
{
    QFETCH(QString, text);
    QFETCH(QString, okText);
    QFETCH(QString, cancelText);

    QStringList shown;
    MsgBox::setAnswerer([&shown](MsgBox &box) {
        shown << box.findChild<QLabel *>("label")->text()
              << box.findChild<QAbstractButton *>("pushButton_ok")->text()
              << box.findChild<QAbstractButton *>("pushButton_cancel")->text();
        return 0;
    });
    MainWindow window;
    window.show();
    QTest::mouseClick(window.findChild<QAbstractButton *>("pushButton_close"), Qt::LeftButton);
    QCOMPARE(shown, QStringList({text, okText, cancelText}));
}

INSTALLER_TEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
