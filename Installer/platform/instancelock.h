#pragma once

#include <QString>

// A lock that marks a running instance between the processes of one session.
// The system drops it when its holder ends in any way.
namespace Platform {

using InstanceLock = int;
constexpr InstanceLock NoInstanceLock = -1;

// Opens the lock called name and tries to take it; alreadyHeld tells whether
// another process holds it. Returns NoInstanceLock when it cannot be opened.
InstanceLock openInstanceLock(const QString &name, bool &alreadyHeld);
void closeInstanceLock(InstanceLock lock);

} // namespace Platform
