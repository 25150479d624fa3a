#include "CurrentFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>

namespace korvane {

QString CurrentFolder() {
    return QDir::currentPath();
}

void ChangeFolder(const QString& folder) {
    if (::chdir(QFile::encodeName(QDir::toNativeSeparators(folder)).constData()) != 0) {
        const int code = errno;
        throw FolderError("I/O error " + std::to_string(code) + ": " + std::strerror(code));
    }
}

bool SameFileName(const QString& a, const QString& b) {
    // Letter case counts in file names here.
    return a == b;
}

} // namespace korvane
