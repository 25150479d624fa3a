#include "ViewerLauncher.h"

#include "SiblingProgram.h"

#include <QProcess>

namespace korvane {

bool DetachedProcessLauncher::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QString ViewerProgram() {
    return SiblingProgram("korvane-view", "../viewer");
}

} // namespace korvane
