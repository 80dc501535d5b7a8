#pragma once
// The hand-over of control work to the GUI thread.
//
// Controls belong to the GUI thread. Work that another thread needs done on a control is handed over
// with OnGui and awaited, so its updates keep their order. The GUI thread carries hand-overs out from
// its event loop and, while it waits for something another thread holds (WaitOnGui), from that wait as
// well, so a worker that needs the GUI thread never deadlocks against a GUI thread that waits for it.
#include <exception>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace ui {

// True on the thread that runs the Qt application, and on any thread while no application exists.
bool IsGuiThread();

// Runs task on the GUI thread and waits for it; an exception it raises is raised here again.
void RunOnGuiThread(const std::function<void()>& task);

template <class F>
auto OnGui(F&& fn) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (IsGuiThread())
        return fn();
    if constexpr (std::is_void_v<Result>) {
        RunOnGuiThread([&] { fn(); });
    } else {
        std::optional<Result> result;
        RunOnGuiThread([&] { result.emplace(fn()); });
        return std::move(*result);
    }
}

// GUI thread: carries out the hand-overs that wait now, and nothing else. Returns how many ran.
int DrainHandOvers();

// GUI thread: a hand-over is being carried out further down this thread's stack (a modal box that it
// opened runs an event loop of its own). Its thread waits for it, so the GUI thread must not wait for
// anything that thread holds.
bool RunningHandOver();

// Waits until done() is true. On the GUI thread it keeps carrying out hand-overs meanwhile; no
// other event is processed. Elsewhere it pauses briefly between the tests.
void WaitOnGui(const std::function<bool()>& done);

}  // namespace ui
