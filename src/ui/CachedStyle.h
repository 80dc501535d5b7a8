#pragma once
// The application's style, with the parts that a busy window repaints over and over drawn from a
// cache: one-line edit panels and frames, and scroll bars. The style fills and strokes an edit's
// rounded panel each time the edit is painted, which costs more than the rest of the edit; a scroll
// bar's groove and handle are gradients over the bar's whole length, which the style fills line by
// line (spread over a pool of threads) at every move of the handle, and a pane filling with lines
// moves it at every line.
class QStyle;

namespace ui {

// The style to give one-line edits and scroll bars (made on first use, on the GUI thread, and kept for
// the program's run).
QStyle* CachedStyle();

}  // namespace ui
