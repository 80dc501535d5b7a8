#include "ui/Indicators.h"

#include <QHBoxLayout>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

#include "ui/GuiThread.h"

namespace ui {
namespace {

// A status bar panel: a sunken frame with a line of text, at least as wide as asked. Unlike a label,
// a new text that fits the panel repaints the panel alone, without laying out the window again; and
// it fills its own background, so its parents are not painted beneath it.
class StatusPanel : public QFrame {
public:
    StatusPanel(const QString& text, int width, QWidget* parent) : QFrame(parent), width_(width) {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setAutoFillBackground(true);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        SetText(text);
    }
    const QString& Text() const { return text_; }
    void SetText(const QString& text) {
        if (text == text_ && textWidth_ >= 0)
            return;
        text_ = text;
        const int before = std::max(width_, textWidth_);
        textWidth_ = fontMetrics().horizontalAdvance(text_) + Indent() + 2 * frameWidth();
        if (std::max(width_, textWidth_) != before)
            updateGeometry();
        update();
    }
    QSize sizeHint() const override {
        return {std::max(width_, textWidth_), fontMetrics().height() + 2 * frameWidth()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent* event) override {
        QFrame::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            textWidth_ = -1;
            SetText(text_);
        }
    }
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect().adjusted(Indent(), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              palette(), isEnabled(), text_, foregroundRole());
    }

private:
    int Indent() const { return fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2; }  // as a framed label's

    QString text_;
    int width_;
    int textWidth_ = -1;  // the text's width with indent and frame, once measured
};

}  // namespace

TStatusBar::TStatusBar(QWidget* parent, const std::vector<std::pair<std::string, int>>& panels)
    : TControl(new QFrame(parent)) {
    auto* layout = new QHBoxLayout(widget_);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    for (std::size_t i = 0; i < panels.size(); ++i) {
        auto* panel = new StatusPanel(ToQt(panels[i].first), panels[i].second, widget_);
        layout->addWidget(panel, i + 1 == panels.size() ? 1 : 0);
        panels_.push_back(panel);
    }
}

std::string TStatusBar::PanelText(int index) const {
    return OnGui([&] {
        if (!widget_ || index < 0 || index >= PanelCount())
            return std::string();
        return FromQt(static_cast<StatusPanel*>(panels_[static_cast<std::size_t>(index)])->Text());
    });
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    OnGui([&] {
        if (widget_ && index >= 0 && index < PanelCount())
            static_cast<StatusPanel*>(panels_[static_cast<std::size_t>(index)])->SetText(ToQt(text));
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
