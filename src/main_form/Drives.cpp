#include "Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace korvane {

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

} // namespace korvane
