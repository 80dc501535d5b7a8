#include "platform/FileSave.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

// As many links as the kernel follows in one path lookup.
constexpr int kMaxLinkHops = 40;

std::optional<std::filesystem::path> ReadLink(const std::filesystem::path& link) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size())
        return std::nullopt;
    const std::filesystem::path target(std::string(buffer.data(), static_cast<std::size_t>(length)));
    return target.is_absolute() ? target : link.parent_path() / target;
}

std::filesystem::path TemporaryPathBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::string name = target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter++);
    return target.parent_path() / name;
}

// The new file takes the mode of the file it replaces; root also gives it the old owner and group, so
// that the owner can still write it afterwards.
void KeepModeOf(const std::filesystem::path& target, int fd) {
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    if (::geteuid() == 0)
        (void)::fchown(fd, status.st_uid, status.st_gid);
    (void)::fchmod(fd, status.st_mode & 07777);
}

void SyncFolderOf(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        (void)::fsync(dir.Get());
}

// A new file beside target, opened for writing; its path in temporary.
int CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryPathBeside(target);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileDescriptor::Close() { return ::close(std::exchange(fd_, -1)) == 0; }

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::filesystem::path> SaveTarget(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        const auto next = ReadLink(current);
        if (!next)
            return std::nullopt;
        current = *next;
    }
    return std::nullopt;
}

bool MayReplace(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return errno == ENOENT;
    if (::geteuid() == 0)
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
}

bool SaveFileAtomically(const std::filesystem::path& path, const std::function<bool(int fd)>& writeContent) {
    const auto target = SaveTarget(path);
    if (!target || !MayReplace(*target))
        return false;
    std::filesystem::path temporary;
    FileDescriptor file(CreateTemporaryBeside(*target, temporary));
    if (file.Get() < 0)
        return false;
    KeepModeOf(*target, file.Get());
    const bool replaced = writeContent(file.Get()) && ::fsync(file.Get()) == 0 && file.Close() &&
                          ::rename(temporary.c_str(), target->c_str()) == 0;
    if (!replaced) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(*target);
    return true;
}

bool SaveTextAtomically(const std::filesystem::path& path, std::string_view text) {
    return SaveFileAtomically(path, [text](int fd) { return WriteAll(fd, text); });
}

}  // namespace platform
