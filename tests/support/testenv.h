#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

// Points TMPDIR, HOME, the XDG folders and the installer's own roots (programs
// folder, registry store) at a fresh temporary folder for the life of the
// object, so that a test never touches the machine's own files. Child
// processes inherit the same redirection. Environments may nest: the inner
// one puts the variables back when it ends.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    // The environment of the running test executable.
    static const TestEnvironment &current();

    QString root() const { return dir.path(); }
    QString tempDir() const { return root() + "/tmp"; }
    QString home() const { return root() + "/home"; }
    QString runtimeDir() const { return root() + "/runtime"; }
    QString programsDir() const { return root() + "/programs"; }
    QString registryRoot() const { return root() + "/registry"; }
    QString desktopDir() const { return home() + "/Desktop"; }
    QString dataHome() const { return home() + "/.local/share"; }
    // The log file the installer writes in this environment.
    QString logFile() const { return tempDir() + "/CloudGameVelaInstaller.log"; }

private:
    QTemporaryDir dir;
    const TestEnvironment *previous;
    QList<QPair<QByteArray, QByteArray>> savedVariables; // name, value (null: unset)
};

// Like QTEST_MAIN, with the environment redirected before the application
// object exists and the installer's compiled-in resources registered.
#define INSTALLER_TEST_MAIN(TestObject)                                  \
    int main(int argc, char *argv[])                                     \
    {                                                                    \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))              \
            qputenv("QT_QPA_PLATFORM", "offscreen");                     \
        TestEnvironment testEnvironment;                                 \
        QApplication app(argc, argv);                                    \
        Q_INIT_RESOURCE(installer);                                      \
        TestObject tc;                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                       \
        return QTest::qExec(&tc, argc, argv);                            \
    }
