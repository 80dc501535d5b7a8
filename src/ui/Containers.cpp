#include "ui/Containers.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "ui/Align.h"
#include "ui/GuiThread.h"
#include "ui/TextSizeWatch.h"

namespace ui {
namespace {

class SplitterBar : public QFrame {
public:
    SplitterBar(QWidget* parent, const TSplitter& owner) : QFrame(parent), owner_(owner) {
        setFrameShape(QFrame::VLine);
        setFrameShadow(QFrame::Sunken);
        setCursor(Qt::SplitHCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QWidget* resized = Resized();
        if (event->button() != Qt::LeftButton || resized == nullptr)
            return QFrame::mousePressEvent(event);
        drag_ = Drag{event->globalPosition().toPoint().x(), resized->width(), OtherSideWidth()};
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        QWidget* resized = Resized();
        if (!drag_ || resized == nullptr)
            return QFrame::mouseMoveEvent(event);
        const int moved = event->globalPosition().toPoint().x() - drag_->pressX;
        const int grown = resized->x() > x() ? -moved : moved;
        const int widest = std::max(TSplitter::kMinSize, drag_->resizedWidth + drag_->otherWidth - TSplitter::kMinSize);
        SetAlignedExtent(resized, std::clamp(drag_->resizedWidth + grown, TSplitter::kMinSize, widest));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            drag_.reset();
        QFrame::mouseReleaseEvent(event);
    }

private:
    struct Drag {
        int pressX;
        int resizedWidth;
        int otherWidth;
    };

    QWidget* Resized() const { return owner_.ResizedControl() ? owner_.ResizedControl()->Widget() : nullptr; }

    // The width of the client-aligned area, which gives and takes what the resized control takes
    // and gives.
    int OtherSideWidth() const {
        for (const QWidget* sibling : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (AlignOf(sibling) == TAlign::Client &&
                !(sibling->isHidden() && sibling->testAttribute(Qt::WA_WState_ExplicitShowHide)))
                return sibling->width();
        return 0;
    }

    const TSplitter& owner_;
    std::optional<Drag> drag_;
};

}  // namespace

TLabel::TLabel(QWidget* parent, const std::string& caption) : TControl(new QLabel(ToQt(caption), parent)) {
    WatchTextSize(Label(), [this] { FitToText(); });
}

QLabel* TLabel::Label() const { return static_cast<QLabel*>(widget_.data()); }

std::string TLabel::Caption() const {
    return OnGui([&] { return widget_ ? FromQt(Label()->text()) : std::string(); });
}

void TLabel::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (!widget_)
            return;
        Label()->setText(ToQt(caption));
        FitToText();
    });
}

void TLabel::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    OnGui([&] {
        placed_ = true;
        FitToText();
    });
}

void TLabel::FitToText() {
    if (widget_ && placed_)
        Label()->adjustSize();
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

TSplitter::TSplitter(QWidget* parent) : TControl(new SplitterBar(parent, *this)) {}

}  // namespace ui
