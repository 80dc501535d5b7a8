#include "ui/Containers.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/Align.h"
#include "ui/GuiThread.h"

namespace ui {

TLabel::TLabel(QWidget* parent, const std::string& caption) : TControl(new QLabel(ToQt(caption), parent)) {}

QLabel* TLabel::Label() const { return static_cast<QLabel*>(widget_.data()); }

std::string TLabel::Caption() const {
    return OnGui([&] { return widget_ ? FromQt(Label()->text()) : std::string(); });
}

void TLabel::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (widget_)
            Label()->setText(ToQt(caption));
    });
}

TGroupBox::TGroupBox(QWidget* parent, const std::string& caption) : TControl(new QGroupBox(ToQt(caption), parent)) {
    container_ = true;
}

QGroupBox* TGroupBox::Box() const { return static_cast<QGroupBox*>(widget_.data()); }

std::string TGroupBox::Caption() const {
    return OnGui([&] { return widget_ ? FromQt(Box()->title()) : std::string(); });
}

void TGroupBox::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (widget_)
            Box()->setTitle(ToQt(caption));
    });
}

TPanel::TPanel(QWidget* parent, const std::string& caption) : TControl(new QFrame(parent)), caption_(nullptr) {
    container_ = true;
    auto* frame = static_cast<QFrame*>(widget_.data());
    frame->setFrameShape(QFrame::StyledPanel);
    if (!caption.empty())
        MakeCaption(caption);
}

// The caption is drawn centred over the whole panel, under the controls placed on it.
void TPanel::MakeCaption(const std::string& caption) {
    caption_ = new QLabel(ToQt(caption), widget_);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->lower();
    AlignWidget(caption_, TAlign::Client);
}

std::string TPanel::Caption() const {
    return OnGui([&] { return caption_ ? FromQt(caption_->text()) : std::string(); });
}

void TPanel::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (caption_ == nullptr)
            MakeCaption(caption);
        else
            caption_->setText(ToQt(caption));
    });
}

TNotebook::TNotebook(QWidget* parent) : TControl(new QStackedWidget(parent)) {
    container_ = true;
    QObject::connect(Stack(), &QStackedWidget::currentChanged, Stack(), [this](int) { Guarded(OnPageChanged); });
}

QStackedWidget* TNotebook::Stack() const { return static_cast<QStackedWidget*>(widget_.data()); }

QWidget* TNotebook::AddPage(const std::string& name) {
    return OnGui([&] {
        auto* page = new QWidget;
        page->setObjectName(ToQt(name));
        names_.push_back(name);
        Stack()->addWidget(page);
        return page;
    });
}

int TNotebook::PageIndex() const {
    return OnGui([&] { return widget_ ? Stack()->currentIndex() : -1; });
}

void TNotebook::SetPageIndex(int index) {
    OnGui([&] {
        if (widget_)
            Stack()->setCurrentIndex(index);
    });
}

std::string TNotebook::ActivePage() const {
    return OnGui([&] {
        const int index = PageIndex();
        return index >= 0 && index < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(index)]
                                                                      : std::string();
    });
}

TSplitter::TSplitter(QWidget* parent) : TControl(new QFrame(parent)) {
    auto* frame = static_cast<QFrame*>(widget_.data());
    frame->setFrameShape(QFrame::VLine);
    frame->setFrameShadow(QFrame::Sunken);
}

}  // namespace ui
