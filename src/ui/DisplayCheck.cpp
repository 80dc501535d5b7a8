#include "ui/DisplayCheck.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace ui::DisplayCheck {
namespace {

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

bool OnlyX11(const std::string& list) {
    if (list.find(';') != std::string::npos)
        return false;
    std::string name = list.substr(0, list.find(':'));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name == "xcb";
}

bool TakesConnection(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
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
    if (!OnlyX11(PlatformList(argc, argv)))
        return true;
    const std::string display = OptionValue(argc, argv, "display").value_or(Environment("DISPLAY"));
    if (TakesConnection(display))
        return true;
    std::cerr << "talvane: "
              << (display.empty() ? std::string("no X display is set (DISPLAY is empty)")
                                  : "the X display \"" + display + "\" cannot be reached")
              << ": start talvane from a desktop session, or with -platform offscreen for a test run"
                 " without a screen\n";
    return false;
}

}  // namespace ui::DisplayCheck
