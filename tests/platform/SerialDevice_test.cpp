#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "platform/Folders.h"
#include "platform/SerialDevice.h"
#include "support/FakeInstrument.h"
#include "support/LineOf.h"

namespace {

using platform::SerialHandle;
using namespace std::chrono_literals;

using testsupport::LineOf;

platform::CommTimeouts ReadConstant(std::uint32_t ms) {
    platform::CommTimeouts t;
    t.readIntervalTimeout = platform::kMaxDword;
    t.readTotalTimeoutMultiplier = platform::kMaxDword;
    t.readTotalTimeoutConstant = ms;
    return t;
}

std::size_t BytesWaiting(SerialHandle handle) {
    std::uint32_t errors = 0;
    std::size_t waiting = 0;
    platform::ClearCommError(handle, errors, waiting);
    return waiting;
}

// Waits (a bounded number of short sleeps) until at least n bytes wait; gives what waits then.
std::size_t WaitForBytes(SerialHandle handle, std::size_t n) {
    for (int i = 0; i < 5000 && BytesWaiting(handle) < n; ++i)
        std::this_thread::sleep_for(1ms);
    return BytesWaiting(handle);
}

std::string Read(SerialHandle handle, std::size_t wanted, bool* ok = nullptr) {
    std::string buffer(wanted, '\0');
    std::size_t delivered = 0;
    const bool result = platform::ReadFile(handle, buffer.data(), wanted, delivered);
    if (ok != nullptr)
        *ok = result;
    buffer.resize(delivered);
    return buffer;
}

class SerialDevice : public ::testing::Test {
protected:
    void TearDown() override {
        if (handle != SerialHandle::Invalid)
            platform::CloseHandle(handle);
    }
    void OpenRaw() {
        handle = platform::OpenComPort("COM3", platform::OpenPurpose::Use);
        ASSERT_NE(handle, SerialHandle::Invalid);
        ASSERT_TRUE(platform::SetCommState(handle, LineOf(9600, platform::kNoParity, 8, platform::kOneStopBit)));
    }

