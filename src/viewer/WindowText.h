#pragma once

#include "JudgedWindow.h"

#include <QString>

namespace korvane {

// How the viewer names a process window's limits and their results, the
// same on the chart and in the table.

// The limit's label, or its metric where the file gives none.
QString LimitName(const WindowLimit& limit);
// "175–190 ℃", "120–240 s": the bounds as the file writes them.
QString LimitRange(const WindowLimit& limit);
// "pass" or "FAIL", readable without colour; "no value, FAIL" without a value.
QString Verdict(const LimitResult& result);
// A value in six digits, "no value" for none.
QString WindowValue(double value);
// An index to 0.1, "no value" for none.
QString WindowIndex(double index);

} // namespace korvane
