#pragma once
// COM port names (COM1 .. COM119) and the Linux devices they stand for.
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 119;

// The n of "COMn" when the name is exactly "COM" followed by a decimal 1..119 without leading zeros.
std::optional<int> ComNumber(const std::string& comName);

// The device a COM number maps to without a link: COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31,
// COM65-96 /dev/ttyACM0-31; nothing for COM97-119 and numbers out of range.
std::optional<std::filesystem::path> DefaultComDevice(int number);

// The path to open for a COM name: the link PortsFolder()/COMn when one exists (even one whose
// target is gone), else the default device; nothing for a name that is no COM port name.
std::optional<std::filesystem::path> ComDevicePath(const std::string& comName);

}  // namespace platform
