#pragma once
// Follows what may change the size of a widget's text after it is made: its first polish, a new font
// or a new style sheet (a colour and weight set on the control, or the application's font).
#include <functional>

class QWidget;

namespace ui {

// Runs changed after each such change of widget, for as long as widget lives.
void WatchTextSize(QWidget* widget, std::function<void()> changed);

}  // namespace ui
