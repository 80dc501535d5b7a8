#pragma once
// What lies behind a control. Qt repaints the widgets beneath a control that does not cover its whole
// rectangle each time the control changes; under the command line and the pane's scroll bar those are
// group boxes, whose frames cost more to draw than the control itself. A control made opaque here
// first fills its rectangle with the colour of what is behind it, so only the control is repainted.
class QColor;
class QWidget;

namespace ui {

// Marks a widget that fills its background with a colour of its own: a form, group or panel always,
// any other control only while it is enabled.
void SetFillColour(QWidget* widget, const QColor& colour, bool onlyWhileEnabled = false);

// The colour the nearest ancestor that paints a background fills the widget's place with.
QColor BackdropColour(const QWidget* widget);

// From now on the widget paints the backdrop under itself and is repainted alone.
void MakeOpaqueOverBackdrop(QWidget* widget);

}  // namespace ui
