#pragma once
// The one way the program replaces a file it keeps (the configuration file, the panel files, the
// ".bad" copy): the new content goes into a temporary file beside the file, which is then renamed
// over it, so that the file holds either the old or the new content, never a cut one.
//
// Three things of the operator's stay as they were:
// - a file that is a symbolic link stays a link: the file the link (or chain of links) finally names
//   is written, with the temporary file beside it;
// - a write-protected file is not replaced: for an ordinary user, when access() refuses writing it;
//   for root, who passes every access check, when none of its write bits is set;
// - a replaced file keeps its permissions (and, when root saves it, its owner and group).
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace platform {

// Closes the descriptor it holds when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Close();

private:
    int fd_;
};

// Writes all of data to fd; false when a write fails.
bool WriteAll(int fd, std::string_view data);

// The file a save to path writes: path itself, or the end of the chain of symbolic links that starts
// at path (which need not exist yet). Nothing when the chain is too long or a link cannot be read.
std::optional<std::filesystem::path> SaveTarget(const std::filesystem::path& path);

// False when file exists and is write-protected for this process (see above).
bool MayReplace(const std::filesystem::path& file);

// Saves what writeContent writes to the descriptor it is given. On failure (a protected file, a
// missing or read-only folder, a failed write) the file is untouched, no temporary file is left and
// the result is false.
bool SaveFileAtomically(const std::filesystem::path& path, const std::function<bool(int fd)>& writeContent);
bool SaveTextAtomically(const std::filesystem::path& path, std::string_view text);

}  // namespace platform
