#include "testenv.h"

#include "appfont.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QImageReader>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCodec>
#include <QVBoxLayout>
#include <QTranslator>

namespace {

QByteArray readResource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Selector lists of every rule, each selector with its whitespace normalised.
QSet<QString> selectorsOf(QString css)
{
    css.remove(QRegularExpression(R"(/\*.*?\*/)", QRegularExpression::DotMatchesEverythingOption));
    QSet<QString> selectors;
    QRegularExpressionMatchIterator rule = QRegularExpression(R"(([^{}]+)\{[^}]*\})").globalMatch(css);
    while (rule.hasNext()) {
        for (const QString &selector : rule.next().captured(1).split(','))
            selectors.insert(selector.simplified());
    }
    return selectors;
}

QStringList messages;

void collectMessages(QtMsgType, const QMessageLogContext &, const QString &message)
{
    messages << message;
}

// Pixels where `expected` is opaque but `shown` differs from it (beyond
// rounding); -1 when `expected` has no opaque pixel or the sizes differ.
int mismatchedOpaquePixels(const QImage &shownImage, const QImage &expectedImage)
{
    const QImage shown = shownImage.convertToFormat(QImage::Format_ARGB32);
    const QImage expected = expectedImage.convertToFormat(QImage::Format_ARGB32);
    if (shown.size() != expected.size())
        return -1;
    int opaque = 0;
    int mismatched = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            if (qAlpha(want) != 255)
                continue;
            ++opaque;
            const QRgb got = shown.pixel(x, y);
            if (qAbs(qRed(got) - qRed(want)) > 2 || qAbs(qGreen(got) - qGreen(want)) > 2
                || qAbs(qBlue(got) - qBlue(want)) > 2)
                ++mismatched;
        }
    }
    return opaque == 0 ? -1 : mismatched;
}

// The widgets a style rule selects on, nested as the main window nests them.
struct MainWindowSkeleton {
    QWidget window;
    QWidget *background;
    QWidget *bottom;

    MainWindowSkeleton()
    {
        window.setObjectName("MainWindow");
        background = new QWidget(&window);
        background->setObjectName("widget_bg");
        background->setFixedSize(678, 549);
        bottom = new QWidget(background);
        bottom->setObjectName("widget_btm");
        bottom->move(0, 100);
        auto *choosePath = new QPushButton(background);
        choosePath->setObjectName("pushButton_choose_path");
        auto *install = new QPushButton(bottom);
        install->setObjectName("pushButton_install");
        window.resize(678, 549);
    }
};

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void resourceAtItsSize_data();
    void resourceAtItsSize();
    void iconHoldsEverySize();

    void styleSheetParsesCleanly();
    void styleSheetHoldsSelector_data();
    void styleSheetHoldsSelector();
    void styleSheetImagesExist();
    void backgroundFollowsPageProperty_data();
    void backgroundFollowsPageProperty();
    void buttonShowsStateImage_data();
    void buttonShowsStateImage();

    void titleButtonShowsOnlyItsImage_data();
    void titleButtonShowsOnlyItsImage();
    void agreementScrollBarIsSkinned();

    void catalogueTranslates_data();
    void catalogueTranslates();
    void catalogueLeavesUnknownTextAlone_data();
    void catalogueLeavesUnknownTextAlone();

    void agreementFormat();

    void chineseRendersInTheApplicationFont();

private:
    QString styleSheet;
    QTranslator translator;
};

void TestResources::initTestCase()
{
    styleSheet = QString::fromUtf8(readResource(":/def.css"));
    QVERIFY(!styleSheet.isEmpty());
    QVERIFY(translator.load("://zh_CN.qm"));
    QCoreApplication::installTranslator(&translator);
    // Set once, before any widget exists, as the application does.
    qApp->setStyleSheet(styleSheet);
}

void TestResources::resourceAtItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size"); // invalid for resources that are not images

    QTest::newRow("style sheet") << ":/def.css" << QSize();
    QTest::newRow("catalogue") << "://zh_CN.qm" << QSize();
    QTest::newRow("agreement") << ":/agreements.txt" << QSize();
    QTest::newRow("icon") << "://app.ico" << QSize(16, 16);

    const QSize window(678, 549);
    const QList<QPair<QString, QSize>> images = {
        {"bg_start", window},         {"bg_progress", window},
        {"bg_msgbox", {610, 272}},    {"bg_agreements", {562, 418}},
        {"close", {14, 14}},          {"close_hover", {14, 14}},
        {"close_pressed", {14, 14}},  {"min", {14, 14}},
        {"min_hover", {14, 14}},      {"min_pressed", {14, 14}},
        {"install", {120, 38}},       {"install_hover", {120, 38}},
        {"install_pressed", {120, 38}}, {"install_disabled", {120, 38}},
        {"path_chooser", {45, 30}},   {"path_chooser_hover", {45, 30}},
        {"path_chooser_pressed", {45, 30}}, {"checked", {16, 16}},
        {"unchecked", {16, 16}},      {"back", {32, 32}},
        {"back_hover", {32, 32}},
    };
    for (const auto &image : images)
        QTest::newRow(qPrintable(image.first)) << "://pix/" + image.first + ".png" << image.second;
}

