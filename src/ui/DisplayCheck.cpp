#include "ui/DisplayCheck.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "ui/PlatformPlugins.h"

namespace ui::DisplayCheck {
namespace {

// An X server answers a connection's setup at once, a remote one within a second: one that has not
// answered after this long is taken as one that never will.
constexpr std::chrono::seconds kAnswerBound{5};

// "-name" or "--name", as Qt takes its own options.
bool IsOption(std::string_view argument, std::string_view name) {
    if (argument.starts_with("--"))
        argument.remove_prefix(1);
    return argument.starts_with('-') && argument.substr(1) == name;
}

// The value of the last "-name VALUE" on the command line, as Qt reads it.
std::optional<std::string> OptionValue(int argc, char** argv, std::string_view name) {
    std::optional<std::string> value;
    for (int i = 1; i + 1 < argc; ++i) {
        if (IsOption(argv[i], name))
            value = argv[++i];
    }
    return value;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Qt's choice: the command line, else QT_QPA_PLATFORM, else X11 (Wayland first in a Wayland session);
// a list separated by ';' is tried in turn, and ':' starts a platform's own arguments.
std::string PlatformList(int argc, char** argv) {
    if (std::optional<std::string> given = OptionValue(argc, argv, "platform"))
        return *given;
    if (std::string variable = Environment("QT_QPA_PLATFORM"); !variable.empty())
        return variable;
    if (!Environment("WAYLAND_DISPLAY").empty() || Environment("XDG_SESSION_TYPE") == "wayland")
        return "wayland;xcb";
    return "xcb";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The platforms of the list that Qt tries, in order: it skips a name no installed plugin answers to.
std::vector<std::string> PlatformsTried(const std::string& list, const std::set<std::string>& installed) {
    std::vector<std::string> tried;
    std::istringstream entries(list);
    for (std::string entry; std::getline(entries, entry, ';');) {
        if (std::string name = Lower(entry.substr(0, entry.find(':'))); installed.contains(name))
            tried.push_back(name);
    }
    return tried;
}

// Qt's platform plugin folder: QT_QPA_PLATFORM_PLUGIN_PATH, or -platformpluginpath before it.
std::string PlatformPluginFolder(int argc, char** argv) {
    return OptionValue(argc, argv, "platformpluginpath").value_or(Environment("QT_QPA_PLATFORM_PLUGIN_PATH"));
}

bool TakesConnection(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

enum class Answer { Connected, Refused, Silent };

// A server that takes the connection and never answers (a stopped one, a remote session cut while
// connecting) holds xcb_connect for ever: it runs in a thread of its own, left behind after the bound
// (the process ends soon after).
Answer Connect(const std::string& display) {
    std::packaged_task<bool()> connect([display] { return TakesConnection(display); });
    std::future<bool> connected = connect.get_future();
    std::thread(std::move(connect)).detach();
    if (connected.wait_for(kAnswerBound) != std::future_status::ready)
        return Answer::Silent;
    return connected.get() ? Answer::Connected : Answer::Refused;
}

std::string NoDisplayReason(const std::string& display, Answer answer) {
    if (display.empty())
        return "no X display is set (DISPLAY is empty)";
    return "the X display \"" + display + (answer == Answer::Silent ? "\" does not answer" : "\" cannot be reached");
}

std::string NoPlatformReason(const std::string& list) {
    return list.empty() ? "no platform is named (-platform is empty)" : "no platform in \"" + list + "\" is installed";
}

bool Refuse(const std::string& reason) {
    std::cerr << "talvane: " << reason
              << ": start talvane from a desktop session, or with -platform offscreen for a test run"
                 " without a screen\n";
    return false;
}

}  // namespace

std::vector<char*> QtArguments(int argc, char** argv) {
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(argv[i]);
        char* equals = i > 0 ? std::strchr(argv[i], '=') : nullptr;
        if (equals == nullptr || !IsOption(std::string_view(argv[i], equals), "platform"))
            continue;
        *equals = '\0';
        arguments.push_back(equals + 1);
    }
    arguments.push_back(nullptr);
    return arguments;
}

bool DisplayReachable(int argc, char** argv) {
    const std::string list = PlatformList(argc, argv);
    const std::set<std::string> installed = PlatformPlugins::Installed(PlatformPluginFolder(argc, argv));
    const std::vector<std::string> tried = PlatformsTried(list, installed);
    if (tried.empty())
        return Refuse(NoPlatformReason(list));
    if (std::any_of(tried.begin(), tried.end(), [](const std::string& name) { return name != "xcb"; }))
        return true;  // another platform may start where X cannot
    const std::string display = OptionValue(argc, argv, "display").value_or(Environment("DISPLAY"));
    const Answer answer = Connect(display);
    return answer == Answer::Connected || Refuse(NoDisplayReason(display, answer));
}

}  // namespace ui::DisplayCheck
