#include "display.h"

#include <QByteArray>
#include <QtGlobal>

namespace Platform {

void allowRunningWithoutDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace Platform
