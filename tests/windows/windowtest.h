#pragma once

#include "testenv.h"

#include <QApplication>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <functional>

// Installs the compiled-in Chinese catalogue for the life of the object, as
// the installer does at start-up.
class CatalogueScope
{
public:
    CatalogueScope() { loaded = translator.load("://zh_CN.qm") && QCoreApplication::installTranslator(&translator); }
    ~CatalogueScope() { QCoreApplication::removeTranslator(&translator); }
    bool isLoaded() const { return loaded; }

private:
    QTranslator translator;
    bool loaded = false;
};

// Runs action on the next modal dialog once it is up, from inside its
// exec(), the way a person answers it.
inline void whenModalShown(std::function<void(QWidget *dialog)> action)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action]() {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(dialog);
    });
    poll->start();
}

// Starts from the temporary folder of the process-wide environment. A
// TestEnvironment makes its folder under the current TMPDIR, which after an
// earlier per-test environment names that environment's deleted folder; the
// toolkit then falls back to making it in "/".
struct ProcessTemporaryFolder
{
    ProcessTemporaryFolder()
    {
        static const QByteArray processTemporaryFolder = qgetenv("TMPDIR");
        qputenv("TMPDIR", processTemporaryFolder);
    }
};

// A fresh environment for one test, so that nothing one test installs or
// registers is seen by the next.
class PerTestEnvironment : private ProcessTemporaryFolder, public TestEnvironment
{
};
