#include "ui/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/Clock.h"
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

// End signals that come while the ending is younger than this are the same ending: systemd stops a
// session with SIGTERM and SIGHUP at once, and an operator may press Ctrl+C twice. The ending takes
// well under a second, also with a silent instrument (a laser's stop waits a tenth of a second for its
// reply); a signal that comes after this bound finds it stuck, and ends the process at once. Three
// seconds leave room for a machine busy with other work, and a person who presses Ctrl+C again after
// waiting that long is not left waiting again.
constexpr std::int64_t kYoungEndingNs = 3'000'000'000;

// The self-pipe: the signal handler only writes the first signal's number into it (and notes when it
// came), and whichever event loop runs reads it.
int g_signalPipe[2] = {-1, -1};
std::atomic<bool> g_endSignalled{false};
std::atomic<std::int64_t> g_firstSignalNs{0};
std::atomic<bool> g_started{false};  // Start has run: an event loop will take the signal

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Async-signal-safe throughout: the GUI thread may be stuck, so the way out is taken here.
extern "C" void TakeEndSignal(int signal) {
    if (!g_started.load())
        ::_exit(0);  // the start: nothing to close or save, and no event loop may ever run
    const int savedErrno = errno;
    const std::int64_t now = MonotonicNs();
    std::int64_t first = 0;
    if (g_firstSignalNs.compare_exchange_strong(first, now)) {
        g_endSignalled.store(true);
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    } else if (now - first >= kYoungEndingNs) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);  // delivered as this handler returns: the default action ends the process
    }
    errno = savedErrno;
}

// The loop level of the message loop while it runs (0 before and after): boxes and modal forms run
// loops above it.
int g_messageLoopLevel = 0;

bool MessageLoopOnTop() {
    return g_messageLoopLevel > 0 && QThread::currentThread()->loopLevel() == g_messageLoopLevel;
}

// Closes what is open on top of the message loop until the message loop is on top again, then the
// forms. Until then a box or a modal form that code opens again is closed too.
void CloseOnceOnTop() {
    auto* closer = new QTimer(QCoreApplication::instance());
    closer->setInterval(10);
    QObject::connect(closer, &QTimer::timeout, [closer] {
        CloseOpenDialogs();
        if (!MessageLoopOnTop())
            return;
        closer->stop();
        closer->deleteLater();
        TForm::CloseAll();
        Terminate();
    });
    closer->start();
    CloseOpenDialogs();
}

// The first signal's byte begins the ending; the handler drops the later ones of the same ending.
void TakeEndSignals(QSocketNotifier& notifier) {
    unsigned char bytes[8];
    if (::read(g_signalPipe[0], bytes, sizeof bytes) <= 0)
        return;
    notifier.setEnabled(false);
    BeginEnding();
    CloseOnceOnTop();
}

void WatchEndSignals() {
    if (g_signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier] { TakeEndSignals(*notifier); });
}

// Never destroyed: it may be needed while the process exits.
std::function<void()>& EndingAction() {
    static auto* action = new std::function<void()>;
    return *action;
}

// On an X display (Qt's xcb platform) only: the connection has failed.
bool DisplayLost() {
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    const auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    return connection != nullptr && xcb_connection_has_error(connection) != 0;
}

// The platform layer says why it ends the process before it exits (on Qt's xcb platform: "The X11
// connection broke"), so every message is the moment to look whether the display is gone. The
// ending without windows runs once, on the GUI thread, after the message is out.
QtMessageHandler g_previousMessageHandler = nullptr;
bool g_endedWithoutDisplay = false;  // GUI thread only

void EndWhenDisplayLost(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_previousMessageHandler != nullptr)
        g_previousMessageHandler(type, context, message);
    if (g_endedWithoutDisplay || !IsGuiThread() || !DisplayLost())
        return;
    g_endedWithoutDisplay = true;
    BeginEndingWithoutReturn();
    if (EndingAction())
        EndingAction()();
    // As the platform layer would next; here also when the message was another one, so that no
    // hand-over the GUI thread was carrying out is returned to after its thread was released.
    std::exit(1);
}

// The platform layer's message about the lost display is a warning of the default category: kept on
// whatever logging rules say, so that the ending above always runs.
QLoggingCategory::CategoryFilter g_previousCategoryFilter = nullptr;

void KeepDefaultWarnings(QLoggingCategory* category) {
    if (g_previousCategoryFilter != nullptr)
        g_previousCategoryFilter(category);
    if (qstrcmp(category->categoryName(), "default") == 0)
        category->setEnabled(QtWarningMsg, true);
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

void CatchEndSignals() {
    if (g_signalPipe[0] >= 0 || ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = TakeEndSignal;
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);  // one handler at a time: the first signal is noted once
    for (const int signal : kEndSignals)
        sigaction(signal, &action, nullptr);
}

void Start() {
    g_started.store(true);
    WatchEndSignals();
    if (g_previousMessageHandler != nullptr)
        return;
    g_previousMessageHandler = qInstallMessageHandler(EndWhenDisplayLost);  // Qt's own, at first
    g_previousCategoryFilter = QLoggingCategory::installFilter(KeepDefaultWarnings);
}

int Run() {
    if (!g_terminated) {
        g_messageLoopLevel = QThread::currentThread()->loopLevel() + 1;
        QApplication::exec();
        g_messageLoopLevel = 0;
    }
    return 0;
}

bool ProgramIsEnding() { return g_endSignalled.load() || Ending() || (IsGuiThread() && DisplayLost()); }

// Asked first: a replaced pause (tests shorten them) is not cut short.
void PauseUnlessEnding(unsigned ms) {
    if (!ProgramIsEnding())
        platform::SleepUnless(ms, ProgramIsEnding);
}

void SetEndingWithoutClose(std::function<void()> action) { EndingAction() = std::move(action); }

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
