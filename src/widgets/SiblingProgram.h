#pragma once

#include <QString>

namespace korvane {

// Another of Korvane's programs: next to this executable when installed, in
// the build tree's `buildFolder` (relative to this executable's folder), or
// on the PATH; empty when there is none. `name` has no suffix: the system's
// own (".exe" on Windows) is added here.
QString SiblingProgram(const QString& name, const QString& buildFolder);

} // namespace korvane
