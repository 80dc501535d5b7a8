#pragma once
// A real desktop for the window tests: a virtual X server (Xvfb) on a free display with a window
// manager (openbox), started once for the test program. It reads what the window manager sees of a
// program's windows and drives them with real input events (XTest), as an operator's mouse and
// keyboard do.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;
using XWindow = unsigned long;

namespace desktop {

using namespace std::chrono_literals;

// Polls done() until it holds or the bound passed; the bound only ends a wait that failed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = 20s);

// A child process, ended (SIGKILL) and reaped with its owner.
class Child {
public:
    Child() = default;
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment);
    ~Child() { Stop(); }
    Child(Child&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    Child& operator=(Child&& other) noexcept;
    pid_t Pid() const { return pid_; }
    bool Running() const;
    // Its wait status once it has ended by itself; nothing when it still runs after the bound.
    std::optional<int> AwaitExit(std::chrono::milliseconds bound = 20s);
    void Stop();

private:
    pid_t pid_ = -1;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};

class XDesktop {
public:
    // The one desktop of the test program, started at the first call; nullptr when it could not start
    // (Error() says why).
    static XDesktop* Get();
    static const std::string& Error();

    const std::string& DisplayName() const { return displayName_; }
    // Starts a program on this desktop (DISPLAY and the xcb platform set) with these variables changed.
    Child Run(const std::vector<std::string>& argv, std::map<std::string, std::string> variables);

    // The windows the window manager manages, bottom to top (_NET_CLIENT_LIST_STACKING).
    std::vector<XWindow> Stacking();
    std::optional<pid_t> Pid(XWindow window);
    std::string Title(XWindow window);
    // A managed window of the process with this title that is mapped.
    std::optional<XWindow> FindWindow(pid_t pid, const std::string& title);
    XWindow WaitForWindow(pid_t pid, const std::string& title);
    std::optional<XWindow> TransientFor(XWindow window);
    std::optional<XWindow> ActiveWindow();
    // How many pop-ups (menus, lists: windows the window manager does not manage) are on the screen.
    int PopupCount();
    bool Viewable(XWindow window);
    // Whether the window manager keeps the window above ordinary windows (_NET_WM_STATE_ABOVE).
    bool StaysAbove(XWindow window);
    // A window of another program (this test's own connection) at a place of the screen, once the
    // window manager has taken it on; DestroyWindow takes it away.
    XWindow OpenOtherProgramsWindow(const Rect& place);
    void DestroyWindow(XWindow window);
    // The functions field of _MOTIF_WM_HINTS, when the window sets it.
    std::optional<unsigned long> MotifFunctions(XWindow window);
    // The managed window the pointer is over.
    std::optional<XWindow> WindowUnderPointer();
    // The managed window seen at a place of the screen: the topmost whose frame holds it.
    std::optional<XWindow> WindowAt(int x, int y);
    // The window's place on the screen (its own area, without the frame).
    Rect Place(XWindow window);
    // The colour (0xRRGGBB) of each pixel of a part of the screen, row by row.
    std::vector<std::uint32_t> Pixels(const Rect& area);

    // Asks the window manager to minimise the window, as its title bar's button does, until it has.
    void Minimise(XWindow window);
    // Asks the window manager to activate the window, as a task bar does (a minimised one is
    // restored), until it is the active window.
    void Activate(XWindow window);
    // Asks the same of a minimised window until it is on the screen, whichever window then takes the
    // focus (an open box of its program, say).
    void Restore(XWindow window);
    void MoveTo(int x, int y);
    // A click, passed on to the window once the window manager has seen it (it takes the focus with
    // it), so that keys sent after it come after it.
    void Click(int x, int y, int button = 1);
    // One notch of the wheel, down (towards the operator) or up, at the pointer's place.
    void WheelNotch(bool down);
    // Keys as xdotool names them: "Return", "ctrl+p", "alt+f", "Down", "F1".
    void Key(const std::string& combination);
    // Types the text's characters (letters, digits and the usual signs).
    void Type(const std::string& text);
    // Waits until the server has handled every request sent so far.
    void Sync();

private:
    XDesktop() = default;
    bool Start();
    void PressKeysym(unsigned long keysym, bool shifted);
    // Sends the window manager a request about a window, as a pager or task bar does.
    void SendToWindowManager(XWindow window, const char* request, long argument);
    // The window's ancestor that is a child of the root window: its frame, for a managed window.
    XWindow TopAncestor(XWindow window);
    // Waits until the window manager has handled every event sent to it so far: it answers a request
    // for a frame's extents after them.
    void SyncWithWindowManager();
    std::vector<unsigned long> Property(XWindow window, const char* name, unsigned long type);

    Child server_;
    Child windowManager_;
    Display* display_ = nullptr;
    XWindow probe_ = 0;
    std::string displayName_;
};

}  // namespace desktop
