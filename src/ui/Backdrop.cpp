#include "ui/Backdrop.h"

#include <QColor>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace ui {
namespace {

constexpr const char* kFillColour = "talvaneFillColour";
constexpr const char* kFillsWhileEnabled = "talvaneFillsWhileEnabled";

// Paints the backdrop before the widget paints itself (an event filter sees the paint event first).
class BackdropPainter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = static_cast<QWidget*>(watched);
            QPainter painter(widget);
            const QColor colour = BackdropColour(widget);
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                painter.fillRect(rect, colour);
        }
        return false;
    }
};

}  // namespace

void SetFillColour(QWidget* widget, const QColor& colour, bool onlyWhileEnabled) {
    widget->setProperty(kFillColour, colour);
    widget->setProperty(kFillsWhileEnabled, onlyWhileEnabled);
}

QColor BackdropColour(const QWidget* widget) {
    for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
        const QVariant fill = w->property(kFillColour);
        if (fill.isValid() && (w->isEnabled() || !w->property(kFillsWhileEnabled).toBool()))
            return fill.value<QColor>();
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    }
    return widget->palette().color(QPalette::Window);
}

void MakeOpaqueOverBackdrop(QWidget* widget) {
    widget->installEventFilter(new BackdropPainter(widget));
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

}  // namespace ui
