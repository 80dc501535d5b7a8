#include "ui/WheelUnderPointer.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QSlider>
#include <QWidget>

namespace ui {
namespace {

bool IsScrollingArea(const QWidget* widget) { return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr; }

// A control whose value a wheel turn steps (a scroll bar is part of its scrolling area instead).
bool IsSetting(const QWidget* widget) {
    return qobject_cast<const QComboBox*>(widget) != nullptr || qobject_cast<const QSlider*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

// The scrolling area or setting control that holds the widget (or is it), if any.
const QWidget* WheelOwner(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (IsScrollingArea(w) || IsSetting(w))
            return w;
    }
    return nullptr;
}

bool HasFocus(const QWidget* control) {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == control || control->isAncestorOf(focus));
}

bool ActsUnderThePointer(const QWidget* target) {
    if (target->window()->windowType() == Qt::Popup)
        return true;
    const QWidget* owner = WheelOwner(target);
    return owner != nullptr && (IsScrollingArea(owner) || HasFocus(owner));
}

class WheelRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        // The receiver is tested first: a hand-over's event, posted from a worker thread, goes to a
        // plain object and is read only once its receiver has taken it over from that thread.
        if (!receiver->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(receiver);
        if (event->type() == QEvent::Polish)
            TakeNoFocusFromTheWheel(widget);
        if (event->type() != QEvent::Wheel || ActsUnderThePointer(widget))
            return false;
        // Accepted, so that Qt does not offer the turn to the parents either.
        event->accept();
        return true;
    }

private:
    // For a real wheel event Qt gives the focus to a widget with the wheel-focus bit (a combo box, a
    // spin box) under the pointer before any event filter runs; the rule would find it focused.
    static void TakeNoFocusFromTheWheel(QWidget* widget) {
        if ((widget->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
    }
};

}  // namespace

void KeepTheWheelUnderThePointer() {
    static QPointer<WheelRule> rule;
    if (rule != nullptr || QCoreApplication::instance() == nullptr)
        return;
    rule = new WheelRule(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(rule);
}

}  // namespace ui
