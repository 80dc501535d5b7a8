#pragma once
// Small layout and look helpers shared by the Framont panel's groups.
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "panels/CommittedEdit.h"
#include "panels/PanelWidgets.h"
#include "platform/TextConvert.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/TrackBar.h"

namespace panels::framont {

inline constexpr ui::TColor kAqua = 0x00FFFF;

// A group box of the panel: grey with a white bold caption, its controls on a grid.
inline ui::TGroupBox* MakeGroup(ui::TForm& form, const std::string& caption, QGridLayout*& grid) {
    auto* group = form.Make<ui::TGroupBox>(form.Client(), caption);
    PaintGroup(*group, ui::clGray, ui::clWhite);
    grid = new QGridLayout(group->Widget());
    return group;
}

// A drop-down list of fixed items that shows "Select" while none is chosen.
inline ui::TComboBox* MakeList(ui::TForm& form, QWidget* parent, const std::vector<std::string>& items) {
    auto* list = form.Make<ui::TComboBox>(parent, "", false);
    list->SetItems(items);
    list->Combo()->setPlaceholderText("Select");
    return list;
}

// A borderless row of controls inside a group.
inline QWidget* MakeRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    (new QHBoxLayout(row))->setContentsMargins(0, 0, 0, 0);
    return row;
}

inline QLabel* MakeLabel(QWidget* parent, const std::string& caption) {
    return new QLabel(ui::ToQt(caption), parent);
}

inline void SetFontPoints(ui::TControl& control, int points) {
    QFont font = control.Widget()->font();
    font.setPointSize(points);
    control.Widget()->setFont(font);
}

// A track bar without tick marks that moves 1 a line and 2 a page; a vertical one has its minimum at
// the top, and Up moves there.
inline void ShapeTrackBar(ui::TTrackBar& bar, int min, int max, int position, int selStart, int selEnd) {
    bar.Slider()->setTickPosition(QSlider::NoTicks);
    bar.Slider()->setSingleStep(1);
    bar.Slider()->setPageStep(2);
    if (bar.Slider()->orientation() == Qt::Vertical) {
        bar.Slider()->setInvertedAppearance(true);
        bar.Slider()->setInvertedControls(true);
    }
    bar.SetMin(min);
    bar.SetMax(max);
    bar.SetPosition(position);
    bar.SetSelStart(selStart);
    bar.SetSelEnd(selEnd);
}

struct AngleControls {
    ui::TTrackBar* bar;
    ui::TEdit* edit;
    std::array<ui::TButton*, 3> presets;  // -limit, 0, limit
};

// An angle's rows: its caption; a trackbar of -limit..limit with its edit; three preset buttons.
inline AngleControls MakeAngleRows(ui::TForm& form, QWidget* box, QGridLayout& grid, int row,
                                   const std::string& caption, int limit) {
    grid.addWidget(MakeLabel(box, caption), row, 0, 1, 3);
    const std::string range = platform::Concat({"(", std::to_string(-limit), " - ", std::to_string(limit), ")"});
    AngleControls angle{};
    angle.bar = form.Make<ui::TTrackBar>(box);
    ShapeTrackBar(*angle.bar, -limit, limit, 0, 0, limit);
    angle.bar->SetHint(range);
    grid.addWidget(angle.bar->Widget(), row + 1, 0, 1, 2);
    angle.edit = form.Make<ui::TEdit>(box, "0");
    angle.edit->SetHint(range);
    grid.addWidget(angle.edit->Widget(), row + 1, 2);
    const int presets[] = {-limit, 0, limit};
    for (int i = 0; i < 3; ++i) {
        angle.presets[i] = form.Make<ui::TButton>(box, std::to_string(presets[i]));
        grid.addWidget(angle.presets[i]->Widget(), row + 2, i);
    }
    return angle;
}

// The illuminator trackbars stand at 100 - percent: the top is 100 %.
inline int PercentOfPosition(int position) { return 100 - position; }
inline int PositionOfPercent(int percent) { return 100 - percent; }

inline void AttachMenu(ui::TPopupMenu* menu, std::initializer_list<ui::TControl*> controls) {
    for (ui::TControl* control : controls)
        control->SetPopupMenu(menu);
}

// The setup of a whole-number member of the panel.
inline CommittedEditSetup WholeNumberSetup(EditKind kind, int minimum, int maximum, NumberRead enterRead,
                                           NumberRead exitRead, NumberRead otherRead) {
    CommittedEditSetup setup;
    setup.kind = kind;
    setup.flavour = EditFlavour::Framont;
    setup.minimum = minimum;
    setup.maximum = maximum;
    setup.enterRead = std::move(enterRead);
    setup.exitRead = std::move(exitRead);
    setup.otherRead = std::move(otherRead);
    return setup;
}

// Enter pressed in a committed edit, as the operator would.
inline void PressEnter(CommittedEdit& edit) {
    char key = ui::VK_RETURN;
    edit.KeyPress(key);
}

// A preset: the text put into the edit, then Enter.
inline void EnterText(CommittedEdit& edit, const std::string& text) {
    edit.Edit().SetText(text);
    PressEnter(edit);
}

}  // namespace panels::framont