void TestResources::resourceAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QVERIFY2(!readResource(path).isEmpty(), qPrintable(path));
    if (!size.isValid())
        return;
    QImageReader reader(path);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
}

void TestResources::iconHoldsEverySize()
{
    QImageReader reader("://app.ico");
    QList<int> sizes;
    do {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QCOMPARE(image.depth(), 32);
        QVERIFY(image.hasAlphaChannel());
        sizes << image.width();
    } while (reader.jumpToNextImage());
    QCOMPARE(sizes, QList<int>({16, 24, 32, 48, 64, 96, 128, 192, 256}));
    QCOMPARE(QIcon("://app.ico").availableSizes().size(), sizes.size());
}

void TestResources::styleSheetParsesCleanly()
{
    // The style sheet is parsed when the first widget is polished.
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    MainWindowSkeleton skeleton;
    skeleton.window.grab();
    qInstallMessageHandler(previous);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
}

void TestResources::styleSheetHoldsSelector_data()
{
    QTest::addColumn<QString>("selector");
    const QStringList selectors = {
        "#pushButton_close",
        "#pushButton_close:hover",
        "#pushButton_close:pressed",
        "#pushButton_min",
        "#pushButton_min:hover",
        "#pushButton_min:pressed",
        "QCheckBox",
        "QCheckBox::indicator:unchecked",
        "QCheckBox::indicator:checked",
        "QProgressBar",
        "QProgressBar::chunk",
        "#MainWindow #widget_bg",
        "#MainWindow #widget_bg[page_num=\"page_startup\"]",
        "#MainWindow #widget_bg[page_num=\"bg_progress\"]",
        "#MainWindow #label_path_indicator",
        "#MainWindow #lineEdit_path",
        "#MainWindow #pushButton_choose_path",
        "#MainWindow #pushButton_choose_path:hover",
        "#MainWindow #pushButton_choose_path:pressed",
        "#MainWindow #label_disk_storage",
        "#MainWindow #widget_btm #label_agreements",
        "#MainWindow #widget_btm #pushButton_install",
        "#MainWindow #widget_btm #pushButton_install:hover",
        "#MainWindow #widget_btm #pushButton_install:pressed",
        "#MainWindow #widget_btm #pushButton_install:disabled",
        "#ProgressWnd QLabel",
        "#FinishedWnd QPushButton",
        "#FinishedWnd QPushButton:hover",
        "#FinishedWnd QPushButton:pressed",
        "#MsgBox #widget_bg",
        "#MsgBox QLabel",
        "#MsgBox QPushButton",
        "#MsgBox QPushButton:hover",
        "#MsgBox QPushButton:pressed",
        "#AgreementsDlg #widget_bg",
        "#AgreementsDlg #textBrowser",
        "#AgreementsDlg #textBrowser QScrollBar",
        "#AgreementsDlg #textBrowser QScrollBar::handle",
        "#AgreementsDlg #textBrowser QScrollBar::add-line:vertical",
        "#AgreementsDlg #textBrowser QScrollBar::sub-line:vertical",
        "#AgreementsDlg #textBrowser QScrollBar::up-arrow:vertical",
        "#AgreementsDlg #textBrowser QScrollBar::down-arrow:vertical",
        "#AgreementsDlg #textBrowser QScrollBar::add-page:vertical",
        "#AgreementsDlg #textBrowser QScrollBar::sub-page:vertical",
        "#AgreementsDlg QPushButton",
    };
    for (const QString &selector : selectors)
        QTest::newRow(qPrintable(selector)) << selector;
}

void TestResources::styleSheetHoldsSelector()
{
    QFETCH(QString, selector);
    QVERIFY(selectorsOf(styleSheet).contains(selector));
}

void TestResources::styleSheetImagesExist()
{
    QRegularExpressionMatchIterator url = QRegularExpression(R"(url\(([^)]+)\))").globalMatch(styleSheet);
    int count = 0;
    while (url.hasNext()) {
        const QString path = url.next().captured(1);
        QVERIFY2(QImageReader(path).canRead(), qPrintable(path));
        ++count;
    }
    QVERIFY(count > 0);
}

