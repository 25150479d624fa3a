#pragma once

class QLabel;

namespace korvane {

// The label rectangles were measured with the original font, whose Latin
// letters are narrower than those of its substitutes. A label whose text is
// wider than its rectangle grows, as an auto-sized label would: to the right,
// or to both sides when its text is centred, into room that no other control
// of its parent takes. What still does not fit is drawn with its letters
// closer, keeping their height.
void FitLabel(QLabel* label);

} // namespace korvane
