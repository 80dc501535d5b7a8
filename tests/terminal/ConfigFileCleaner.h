#pragma once
// Removes "Talvane Config.txt" and its ".bad" copy before a test and after it (the close writes one),
// so that no test starts from another test's configuration.
#include <filesystem>
#include <system_error>

#include "terminal/ConfigFile.h"
#include "terminal/Main.h"

namespace testsupport {

struct ConfigFileCleaner {
    ConfigFileCleaner() { Remove(); }
    ~ConfigFileCleaner() { Remove(); }
    ConfigFileCleaner(const ConfigFileCleaner&) = delete;
    ConfigFileCleaner& operator=(const ConfigFileCleaner&) = delete;

    static void Remove() {
        std::error_code ignored;
        std::filesystem::remove_all(ConfigFilePath(), ignored);
        std::filesystem::remove_all(terminal::BadCopyPath(ConfigFilePath()), ignored);
    }
};

}  // namespace testsupport
