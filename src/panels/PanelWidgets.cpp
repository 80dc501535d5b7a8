#include "panels/PanelWidgets.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/Control.h"
#include "ui/Edit.h"
#include "ui/GuiThread.h"

namespace panels {
namespace {

QString ColourRule(ui::TColor colour) {
    return QStringLiteral("color: #%1; font-weight: bold;").arg(colour, 6, 16, QLatin1Char('0'));
}

}  // namespace

void SetLabeledEditVisible(ui::TLabeledEdit& edit, bool visible) {
    edit.SetVisible(visible);
    ui::OnGui([&] { edit.Label()->setVisible(visible); });
}

void PlaceLabeledEdit(QGridLayout& grid, ui::TLabeledEdit& edit, int row, int column) {
    // Hidden, the edit keeps its room, so that nothing beside it moves.
    for (QWidget* widget : {static_cast<QWidget*>(edit.Label()), edit.Widget()}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    grid.addWidget(edit.Label(), row, column);
    grid.addWidget(edit.Widget(), row + 1, column);
}

void PaintGroup(ui::TControl& group, ui::TColor background, ui::TColor captionColour) {
    group.SetColor(background);
    group.SetFontColor(captionColour);
    group.SetBold(true);
}

void PaintCaption(ui::TLabeledEdit& edit, ui::TColor colour) {
    ui::OnGui([&] { edit.Label()->setStyleSheet(ColourRule(colour)); });
}

QWidget* MakeCaption(QWidget* parent, const std::string& text, ui::TColor colour) {
    auto* label = new QLabel(ui::ToQt(text), parent);
    label->setStyleSheet(ColourRule(colour));
    return label;
}

}  // namespace panels
