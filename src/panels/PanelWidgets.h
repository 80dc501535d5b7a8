#pragma once
// Small pieces of the panels' look: colours of groups and labels, and labelled edits whose caption
// label comes and goes with the edit.
#include <string>

#include "ui/Color.h"

class QGridLayout;
class QWidget;

namespace ui {
class TControl;
class TLabeledEdit;
}  // namespace ui

namespace panels {

// Shows or hides a labelled edit together with its caption label.
void SetLabeledEditVisible(ui::TLabeledEdit& edit, bool visible);
// Puts a labelled edit's caption above the edit in column column of grid, from row row; hidden, it
// keeps its room.
void PlaceLabeledEdit(QGridLayout& grid, ui::TLabeledEdit& edit, int row, int column);
// A group box or panel's look: its background and a bold caption in captionColour.
void PaintGroup(ui::TControl& group, ui::TColor background, ui::TColor captionColour);
// The colour and weight of a labelled edit's caption label.
void PaintCaption(ui::TLabeledEdit& edit, ui::TColor colour);
// A plain caption label of colour colour, bold.
QWidget* MakeCaption(QWidget* parent, const std::string& text, ui::TColor colour);

}  // namespace panels
