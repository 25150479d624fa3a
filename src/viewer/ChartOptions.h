#pragma once

#include "JudgedWindow.h"
#include "LoadedRun.h"
#include "MeasuredProfile.h"

#include <memory>
#include <vector>

namespace korvane {

using RunList = std::vector<std::shared_ptr<const LoadedRun>>;

// What the user chose to see; the same for the window and an export.
struct ChartOptions {
    bool TimeAxis = false;  // time (s) instead of position along the line (cm)
    bool AllPoints = false; // T1..T11 instead of the faces and the centre
    bool ShowExact = true;
    std::size_t PickedRow = 0; // flat row index of the first run: the profile's position
    // The process window judged on the first run; none when no window is open.
    std::shared_ptr<const JudgedWindow> Window;
    // A logger's samples, drawn as markers along the line where the first
    // run has them (at its speed when x is the position).
    std::shared_ptr<const MeasuredProfile> Measured;
};

} // namespace korvane
