#include "Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvane {

#ifdef Q_OS_WIN

namespace {

std::wstring Wide(const QString& text) {
    return text.toStdWString();
}

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == ':' && path[0].isLetter() && path[0].unicode() < 0x80;
}

} // namespace

QStringList AvailableDrives() {
    QStringList drives;
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (DWORD{1} << i))
            drives.append(QString(QChar('a' + i)) + ':');
    return drives;
}

QString DriveOf(const QString& folder) {
    const QString path =
        QDir::fromNativeSeparators(QDir(QDir::currentPath()).absoluteFilePath(folder));
    return HasDriveLetter(path) ? path.left(2).toLower() : QString();
}

QString DriveLabel(const QString& drive) {
    const std::wstring root = Wide(drive + '\\');
    const UINT type = ::GetDriveTypeW(root.c_str());
    QString name;
    if (type == DRIVE_REMOTE) {
        wchar_t share[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (::WNetGetConnectionW(Wide(drive).c_str(), share, &size) == NO_ERROR)
            name = QString::fromWCharArray(share);
    } else if (type != DRIVE_REMOVABLE) {
        // No dialog asking for a disk that is not in its drive.
        const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
        wchar_t volume[MAX_PATH + 1] = {};
        if (::GetVolumeInformationW(root.c_str(), volume, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                    nullptr, 0))
            name = QString::fromWCharArray(volume);
        ::SetErrorMode(previous);
    }
    return name.isEmpty() ? drive : drive + "  [" + name + "]";
}

QString DriveFolder(const QString& drive) {
    return drive;
}

QString DriveFilePath(const QString& drive) {
    return drive.left(1) + ':';
}

QString PathRoot(const QString& path) {
    const QString clean = QDir::fromNativeSeparators(path);
    if (HasDriveLetter(clean))
        return clean.left(2) + '/';
    if (clean.startsWith("//")) {
        // A network path's root is its share: //server/share/.
        const qsizetype server = clean.indexOf('/', 2);
        const qsizetype share = server < 0 ? -1 : clean.indexOf('/', server + 1);
        return share < 0 ? clean + '/' : clean.left(share + 1);
    }
    return QStringLiteral("/");
}

#else

namespace {

bool IsPseudoFileSystem(const QByteArray& type) {
    static const QList<QByteArray> pseudo = {
        "proc",       "sysfs",     "devtmpfs", "devpts",    "cgroup",      "cgroup2",
        "securityfs", "pstore",    "debugfs",  "tracefs",   "configfs",    "fusectl",
        "mqueue",     "hugetlbfs", "bpf",      "autofs",    "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",      "rootfs",   "selinuxfs", "ramfs"};
    return pseudo.contains(type);
}

} // namespace

QStringList AvailableDrives() {
    return DrivesAmong(QStorageInfo::mountedVolumes());
}

QStringList DrivesAmong(const QList<QStorageInfo>& volumes) {
    // A root entered with chroot, and some containers, have no mount of "/".
    QStringList drives = {QDir::rootPath()};
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType()))
            continue;
        // Single files bound into a container are mount points too.
        if (!QFileInfo(volume.rootPath()).isDir())
            continue;
        drives.append(volume.rootPath());
    }
    drives.removeDuplicates();
    std::sort(drives.begin() + 1, drives.end());
    return drives;
}

QString DriveOf(const QString& folder) {
    QFileInfo info(QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(folder)));
    while (!info.exists() && !info.isRoot())
        info = QFileInfo(info.path());
    const QStorageInfo volume(info.absoluteFilePath());
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

QString DriveLabel(const QString& drive) {
    const QString name = QStorageInfo(drive).name();
    return name.isEmpty() ? drive : drive + "  [" + name + "]";
}

QString DriveFolder(const QString& drive) {
    return drive;
}

QString DriveFilePath(const QString&) {
    return {};
}

QString PathRoot(const QString&) {
    return QStringLiteral("/");
}

#endif

} // namespace korvane
