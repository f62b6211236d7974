#include "agreementsdlg.h"
#include "msgbox.h"
#include "testenv.h"
#include "windowtest.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

// The message box and the agreements dialog, run modally and answered
// through real button clicks and key presses.
class TestMsgBox : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void escapeIsIgnored();
    void buttons_data();
    void buttons();
    void shapes_data();
    void shapes();
    void textAlignment_data();
    void textAlignment();
    void agreementsDialog();
    void agreementsDialogClosesOnEscape();
};

void TestMsgBox::answers_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("OK pressed") << "pushButton_ok" << 1;
    QTest::newRow("Cancel pressed") << "pushButton_cancel" << 0;
    QTest::newRow("closed by the system") << "close" << 0;
}

void TestMsgBox::answers()
{
    QFETCH(QString, action);
    QFETCH(int, expected);

    MsgBox4Setup box;
    box.setText("question");
    box.setButtonText("Yes", "No");
    whenModalShown([action](QWidget *dialog) {
        if (action == "close")
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(action), Qt::LeftButton);
    });
    QCOMPARE(box.exec(), expected);
}

void TestMsgBox::escapeIsIgnored()
{
    MsgBox4Setup box;
    box.setButtonText("Okay", "Cancel");
    bool openAfterEscape = false;
    whenModalShown([&openAfterEscape](QWidget *dialog) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCoreApplication::processEvents();
        openAfterEscape = dialog->isVisible();
        QTest::mouseClick(dialog->findChild<QPushButton *>("pushButton_ok"), Qt::LeftButton);
    });
    QCOMPARE(box.exec(), 1);
    QVERIFY(openAfterEscape);
}

void TestMsgBox::buttons_data()
{
    QTest::addColumn<QString>("okText");
    QTest::addColumn<QString>("cancelText");
    QTest::addColumn<bool>("callSetButtonVisible");
    QTest::addColumn<bool>("okShown");
    QTest::addColumn<bool>("cancelShown");
    QTest::newRow("both captions") << "Retry" << "Cancel" << false << true << true;
    QTest::newRow("empty cancel caption hides it") << "Okay" << "" << false << true << false;
    QTest::newRow("empty ok caption hides it") << "" << "Cancel" << false << false << true;
    QTest::newRow("reselect: only the ok position")
        << "Reselect" << "" << true << true << false;
}

void TestMsgBox::buttons()
{
    QFETCH(QString, okText);
    QFETCH(QString, cancelText);
    QFETCH(bool, callSetButtonVisible);
    QFETCH(bool, okShown);
    QFETCH(bool, cancelShown);

    MsgBox4Setup box;
    box.setButtonText(okText, cancelText);
    if (callSetButtonVisible)
        box.setButtonVisible(true, false);
    box.show();
    auto *ok = box.findChild<QPushButton *>("pushButton_ok");
    auto *cancel = box.findChild<QPushButton *>("pushButton_cancel");
    QCOMPARE(ok->isVisible(), okShown);
    QCOMPARE(cancel->isVisible(), cancelShown);
    QCOMPARE(ok->text(), okText);
    if (okShown && !cancelShown) {
        // A single button stands centred between the two spacers.
        const int centre = ok->mapTo(&box, ok->rect().center()).x();
        QVERIFY2(qAbs(centre - box.width() / 2) <= 2, qPrintable(QString::number(centre)));
    }

    // A caption given later does not bring back a hidden button.
    box.setButtonText("again", "again");
    QCOMPARE(ok->isVisible(), okShown);
    QCOMPARE(cancel->isVisible(), cancelShown);
}

void TestMsgBox::shapes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("titleShown");
    QTest::addColumn<bool>("isSquare");
    QTest::addColumn<Qt::WindowFlags>("flags");
    QTest::newRow("setup box") << "setup" << QSize(610, 272) << false << false
                               << Qt::WindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    QTest::newRow("rectangular") << "rect" << QSize(642, 300) << true << false
                                 << Qt::WindowFlags(Qt::FramelessWindowHint | Qt::Window);
    QTest::newRow("square") << "square" << QSize(512, 350) << true << true
                            << Qt::WindowFlags(Qt::FramelessWindowHint | Qt::Window);
}

void TestMsgBox::shapes()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(bool, titleShown);
    QFETCH(bool, isSquare);
    QFETCH(Qt::WindowFlags, flags);

    std::unique_ptr<MsgBox> box(kind == "setup" ? new MsgBox4Setup : new MsgBox(kind == "square"));
    box->setText(QString(400, 'x'));
    box->show();
    QCOMPARE(box->size(), size);
    QCOMPARE(box->windowFlags(), flags);
    QVERIFY(box->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(box->findChild<QWidget *>("widget_title")->isVisible(), titleShown);
    QVERIFY(!box->findChild<QPushButton *>("pushButton_close")->isVisible());
    QCOMPARE(box->findChild<QWidget *>("widget_bg")->property("is_square").toBool(), isSquare);
}

void TestMsgBox::textAlignment_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::newRow("plain text is centred") << "plain question" << Qt::Alignment(Qt::AlignCenter);
    QTest::newRow("rich text is left aligned")
        << "<b>bold</b> question" << Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TestMsgBox::textAlignment()
{
    QFETCH(QString, text);
    QFETCH(Qt::Alignment, alignment);

    MsgBox4Setup box;
    box.setText(text);
    auto *label = box.findChild<QLabel *>("label");
    QCOMPARE(label->text(), text);
    QCOMPARE(label->alignment(), alignment);
    QVERIFY(label->wordWrap());
}

void TestMsgBox::agreementsDialog()
{
    AgreementsDlg dialog;
    QCOMPARE(dialog.size(), QSize(562, 418));
    QCOMPARE(dialog.windowFlags(), Qt::WindowFlags(Qt::FramelessWindowHint | Qt::Tool));

    QFile agreement(":/agreements.txt");
    if (agreement.open(QIODevice::ReadOnly)) {
        const QString text = dialog.findChild<QTextBrowser *>("textBrowser")->toPlainText();
        QVERIFY(text.size() > 1000);
        QCOMPARE(text, QString::fromUtf8(agreement.readAll()).remove('\r'));
    }

    // The whole agreement can be scrolled through to its last lines.
    bool scrolledToEnd = false;
    whenModalShown([&scrolledToEnd](QWidget *shown) {
        auto *browser = shown->findChild<QTextBrowser *>("textBrowser");
        QScrollBar *bar = browser->verticalScrollBar();
        bar->setValue(bar->maximum());
        const QTextCursor bottom = browser->cursorForPosition(QPoint(10, browser->viewport()->height() - 5));
        scrolledToEnd = bar->maximum() > 0
                        && bottom.block().blockNumber() >= browser->document()->blockCount() - 2;
        QTest::mouseClick(shown->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    });
    dialog.exec();
    QVERIFY(scrolledToEnd);
    QVERIFY(!dialog.isVisible());
}

void TestMsgBox::agreementsDialogClosesOnEscape()
{
    AgreementsDlg dialog;
    whenModalShown([](QWidget *shown) { QTest::keyClick(shown, Qt::Key_Escape); });
    dialog.exec();
    QVERIFY(!dialog.isVisible());
}

INSTALLER_TEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
