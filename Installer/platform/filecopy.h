#pragma once

#include <QString>

namespace Platform {

// Copies the content and the permission bits of source into a new file at
// target. Never replaces an existing target, and the target never shows up
// half-written under its name. The copy is not synced to disk: call
// syncFileSystem once after a batch of copies.
bool copyNewFile(const QString &source, const QString &target);

// Writes everything cached for the file system that holds path to disk.
bool syncFileSystem(const QString &path);

} // namespace Platform
