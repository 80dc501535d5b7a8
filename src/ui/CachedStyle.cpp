#include "ui/CachedStyle.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>
#include <deque>
#include <utility>

namespace ui {
namespace {

// The palette's colours, which a part may be drawn in, folded into one number. (The palette's own
// cache key changes at each paint: the style sheet layer hands the style a fresh copy.)
quint64 ColoursKey(const QPalette& palette) {
    quint64 key = 14695981039346656037ULL;  // FNV-1a
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            key ^= palette.color(group, static_cast<QPalette::ColorRole>(role)).rgba64();
            key *= 1099511628211ULL;
        }
    }
    return key;
}

// What every cached part's look depends on besides its own fields.
QString CommonKey(const char* part, const QStyleOption& option, QSize size, qreal ratio) {
    return QStringLiteral("talvane-%1-%2x%3-%4-%5-%6-%7")
        .arg(QLatin1String(part))
        .arg(size.width())
        .arg(size.height())
        .arg(static_cast<unsigned>(option.state))
        .arg(ColoursKey(option.palette))
        .arg(static_cast<int>(option.direction))
        .arg(ratio);
}

// A drawing without a transparent pixel loses its alpha channel: it is then copied onto the window
// instead of blended, line by line, over what lies beneath.
QPixmap WithoutAlphaWhenOpaque(const QPixmap& drawn) {
    const QImage image = drawn.toImage();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (!std::all_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; }))
            return drawn;
    }
    QPixmap opaque = QPixmap::fromImage(image.convertToFormat(QImage::Format_RGB32));
    opaque.setDevicePixelRatio(drawn.devicePixelRatio());
    return opaque;
}

// Draws on a transparent pixmap of size.
template <class Draw>
QPixmap Drawn(QSize size, qreal ratio, Draw draw) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        draw(painter);
    }
    return WithoutAlphaWhenOpaque(pixmap);
}

// The pixmap under key in the application's pixmap cache, drawn when it is not there.
template <class Draw>
QPixmap Cached(const QString& key, QSize size, qreal ratio, Draw draw) {
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = Drawn(size, ratio, draw);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// The last few pixmaps drawn, for parts that take a new size often: a scroll bar's handle shrinks with
// every few lines while a pane fills, and again after each time it is emptied; the application's cache
// would keep every size.
class RecentPixmaps {
public:
    template <class Draw>
    QPixmap Get(const QString& key, QSize size, qreal ratio, Draw draw) {
        const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const auto& entry) { return entry.first == key; });
        if (found != entries_.end())
            return found->second;
        if (entries_.size() == kKept)
            entries_.pop_front();
        entries_.emplace_back(key, Drawn(size, ratio, draw));
        return entries_.back().second;
    }

private:
    static constexpr std::size_t kKept = 16;
    std::deque<std::pair<QString, QPixmap>> entries_;
};

class CachingStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if ((element != PE_FrameLineEdit && element != PE_PanelLineEdit) || option->rect.isEmpty()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const qreal ratio = painter->device()->devicePixelRatioF();
        const auto* frameOption = qstyleoption_cast<const QStyleOptionFrame*>(option);
        const QString key = CommonKey(element == PE_PanelLineEdit ? "edit-panel" : "edit-frame", *option,
                                      option->rect.size(), ratio) +
                            (frameOption != nullptr ? QStringLiteral("-%1-%2-%3")
                                                          .arg(frameOption->lineWidth)
                                                          .arg(frameOption->midLineWidth)
                                                          .arg(static_cast<int>(frameOption->features))
                                                    : QString());
        const QPixmap drawn = Cached(key, option->rect.size(), ratio, [&](QPainter& onPixmap) {
            if (frameOption != nullptr)
                DrawPrimitiveAtOrigin(element, *frameOption, &onPixmap, widget);
            else
                DrawPrimitiveAtOrigin(element, *option, &onPixmap, widget);
        });
        painter->drawPixmap(option->rect.topLeft(), drawn);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || bar == nullptr || option->rect.isEmpty()) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionSlider atOrigin = *bar;
        atOrigin.rect.moveTopLeft({0, 0});
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(bar->rect.topLeft(), Groove(atOrigin, widget, ratio));
        // The arrow buttons are small, and the style keeps their arrows cached itself.
        QStyleOptionSlider arrows = *bar;
        arrows.subControls &= SC_ScrollBarAddLine | SC_ScrollBarSubLine;
        QProxyStyle::drawComplexControl(CC_ScrollBar, &arrows, painter, widget);
        const HandlePlace place = PlaceOfHandle(atOrigin, widget);
        if ((bar->subControls & SC_ScrollBarSlider) && !place.area.isEmpty())
            painter->drawPixmap(bar->rect.topLeft() + place.area.topLeft(), Handle(atOrigin, place, widget, ratio));
    }

