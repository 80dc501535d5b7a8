#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ComNames.h"
#include "platform/Folders.h"

namespace {

std::string DefaultDevice(const std::string& comName) {
    const auto number = platform::ComNumber(comName);
    if (!number)
        return "(no COM name)";
    const auto device = platform::DefaultComDevice(*number);
    return device ? device->string() : "(none)";
}

TEST(ComNames, DefaultMappingCoversTheThreeDeviceFamiliesAtTheirEdges) {
    EXPECT_EQ(DefaultDevice("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DefaultDevice("COM32"), "/dev/ttyS31");
    EXPECT_EQ(DefaultDevice("COM33"), "/dev/ttyUSB0");
    EXPECT_EQ(DefaultDevice("COM64"), "/dev/ttyUSB31");
    EXPECT_EQ(DefaultDevice("COM65"), "/dev/ttyACM0");
    EXPECT_EQ(DefaultDevice("COM96"), "/dev/ttyACM31");
    EXPECT_EQ(DefaultDevice("COM97"), "(none)");
    EXPECT_EQ(DefaultDevice("COM119"), "(none)");
}

TEST(ComNames, OnlyComOneToOneHundredNineteenWithoutLeadingZerosAreNames) {
    for (const char* bad : {"", "COM", "COMX", "COM0", "COM120", "COM03", "com3", "COM3 ", " COM3", "COM1a",
                            "COM-1", "COM+1", "COM1000", "LPT1"}) {
        EXPECT_FALSE(platform::ComNumber(bad).has_value()) << '"' << bad << '"';
        EXPECT_FALSE(platform::ComDevicePath(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_EQ(platform::ComNumber("COM119"), 119);
}

TEST(ComNames, ALinkInThePortsFolderComesBeforeTheDefaultEvenWhenItsTargetIsGone) {
    const auto ports = platform::PortsFolder();
    std::filesystem::create_directories(ports);
    std::filesystem::create_symlink("/dev/null", ports / "COM5");
    std::filesystem::create_symlink("/nonexistent/device", ports / "COM110");
    std::filesystem::create_directory(ports / "COM6");  // not a link: the default stands

    EXPECT_EQ(platform::ComDevicePath("COM5"), ports / "COM5");
    EXPECT_EQ(platform::ComDevicePath("COM110"), ports / "COM110");
    EXPECT_EQ(platform::ComDevicePath("COM6"), std::filesystem::path("/dev/ttyS5"));
    EXPECT_EQ(platform::ComDevicePath("COM7"), std::filesystem::path("/dev/ttyS6"));
    EXPECT_FALSE(platform::ComDevicePath("COM111").has_value());
    std::filesystem::remove_all(ports);
}

}  // namespace
