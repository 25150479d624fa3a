#pragma once

#include "Messages.h"

#include <filesystem>
#include <string>
#include <vector>

namespace korvane::testing {

class RecordingSink : public MessageSink {
  public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A fresh folder under the system's temporary folder, removed again at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The folder of the golden data and result files.
std::filesystem::path GoldenDir();

// What a run of `zones` zones shows when its result file cannot be created:
// the header's message, then both messages of every zone that fails to append.
// Spelt out, not taken from the program, so that a changed text is noticed.
std::vector<std::string> NothingWritableMessages(int zones);
// The messages one a line, as korvane-batch writes them to standard error.
std::string MessageLines(const std::vector<std::string>& messages);

} // namespace korvane::testing
