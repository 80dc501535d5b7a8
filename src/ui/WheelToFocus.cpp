#include "ui/WheelToFocus.h"

#include <QApplication>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include "ui/Form.h"

namespace ui {
namespace {

class WheelRouter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        // The receiver is tested first: a hand-over's event, posted from a worker thread, goes to a
        // plain object and is read only once its receiver has taken it over from that thread.
        if (!receiver->isWidgetType() || event->type() != QEvent::Wheel)
            return false;
        auto* target = static_cast<QWidget*>(receiver);
        QWidget* focus = QApplication::focusWidget();
        if (ReachesFocus(target, focus))
            return false;
        if (focus != nullptr) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            QWheelEvent redirected(focus->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                                   wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                                   wheel->phase(), wheel->inverted(), wheel->source());
            QApplication::sendEvent(focus, &redirected);
        }
        return true;
    }

private:
    // The focused control itself, a part of it (a scroll area's viewport), a parent it passes an unused
    // turn on to, an open pop-up (a combo's list), or a window that is none of the program's forms
    // (a file dialog's list scrolls as Qt has it).
    static bool ReachesFocus(const QWidget* target, const QWidget* focus) {
        if (target->window()->windowType() == Qt::Popup || TForm::FormOf(target) == nullptr)
            return true;
        return focus != nullptr && (target == focus || focus->isAncestorOf(target) || target->isAncestorOf(focus));
    }
};

}  // namespace

void RouteWheelToFocus() {
    static QPointer<WheelRouter> router;
    if (router != nullptr || QCoreApplication::instance() == nullptr)
        return;
    router = new WheelRouter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(router);
}

void TakeNoFocusFromTheWheel(QWidget* widget) {
    if (widget == nullptr)
        return;
    QList<QWidget*> widgets = widget->findChildren<QWidget*>();
    widgets.append(widget);
    for (QWidget* w : widgets) {
        if ((w->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    }
}

}  // namespace ui