void TestResources::backgroundFollowsPageProperty_data()
{
    QTest::addColumn<QVariant>("pageNum");
    QTest::addColumn<QString>("image");

    QTest::newRow("property absent") << QVariant() << "://pix/bg_start.png";
    QTest::newRow("start page") << QVariant("page_startup") << "://pix/bg_start.png";
    QTest::newRow("progress page") << QVariant("bg_progress") << "://pix/bg_progress.png";
    QTest::newRow("unknown value") << QVariant("page_other") << "://pix/bg_start.png";
}

void TestResources::backgroundFollowsPageProperty()
{
    QFETCH(QVariant, pageNum);
    QFETCH(QString, image);

    MainWindowSkeleton skeleton;
    for (QWidget *child : skeleton.background->findChildren<QWidget *>())
        child->hide();
    skeleton.background->ensurePolished();
    // Set after the first polish, as the window does when it switches pages.
    if (pageNum.isValid()) {
        skeleton.background->setProperty("page_num", pageNum);
        skeleton.background->style()->unpolish(skeleton.background);
        skeleton.background->style()->polish(skeleton.background);
    }
    const QImage shown = skeleton.background->grab().toImage();
    QCOMPARE(mismatchedOpaquePixels(shown, QImage(image)), 0);
}

void TestResources::buttonShowsStateImage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("image");

    const QSize install(120, 38);
    QTest::newRow("install") << "pushButton_install" << install << "normal" << "install";
    QTest::newRow("install hover") << "pushButton_install" << install << "hover" << "install_hover";
    QTest::newRow("install pressed") << "pushButton_install" << install << "pressed" << "install_pressed";
    QTest::newRow("install disabled") << "pushButton_install" << install << "disabled" << "install_disabled";
    const QSize chooser(45, 30);
    QTest::newRow("folder") << "pushButton_choose_path" << chooser << "normal" << "path_chooser";
    QTest::newRow("folder hover") << "pushButton_choose_path" << chooser << "hover" << "path_chooser_hover";
    QTest::newRow("folder pressed") << "pushButton_choose_path" << chooser << "pressed" << "path_chooser_pressed";
}

void TestResources::buttonShowsStateImage()
{
    QFETCH(QString, button);
    QFETCH(QSize, size);
    QFETCH(QString, state);
    QFETCH(QString, image);

    MainWindowSkeleton skeleton;
    auto *shownButton = skeleton.window.findChild<QPushButton *>(button);
    shownButton->setFixedSize(size);
    if (state == "hover") {
        // The hover look needs a real pointer over the button.
        skeleton.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&skeleton.window));
        QTest::mouseMove(shownButton, shownButton->rect().center());
        QTRY_VERIFY(shownButton->underMouse());
    } else if (state == "pressed") {
        shownButton->setDown(true);
    } else if (state == "disabled") {
        shownButton->setEnabled(false);
    }
    const QImage shown = shownButton->grab().toImage();
    QCOMPARE(mismatchedOpaquePixels(shown, QImage("://pix/" + image + ".png")), 0);
    // Every state must be told apart from the resting look ("install" for
    // "install_hover").
    if (state != "normal") {
        const QString resting = image.left(image.lastIndexOf('_'));
        QVERIFY(mismatchedOpaquePixels(shown, QImage("://pix/" + resting + ".png")) > 0);
    }
}

void TestResources::titleButtonShowsOnlyItsImage_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("close") << "pushButton_close";
    QTest::newRow("minimise") << "pushButton_min";
}

void TestResources::titleButtonShowsOnlyItsImage()
{
    QFETCH(QString, button);

    QWidget title;
    QPalette red = title.palette();
    red.setColor(QPalette::Window, QColor(200, 40, 40));
    title.setPalette(red);
    title.setAutoFillBackground(true);
    auto *shownButton = new QPushButton(&title);
    shownButton->setObjectName(button);
    shownButton->ensurePolished();
    shownButton->setGeometry(QRect(QPoint(10, 10), shownButton->sizeHint()));
    title.resize(60, 60);
    const QImage shown = title.grab().toImage();

    // Outside the 14 px glyph the title area must show through: no frame.
    const QPoint corner = shownButton->geometry().topLeft() + QPoint(1, 1);
    QCOMPARE(QColor(shown.pixel(corner)), QColor(200, 40, 40));
    QCOMPARE(shownButton->width(), 14);
}

