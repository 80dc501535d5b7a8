#pragma once
// The mouse wheel acts only where the pointer is, as on Linux desktops: over a scrolling area (a rich
// edit, a list, a table) it scrolls that area, focused or not; over a combo box, track bar or up-down
// it changes that control only when the control already has the focus; anywhere else it does nothing.
// A wheel turn never moves the focus, and a passing scroll never changes a setting. This holds in
// every window of the program; an open pop-up (a combo's list, a menu) takes the wheel as Qt has it.

namespace ui {

// Installs the rule on the application once; later calls do nothing.
void KeepTheWheelUnderThePointer();

}  // namespace ui