private:
    template <class Option>
    void DrawPrimitiveAtOrigin(PrimitiveElement element, Option option, QPainter* painter, const QWidget* widget) const {
        option.rect.moveTopLeft({0, 0});
        QProxyStyle::drawPrimitive(element, &option, painter, widget);
    }

    // The groove, which does not move with the handle.
    QPixmap Groove(QStyleOptionSlider bar, const QWidget* widget, qreal ratio) const {
        bar.subControls &= SC_ScrollBarGroove;
        const QString key = CommonKey("scroll-groove", bar, bar.rect.size(), ratio) +
                            QStringLiteral("-%1-%2-%3")
                                .arg(static_cast<int>(bar.orientation))
                                .arg(static_cast<unsigned>(bar.subControls))
                                .arg(static_cast<unsigned>(bar.activeSubControls));
        return Cached(key, bar.rect.size(), ratio, [&](QPainter& painter) {
            QProxyStyle::drawComplexControl(CC_ScrollBar, &bar, &painter, widget);
        });
    }

    // Where the handle stands: its rectangle, the groove's, and the area it is drawn in, across the whole
    // bar and with a margin along it (its outline lies a pixel outside), within the groove.
    struct HandlePlace {
        QRect handle;
        QRect groove;
        QRect area;
    };
    HandlePlace PlaceOfHandle(const QStyleOptionSlider& bar, const QWidget* widget) const {
        HandlePlace place;
        place.handle = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
        if (place.handle.isEmpty())
            return place;
        place.groove = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
        constexpr int kMargin = 2;
        const QRect& handle = place.handle;
        const QRect area = bar.orientation == Qt::Horizontal
                               ? QRect(handle.left() - kMargin, 0, handle.width() + 2 * kMargin, bar.rect.height())
                               : QRect(0, handle.top() - kMargin, bar.rect.width(), handle.height() + 2 * kMargin);
        place.area = area & place.groove;
        return place;
    }

    // The handle on the groove beneath it, in its area. Away from the groove's ends it looks the same
    // wherever it stands (the groove changes only across the bar), given its own size and place in the
    // area; near an end the style draws it a little differently, so there the distance counts too.
    QPixmap Handle(QStyleOptionSlider bar, const HandlePlace& place, const QWidget* widget, qreal ratio) const {
        constexpr int kNearEnd = 8;
        bar.subControls = SC_ScrollBarGroove | SC_ScrollBarSlider;
        const QRect& handle = place.handle;
        const QRect& groove = place.groove;
        const bool horizontal = bar.orientation == Qt::Horizontal;
        const int fromStart = horizontal ? handle.left() - groove.left() : handle.top() - groove.top();
        const int toEnd = horizontal ? groove.right() - handle.right() : groove.bottom() - handle.bottom();
        const QRect inArea = handle.translated(-place.area.topLeft());
        const QString key = CommonKey("scroll-handle", bar, place.area.size(), ratio) +
                            QStringLiteral("-%1-%2-%3,%4,%5x%6-%7-%8")
                                .arg(static_cast<int>(bar.orientation))
                                .arg(static_cast<unsigned>(bar.activeSubControls))
                                .arg(inArea.x())
                                .arg(inArea.y())
                                .arg(inArea.width())
                                .arg(inArea.height())
                                .arg(std::min(fromStart, kNearEnd))
                                .arg(std::min(toEnd, kNearEnd));
        return handles_.Get(key, place.area.size(), ratio, [&](QPainter& painter) {
            painter.translate(-place.area.topLeft());
            QProxyStyle::drawComplexControl(CC_ScrollBar, &bar, &painter, widget);
        });
    }

    mutable RecentPixmaps handles_;  // GUI thread only, as all painting
};

}  // namespace

QStyle* CachedStyle() {
    static CachingStyle* style = new CachingStyle;
    return style;
}

}  // namespace ui
