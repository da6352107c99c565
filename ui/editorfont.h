// The windows' font. Every caption and read-out has to fit the fixed width of its control, which
// the platform's default font does not; Liberation Sans Narrow at 11 pixels (8.25 points at 96
// dots per inch, the size the controls were laid out for) fits them all with room to spare.
// Pixels rather than points, so the fit holds whatever the screen's dots per inch. The font
// comes from Debian's fonts-liberation package; where the system gives a wider font in its
// place, the size goes down until the widest texts fit again.
#pragma once

#include <QFont>

inline constexpr char EditorFontFamily[] = "Liberation Sans Narrow";
inline constexpr int EditorFontPixels = 11;
// What every caption and read-out keeps free at the end of its control.
inline constexpr int EditorFontSpare = 4;

// The chosen family at the largest size, up to EditorFontPixels, at which the widest texts of
// both windows (every caption, the longest read-outs) fit their controls with EditorFontSpare
// pixels to spare. Measured once, on the first call, with the font the system gives.
QFont editorFont();
// That size, measured afresh with the font the system gives and the translation installed now.
int fittingPixelSize();
// The settings dialog's hints: the same font in bold.
QFont hintFont();
