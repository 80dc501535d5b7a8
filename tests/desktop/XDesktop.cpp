#include "desktop/XDesktop.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

extern char** environ;

namespace desktop {
namespace {

std::string g_error;

// Windows come and go while they are read; a request about one that is gone fails quietly.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

std::vector<char*> CStrings(const std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (const std::string& s : strings)
        result.push_back(const_cast<char*>(s.c_str()));
    result.push_back(nullptr);
    return result;
}

// The first line the pipe's reader gets within the bound, without its line end.
std::optional<std::string> ReadLine(int fd, std::chrono::milliseconds bound) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(fd, &c, 1) != 1)
            return std::nullopt;
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (changes.count(text.substr(0, text.find('='))) == 0)
            result.push_back(text);
    }
    for (const auto& [name, value] : changes)
        result.push_back(name + "=" + value);
    return result;
}

// The keysym names of the signs that are no names themselves.
const std::map<char, const char*>& SignNames() {
    static const std::map<char, const char*> names{
        {'?', "question"}, {';', "semicolon"}, {':', "colon"},   {' ', "space"},      {'.', "period"},
        {',', "comma"},    {'-', "minus"},     {'/', "slash"},   {'_', "underscore"}, {'#', "numbersign"}};
    return names;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    std::vector<char*> args = CStrings(argv);
    std::vector<char*> env = CStrings(environment);
    pid_ = fork();
    if (pid_ == 0) {
        execve(args[0], args.data(), env.data());
        _exit(127);
    }
}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        Stop();
        pid_ = other.pid_;
        other.pid_ = -1;
    }
    return *this;
}

bool Child::Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

std::optional<int> Child::AwaitExit(std::chrono::milliseconds bound) {
    int status = 0;
    if (pid_ <= 0 || !WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, bound))
        return std::nullopt;
    pid_ = -1;
    return status;
}

void Child::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

XDesktop* XDesktop::Get() {
    static std::unique_ptr<XDesktop> desktop;
    static bool tried = false;
    if (!tried) {
        tried = true;
        desktop.reset(new XDesktop);
        if (!desktop->Start())
            desktop.reset();
    }
    return desktop.get();
}

const std::string& XDesktop::Error() { return g_error; }

Child XDesktop::Run(const std::vector<std::string>& argv, std::map<std::string, std::string> variables) {
    variables["DISPLAY"] = displayName_;
    variables["QT_QPA_PLATFORM"] = "xcb";
    return Child(argv, EnvironmentWith(variables));
}

bool XDesktop::Start() {
    // Xvfb picks a free display itself and writes its number once it takes connections.
    int ready[2];
    if (pipe(ready) != 0)
        return (g_error = "no pipe"), false;
    server_ = Child({"/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp", "-noreset"},
                    EnvironmentWith({}));
    close(ready[1]);
    const std::optional<std::string> number = ReadLine(ready[0], 30s);
    close(ready[0]);
    if (!number || number->empty())
        return (g_error = "Xvfb did not start (package xvfb)"), false;
    displayName_ = ":" + *number;
    display_ = XOpenDisplay(displayName_.c_str());
    if (display_ == nullptr)
        return (g_error = "no connection to " + displayName_), false;
    XSetErrorHandler(IgnoreXErrors);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        return (g_error = "the X server has no XTEST"), false;

    windowManager_ = Child({"/usr/bin/openbox", "--sm-disable"}, EnvironmentWith({{"DISPLAY", displayName_}}));
    const bool managed = WaitUntil([this] {
        return !Property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
    }, 30s);
    if (!managed)
        return (g_error = "openbox did not start (package openbox)"), false;
    return true;
}

std::vector<unsigned long> XDesktop::Property(XWindow window, const char* name, unsigned long type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False, type, &actualType,
                           &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32)
            values.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
        XFree(data);
    }
    return values;
}

std::vector<XWindow> XDesktop::Stacking() {
    return Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
}

std::optional<pid_t> XDesktop::Pid(XWindow window) {
    const auto pid = Property(window, "_NET_WM_PID", XA_CARDINAL);
    return pid.empty() ? std::nullopt : std::optional<pid_t>(static_cast<pid_t>(pid[0]));
}

std::string XDesktop::Title(XWindow window) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(display_, "UTF8_STRING", False), &actualType, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

bool XDesktop::Viewable(XWindow window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

std::optional<XWindow> XDesktop::FindWindow(pid_t pid, const std::string& title) {
    for (XWindow window : Stacking()) {
        if (Pid(window) == pid && Title(window) == title && Viewable(window))
            return window;
    }
    return std::nullopt;
}

XWindow XDesktop::WaitForWindow(pid_t pid, const std::string& title) {
    std::optional<XWindow> found;
    WaitUntil([&] { return (found = FindWindow(pid, title)).has_value(); });
    return found.value_or(0);
}

std::optional<XWindow> XDesktop::TransientFor(XWindow window) {
    Window owner = 0;
    if (XGetTransientForHint(display_, window, &owner) == 0)
        return std::nullopt;
    return owner;
}

std::optional<XWindow> XDesktop::ActiveWindow() {
    const auto active = Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return active.empty() ? std::nullopt : std::optional<XWindow>(active[0]);
}

int XDesktop::PopupCount() {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    int popups = 0;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0)
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_, children[i], &attributes) != 0 && attributes.override_redirect &&
            attributes.map_state == IsViewable)
            ++popups;
    }
    XFree(children);
    return popups;
}