    testsupport::FakeInstrument fake{"COM3"};
    SerialHandle handle = SerialHandle::Invalid;
};

TEST_F(SerialDevice, ReadGivesWhatWaitsAtOnceAtMostTheCountAskedAndNulsToo) {
    OpenRaw();
    ASSERT_TRUE(platform::SetCommTimeouts(handle, ReadConstant(10)));
    ASSERT_TRUE(fake.SendUnsolicited(std::string("HE\0LO", 5)));
    ASSERT_EQ(WaitForBytes(handle, 5), 5u);

    EXPECT_EQ(Read(handle, 3), std::string("HE\0", 3));
    EXPECT_EQ(BytesWaiting(handle), 2u);
    EXPECT_EQ(Read(handle, 100), "LO");
    bool ok = false;
    EXPECT_EQ(Read(handle, 4, &ok), "") << "nothing came within the read constant";
    EXPECT_TRUE(ok) << "a read that times out is no failure";
}

TEST_F(SerialDevice, ReadWaitsUpToTheReadConstantForTheFirstByte) {
    OpenRaw();
    ASSERT_TRUE(platform::SetCommTimeouts(handle, ReadConstant(60000)));
    std::thread late([this] {
        std::this_thread::sleep_for(50ms);
        fake.SendUnsolicited("X");
    });
    EXPECT_EQ(Read(handle, 4), "X");
    late.join();
}

// A pseudo-terminal keeps 8 data bits and no parity enable whatever is asked (it has no framing);
// the parity kind (odd, mark, space), stop bits, speed and the raw flags it does keep.
TEST_F(SerialDevice, LineSettingsReachThePseudoTerminalInRawMode) {
    OpenRaw();
    struct Case {
        std::int32_t parity;
        tcflag_t kept;
    };
    for (const Case& c : {Case{platform::kOddParity, PARODD}, Case{platform::kEvenParity, 0},
                          Case{platform::kMarkParity, CMSPAR | PARODD}, Case{platform::kSpaceParity, CMSPAR}}) {
        EXPECT_TRUE(platform::SetCommState(handle, LineOf(19200, c.parity, 7, platform::kOneStopBit)));
        EXPECT_EQ(fake.LineSettings().c_cflag & (PARODD | CMSPAR | CSTOPB), c.kept) << "parity " << c.parity;
    }

    ASSERT_TRUE(platform::SetCommState(handle, LineOf(1200, platform::kNoParity, 5, platform::kOneAndHalfStopBits)));
    const termios t = fake.LineSettings();
    EXPECT_NE(t.c_cflag & CSTOPB, 0u) << "one and a half stop bits go out as two";
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    platform::LineSettings back;
    ASSERT_TRUE(platform::GetCommState(handle, back));
    EXPECT_EQ(back.baudRate, 1200);
    EXPECT_EQ(back.stopBits, platform::kTwoStopBits);
    EXPECT_EQ(back.dtrControl, platform::kLineControlDisable);
}

TEST_F(SerialDevice, UnsupportedSettingsAreRefusedAndLeaveTheDeviceAlone) {
    OpenRaw();
    const termios before = fake.LineSettings();
    EXPECT_FALSE(platform::SetCommState(handle, LineOf(14400, platform::kNoParity, 8, platform::kOneStopBit)));
    EXPECT_FALSE(platform::SetCommState(handle, LineOf(9600, 5, 8, platform::kOneStopBit)));
    EXPECT_FALSE(platform::SetCommState(handle, LineOf(9600, platform::kNoParity, 9, platform::kOneStopBit)));
    const termios after = fake.LineSettings();
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
}

TEST_F(SerialDevice, APortHeldByAnotherDescriptorDoesNotOpenUntilItIsLetGo) {
    OpenRaw();
    errno = 0;
    EXPECT_EQ(platform::OpenComPort("COM3", platform::OpenPurpose::Use), SerialHandle::Invalid);
    EXPECT_TRUE(errno == EWOULDBLOCK || errno == EBUSY) << "flock, or TIOCEXCL for a user without privileges";
    EXPECT_EQ(platform::OpenComPort("COM3", platform::OpenPurpose::Probe), SerialHandle::Invalid);
    ASSERT_TRUE(platform::CloseHandle(handle));

    const int other = ::open(fake.SlavePath().c_str(), O_RDWR | O_NOCTTY);  // another program's lock
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(platform::OpenComPort("COM3", platform::OpenPurpose::Use), SerialHandle::Invalid);
    ::close(other);

    handle = platform::OpenComPort("COM3", platform::OpenPurpose::Use);
    EXPECT_NE(handle, SerialHandle::Invalid);
}

TEST_F(SerialDevice, OnlyATerminalBehindAKnownNameOpens) {
    const auto file = platform::OrvelFolder() / "not-a-port";
    std::ofstream(file) << "text";
    std::filesystem::create_symlink(file, platform::PortsFolder() / "COM98");
    errno = 0;
    EXPECT_EQ(platform::OpenComPort("COM98", platform::OpenPurpose::Use), SerialHandle::Invalid);
    EXPECT_EQ(errno, ENOTTY);
    errno = 0;
    EXPECT_EQ(platform::OpenComPort("COM97", platform::OpenPurpose::Use), SerialHandle::Invalid);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(platform::OpenComPort("COMX", platform::OpenPurpose::Use), SerialHandle::Invalid);
}

TEST_F(SerialDevice, LastSettingsReturnWhenThePortIsReopenedForUseButNotForAProbe) {
    OpenRaw();
    ASSERT_TRUE(platform::SetCommState(handle, LineOf(19200, platform::kOddParity, 7, platform::kTwoStopBits)));
    ASSERT_TRUE(platform::SetCommTimeouts(handle, ReadConstant(1234)));
    ASSERT_TRUE(platform::CloseHandle(handle));
    fake.ResetLineSettings();

    handle = platform::OpenComPort("COM3", platform::OpenPurpose::Probe);
    ASSERT_NE(handle, SerialHandle::Invalid);
    EXPECT_EQ(fake.LineSettings().c_cflag & (PARODD | CSTOPB), 0u) << "a probe changes nothing";
    platform::CommTimeouts timeouts;
    ASSERT_TRUE(platform::GetCommTimeouts(handle, timeouts));
    EXPECT_EQ(timeouts, platform::CommTimeouts{});
    ASSERT_TRUE(platform::CloseHandle(handle));

    handle = platform::OpenComPort("COM3", platform::OpenPurpose::Use);
    ASSERT_NE(handle, SerialHandle::Invalid);
    const termios t = fake.LineSettings();
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    ASSERT_TRUE(platform::GetCommTimeouts(handle, timeouts));
    EXPECT_EQ(timeouts.readTotalTimeoutConstant, 1234u);
    ASSERT_TRUE(platform::CloseHandle(handle));

    platform::ForgetDeviceSettings(fake.SlavePath());
    fake.ResetLineSettings();
    handle = platform::OpenComPort("COM3", platform::OpenPurpose::Use);
    EXPECT_EQ(fake.LineSettings().c_cflag & (PARODD | CSTOPB), 0u);
}

TEST_F(SerialDevice, PurgeDiscardsWaitingInput) {
    OpenRaw();
    ASSERT_TRUE(fake.SendUnsolicited("JUNK"));
    ASSERT_EQ(WaitForBytes(handle, 4), 4u);
    EXPECT_TRUE(platform::PurgeComm(handle, platform::kPurgeRxClear));
    EXPECT_EQ(BytesWaiting(handle), 0u);
}

TEST_F(SerialDevice, AWriteLargerThanTheLineBuffersArrivesWhole) {
    OpenRaw();
    const std::string payload = testsupport::FakeInstrument::FloodPattern(300000) + "\r\n";
    std::size_t written = 0;
    EXPECT_TRUE(platform::WriteFile(handle, payload.data(), payload.size(), written));
    EXPECT_EQ(written, payload.size());
    ASSERT_TRUE(fake.WaitForCommands(1, 20s));
    EXPECT_EQ(fake.Received(), payload);
}

TEST_F(SerialDevice, HandlesThatHoldNoDeviceFailEverywhere) {
    OpenRaw();
    const SerialHandle closed = handle;
    ASSERT_TRUE(platform::CloseHandle(closed));
    handle = SerialHandle::Invalid;
    for (SerialHandle h : {SerialHandle::None, SerialHandle::Invalid, closed}) {
        platform::LineSettings line;
        platform::CommTimeouts timeouts;
        std::uint32_t errors = 0;
        std::size_t count = 0;
        char byte = 0;
        EXPECT_FALSE(platform::GetCommState(h, line));
        EXPECT_FALSE(platform::SetCommState(h, LineOf(9600, 0, 8, 0)));
        EXPECT_FALSE(platform::SetCommTimeouts(h, timeouts));
        EXPECT_FALSE(platform::PurgeComm(h, platform::kPurgeRxAbort));
        EXPECT_FALSE(platform::ClearCommError(h, errors, count));
        EXPECT_FALSE(platform::ReadFile(h, &byte, 1, count));
        EXPECT_FALSE(platform::WriteFile(h, &byte, 1, count));
        EXPECT_FALSE(platform::CloseHandle(h));
    }
}

TEST_F(SerialDevice, AVanishedDeviceFailsReadsWritesAndQueriesButStillCloses) {
    OpenRaw();
    ASSERT_TRUE(platform::SetCommTimeouts(handle, ReadConstant(platform::kMaxDword)));
    auto waitingRead = std::async(std::launch::async, [this] {
        bool ok = true;
        Read(handle, 4, &ok);
        return ok;
    });
    std::this_thread::sleep_for(20ms);
    fake.HangUp();
    EXPECT_FALSE(waitingRead.get()) << "a read waiting for the first byte ends when the device goes";

    bool ok = true;
    EXPECT_EQ(Read(handle, 4, &ok), "");
    EXPECT_FALSE(ok);
    std::size_t written = 0;
    EXPECT_FALSE(platform::WriteFile(handle, "AT\r\n", 4, written));
    std::uint32_t errors = 0;
    std::size_t waiting = 0;
    EXPECT_FALSE(platform::ClearCommError(handle, errors, waiting));
    EXPECT_FALSE(platform::PurgeComm(handle, platform::kPurgeRxClear));
    platform::LineSettings line;
    EXPECT_FALSE(platform::GetCommState(handle, line));
    EXPECT_TRUE(platform::PurgeComm(handle, platform::kPurgeRxAbort));
    EXPECT_TRUE(platform::CloseHandle(handle));
    handle = SerialHandle::Invalid;
    EXPECT_EQ(platform::OpenComPort("COM3", platform::OpenPurpose::Use), SerialHandle::Invalid);
}

}  // namespace
