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

