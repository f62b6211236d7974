#pragma once

#include <QString>

namespace Platform {

// The program that process creation would start for a bare file name: the
// file in firstFolder when it is an executable, else the first executable of
// that name on PATH; empty when there is none.
QString findProgram(const QString &fileName, const QString &firstFolder);

} // namespace Platform
