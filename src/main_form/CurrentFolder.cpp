#include "CurrentFolder.h"

#include <QDir>
#include <QFile>

#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace korvane {

QString CurrentFolder() {
    return QDir::currentPath();
}

#ifdef Q_OS_WIN

void ChangeFolder(const QString& folder) {
    // "d:" alone is the drive's own current folder, which Windows keeps in
    // the variable "=D:"; every change stores the new folder there.
    const std::wstring path = QDir::toNativeSeparators(folder).toStdWString();
    if (!::SetCurrentDirectoryW(path.c_str())) {
        const DWORD code = ::GetLastError();
        wchar_t text[512] = {};
        DWORD size = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, 512, nullptr);
        while (size > 0 && (text[size - 1] == L'\n' || text[size - 1] == L'\r'))
            --size;
        throw FolderError("I/O error " + std::to_string(code) + ": " +
                          QString::fromWCharArray(text, size).toStdString());
    }
    const QString now = QDir::toNativeSeparators(QDir::currentPath());
    if (now.size() >= 2 && now[1] == ':') {
        const std::wstring name = L"=" + now.left(2).toUpper().toStdWString();
        ::SetEnvironmentVariableW(name.c_str(), now.toStdWString().c_str());
    }
}

#else

void ChangeFolder(const QString& folder) {
    if (::chdir(QFile::encodeName(QDir::toNativeSeparators(folder)).constData()) != 0) {
        const int code = errno;
        throw FolderError("I/O error " + std::to_string(code) + ": " + std::strerror(code));
    }
}

#endif

bool SameFileName(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    // Letter case counts in file names here.
    return a == b;
#endif
}

} // namespace korvane
