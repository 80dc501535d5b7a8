#pragma once
// The mouse wheel acts only where the pointer is, as on Linux desktops: over a scrolling area (a rich
// edit, a list, a table) it scrolls that area, focused or not; over a combo box, track bar or up-down
// it changes that control only when the control already has the focus; anywhere else it does nothing.
// A wheel turn never moves the focus, and a passing scroll never changes a setting.

class QWidget;

namespace ui {

// Installs the rule on the application once; later calls do nothing.
void KeepTheWheelUnderThePointer();

// Takes the wheel-focus bit off the widget and the widgets it holds (a combo box and a spin box carry
// it): for a real wheel event Qt gives the focus to such a widget under the pointer before any event
// filter runs, so the rule would find it focused already.
void TakeNoFocusFromTheWheel(QWidget* widget);

}  // namespace ui
