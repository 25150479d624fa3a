#pragma once

#include <QString>

#include <stdexcept>

namespace korvane {

// A folder change that the platform refused; what() names the error code.
class FolderError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The process's current directory, from which relative file names resolve.
QString CurrentFolder();

// Makes folder the current directory; throws FolderError when refused.
void ChangeFolder(const QString& folder);

// Whether two file names are the same under the platform's comparison.
bool SameFileName(const QString& a, const QString& b);

} // namespace korvane
