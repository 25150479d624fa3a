#pragma once

#include <cstddef>
#include <string>

namespace korvane {

// The progress of a long sweep as one line on a terminal, written over in
// place: the trials done, their rate and the time left. A sweep that will be
// done within about a minute shows none. The times are the caller's, so that
// no clock is needed to check it.
class SweepProgress {
  public:
    explicit SweepProgress(std::size_t total, double showBeyondSeconds = 60,
                           double everySeconds = 0.5);

    // After done trials in elapsed seconds: what to write now, often nothing.
    std::string Update(std::size_t done, double elapsed);
    // At the end: the last line with its line end, when a line is shown.
    std::string Finish(std::size_t done, double elapsed);

  private:
    std::string Line(const std::string& text);

    std::size_t total_;
    double showBeyond_, every_;
    bool shown_ = false;
    double lastShown_ = 0;
    std::size_t width_ = 0;
};

// "45 s", "3 min 05 s", "2 h 05 min".
std::string DurationText(double seconds);

} // namespace korvane
