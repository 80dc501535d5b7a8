#pragma once
// The font of every form and its controls: 8-point Liberation Sans, whose letters are as wide as those
// of the narrow sans the windows' pixel sizes were made for. Without it, the system's sans at 8 points.
class QFont;

namespace ui {

inline constexpr const char* kFormFontFamily = "Liberation Sans";
inline constexpr const char* kNarrowFontFamily = "Liberation Sans Narrow";
inline constexpr int kFormFontPoints = 8;

// Makes the form font the application's font; once, before the first form is built.
void UseFormFont();

// Gives font the narrow face of the form font, for the status bar's panels: their fixed widths are
// too small for the widest texts in the form font (a line setting such as "Settings: 115200 8-M-1.5").
// Without that face, font is left as it is.
void UseNarrowFace(QFont& font);

}  // namespace ui
