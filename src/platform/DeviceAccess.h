#pragma once
// Who, besides root, may open a device file for reading and writing: what the port scan's advice to
// an account that may not open a device rests on.
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

struct DeviceAccess {
    std::string owner;  // the owning account's name, or its number when it has none
    std::string group;  // the owning group's name, or its number when it has none
    bool groupMayOpen = false;  // the group has read and write permission, and it is not root's group
    bool ownerMayOpen = false;  // the owner has read and write permission
};

// The access of the file a path leads to; nothing when its status cannot be read.
std::optional<DeviceAccess> AccessOf(const std::filesystem::path& device);

}  // namespace platform
