// e2eprobe FOLDER
//
// Measures the installer's windows the way the installer itself sets them
// up (same start-up, skin, font and catalogue, same display), so that an
// end-to-end test knows where to click and how each page looks. Prints one
// line per visible control, "<window>/<object name> x y width height", and saves
// the start and finished pages as start.png and finished.png into FOLDER.
#include "agreementsdlg.h"
#include "finishedwnd.h"
#include "install.h"
#include "mainwindow.h"
#include "msgbox.h"

#include <QApplication>
#include <QTextStream>

namespace {

QTextStream out(stdout);

// Shown, laid out and painted, as on the screen.
void settle(QWidget *top)
{
    top->show();
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
}

void print(const QString &window, QWidget *top)
{
    for (QWidget *widget : top->findChildren<QWidget *>()) {
        if (widget->objectName().isEmpty() || !widget->isVisibleTo(top))
            continue;
        const QPoint at = widget->mapTo(top, QPoint(0, 0));
        out << window << "/" << widget->objectName() << " " << at.x() << " " << at.y() << " "
            << widget->width() << " " << widget->height() << "\n";
    }
}

void printBox(const QString &name, const char *okText, const char *cancelText)
{
    MsgBox4Setup box;
    box.setText("?");
    box.setButtonText(QCoreApplication::translate("MainWindow", okText),
                      cancelText ? QCoreApplication::translate("MainWindow", cancelText) : QString());
    settle(&box);
    print(name, &box);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(installer);
    setupApplication(app);
    const QString folder = argc > 1 ? argv[1] : ".";
    MainWindow::setFreeSpaceQuery([](const QString &) { return qint64(20) << 30; });

    MainWindow start;
    settle(&start);
    print("main", &start);
    start.grab().save(folder + "/start.png");

    MainWindow finished;
    finished.onProgressDone();
    settle(&finished);
    print("finished", &finished);
    finished.grab().save(folder + "/finished.png");

    // After a failed installation the finished page has no Start button.
    MsgBox::setAnswerer([](MsgBox &) { return 1; });
    MainWindow failed;
    failed.onHandleErr("probe");
    failed.onProgressDone();
    settle(&failed);
    print("finished-failed", &failed);
    MsgBox::setAnswerer({});

    printBox("box-quit", "Quit", "Cancel");
    printBox("box-running", "Retry", "Cancel");
    printBox("box-okay", "Okay", nullptr);

    AgreementsDlg agreements;
    settle(&agreements);
    print("agreements", &agreements);
    return 0;
}
