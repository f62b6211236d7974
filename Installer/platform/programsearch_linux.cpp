#include "programsearch.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

QString findProgram(const QString &fileName, const QString &firstFolder)
{
    const QFileInfo beside(QDir(firstFolder), fileName);
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(fileName);
}

} // namespace Platform
