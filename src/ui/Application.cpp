#include "ui/Application.h"

#include <QApplication>

#include <atomic>
#include <exception>
#include <mutex>

#include "ui/Control.h"
#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

namespace ui::Application {
namespace {

std::mutex g_titleMutex;
std::string g_title;
std::atomic<bool> g_terminated{false};

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
    if (!g_terminated)
        QApplication::exec();
    return 0;
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
