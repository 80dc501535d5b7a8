#include "ui/Align.h"

#include <QLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace ui {
namespace {

const char* const kAlignProperty = "talvaneAlign";

// Lays out the aligned children of one parent; the parent's other children are not its items.
class AlignLayout : public QLayout {
public:
    explicit AlignLayout(QWidget* parent) : QLayout(parent) {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(0);
    }
    ~AlignLayout() override {
        for (Entry& entry : entries_)
            delete entry.item;
    }

    void Add(QWidget* widget, TAlign align) {
        Remove(widget);
        if (align == TAlign::None)
            return;
        // The side's extent is the one the form gave the control (or its natural one when none was given).
        const QSize size = widget->testAttribute(Qt::WA_Resized) ? widget->size() : widget->sizeHint();
        const int extent = (align == TAlign::Left || align == TAlign::Right) ? size.width() : size.height();
        entries_.push_back({new QWidgetItem(widget), align, extent});
        invalidate();
    }

    void SetExtent(QWidget* widget, int extent) {
        for (Entry& entry : entries_) {
            if (entry.item->widget() == widget) {
                entry.extent = extent;
                invalidate();
            }
        }
    }

    void Remove(QWidget* widget) {
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [widget](const Entry& e) { return e.item->widget() == widget; });
        if (it == entries_.end())
            return;
        delete it->item;
        entries_.erase(it);
        invalidate();
    }

    void addItem(QLayoutItem* item) override { entries_.push_back({item, TAlign::Client, 0}); }
    int count() const override { return static_cast<int>(entries_.size()); }
    QLayoutItem* itemAt(int index) const override {
        return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)].item : nullptr;
    }
    QLayoutItem* takeAt(int index) override {
        if (index < 0 || index >= count())
            return nullptr;
        QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item;
        entries_.erase(entries_.begin() + index);
        return item;
    }
    QSize sizeHint() const override { return minimumSize(); }
    // Enough for the side-aligned controls and the client control's own minimum, so that they never
    // overlap.
    QSize minimumSize() const override {
        int width = 0;
        int height = 0;
        for (const Entry& entry : entries_) {
            if (Hidden(entry))
                continue;
            if (entry.align == TAlign::Top || entry.align == TAlign::Bottom)
                height += entry.extent;
            else if (entry.align == TAlign::Left || entry.align == TAlign::Right)
                width += entry.extent;
            else
                width += entry.item->minimumSize().width(), height += entry.item->minimumSize().height();
        }
        const QMargins m = parentWidget() != nullptr ? parentWidget()->contentsMargins() : QMargins();
        return {width + m.left() + m.right(), height + m.top() + m.bottom()};
    }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        QRect free = contentsRect();
        for (const Entry& entry : entries_) {
            if (Hidden(entry))
                continue;
            QRect place;
            switch (entry.align) {
                case TAlign::Top:
                    place = QRect(free.left(), free.top(), free.width(), entry.extent);
                    free.setTop(free.top() + entry.extent);
                    break;
                case TAlign::Bottom:
                    place = QRect(free.left(), free.bottom() + 1 - entry.extent, free.width(), entry.extent);
                    free.setBottom(free.bottom() - entry.extent);
                    break;
                case TAlign::Left:
                    place = QRect(free.left(), free.top(), entry.extent, free.height());
                    free.setLeft(free.left() + entry.extent);
                    break;
                case TAlign::Right:
                    place = QRect(free.right() + 1 - entry.extent, free.top(), entry.extent, free.height());
                    free.setRight(free.right() - entry.extent);
                    break;
                case TAlign::Client:
                case TAlign::None:
                    continue;
            }
            entry.item->widget()->setGeometry(place);
        }
        for (const Entry& entry : entries_) {
            if (entry.align == TAlign::Client && !Hidden(entry))
                entry.item->widget()->setGeometry(free);
        }
    }

private:
    struct Entry {
        QLayoutItem* item;
        TAlign align;
        int extent;
    };
    // Hidden by the form (its Visible property), not merely not shown yet.
    static bool Hidden(const Entry& entry) {
        const QWidget* widget = entry.item->widget();
        return widget == nullptr || (widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide));
    }

    std::vector<Entry> entries_;
};

AlignLayout* LayoutOf(QWidget* parent, bool create) {
    if (auto* layout = dynamic_cast<AlignLayout*>(parent->layout()))
        return layout;
    return create ? new AlignLayout(parent) : nullptr;
}

}  // namespace

void AlignWidget(QWidget* widget, TAlign align) {
    QWidget* parent = widget->parentWidget();
    if (parent == nullptr)
        return;
    AlignLayout* layout = LayoutOf(parent, align != TAlign::None);
    if (layout == nullptr)
        return;
    layout->Add(widget, align);
    widget->setProperty(kAlignProperty, static_cast<int>(align));
}

void SetAlignedExtent(QWidget* widget, int extent) {
    if (AlignLayout* layout = widget->parentWidget() ? LayoutOf(widget->parentWidget(), false) : nullptr)
        layout->SetExtent(widget, extent);
}

TAlign AlignOf(const QWidget* widget) {
    const QVariant value = widget->property(kAlignProperty);
    return value.isValid() ? static_cast<TAlign>(value.toInt()) : TAlign::None;
}

}  // namespace ui
