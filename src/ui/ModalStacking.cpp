#include "ui/ModalStacking.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace ui {
namespace {

struct OpenBox {
    QPointer<QWidget> window;
    bool ownMark = false;  // it stays on top of its own accord
    bool above = false;    // as the window manager was last told
};

// Decides the boxes' marks again once a window has been shown, hidden, minimised or restored.
class WindowWatcher : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// GUI thread only.
struct OpenBoxes {
    std::vector<OpenBox> boxes;
    std::vector<QPointer<QWidget>> madeOrdinary;
    std::unique_ptr<WindowWatcher> watcher;
    bool decisionQueued = false;
};

OpenBoxes& Open() {
    static OpenBoxes open;
    return open;
}

bool MarkedWhileOpen(const QWidget* window) {
    const std::vector<OpenBox>& boxes = Open().boxes;
    return std::any_of(boxes.begin(), boxes.end(),
                       [window](const OpenBox& box) { return box.window == window && !box.ownMark; });
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Asks the window manager to put a mapped window into the layer above ordinary windows, or to take it
// out, as Qt's stay-on-top mark does when the window is mapped. Changing the mark through Qt would
// create the window anew.
void TellStaysAbove(const QWidget& window, bool above) {
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const auto* x11 = app != nullptr ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr || window.windowHandle() == nullptr)
        return;
    static const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    static const xcb_atom_t stateAbove = Atom(connection, "_NET_WM_STATE_ABOVE");
    static const xcb_atom_t stateStaysOnTop = Atom(connection, "_NET_WM_STATE_STAYS_ON_TOP");
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.windowHandle()->winId());
    message.type = state;
    message.data.data32[0] = above ? 1 : 0;  // add or remove
    message.data.data32[1] = stateAbove;
    message.data.data32[2] = stateStaysOnTop;
    message.data.data32[3] = 1;  // asked by an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

void MakeStayOnTopWindowsOrdinary(const QWidget& box) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &box && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            TellStaysAbove(*window, false);
            Open().madeOrdinary.emplace_back(window);
        }
    }
}

void PutStayOnTopWindowsBackOnTop() {
    for (const QPointer<QWidget>& window : Open().madeOrdinary) {
        if (window != nullptr && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            TellStaysAbove(*window, true);
    }
    Open().madeOrdinary.clear();
}

void DecideBoxMarks() {
    Open().decisionQueued = false;
    const bool above = StayOnTopWindowShown();
    for (OpenBox& box : Open().boxes) {
        if (box.ownMark || box.window == nullptr || box.above == above)
            continue;
        TellStaysAbove(*box.window, above);
        box.above = above;
    }
}

bool WindowWatcher::eventFilter(QObject* object, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool windowChange = type == QEvent::Show || type == QEvent::Hide || type == QEvent::WindowStateChange;
    if (windowChange && object->isWidgetType() && static_cast<QWidget*>(object)->isWindow() &&
        !Open().decisionQueued) {
        // Once the window's own handling has run, so that its state reads as it now is.
        Open().decisionQueued = true;
        QMetaObject::invokeMethod(this, &DecideBoxMarks, Qt::QueuedConnection);
    }
    return false;
}

}  // namespace

ModalStacking::ModalStacking(QWidget& box, bool staysOnTopItself) : box_(box) {
    OpenBoxes& open = Open();
    if (open.boxes.empty()) {
        MakeStayOnTopWindowsOrdinary(box);
        open.watcher = std::make_unique<WindowWatcher>();
        open.decisionQueued = false;
        QCoreApplication::instance()->installEventFilter(open.watcher.get());
    }
    showOnTop_ = !staysOnTopItself && StayOnTopWindowShown(&box);
    open.boxes.push_back({&box, staysOnTopItself, showOnTop_});
}

ModalStacking::~ModalStacking() {
    OpenBoxes& open = Open();
    std::erase_if(open.boxes, [this](const OpenBox& box) { return box.window == &box_ || box.window == nullptr; });
    if (!open.boxes.empty())
        return;
    open.watcher.reset();
    PutStayOnTopWindowsBackOnTop();
}

bool StayOnTopWindowShown(const QWidget* besides) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [besides](const QWidget* window) {
        return window != besides && window->isVisible() && !window->isMinimized() &&
               window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && !MarkedWhileOpen(window);
    });
}

}  // namespace ui