void TestResources::agreementScrollBarIsSkinned()
{
    // Built in the order a designer form builds it: the browser gets its
    // object name only after its scroll bars exist.
    QWidget dialog;
    dialog.setObjectName("AgreementsDlg");
    auto *background = new QWidget(&dialog);
    background->setObjectName("widget_bg");
    auto *layout = new QVBoxLayout(background);
    auto *browser = new QTextBrowser(background);
    browser->setObjectName("textBrowser");
    layout->addWidget(browser);
    browser->setText(QString("line\n").repeated(200));
    background->resize(300, 200);
    dialog.resize(300, 200);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QScrollBar *bar = browser->verticalScrollBar();
    const QImage shown = bar->grab().toImage();

    QCOMPARE(bar->width(), 9);
    QCOMPARE(QColor(shown.pixel(4, shown.height() - 2)), QColor(73, 88, 92));
    QCOMPARE(QColor(shown.pixel(4, 2)), QColor(80, 183, 177));
}

void TestResources::catalogueTranslates_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");

    const QList<QStringList> entries = {
        {"AgreementsDlg", "Okay", "我知道了"},
        {"FinishedWnd", "Done", "完成"},
        {"FinishedWnd", "Start", "打开启动器"},
        {"MainWindow", " is already installed on", "已安装"},
        {"MainWindow", " is not installed, are you sure to quit?", "安装尚未完成，是否确定退出安装？"},
        {"MainWindow", " is running, please exit and try again.", " 正在运行，请退出后重试。"},
        {"MainWindow", "Add to the Start menu", "添加到“开始菜单”"},
        {"MainWindow", "Cancel", "取消"},
        {"MainWindow", "Choose a directory", "选择目录"},
        {"MainWindow", "Generate shortcuts", "生成快捷方式"},
        {"MainWindow", "I accept", "我已阅读并认可"},
        {"MainWindow", "Install Path:", "安装路径："},
        {"MainWindow", "Okay", "确认"},
        {"MainWindow", "Quit", "退出"},
        {"MainWindow", "Remain:%1GB", "剩余空间：%1GB"},
        {"MainWindow", "Required:%1MB", "所需空间：%1MB"},
        {"MainWindow", "Reselect", "重新选择"},
        {"MainWindow", "Retry", "重试"},
        {"MainWindow", "The storage is insufficient, please select again.", "硬盘空间不足，请选择其它位置。"},
        {"MainWindow", "agreement", "用户协议"},
        {"MsgBox", "Cancel", "取消"},
        {"MsgBox", "Information", "温馨提示"},
        {"MsgBox", "Okay", "确认"},
        {"ProgressWnd", "Installing", "正在安装..."},
        {"Unpacker", "Failed to unpack package.", "解压安装包失败。"},
    };
    for (const QStringList &entry : entries)
        QTest::addRow("%s \"%s\"", qPrintable(entry[0]), qPrintable(entry[1]))
            << entry[0] << entry[1] << entry[2];
}

void TestResources::catalogueTranslates()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, translation);

    QCOMPARE(QCoreApplication::translate(qPrintable(context), qPrintable(source)), translation);
}

void TestResources::catalogueLeavesUnknownTextAlone_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");

    QTest::newRow("unknown text") << "MainWindow" << "Uninstall";
    QTest::newRow("known text in another context") << "ProgressWnd" << "Okay";
    QTest::newRow("unknown context") << "CommandLineHandler" << "Installing";
    QTest::newRow("leading space missing") << "MainWindow" << "is running, please exit and try again.";
}

void TestResources::catalogueLeavesUnknownTextAlone()
{
    QFETCH(QString, context);
    QFETCH(QString, source);

    QCOMPARE(QCoreApplication::translate(qPrintable(context), qPrintable(source)), source);
}

void TestResources::agreementFormat()
{
    const QByteArray text = readResource(":/agreements.txt");

    QVERIFY2(text.size() > 57 * 1024 && text.size() < 61 * 1024, QByteArray::number(text.size()));
    QVERIFY2(!text.startsWith("\xEF\xBB\xBF"), "starts with a byte-order mark");
    QVERIFY(text.endsWith("\r\n"));
    QCOMPARE(text.count("\r\n"), 252);
    QCOMPARE(text.count('\n'), 252);
    QCOMPARE(text.count('\r'), 252);

    QTextCodec::ConverterState state;
    const QString decoded = QTextCodec::codecForName("UTF-8")->toUnicode(text.constData(), text.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    QVERIFY(decoded.contains(QStringLiteral("维拉云端")));
}

void TestResources::chineseRendersInTheApplicationFont()
{
    const QString cjkFamily = "WenQuanYi Micro Hei";
    if (!QFontDatabase().families().contains(cjkFamily))
        QSKIP("the CJK font (Debian package fonts-wqy-microhei) is not installed");

    addFontSubstitutes();
    const QFont font("Microsoft Yahei", 9);
    QCOMPARE(QFontInfo(font).family(), cjkFamily);
    QVERIFY(QFontMetrics(font).inFont(QChar(0x5b89))); // 安
}

INSTALLER_TEST_MAIN(TestResources)
#include "tst_resources.moc"
