#pragma once
// Alignment as the class library has it: a control aligned to a side of its parent keeps its height
// (top, bottom) or width (left, right) and stretches along that side; the client-aligned control takes
// what is left. Controls are aligned in the order they were given their alignment. Controls that are
// not aligned keep the place and size the form gave them, whatever the parent's size.
class QWidget;

namespace ui {

enum class TAlign { None, Top, Bottom, Left, Right, Client };

// Aligns widget within its parent (alNone takes it out of the alignment again).
void AlignWidget(QWidget* widget, TAlign align);
TAlign AlignOf(const QWidget* widget);
// Gives an aligned control a new extent (the width of a left- or right-aligned control, the height of
// a top- or bottom-aligned one), keeping its place in the alignment order; as a splitter's drag does.
void SetAlignedExtent(QWidget* widget, int extent);

}  // namespace ui
