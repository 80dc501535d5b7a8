#include "ui/CachedStyle.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>

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

// The pixmap under key, drawn by draw(painter) on a transparent pixmap of size when it is not cached.
template <class Draw>
QPixmap Cached(const QString& key, QSize size, qreal ratio, Draw draw) {
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        draw(painter);
    }
    pixmap = WithoutAlphaWhenOpaque(pixmap);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

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
        const QRect handle = HandleArea(atOrigin, widget);
        if ((bar->subControls & SC_ScrollBarSlider) && !handle.isEmpty())
            painter->drawPixmap(bar->rect.topLeft() + handle.topLeft(), Handle(atOrigin, handle, widget, ratio));
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

    // Where the handle is drawn: its rectangle, across the whole bar and with a margin along it (its
    // outline lies a pixel outside), within the groove.
    QRect HandleArea(const QStyleOptionSlider& bar, const QWidget* widget) const {
        const QRect handle = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
        if (handle.isEmpty())
            return {};
        const QRect groove = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
        constexpr int kMargin = 2;
        const QRect area = bar.orientation == Qt::Horizontal
                               ? QRect(handle.left() - kMargin, 0, handle.width() + 2 * kMargin, bar.rect.height())
                               : QRect(0, handle.top() - kMargin, bar.rect.width(), handle.height() + 2 * kMargin);
        return area & groove;
    }

    // The handle on the groove beneath it, which looks the same wherever the handle stands between the
    // ends (the groove changes only across the bar); at an end it meets an arrow button.
    QPixmap Handle(QStyleOptionSlider bar, QRect handle, const QWidget* widget, qreal ratio) const {
        bar.subControls = SC_ScrollBarGroove | SC_ScrollBarSlider;
        const QString key = CommonKey("scroll-handle", bar, handle.size(), ratio) +
                            QStringLiteral("-%1-%2-%3-%4")
                                .arg(static_cast<int>(bar.orientation))
                                .arg(static_cast<unsigned>(bar.activeSubControls))
                                .arg(bar.sliderPosition == bar.minimum)
                                .arg(bar.sliderPosition == bar.maximum);
        return Cached(key, handle.size(), ratio, [&](QPainter& painter) {
            painter.translate(-handle.topLeft());
            QProxyStyle::drawComplexControl(CC_ScrollBar, &bar, &painter, widget);
        });
    }
};

}  // namespace

QStyle* CachedStyle() {
    static CachingStyle* style = new CachingStyle;
    return style;
}

}  // namespace ui
