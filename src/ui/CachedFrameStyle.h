#pragma once
// The application's style, with one-line edit frames drawn from a cache. The style strokes an edit's
// rounded frame each time the edit is painted, which costs more than the rest of the edit; a command
// line repainted with each command it shows draws the same frame over and over.
class QStyle;

namespace ui {

// The style to give one-line edits (made on first use, on the GUI thread, and kept for the program's run).
QStyle* CachedFrameStyle();

}  // namespace ui
