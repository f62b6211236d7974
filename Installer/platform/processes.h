#pragma once

#include <QStringList>

namespace Platform {

// The image file name (a bare file name) of every running process; false when
// the system's process list cannot be read.
bool runningProcessNames(QStringList &names);

} // namespace Platform
