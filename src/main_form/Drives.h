#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QStorageInfo;

namespace korvane {

// On Windows a drive is a letter with a colon ("c:"), and each drive keeps a
// current folder of its own. Linux has no letters: there the drives are the
// roots of the mounted file systems that are valid and ready, pseudo file
// systems left out, "/" first and then in path order.
QStringList AvailableDrives();

// The same among the volumes given; for tests, which give mount tables of
// their own.
QStringList DrivesAmong(const QList<QStorageInfo>& volumes);

// The drive holding a folder. Windows: its letter, or none for a network
// path. Linux: the root of the file system that holds it, or of its nearest
// existing parent when the folder itself is gone.
QString DriveOf(const QString& folder);

// What a drive display shows for one drive: the drive and its volume name
// (or, for a network drive on Windows, the share it stands for).
QString DriveLabel(const QString& drive);

// The folder that picking a drive opens: the drive's own current folder on
// Windows ("c:"), its root on Linux.
QString DriveFolder(const QString& drive);

// What a file list applies when its drive is set: the letter and a colon on
// Windows; nothing on Linux, where a drive has no current folder of its own.
QString DriveFilePath(const QString& drive);

// The root part of a full path: "/" on Linux; "c:/" or "//server/share/" on
// Windows.
QString PathRoot(const QString& path);

} // namespace korvane
