#pragma once

class QWidget;

namespace korvane {

// Places a window so that its frame is centred on its screen every time it is
// shown. The window manager reports the frame only once it has framed the
// window; the window is centred again when that report changes the frame.
void CentreOnScreenWhenShown(QWidget* window);

} // namespace korvane
