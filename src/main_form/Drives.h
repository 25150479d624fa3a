#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QStorageInfo;

namespace korvane {

// Drives stand for what the original platform's drive letters were: the roots
// of the mounted file systems that are valid and ready, pseudo file systems
// left out, "/" first and then in path order.
QStringList AvailableDrives();

// The same among the volumes given; for tests, which give mount tables of
// their own.
QStringList DrivesAmong(const QList<QStorageInfo>& volumes);

// The drive holding a folder: the root of the file system that holds it, or
// of its nearest existing parent when the folder itself is gone.
QString DriveOf(const QString& folder);

// What a drive display shows for one drive: its root and its volume name.
QString DriveLabel(const QString& drive);

} // namespace korvane
