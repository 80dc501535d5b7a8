#pragma once
// How events enter the program: every handler runs guarded, so an exception it raises is shown in
// the application's exception box and the program goes on.
#include <cstdint>
#include <exception>
#include <functional>

#include "ui/Dialogs.h"

namespace ui {

// Virtual key codes of the class library.
enum VirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39,
    VK_DOWN = 40, VK_DELETE = 46, VK_F1 = 112, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115, VK_F5 = 116,
    VK_F10 = 121
};

using TNotifyEvent = std::function<void()>;
using TKeyPressEvent = std::function<void(char& key)>;  // set key to 0 to swallow it
using TKeyEvent = std::function<void(int& key)>;        // virtual key code

// While a form is being freed its widgets still send events (a focused edit loses its focus, for
// one); its handlers may reach what is already gone, so no handler runs then.
class EventSuspension {
public:
    EventSuspension() { ++Depth(); }
    ~EventSuspension() { --Depth(); }
    EventSuspension(const EventSuspension&) = delete;
    EventSuspension& operator=(const EventSuspension&) = delete;
    static bool Active() { return Depth() > 0; }

private:
    static int& Depth() {
        thread_local int depth = 0;
        return depth;
    }
};

template <class F, class... Args>
void Guarded(const F& handler, Args&&... args) {
    if (!handler || EventSuspension::Active())
        return;
    try {
        handler(std::forward<Args>(args)...);
    } catch (const std::exception& e) {
        ShowExceptionBox(e.what());
    } catch (...) {
        ShowExceptionBox("");
    }
}

}  // namespace ui
