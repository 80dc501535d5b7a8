#include "ui/TextSizeWatch.h"

#include <QEvent>
#include <QWidget>

namespace ui {
namespace {

class TextSizeWatcher : public QObject {
public:
    TextSizeWatcher(QWidget* widget, std::function<void()> changed) : QObject(widget), changed_(std::move(changed)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::FontChange || type == QEvent::StyleChange || type == QEvent::Polish)
            changed_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> changed_;
};

}  // namespace

void WatchTextSize(QWidget* widget, std::function<void()> changed) { new TextSizeWatcher(widget, std::move(changed)); }

}  // namespace ui
