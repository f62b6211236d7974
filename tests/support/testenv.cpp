#include "testenv.h"

#include <QDir>

namespace {
const TestEnvironment *currentEnvironment = nullptr;
}

const TestEnvironment &TestEnvironment::current()
{
    Q_ASSERT(currentEnvironment);
    return *currentEnvironment;
}

namespace {
const char *const redirectedVariables[] = {
    "TMPDIR", "HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
    "XDG_DESKTOP_DIR", "INSTALLER_PROGRAMS_DIR", "INSTALLER_REGISTRY_ROOT",
};
}

// Puts back what the variables held before, so that an environment made
// after this one is not made inside a folder that no longer exists.
TestEnvironment::~TestEnvironment()
{
    for (const auto &variable : qAsConst(savedVariables)) {
        if (variable.second.isNull())
            qunsetenv(variable.first.constData());
        else
            qputenv(variable.first.constData(), variable.second);
    }
    currentEnvironment = previous;
}

TestEnvironment::TestEnvironment() : previous(currentEnvironment)
{
    if (!dir.isValid())
        qFatal("cannot create a temporary folder for the test: %s", qPrintable(dir.errorString()));
    currentEnvironment = this;
    for (const char *name : redirectedVariables)
        savedVariables.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    const QStringList folders = {tempDir(), home(), runtimeDir(), programsDir(), registryRoot(),
                                 desktopDir(), dataHome(), home() + "/.config", home() + "/.cache"};
    for (const QString &folder : folders)
        QDir().mkpath(folder);
    QFile::setPermissions(runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    qputenv("TMPDIR", tempDir().toLocal8Bit());
    qputenv("HOME", home().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtimeDir().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home() + "/.config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home() + "/.cache").toLocal8Bit());
    qputenv("XDG_DESKTOP_DIR", desktopDir().toLocal8Bit());
    qputenv("INSTALLER_PROGRAMS_DIR", programsDir().toLocal8Bit());
    qputenv("INSTALLER_REGISTRY_ROOT", registryRoot().toLocal8Bit());
}
