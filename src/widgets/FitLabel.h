#pragma once

class QLabel;

namespace korvane {

// The label rectangles were measured with the original font, whose Latin
// letters are narrower than those of its substitutes. A label whose text is
// wider than its rectangle draws its letters closer, keeping their height.
void FitLetterSpacing(QLabel* label);

} // namespace korvane
