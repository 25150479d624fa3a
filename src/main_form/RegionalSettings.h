#pragma once

namespace korvane {

// Hands the decimal symbol of the user's numeric locale to the core, by the
// rule korvane-batch follows.
void ReadRegionalSettings();

} // namespace korvane
