#include "ui/GuiThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "ui/Dialogs.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace ui {
namespace {

struct HandOver {
    const std::function<void()>* task = nullptr;
    std::exception_ptr error;
    bool done = false;
    bool taken = false;  // the GUI thread is carrying it out or has done so
    // A posted hand-over holds its own task, and nobody waits for it: it is freed once carried out.
    std::function<void()> posted;
};

class HandOverQueue {
public:
    // False once the program is ending: the item was not taken.
    bool Push(HandOver* item, bool ahead) {
        std::lock_guard lock(mutex_);
        if (ending_)
            return false;
        (ahead ? ahead_ : items_).push_back(item);
        arrived_.notify_all();
        return true;
    }

    // The first of those that go ahead, else the first of the others; none once the program is ending.
    HandOver* Pop(bool postedOnly = false) {
        std::lock_guard lock(mutex_);
        if (ending_)
            return nullptr;
        if (!postedOnly && !ahead_.empty()) {
            HandOver* item = ahead_.front();
            ahead_.pop_front();
            item->taken = true;
            return item;
        }
        if (items_.empty() || (postedOnly && !items_.front()->posted))
            return nullptr;
        HandOver* item = items_.front();
        items_.pop_front();
        item->taken = true;
        return item;
    }

    void Finish(HandOver* item) {
        std::lock_guard lock(mutex_);
        item->done = true;
        finished_.notify_all();
    }

    // False when the program began ending first: the item is then taken out of the queue, so that
    // nothing touches it after its owner has gone. One the GUI thread is carrying out is still awaited,
    // unless the GUI thread itself is ending the process (then it never returns to it).
    bool AwaitFinished(HandOver* item) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this, item] { return item->done || (ending_ && (!item->taken || guiEnding_)); });
        if (item->done)
            return true;
        std::erase(items_, item);
        std::erase(ahead_, item);
        return false;
    }

    void BeginEnding(bool withoutReturn) {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
            guiEnding_ = guiEnding_ || withoutReturn;
        }
        finished_.notify_all();
        arrived_.notify_all();
    }

    bool Ending() {
        std::lock_guard lock(mutex_);
        return ending_;
    }

    int Size() {
        std::lock_guard lock(mutex_);
        return static_cast<int>(items_.size() + ahead_.size());
    }

    // Waits until an item arrives or the pause ends.
    void AwaitArrival(std::chrono::microseconds pause) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, pause, [this] { return !items_.empty() || !ahead_.empty(); });
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable finished_;
    std::deque<HandOver*> items_;
    std::deque<HandOver*> ahead_;
    bool ending_ = false;
    bool guiEnding_ = false;
};

// Never destroyed: a worker may still wait on it while the process runs its exit handlers.
HandOverQueue& Queue() {
    static auto* queue = new HandOverQueue;
    return *queue;
}

// Qt's libraries are not built with ThreadSanitizer, which therefore cannot see that Qt's event queue
// orders the posting of an event before its delivery; these two calls show it that order.
void PublishPostedEvent([[maybe_unused]] QEvent* event) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(event);
#endif
}

void ReceivePostedEvent([[maybe_unused]] QEvent* event) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(event);
#endif
}

// Lives on the GUI thread; each posted event asks it to carry out what waits.
class HandOverReceiver : public QObject {
public:
    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

protected:
    bool event(QEvent* e) override {
        ReceivePostedEvent(e);
        if (e->type() != EventType())
            return QObject::event(e);
        DrainHandOvers();
        return true;
    }
};

HandOverReceiver* Receiver() {
    static HandOverReceiver* receiver = [] {
        auto* r = new HandOverReceiver;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    return receiver;
}

}  // namespace

void PrepareHandOvers() { Receiver(); }

bool IsGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

namespace {

bool HandOverToGui(HandOver* item, bool ahead) {
    if (!Queue().Push(item, ahead))
        return false;
    auto* event = new QEvent(HandOverReceiver::EventType());
    PublishPostedEvent(event);
    QCoreApplication::postEvent(Receiver(), event);
    return true;
}

void ShowPostedFailure(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowExceptionBoxLater(e.what());
    } catch (...) {
        ShowExceptionBoxLater("");
    }
}

}  // namespace

void RunOnGuiThread(const std::function<void()>& task, bool ahead) {
    if (IsGuiThread()) {
        task();
        return;
    }
    HandOver item;
    item.task = &task;
    if (!HandOverToGui(&item, ahead) || !Queue().AwaitFinished(&item))
        throw ProgramEnding{};
    if (item.error)
        std::rethrow_exception(item.error);
}

void PostToGui(std::function<void()> task) {
    if (IsGuiThread()) {
        task();
        return;
    }
    auto* item = new HandOver;
    item->posted = std::move(task);
    item->task = &item->posted;
    if (!HandOverToGui(item, false))
        delete item;
}

void BeginEnding() { Queue().BeginEnding(false); }

void BeginEndingWithoutReturn() { Queue().BeginEnding(true); }

bool Ending() { return Queue().Ending(); }

namespace {
int g_handOversRunning = 0;                             // GUI thread only
std::chrono::steady_clock::time_point g_lastHandOver;  // GUI thread only
}  // namespace

bool RunningHandOver() { return g_handOversRunning > 0; }

int WaitingHandOvers() { return Queue().Size(); }

std::chrono::steady_clock::duration SinceLastHandOver() { return std::chrono::steady_clock::now() - g_lastHandOver; }

namespace {

// Carries one hand-over out: an awaited one is then reported finished, a posted one freed.
void CarryOut(HandOver* item) {
    ++g_handOversRunning;
    try {
        (*item->task)();
    } catch (...) {
        item->error = std::current_exception();
    }
    --g_handOversRunning;
    g_lastHandOver = std::chrono::steady_clock::now();
    if (item->posted) {
        if (item->error)
            ShowPostedFailure(item->error);
        delete item;
        return;
    }
    Queue().Finish(item);
}

}  // namespace

int DrainHandOvers() {
    int count = 0;
    while (HandOver* item = Queue().Pop()) {
        CarryOut(item);
        ++count;
    }
    return count;
}

void DrainPostedHandOvers() {
    while (HandOver* item = Queue().Pop(true))
        CarryOut(item);
}

void WaitOnGui(const std::function<bool()>& done) {
    const bool onGui = IsGuiThread() && QCoreApplication::instance() != nullptr;
    while (!done()) {
        if (onGui) {
            DrainHandOvers();
            Queue().AwaitArrival(std::chrono::microseconds(200));
        } else {
            if (Ending())
                return;
            QThread::usleep(200);
        }
    }
}

}  // namespace ui
