#include "ui/CachedFrameStyle.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>

namespace ui {
namespace {

// The palette's colours, which the frame may be drawn in. (The palette's own cache key changes at each
// paint: the style sheet layer hands the style a fresh copy.)
QString ColoursKey(const QPalette& palette) {
    QString key;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            key += QString::number(palette.color(group, static_cast<QPalette::ColorRole>(role)).rgba(), 36);
    }
    return key;
}

class FrameCachingStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameLineEdit || option->rect.isEmpty()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QString key = QStringLiteral("talvane-edit-frame-%1x%2-%3-%4-%5-%6")
                                .arg(option->rect.width())
                                .arg(option->rect.height())
                                .arg(static_cast<unsigned>(option->state))
                                .arg(ColoursKey(option->palette))
                                .arg(static_cast<int>(option->direction))
                                .arg(ratio);
        QPixmap frame;
        if (!QPixmapCache::find(key, &frame)) {
            frame = DrawFrame(option, widget, ratio);
            QPixmapCache::insert(key, frame);
        }
        painter->drawPixmap(option->rect.topLeft(), frame);
    }

private:
    QPixmap DrawFrame(const QStyleOption* option, const QWidget* widget, qreal ratio) const {
        QPixmap frame(option->rect.size() * ratio);
        frame.setDevicePixelRatio(ratio);
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        if (const auto* frameOption = qstyleoption_cast<const QStyleOptionFrame*>(option))
            DrawAtOrigin(*frameOption, &painter, widget);
        else
            DrawAtOrigin(*option, &painter, widget);
        return frame;
    }
    template <class Option>
    void DrawAtOrigin(Option option, QPainter* painter, const QWidget* widget) const {
        option.rect.moveTopLeft({0, 0});
        QProxyStyle::drawPrimitive(PE_FrameLineEdit, &option, painter, widget);
    }
};

}  // namespace

QStyle* CachedFrameStyle() {
    static FrameCachingStyle* style = new FrameCachingStyle;
    return style;
}

}  // namespace ui
