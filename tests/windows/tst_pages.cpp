#include "aniprogressbar.h"
#include "finishedwnd.h"
#include "progresswnd.h"
#include "testenv.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

// The progress page with its gliding bar, and the finished page.
class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void progressStartsAtEightyPercent();
    void percentValue_data();
    void percentValue();
    void secondReportGlidesOnFromWhereTheBarIs();
    void progressTextLeavesThePageAlone();
    void indicatorFollowsTheFilledEnd_data();
    void indicatorFollowsTheFilledEnd();
    void indicatorHiddenInBusyMode();
    void finishedChoice_data();
    void finishedChoice();
    void finishedWithoutLauncher();

private:
    static AniProgressBar *bar(QWidget *page) { return page->findChild<AniProgressBar *>("progressBar"); }
    static QString percentText(QWidget *page) { return page->findChild<QLabel *>("label_percent")->text(); }
};

void TestPages::progressStartsAtEightyPercent()
{
    ProgressWnd page;
    QCOMPARE(percentText(&page), QString("80%"));
    QCOMPARE(bar(&page)->maximum(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(bar(&page)->value(), 8000, 10000);
}

void TestPages::percentValue_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("barValue");
    QTest::addColumn<QString>("text");
    QTest::newRow("unpacked") << 0.3 << 3000 << "30%";
    QTest::newRow("done") << 1.0 << 10000 << "100%";
    QTest::newRow("start") << 0.0 << 0 << "0%";
    QTest::newRow("six significant digits") << 0.12345678 << 1234 << "12.3457%";
}

void TestPages::percentValue()
{
    QFETCH(double, percent);
    QFETCH(int, barValue);
    QFETCH(QString, text);

    ProgressWnd page;
    page.updatePercentValue(percent);
    QCOMPARE(percentText(&page), text);
    if (barValue == 0)
        QCOMPARE(bar(&page)->value(), 0); // a move to 0 does not glide
    QTRY_COMPARE_WITH_TIMEOUT(bar(&page)->value(), barValue, 10000);
}

// Guards against restarting each glide from a fixed start: the bar must never
// jump back when a report comes while it still moves.
void TestPages::secondReportGlidesOnFromWhereTheBarIs()
{
    ProgressWnd page;
    page.updatePercentValue(0.0);
    page.updatePercentValue(0.3);
    QTRY_VERIFY_WITH_TIMEOUT(bar(&page)->value() > 0, 10000);
    QVERIFY(bar(&page)->value() < 3000);

    const int reached = bar(&page)->value();
    QList<int> values;
    connect(bar(&page), &QProgressBar::valueChanged, [&values](int v) { values << v; });
    page.updatePercentValue(0.6);
    QTRY_COMPARE_WITH_TIMEOUT(bar(&page)->value(), 6000, 10000);
    for (int v : values)
        QVERIFY2(v >= reached, qPrintable(QString("%1 < %2").arg(v).arg(reached)));
}

void TestPages::progressTextLeavesThePageAlone()
{
    ProgressWnd page;
    const QString before = page.findChild<QLabel *>("label")->text();
    page.updateText("copying files");
    QCOMPARE(page.findChild<QLabel *>("label")->text(), before);
    QCOMPARE(percentText(&page), QString("80%"));
}

void TestPages::indicatorFollowsTheFilledEnd_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("half") << 5000;
    QTest::newRow("full") << 10000;
    QTest::newRow("near zero stays at the left edge") << 1;
}

void TestPages::indicatorFollowsTheFilledEnd()
{
    QFETCH(int, value);

    QWidget page;
    auto *progressBar = new AniProgressBar(&page);
    progressBar->setRange(0, 10000);
    progressBar->setGeometry(0, 0, 1000, 6);
    page.show();
    auto *indicator = progressBar->findChild<QLabel *>("ProgressBarIndicator");
    QLabel *spacer = nullptr;
    for (QLabel *label : progressBar->findChildren<QLabel *>())
        if (label != indicator)
            spacer = label;
    QVERIFY(indicator && spacer);
    indicator->setFixedWidth(10);

    progressBar->setValue(value);
    QTRY_COMPARE_WITH_TIMEOUT(progressBar->value(), value, 10000);
    QVERIFY(indicator->isVisible());
    QCOMPARE(spacer->minimumWidth(), qMax(0, int(double(value) / 10000 * 1000 - 5)));
}

void TestPages::indicatorHiddenInBusyMode()
{
    AniProgressBar progressBar;
    progressBar.show();
    auto *indicator = progressBar.findChild<QLabel *>("ProgressBarIndicator");
    progressBar.setRange(0, 0);
    progressBar.QProgressBar::setValue(0);
    QVERIFY(!indicator->isVisible());
    progressBar.setRange(0, 100);
    progressBar.setValue(50);
    QTRY_VERIFY_WITH_TIMEOUT(indicator->isVisible(), 10000);
}

void TestPages::finishedChoice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("startsLauncher");
    QTest::newRow("start") << "pushButton_start" << true;
    QTest::newRow("done") << "pushButton_done" << false;
}

void TestPages::finishedChoice()
{
    QFETCH(QString, button);
    QFETCH(bool, startsLauncher);

    FinishedWnd page;
    page.show();
    QSignalSpy closed(&page, &FinishedWnd::sigClose);
    QTest::mouseClick(page.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toBool(), startsLauncher);
}

void TestPages::finishedWithoutLauncher()
{
    FinishedWnd page;
    page.show();
    page.setLaunchOffered(false);
    QVERIFY(!page.findChild<QPushButton *>("pushButton_start")->isVisible());
    QVERIFY(page.findChild<QPushButton *>("pushButton_done")->isVisible());
}

INSTALLER_TEST_MAIN(TestPages)
#include "tst_pages.moc"
