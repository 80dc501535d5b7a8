#include "ui/Indicators.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>

#include "ui/Backdrop.h"
#include "ui/FormFont.h"
#include "ui/GuiThread.h"

namespace ui {

namespace {

// Panels side by side at their own widths, the last one taking the rest of the bar; a text longer than
// its panel is cut at the panel's edge, and a bar narrower than its panels cuts the panels off.
class StatusPanelRow : public QFrame {
public:
    using QFrame::QFrame;
    void AddPanel(QLabel* panel, int width) { panels_.push_back({panel, width}); }

    QSize sizeHint() const override {
        int width = kMargin;
        for (const Panel& panel : panels_)
            width += panel.width + kSpacing;
        return {width + kMargin, PanelHeight() + 2 * kMarginY};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QFrame::resizeEvent(event);
        int left = kMargin;
        for (std::size_t i = 0; i < panels_.size(); ++i) {
            const bool last = i + 1 == panels_.size();
            const int width = last ? std::max(0, this->width() - kMargin - left) : panels_[i].width;
            panels_[i].label->setGeometry(left, kMarginY, width, height() - 2 * kMarginY);
            left += width + kSpacing;
        }
    }

private:
    static constexpr int kMargin = 2;
    static constexpr int kMarginY = 1;
    static constexpr int kSpacing = 2;
    struct Panel {
        QLabel* label;
        int width;
    };
    int PanelHeight() const { return panels_.empty() ? fontMetrics().height() : panels_.front().label->sizeHint().height(); }
    std::vector<Panel> panels_;
};

}  // namespace

TStatusBar::TStatusBar(QWidget* parent, const std::vector<std::pair<std::string, int>>& panels)
    : TControl(new StatusPanelRow(parent)) {
    auto* row = static_cast<StatusPanelRow*>(widget_.data());
    // A panel's text is laid out again at each paint, and a busy window repaints its counts with each
    // command; 8-bit Latin needs no shaping. The face is the narrow one, for the panels' fixed widths.
    // (Set on each panel: the form's style sheet gives the panels a font of their own, without the
    // row's.)
    QFont panelFont;
    panelFont.setStyleStrategy(QFont::PreferNoShaping);
    UseNarrowFace(panelFont);
    for (const auto& [text, width] : panels) {
        auto* label = new QLabel(ToQt(text), row);
        label->setFont(panelFont);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        MakeOpaqueOverBackdrop(label);
        row->AddPanel(label, width);
        panels_.push_back(label);
    }
}

std::string TStatusBar::PanelText(int index) const {
    return OnGui([&] {
        if (!widget_ || index < 0 || index >= PanelCount())
            return std::string();
        return FromQt(panels_[static_cast<std::size_t>(index)]->text());
    });
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    OnGui([&] {
        if (widget_ && index >= 0 && index < PanelCount())
            panels_[static_cast<std::size_t>(index)]->setText(ToQt(text));
    });
}

TProgressBar::TProgressBar(QWidget* parent) : TControl(new QProgressBar(parent)) { Bar()->setRange(0, 100); Bar()->setValue(0); }

QProgressBar* TProgressBar::Bar() const { return static_cast<QProgressBar*>(widget_.data()); }
int TProgressBar::Min() const { return OnGui([&] { return Bar()->minimum(); }); }
void TProgressBar::SetMin(int value) { OnGui([&] { Bar()->setMinimum(value); }); }
int TProgressBar::Max() const { return OnGui([&] { return Bar()->maximum(); }); }
void TProgressBar::SetMax(int value) { OnGui([&] { Bar()->setMaximum(value); }); }
int TProgressBar::Position() const { return OnGui([&] { return Bar()->value(); }); }
void TProgressBar::SetPosition(int value) { OnGui([&] { Bar()->setValue(value); }); }

TUpDown::TUpDown(QWidget* parent) : TControl(new QSpinBox(parent)) {
    QObject::connect(Spin(), &QSpinBox::valueChanged, Spin(), [this](int) { Guarded(OnChange); });
}

QSpinBox* TUpDown::Spin() const { return static_cast<QSpinBox*>(widget_.data()); }
int TUpDown::Min() const { return OnGui([&] { return Spin()->minimum(); }); }
void TUpDown::SetMin(int value) { OnGui([&] { Spin()->setMinimum(value); }); }
int TUpDown::Max() const { return OnGui([&] { return Spin()->maximum(); }); }
void TUpDown::SetMax(int value) { OnGui([&] { Spin()->setMaximum(value); }); }
int TUpDown::Position() const { return OnGui([&] { return Spin()->value(); }); }
void TUpDown::SetPosition(int value) { OnGui([&] { Spin()->setValue(value); }); }

TValueListEditor::TValueListEditor(QWidget* parent, const std::string& keyTitle, const std::string& valueTitle)
    : TControl(new QTableWidget(0, 2, parent)) {
    Table()->setHorizontalHeaderLabels({ToQt(keyTitle), ToQt(valueTitle)});
    Table()->horizontalHeader()->setStretchLastSection(true);
    Table()->verticalHeader()->setVisible(false);
}

QTableWidget* TValueListEditor::Table() const { return static_cast<QTableWidget*>(widget_.data()); }

std::string TValueListEditor::KeyTitle() const {
    return OnGui([&] { return FromQt(Table()->horizontalHeaderItem(0)->text()); });
}

std::string TValueListEditor::ValueTitle() const {
    return OnGui([&] { return FromQt(Table()->horizontalHeaderItem(1)->text()); });
}

int TValueListEditor::RowCount() const { return OnGui([&] { return Table()->rowCount(); }); }

void TValueListEditor::AddRow(const std::string& key, const std::string& value) {
    OnGui([&] {
        const int row = Table()->rowCount();
        Table()->insertRow(row);
        Table()->setItem(row, 0, new QTableWidgetItem(ToQt(key)));
        Table()->setItem(row, 1, new QTableWidgetItem(ToQt(value)));
    });
}

std::string TValueListEditor::Value(const std::string& key) const {
    return OnGui([&] {
        for (int row = 0; row < Table()->rowCount(); ++row) {
            if (Table()->item(row, 0) && FromQt(Table()->item(row, 0)->text()) == key)
                return Table()->item(row, 1) ? FromQt(Table()->item(row, 1)->text()) : std::string();
        }
        return std::string();
    });
}

void TValueListEditor::Clear() { OnGui([&] { Table()->setRowCount(0); }); }

}  // namespace ui
