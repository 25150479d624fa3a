#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

class QWidget;

namespace korvane {

// The Japanese proportional Gothic of the original where installed, else the
// closest font this system has that shows the degree sign and delta.
QString UiFontFamily();

// The font asked for where this system has it; otherwise the first of the
// usual sans-serif (or, for a fixed pitch, monospaced) faces it has, at the
// same size. A Wine prefix without Tahoma would otherwise draw in a serif.
QFont InstalledFont(const QFont& wanted, bool fixedPitch = false);

// The text as the application's font can show it: "°C" for each "℃" where
// the font has no ℃ (the result file and the specified window keep ℃).
QString CelsiusShown(const QString& text);

// The program's font at a character height in pixels.
QFont UiFont(int pixelSize, bool bold = false);

// Sets the font of a widget and the colour its own text is drawn in. Disabled,
// the text is greyed no further than it stays readable.
void SetLook(QWidget* widget, int pixelSize, const QColor& color, bool bold = false);

// The contrast ratio of two colours as WCAG defines it, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// The colour of ordinary text in windows.
QColor WindowTextColor();

// The 32 x 32, 16-colour program icon shared by both windows.
QIcon ProgramIcon();

} // namespace korvane
