#pragma once

#include "WhatIfCase.h"

#include <string>

namespace korvane::testing {

// The window's defaults (three zones) as a what-if base.
WhatIfCase DefaultCase();

// A metric of the run korvane-batch makes of the defaults with one data-file
// line's value replaced, read from its --report JSON; NaN when it refused.
double SeparateRunMetric(int line, const std::string& value, const std::string& metric);

} // namespace korvane::testing
