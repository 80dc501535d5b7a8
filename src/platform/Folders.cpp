#include "platform/Folders.h"

#include <cstdlib>
#include <system_error>

namespace platform {
namespace {

std::filesystem::path DataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "share";
}

}  // namespace

std::filesystem::path OrvelFolder() { return DataHome() / "Orvel" / "Talvane"; }

std::filesystem::path DrennickFolder() { return DataHome() / "Drennick" / "Talvane"; }

std::filesystem::path PortsFolder() { return OrvelFolder() / "ports"; }

bool CreateInstallFolders() {
    bool ok = true;
    for (const auto& folder : {OrvelFolder() / "Logs", DrennickFolder() / "Logs"}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        ok = ok && !error;
    }
    return ok;
}

}  // namespace platform
