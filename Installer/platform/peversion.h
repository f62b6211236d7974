#pragma once

#include <QByteArray>
#include <QString>

// Reads the version resource of a Windows executable (PE32 or PE32+) the way
// the system's version-information functions do, with every offset checked
// against the file so that a truncated or hostile file only fails.
namespace Platform {

// Size in bytes of the file's version resource; 0 when it has none.
quint32 fileVersionInfoSize(const QString &filePath);
// Copies at most size bytes of the version resource into block.
bool fileVersionInfo(const QString &filePath, quint32 size, QByteArray &block);
// Looks up a path such as "\VarFileInfo\Translation" in a version resource
// and gives the raw bytes of its value.
bool queryVersionValue(const QByteArray &block, const QString &subBlock, QByteArray &value);

} // namespace Platform
