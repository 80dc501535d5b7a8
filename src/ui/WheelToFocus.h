#pragma once
// The mouse wheel as the class library has it: a wheel turn goes to the control that has the focus,
// never to an unfocused control under the pointer (a passing scroll must not change a setting).

namespace ui {

// Installs the routing on the application once; later calls do nothing.
void RouteWheelToFocus();

}  // namespace ui
