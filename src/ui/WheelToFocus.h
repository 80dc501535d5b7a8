#pragma once
// The mouse wheel as the class library has it: a wheel turn goes to the control that has the focus,
// never to an unfocused control under the pointer (a passing scroll must not change a setting).

class QWidget;

namespace ui {

// Installs the routing on the application once; later calls do nothing.
void RouteWheelToFocus();

// Takes the wheel-focus bit off the widget and the widgets it holds (a combo box and a spin box carry
// it): for a real wheel event Qt gives the focus to such a widget under the pointer before any event
// filter runs, so the routing would find it focused already.
void TakeNoFocusFromTheWheel(QWidget* widget);

}  // namespace ui
