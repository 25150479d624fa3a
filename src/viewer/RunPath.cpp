#include "RunPath.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace korvane {

QString RunPathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString RunFileName(const std::string& path) {
    // QFileInfo takes either separator on Windows.
    return QFileInfo(RunPathText(path)).fileName();
}

} // namespace korvane
