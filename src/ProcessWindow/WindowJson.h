#pragma once

#include "JsonText.h"
#include "ProcessWindow.h"

namespace korvane {

// {"pwi", "pass", "limits": [{"metric", "label", "value", "min", "max", "index",
// "pass"}, ...]}, null where there is no value (and for a limit without label).
Json WindowSideJson(const ProcessWindow& window, const WindowResult& result);

// {"scheme": ..., "exact": ...}: the window on the scheme's run and on the exact solution.
Json WindowJson(const ProcessWindow& window, const WindowResult& scheme, const WindowResult& exact);

} // namespace korvane
