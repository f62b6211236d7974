#pragma once

#include <QString>

namespace Platform {

// Starts a detached process that waits seconds - 1 seconds and then removes
// folder with all it holds; command is what was started, for the log.
bool startDelayedRemoval(const QString &folder, quint16 seconds, QString &command);

} // namespace Platform
