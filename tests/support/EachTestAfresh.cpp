#include "support/EachTestAfresh.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Clock.h"
#include "terminal/Forms.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace testsupport {
namespace {

// What a test may have changed for the process and left behind.
void ProcessStateAsAtStart() {
    DestroyForms();
    platform::SetSleepFunction({});
    platform::SetClock({});
    ui::SetDialogs(nullptr);
    ui::Application::Reset();
}

}  // namespace

void EachTestAfresh::OnTestStart(const ::testing::TestInfo&) {
    ProcessStateAsAtStart();
    const char* processDataHome = std::getenv("XDG_DATA_HOME");
    processDataHome_ = processDataHome != nullptr ? processDataHome : "";
    std::string pattern = (std::filesystem::temp_directory_path() / "talvane-test-XXXXXX").string();
    if (const char* made = mkdtemp(pattern.data())) {
        dataHome_ = made;
        setenv("XDG_DATA_HOME", made, 1);
    } else {
        ADD_FAILURE() << "no data folder could be made for the test";
    }
}

void EachTestAfresh::OnTestEnd(const ::testing::TestInfo&) {
    ProcessStateAsAtStart();
    if (dataHome_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(dataHome_, ignored);
    dataHome_.clear();
    setenv("XDG_DATA_HOME", processDataHome_.c_str(), 1);
}

}  // namespace testsupport
