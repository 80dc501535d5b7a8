#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "serial/CommPort.h"
#include "support/FakeInstrument.h"
#include "support/ThreadCapabilities.h"

namespace {

// A line state no configure of the program would ever leave: cooked, echoing, 1200 baud 7O2.
termios UnusualLine(termios t) {
    t.c_lflag |= ICANON | ECHO;
    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | PARENB | PARODD | CSTOPB;
    cfsetispeed(&t, B1200);
    cfsetospeed(&t, B1200);
    return t;
}

bool SameLine(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

TEST(CommPortScan, MarksExactlyTheLinkedPortsLeavesThemClosedAndUnchanged) {
    CSerialPort scanner;
    PortPresence before{};
    scanner.ScanPorts(before);  // whatever real ports this machine has

    testsupport::FakeInstrument first("COM97");
    testsupport::FakeInstrument second("COM110");
    {
        // The program configured COM97 once: a probe must not bring those settings back.
        CSerialPort user;
        ASSERT_TRUE(user.OpenPort("COM97"));
        ASSERT_TRUE(user.ConfigurePort("9600"));
        ASSERT_TRUE(user.ClosePort());
    }
    first.SetLineSettings(UnusualLine(first.LineSettings()));
    second.SetLineSettings(UnusualLine(second.LineSettings()));
    const termios firstLine = first.LineSettings();
    const termios secondLine = second.LineSettings();

    PortPresence present{};
    present[100] = true;  // a port that does not open keeps its entry
    scanner.ScanPorts(present);

    PortPresence expected = before;
    expected[97] = expected[110] = expected[100] = true;
    for (int n = 1; n <= kLastScannedComNumber; ++n)
        EXPECT_EQ(present[static_cast<std::size_t>(n)], expected[static_cast<std::size_t>(n)]) << "COM" << n;
    EXPECT_EQ(scanner.PortName, "COM119");
    EXPECT_FALSE(scanner.IsPortOpen());
    EXPECT_TRUE(SameLine(first.LineSettings(), firstLine));
    EXPECT_TRUE(SameLine(second.LineSettings(), secondLine));

    CSerialPort after;
    EXPECT_TRUE(after.OpenPort("COM97")) << "the scan let the port go";
    EXPECT_TRUE(after.ClosePort());
    EXPECT_TRUE(after.OpenPort("COM110"));
}

TEST(CommPortScan, APortInUseIsNotMarked) {
    testsupport::FakeInstrument fake("COM99");
    CSerialPort holder;
    ASSERT_TRUE(holder.OpenPort("COM99"));
    CSerialPort scanner;
    PortPresence present{};
    scanner.ScanPorts(present);
    EXPECT_FALSE(present[99]) << "a port in use does not open";
    EXPECT_TRUE(holder.IsPortOpen());
}

// The device's owner, group and mode, and what the scan advises an account that may not open it.
struct Denial {
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::string advice;
};

std::vector<Denial> DenialsThisAccountCanMake() {
    std::vector<Denial> denials{{getuid(), getgid(), 0, "only root may open it"}};
    if (geteuid() != 0)
        return denials;  // only root gives a device to another account
    const passwd* nobody = getpwnam("nobody");
    const group* uucp = getgrnam("uucp");
    if (nobody == nullptr || uucp == nullptr)
        return denials;
    denials.push_back({nobody->pw_uid, uucp->gr_gid, 0660,
                       "add the account to the uucp group (sudo usermod -aG uucp \"$USER\", then log in again)"});
    denials.push_back({nobody->pw_uid, uucp->gr_gid, 0600, "only its owner (nobody) may open it"});
    return denials;
}

TEST(CommPortScan, ADeviceThisAccountMayNotOpenIsNamedOnceOnStderr) {
    for (const Denial& denial : DenialsThisAccountCanMake()) {
        testsupport::FakeInstrument fake("COM98");
        ASSERT_EQ(chown(fake.SlavePath().c_str(), denial.owner, denial.group), 0);
        ASSERT_EQ(chmod(fake.SlavePath().c_str(), denial.mode), 0);
        PortPresence present{};
        testing::internal::CaptureStderr();
        testsupport::RunWithoutCapabilities({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH},
                                            [&] { CSerialPort().ScanPorts(present); });
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(present[98]) << denial.advice;
        const std::string named = fake.SlavePath() + " (COM98)";
        const std::size_t at = said.find(named);
        ASSERT_NE(at, std::string::npos) << said;
        EXPECT_EQ(said.find(named, at + 1), std::string::npos) << said;
        EXPECT_NE(said.find(named + " is not listed: this account may not open it; " + denial.advice + "\n"),
                  std::string::npos)
            << said;
    }
}

}  // namespace
