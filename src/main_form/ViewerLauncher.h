#pragma once

#include <QString>
#include <QStringList>

namespace korvane {

// Starts a program apart from this process, which stays single-threaded;
// tests put their own in place.
class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // False when the program could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

class DetachedProcessLauncher : public ProcessLauncher {
  public:
    bool StartDetached(const QString& program, const QStringList& arguments) override;
};

// korvane-view: next to this executable when installed, in the build tree's
// viewer folder, or on the PATH; empty when there is none.
QString ViewerProgram();

} // namespace korvane