bool XDesktop::StaysAbove(XWindow window) {
    const auto states = Property(window, "_NET_WM_STATE", XA_ATOM);
    return std::find(states.begin(), states.end(), XInternAtom(display_, "_NET_WM_STATE_ABOVE", False)) != states.end();
}

XWindow XDesktop::OpenOtherProgramsWindow(const Rect& place) {
    const XWindow window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), place.x, place.y,
                                               static_cast<unsigned>(place.width), static_cast<unsigned>(place.height),
                                               0, 0, 0xFFFFFF);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    XSetWMNormalHints(display_, window, &hints);
    XMapWindow(display_, window);
    XSync(display_, False);
    WaitUntil([&] {
        const auto stacking = Stacking();
        return std::find(stacking.begin(), stacking.end(), window) != stacking.end() && Viewable(window);
    });
    return window;
}

void XDesktop::DestroyWindow(XWindow window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

std::optional<unsigned long> XDesktop::MotifFunctions(XWindow window) {
    const Atom hints = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
    const auto values = Property(window, "_MOTIF_WM_HINTS", hints);
    if (values.size() < 2 || (values[0] & 1u) == 0)  // flags: functions given
        return std::nullopt;
    return values[1];
}

std::optional<XWindow> XDesktop::WindowUnderPointer() {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned buttons = 0;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y, &buttons))
        return std::nullopt;
    return WindowAt(rootX, rootY);
}

std::optional<XWindow> XDesktop::WindowAt(int x, int y) {
    int childX = 0, childY = 0;
    Window child = 0;
    const Window root = DefaultRootWindow(display_);
    if (!XTranslateCoordinates(display_, root, root, x, y, &childX, &childY, &child) || child == 0)
        return std::nullopt;
    for (XWindow window : Stacking()) {
        if (TopAncestor(window) == child)
            return window;
    }
    return std::nullopt;
}

XWindow XDesktop::TopAncestor(XWindow window) {
    for (;;) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0)
            return 0;
        if (children != nullptr)
            XFree(children);
        if (parent == root)
            return window;
        window = parent;
    }
}

Rect XDesktop::Place(XWindow window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

std::vector<std::uint32_t> XDesktop::Pixels(const Rect& area) {
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFFu));
    XDestroyImage(image);
    return pixels;
}

void XDesktop::Minimise(XWindow window) {
    // A request that comes while the window manager is still taking a new window on is dropped: it is
    // sent again once the window manager has handled it and the window is still on the screen.
    WaitUntil([&] {
        SendToWindowManager(window, "WM_CHANGE_STATE", IconicState);
        SyncWithWindowManager();
        return !Viewable(window);
    });
}

void XDesktop::Activate(XWindow window) {
    WaitUntil([&] {
        SendToWindowManager(window, "_NET_ACTIVE_WINDOW", 2);  // 2: from a pager or task bar
        SyncWithWindowManager();
        return ActiveWindow() == window;
    });
}

void XDesktop::Restore(XWindow window) {
    WaitUntil([&] {
        SendToWindowManager(window, "_NET_ACTIVE_WINDOW", 2);
        SyncWithWindowManager();
        return Viewable(window);
    });
}

void XDesktop::SendToWindowManager(XWindow window, const char* request, long argument) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display_, request, False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = argument;
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &message);
    XSync(display_, False);
}

void XDesktop::MoveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void XDesktop::Click(int x, int y, int button) {
    MoveTo(x, y);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display_, False);
    SyncWithWindowManager();
}

void XDesktop::SyncWithWindowManager() {
    if (probe_ == 0)
        probe_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
    XDeleteProperty(display_, probe_, XInternAtom(display_, "_NET_FRAME_EXTENTS", False));
    SendToWindowManager(probe_, "_NET_REQUEST_FRAME_EXTENTS", 0);
    WaitUntil([&] { return !Property(probe_, "_NET_FRAME_EXTENTS", XA_CARDINAL).empty(); }, 5s);
}

void XDesktop::WheelNotch(bool down) {
    const unsigned button = down ? 5 : 4;
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void XDesktop::Key(const std::string& combination) {
    std::vector<KeyCode> held;
    std::stringstream parts(combination);
    std::string part;
    while (std::getline(parts, part, '+')) {
        const std::map<std::string, const char*> modifiers{{"ctrl", "Control_L"}, {"alt", "Alt_L"}, {"shift", "Shift_L"}};
        const auto modifier = modifiers.find(part);
        const KeySym keysym = XStringToKeysym(modifier != modifiers.end() ? modifier->second : part.c_str());
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        held.push_back(code);
    }
    for (auto code = held.rbegin(); code != held.rend(); ++code)
        XTestFakeKeyEvent(display_, *code, False, CurrentTime);
    XSync(display_, False);
}

void XDesktop::PressKeysym(unsigned long keysym, bool shifted) {
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, False, CurrentTime);
}

void XDesktop::Type(const std::string& text) {
    for (char c : text) {
        const auto sign = SignNames().find(c);
        const KeySym keysym = XStringToKeysym(sign != SignNames().end() ? sign->second : std::string(1, c).c_str());
        const KeyCode code = XKeysymToKeycode(display_, keysym);
        PressKeysym(keysym, XkbKeycodeToKeysym(display_, code, 0, 0) != keysym);
    }
    XSync(display_, False);
}

void XDesktop::Sync() { XSync(display_, False); }

}  // namespace desktop
