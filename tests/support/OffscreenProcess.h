#pragma once
// What a test or benchmark process needs before its windows: the offscreen platform and a folder of
// its own, removed again when the process ends. It holds the process's data folder, its temporary
// folder (also that of the processes it starts: a child that ends by a signal or by its own exit
// removes nothing, so what it made goes with this folder) and, where the session has none, Qt's
// runtime folder (else Qt makes /tmp/runtime-<user>, which nobody removes).
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class OffscreenProcess {
public:
    explicit OffscreenProcess(const std::string& prefix) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::string pattern = (TemporaryFolder() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        folder_ = pattern;
        chmod(folder_.c_str(), 0711);  // the way to the temporary folder, for a child that runs as another user
        UseSubfolder("XDG_DATA_HOME", "data", 0700);
        UseSubfolder("TMPDIR", "tmp", 01777);  // as /tmp is: a test may save there as another user
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr)
            UseSubfolder("XDG_RUNTIME_DIR", "runtime", 0700);
    }
    ~OffscreenProcess() {
        if (folder_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    OffscreenProcess(const OffscreenProcess&) = delete;
    OffscreenProcess& operator=(const OffscreenProcess&) = delete;

private:
    static std::filesystem::path TemporaryFolder() {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        return error ? std::filesystem::path("/tmp") : folder;
    }

    void UseSubfolder(const char* variable, const char* name, mode_t mode) {
        const std::string path = folder_ + "/" + name;
        if (mkdir(path.c_str(), mode) == 0 && chmod(path.c_str(), mode) == 0)  // chmod: past the umask
            setenv(variable, path.c_str(), 1);
    }

    std::string folder_;
};

}  // namespace testsupport
