#include "SweepProgress.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// A decision on the first trials alone would follow a slow start.
constexpr double DecideAfterSeconds = 1;

std::string TwoDigits(long long n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string RateText(double perSecond) {
    if (perSecond >= 10)
        return std::to_string(std::llround(perSecond));
    const long long tenths = std::llround(perSecond * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace

std::string DurationText(double seconds) {
    const long long s = std::llround(std::max(seconds, 0.0));
    if (s < 60)
        return std::to_string(s) + " s";
    if (s < 3600)
        return std::to_string(s / 60) + " min " + TwoDigits(s % 60) + " s";
    const long long minutes = (s + 30) / 60;
    return std::to_string(minutes / 60) + " h " + TwoDigits(minutes % 60) + " min";
}

SweepProgress::SweepProgress(std::size_t total, double showBeyondSeconds, double everySeconds)
    : total_(total), showBeyond_(showBeyondSeconds), every_(everySeconds) {}

std::string SweepProgress::Line(const std::string& text) {
    // Spaces over what is left of a longer line before.
    std::string line = "\r" + text;
    if (text.size() < width_)
        line.append(width_ - text.size(), ' ');
    width_ = std::max(width_, text.size());
    return line;
}

std::string SweepProgress::Update(std::size_t done, double elapsed) {
    if (done == 0 || !(elapsed > 0) || done >= total_)
        return {};
    const double perTrial = elapsed / static_cast<double>(done);
    if (!shown_) {
        if (elapsed < DecideAfterSeconds || perTrial * static_cast<double>(total_) <= showBeyond_)
            return {};
        shown_ = true;
    } else if (elapsed - lastShown_ < every_) {
        return {};
    }
    lastShown_ = elapsed;
    const std::size_t percent = done * 100 / total_;
    return Line(std::to_string(done) + " of " + std::to_string(total_) + " trials (" +
                std::to_string(percent) + "%), " + RateText(1 / perTrial) + " a second, " +
                DurationText(perTrial * static_cast<double>(total_ - done)) + " left");
}

std::string SweepProgress::Finish(std::size_t done, double elapsed) {
    if (!shown_)
        return {};
    return Line(std::to_string(done) + " of " + std::to_string(total_) + " trials in " +
                DurationText(elapsed)) +
           "\n";
}

} // namespace korvane
