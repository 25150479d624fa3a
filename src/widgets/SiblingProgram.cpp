#include "SiblingProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace korvane {

QString SiblingProgram(const QString& name, const QString& buildFolder) {
    const QString file = name + QStringLiteral(KORVANE_EXECUTABLE_SUFFIX);
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {here.filePath(file), here.filePath(buildFolder + '/' + file)}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath();
    }
    // PATHEXT supplies the suffix here.
    return QStandardPaths::findExecutable(name);
}

} // namespace korvane
