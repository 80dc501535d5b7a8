#pragma once
// The hand-over of control work to the GUI thread.
//
// Controls belong to the GUI thread. Work that another thread needs done on a control is handed over
// with OnGui and awaited, so its updates keep their order; work it only shows may be posted
// (PostToGui), and a read it needs at once may go ahead of what was posted (OnGuiAhead). The GUI thread carries hand-overs out from
// its event loop and, while it waits for something another thread holds (WaitOnGui), from that wait as
// well, so a worker that needs the GUI thread never deadlocks against a GUI thread that waits for it.
#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace ui {

// Raised on a thread that hands work over, or waits for a hand-over, once the program is ending: it
// unwinds that thread's work. Not a std::exception, so that no handler meant for failures shows it.
struct ProgramEnding {};

// The program is ending: from now on no hand-over is carried out, a thread that waits for one is
// released with ProgramEnding, a new one raises it at once, a posted one is dropped, and WaitOnGui
// elsewhere than on the GUI thread returns. A hand-over the GUI thread is carrying out (a box it
// opened is still up) is awaited until it returns. It cannot be undone.
void BeginEnding();
// The same, when the GUI thread ends the process from where it is and never returns to the
// hand-over it may be carrying out: that one's thread is released too.
void BeginEndingWithoutReturn();
// The hand-overs' own state: BeginEnding ran. Whether the program is ending for any reason (an end
// signal no event loop has taken yet, a lost display) is ui::Application::ProgramIsEnding.
bool Ending();

// True on the thread that runs the Qt application, and on any thread while no application exists.
bool IsGuiThread();

// Runs task on the GUI thread and waits for it; an exception it raises is raised here again, and
// ProgramEnding once the program is ending. Ahead: it
// is carried out before the hand-overs that were only posted and still wait (see OnGuiAhead).
void RunOnGuiThread(const std::function<void()>& task, bool ahead = false);

namespace detail {
template <class F>
auto AwaitOnGui(F& fn, bool ahead) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (IsGuiThread())
        return fn();
    if constexpr (std::is_void_v<Result>) {
        RunOnGuiThread([&] { fn(); }, ahead);
    } else {
        std::optional<Result> result;
        RunOnGuiThread([&] { result.emplace(fn()); }, ahead);
        return std::move(*result);
    }
}
}  // namespace detail

template <class F>
auto OnGui(F&& fn) -> std::invoke_result_t<F&> {
    return detail::AwaitOnGui(fn, false);
}

// OnGui for what a worker needs at once, such as a control's value, and which the hand-overs it posted
// to be shown do not touch: carried out before those that still wait, as a window message sent from
// another thread goes before the posted ones. Such hand-overs keep their order among themselves.
template <class F>
auto OnGuiAhead(F&& fn) -> std::invoke_result_t<F&> {
    return detail::AwaitOnGui(fn, true);
}

// Hands task over to the GUI thread and goes on without waiting, for work whose outcome the caller does
// not need (lines to show). Hand-overs are carried out in the order they were made, awaited or not, so
// a later OnGui finds this one done (a later OnGuiAhead may not). On the GUI thread it runs at once. An exception it raises is shown
// in the exception box once the GUI thread is free.
void PostToGui(std::function<void()> task);

// GUI thread: makes the object that hand-overs are posted to, so that it is the GUI thread's from the
// start (made by the first worker to hand over, the GUI thread's event filters would read an object
// that another thread wrote). Every control calls it.
void PrepareHandOvers();

// GUI thread: carries out the hand-overs that wait now, and nothing else. Returns how many ran.
int DrainHandOvers();

// GUI thread: carries out the posted hand-overs at the head of the queue, up to the first awaited one
// (which may need what the GUI thread holds now).
void DrainPostedHandOvers();

// How many hand-overs wait to be carried out, of either kind.
int WaitingHandOvers();

// GUI thread: how long ago the last hand-over was carried out (a long time when none was yet).
std::chrono::steady_clock::duration SinceLastHandOver();

// GUI thread: a hand-over is being carried out further down this thread's stack (a modal box that it
// opened runs an event loop of its own). Its thread waits for it, so the GUI thread must not wait for
// anything that thread holds.
bool RunningHandOver();

// Waits until done() is true. On the GUI thread it keeps carrying out hand-overs meanwhile; no
// other event is processed. Elsewhere it pauses briefly between the tests, and returns once the
// program is ending.
void WaitOnGui(const std::function<bool()>& done);

}  // namespace ui
