#pragma once
// What a test or benchmark process needs before its windows: the offscreen platform and a data folder
// of its own, removed again when the process ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class OffscreenProcess {
public:
    explicit OffscreenProcess(const std::string& prefix) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (const char* made = mkdtemp(pattern.data())) {
            dataHome_ = made;
            setenv("XDG_DATA_HOME", made, 1);
        }
    }
    ~OffscreenProcess() {
        if (dataHome_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(dataHome_, ignored);
    }
    OffscreenProcess(const OffscreenProcess&) = delete;
    OffscreenProcess& operator=(const OffscreenProcess&) = delete;

private:
    std::string dataHome_;
};

}  // namespace testsupport
