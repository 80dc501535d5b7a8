#include "ui/Application.h"

#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "ui/Control.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/GuiThread.h"

namespace ui::Application {
namespace {

std::mutex g_titleMutex;
std::string g_title;
std::atomic<bool> g_terminated{false};

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The self-pipe: the signal handler only writes the signal's number into it, and the event loop
// reads it.
int g_signalPipe[2] = {-1, -1};

extern "C" void WriteSignalToPipe(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void DefaultEndSignals() {
    for (const int signal : kEndSignals)
        std::signal(signal, SIG_DFL);
}

// A handler taken off again by its first signal, so the same signal a second time ends the process.
void CatchEndSignals() {
    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndSignals)
        sigaction(signal, &action, nullptr);
}

// The first signal closes the forms; from then on any end signal ends the process at once, as does
// one that came together with the first.
void TakeEndSignals(QSocketNotifier& notifier) {
    unsigned char bytes[8];
    const ssize_t count = ::read(g_signalPipe[0], bytes, sizeof bytes);
    if (count <= 0)
        return;
    notifier.setEnabled(false);
    DefaultEndSignals();
    if (count > 1)
        std::raise(bytes[1]);
    TForm::CloseAll();
}

// Signals are caught while the message loop runs, and left to their default before and after it.
class EndSignalsCaught {
public:
    EndSignalsCaught() {
        if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { TakeEndSignals(*notifier_); });
        CatchEndSignals();
    }
    ~EndSignalsCaught() {
        DefaultEndSignals();
        notifier_.reset();
        for (int& fd : g_signalPipe) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }
    EndSignalsCaught(const EndSignalsCaught&) = delete;
    EndSignalsCaught& operator=(const EndSignalsCaught&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Never destroyed: the exit handler that runs it may come after the static destructors began.
std::function<void()>& EndingAction() {
    static auto* action = new std::function<void()>;
    return *action;
}

extern "C" void EndAtExit() {
    BeginEnding();
    if (EndingAction())
        EndingAction()();
}

}  // namespace

void SetTitle(const std::string& title) {
    {
        std::lock_guard lock(g_titleMutex);
        g_title = title;
    }
    OnGui([&] { QApplication::setApplicationName(ToQt(title)); });
}

std::string Title() {
    std::lock_guard lock(g_titleMutex);
    return g_title;
}

void Terminate() {
    g_terminated = true;
    OnGui([] { QCoreApplication::quit(); });
}

bool Terminated() { return g_terminated; }

int Run() {
    if (!g_terminated) {
        const EndSignalsCaught endSignalsCaught;
        QApplication::exec();
    }
    return 0;
}

void SetEndingWithoutClose(std::function<void()> action) {
    static const bool registered = std::atexit(EndAtExit) == 0;
    (void)registered;
    EndingAction() = std::move(action);
}

bool RunShowingExceptions(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        ShowExceptionBox(e.what());
    } catch (...) {
        ShowExceptionBox("");
    }
    return false;
}

void Reset() { g_terminated = false; }

}  // namespace ui::Application
