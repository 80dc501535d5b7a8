#include "platform/DeviceAccess.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <vector>

namespace platform {
namespace {

constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;

// getpwuid_r and getgrgid_r fill an entry whose texts live in a buffer of the caller's.
template <typename Entry, typename Lookup>
std::string NameOf(unsigned id, Lookup lookup, char* Entry::*name) {
    Entry entry{};
    Entry* found = nullptr;
    std::vector<char> buffer(16384);
    if (lookup(id, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->*name;
    return std::to_string(id);
}

}  // namespace

std::optional<DeviceAccess> AccessOf(const std::filesystem::path& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0)
        return std::nullopt;
    DeviceAccess access;
    access.owner = NameOf<passwd>(status.st_uid, getpwuid_r, &passwd::pw_name);
    access.group = NameOf<group>(status.st_gid, getgrgid_r, &group::gr_name);
    access.groupMayOpen = status.st_gid != 0 && (status.st_mode & kGroupReadWrite) == kGroupReadWrite;
    access.ownerMayOpen = (status.st_mode & kOwnerReadWrite) == kOwnerReadWrite;
    return access;
}

}  // namespace platform
