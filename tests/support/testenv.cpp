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

TestEnvironment::~TestEnvironment()
{
    currentEnvironment = nullptr;
}

TestEnvironment::TestEnvironment()
{
    currentEnvironment = this;
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

QProcessEnvironment TestEnvironment::processEnvironment() const
{
    return QProcessEnvironment::systemEnvironment();
}
