#include "platform/ComNames.h"

#include <system_error>

#include "platform/Folders.h"

namespace platform {
namespace {

struct DeviceRange {
    int firstNumber;
    const char* devicePrefix;
};

constexpr int kDevicesPerRange = 32;
constexpr DeviceRange kDefaultRanges[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<int> ComNumber(const std::string& comName) {
    const std::string prefix = "COM";
    if (comName.size() <= prefix.size() || comName.size() > prefix.size() + 3 ||
        comName.compare(0, prefix.size(), prefix) != 0 || comName[prefix.size()] == '0')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = prefix.size(); i < comName.size(); ++i) {
        if (!IsDecimalDigit(comName[i]))
            return std::nullopt;
        number = number * 10 + (comName[i] - '0');
    }
    if (number < kFirstComNumber || number > kLastComNumber)
        return std::nullopt;
    return number;
}

std::optional<std::filesystem::path> DefaultComDevice(int number) {
    for (const DeviceRange& range : kDefaultRanges) {
        const int index = number - range.firstNumber;
        if (index >= 0 && index < kDevicesPerRange)
            return std::filesystem::path(range.devicePrefix + std::to_string(index));
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> ComDevicePath(const std::string& comName) {
    const std::optional<int> number = ComNumber(comName);
    if (!number)
        return std::nullopt;
    const std::filesystem::path link = PortsFolder() / comName;
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, error)))
        return link;
    return DefaultComDevice(*number);
}

}  // namespace platform
