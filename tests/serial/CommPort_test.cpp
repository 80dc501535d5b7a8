#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Clock.h"
#include "platform/TextConvert.h"
#include "serial/CommPort.h"
#include "support/FakeInstrument.h"
#include "support/ScopedPlatformHooks.h"

namespace {

using namespace std::chrono_literals;
using platform::SerialHandle;

// Pauses three times as long as asked, so a busy machine cannot make the line look silent early.
constexpr unsigned kStretch = 3;

// A pseudo-terminal keeps 8 data bits and no parity enable whatever is asked (it has no framing);
// the parity kind (odd, mark, space) and the stop bits it keeps. The object's Dcb shows the rest.
tcflag_t KeptFrame(const termios& t) { return t.c_cflag & (PARODD | CMSPAR | CSTOPB); }

bool SameLine(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

class CommPort : public ::testing::Test {
protected:
    void OpenConfigured() {
        ASSERT_TRUE(port.OpenPort("COM3"));
        ASSERT_TRUE(port.ConfigurePortFast("9600"));
    }
    std::int32_t Exchange(const std::string& command, std::string& reply, std::string& stamp) {
        port.PurgeRxBuffer();
        port.WriteCommand(command, "\r\n");
        return port.ReadResponse(reply, stamp);
    }
    std::int32_t Exchange(const std::string& command, std::string& reply) {
        std::string stamp;
        return Exchange(command, reply, stamp);
    }

    testsupport::FakeInstrument fake{"COM3"};
    CSerialPort port;
};

TEST(CommPortObject, StartsClosedWithTheDocumentedValues) {
    const CSerialPort port;
    EXPECT_EQ(port.hComm, SerialHandle::None);
    EXPECT_NE(SerialHandle::None, SerialHandle::Invalid);
    EXPECT_FALSE(port.IsPortOpen());
    EXPECT_EQ(port.PortName, "COMX");
    EXPECT_EQ(port.BaudString, "9600");
    EXPECT_EQ(port.BaudRate, 9600);
    EXPECT_EQ(port.Parity, 0);
    EXPECT_EQ(port.DataBits, 8);
    EXPECT_EQ(port.StopBits, 0);
    EXPECT_EQ(port.RxBuffer.size(), 4096u);
    for (char byte : port.RxBuffer)
        ASSERT_EQ(byte, '\0');
}

TEST_F(CommPort, ReplyOkCrLfGivesCountFourTheBytesAndTheTimeItBegan) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    testsupport::ScopedClock clock({2024, 3, 1, 14, 30, 12, 250});
    std::string reply, stamp;
    EXPECT_EQ(Exchange("*IDN?", reply, stamp), 4);
    EXPECT_EQ(reply, "OK\r\n");
    EXPECT_EQ(stamp, "14:30:12:250");
    EXPECT_EQ(port.RecvHour, 14);
    EXPECT_EQ(port.RecvMin, 30);
    EXPECT_EQ(port.RecvSec, 12);
    EXPECT_EQ(port.RecvMSec, 250);
    EXPECT_EQ(port.SendHour, 14);
    EXPECT_EQ(port.SendMSec, 250);
    ASSERT_TRUE(fake.WaitForCommands(1, 20s));
    EXPECT_EQ(fake.Received(), "*IDN?\r\n") << "command and terminator in one write";
}

TEST_F(CommPort, StampsCarryNoLeadingZeros) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    testsupport::ScopedClock clock({2024, 3, 1, 9, 5, 3, 7});
    std::string reply, stamp;
    Exchange("A", reply, stamp);
    EXPECT_EQ(stamp, "9:5:3:7");
    EXPECT_EQ(port.StampSendTime(), "9:5:3:7");
}

TEST_F(CommPort, ASilentLineGivesNothingAfterTheFirstByteAndSilenceWaits) {
    OpenConfigured();
    fake.SetSilent(true);
    testsupport::ScopedPauses pauses(0);
    testsupport::ScopedClock clock({2024, 3, 1, 8, 0, 0, 1});
    port.RecvHour = 23;
    std::string reply = "old", stamp;
    EXPECT_EQ(Exchange("PING", reply, stamp), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(stamp, "8:0:0:1") << "stamped even when nothing came";
    EXPECT_EQ(pauses.Count(1), 100u + 15u);
    EXPECT_EQ(pauses.Total(), pauses.Count(1));

    pauses.Clear();
    port.RecvHour = 23;
    EXPECT_EQ(port.ReadBlock(reply), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(pauses.Count(1), 1000u + 5u);
    EXPECT_EQ(port.RecvHour, 0) << "ReadBlock only clears the receive time";
}

// With the real pauses the first-byte wait watches the device: a late reply is still read whole,
// and a silent line still ends the read with nothing.
TEST_F(CommPort, WithRealPausesTheFirstByteWaitWatchesTheDevice) {
    OpenConfigured();
    ASSERT_FALSE(platform::PausesReplaced());
    fake.SetDelay(30ms);
    std::string reply, stamp;
    EXPECT_EQ(Exchange("LATE", reply, stamp), 4);
    EXPECT_EQ(reply, "OK\r\n");
    fake.SetSilent(true);
    EXPECT_EQ(Exchange("NOTHING", reply, stamp), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(port.ReadBlock(reply), 0);
}

TEST_F(CommPort, ANulCutsTheReplyTextButEveryByteIsCounted) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    const std::string withNul("ABC\0EFG\r\n!", 10);
    fake.ReplyExact("NUL", withNul);
    std::string reply;
    EXPECT_EQ(Exchange("NUL", reply), 10);
    EXPECT_EQ(reply, "ABC");
    EXPECT_EQ(std::string(port.RxBuffer.data(), 10), withNul);
    EXPECT_EQ(port.BufferText(10), "ABC");
}

TEST_F(CommPort, AShortReplyAfterALongOneYieldsOnlyTheNewBytes) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    fake.ReplyExact("LONG", "ABCDEFGHIJKLMNOPQR\r\n");
    fake.ReplyExact("SHORT", "short\r\n");
    std::string reply;
    EXPECT_EQ(Exchange("LONG", reply), 20);
    EXPECT_EQ(Exchange("SHORT", reply), 7);
    EXPECT_EQ(reply, "short\r\n");
}

TEST_F(CommPort, ReadBlockCollectsTheWholeReplyInFiveByteReads) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    fake.ReplyExact("Q", "VALUE=12.5\r\n");
    port.PurgeRxBuffer();
    port.WriteCommand("Q", "\r\n");
    std::string reply;
    EXPECT_EQ(port.ReadBlock(reply), 12);
    EXPECT_EQ(reply, "VALUE=12.5\r\n");
}

TEST_F(CommPort, AReplyLargerThanTheBufferKeepsItsFirstPartAndIsReadToItsEnd) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    const std::string big = testsupport::FakeInstrument::FloodPattern(6000);
    fake.ReplyExact("BIG", big);
    std::string reply;
    ASSERT_EQ(Exchange("BIG", reply), 4096);
    EXPECT_EQ(reply, big.substr(0, 4096));

    std::string rest, stamp;
    EXPECT_EQ(port.ReadResponse(rest, stamp), 0) << "no rest is left for the next read: " << rest.size();
}

TEST_F(CommPort, ADeviceThatNeverFallsSilentEndsTheReadOnceABufferMoreIsThrownAway) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    const std::string stream = testsupport::FakeInstrument::FloodPattern(3 * 4096);
    fake.ReplyExact("STREAM", stream);
    std::string reply, stamp;
    ASSERT_EQ(Exchange("STREAM", reply), 4096);
    EXPECT_EQ(port.ReadResponse(reply, stamp), 4096);
    EXPECT_EQ(reply, stream.substr(2 * 4096));
}

TEST_F(CommPort, PollReadsNeverPassTheBufferEnd) {
    OpenConfigured();
    ASSERT_TRUE(fake.SendUnsolicited("HELLO"));
    for (int i = 0; i < 5000 && port.IsRxQueueEmpty(); ++i)
        std::this_thread::sleep_for(1ms);
    const CSerialPort::ReadResult nearEnd = port.ReadInto(4094, 4);
    EXPECT_TRUE(nearEnd.ok);
    EXPECT_EQ(nearEnd.count, 2u);
    EXPECT_EQ(std::string(port.RxBuffer.data() + 4094, 2), "HE");
    const CSerialPort::ReadResult atEnd = port.ReadInto(4096, 4);
    EXPECT_FALSE(atEnd.ok);
    EXPECT_EQ(atEnd.count, 0u);
    port.RxBuffer.fill('x');
    EXPECT_EQ(port.BufferText(1u << 20).size(), 4096u) << "a count past the end is taken as the whole buffer";
}

TEST_F(CommPort, SetPortParametersAppliesTheNumbersAndTheDataBitCodes) {
    ASSERT_TRUE(port.OpenPort("COM3"));
    ASSERT_TRUE(port.SetPortParameters("9600", "2", "4", "0"));
    EXPECT_EQ(port.Dcb.baudRate, 9600);
    EXPECT_EQ(port.Dcb.parity, platform::kEvenParity);
    EXPECT_EQ(port.Dcb.byteSize, 7);
    EXPECT_EQ(port.Dcb.stopBits, platform::kOneStopBit);
    const std::optional<platform::LineSettings> applied = fake.AppliedLineSettings();
    ASSERT_TRUE(applied.has_value());
    EXPECT_EQ(applied->parity, platform::kEvenParity);
    EXPECT_EQ(applied->byteSize, 7);
    termios t = fake.LineSettings();
    EXPECT_EQ(KeptFrame(t), 0u) << "even parity (neither odd nor sticky), one stop bit";
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(port.Timeouts.readTotalTimeoutConstant, 10u);
    EXPECT_EQ(port.Timeouts.readIntervalTimeout, platform::kMaxDword);

    ASSERT_TRUE(port.SetPortParameters("19200", "1", "8", "2"));
    EXPECT_EQ(port.Dcb.byteSize, 8);
    t = fake.LineSettings();
    EXPECT_EQ(KeptFrame(t), static_cast<tcflag_t>(PARODD | CSTOPB)) << "odd parity, two stop bits";
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));

    ASSERT_TRUE(port.SetPortParameters("9600", "3", "1", "0"));
    EXPECT_EQ(port.Dcb.byteSize, 5);
    EXPECT_EQ(KeptFrame(fake.LineSettings()), static_cast<tcflag_t>(CMSPAR | PARODD)) << "mark";
    ASSERT_TRUE(port.SetPortParameters("9600", "4", "2", "1"));
    EXPECT_EQ(port.Dcb.byteSize, 6);
    EXPECT_EQ(KeptFrame(fake.LineSettings()), static_cast<tcflag_t>(CMSPAR | CSTOPB)) << "space, 1.5 sent as 2";
    EXPECT_EQ(port.Dcb.dtrControl, platform::kLineControlDisable);
    EXPECT_EQ(port.Dcb.rtsControl, platform::kLineControlDisable);
    EXPECT_FALSE(port.Dcb.outxCtsFlow || port.Dcb.outX || port.Dcb.inX);
    EXPECT_EQ(fake.LineSettings().c_cflag & CRTSCTS, 0u);
}

TEST_F(CommPort, ConfigurePortSetsEightNoneOneWithTheLongReadConstant) {
    ASSERT_TRUE(port.OpenPort("COM3"));
    ASSERT_TRUE(port.SetPortParameters("9600", "1", "4", "2"));
    ASSERT_TRUE(port.ConfigurePort("38400"));
    const termios t = fake.LineSettings();
    EXPECT_EQ(KeptFrame(t), 0u);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(port.Dcb.byteSize, 8);
    EXPECT_EQ(port.Dcb.parity, platform::kNoParity);
    EXPECT_EQ(port.Dcb.stopBits, platform::kOneStopBit);
    EXPECT_EQ(port.Timeouts.readTotalTimeoutConstant, 2000u);
    ASSERT_TRUE(port.ConfigurePortFast("4800"));
    EXPECT_EQ(port.Timeouts.readTotalTimeoutConstant, 10u);
    EXPECT_EQ(port.Dcb.baudRate, 4800);
}

TEST_F(CommPort, ABadNumberTextRaisesTheConversionErrorAfterTheTimeoutsAreSet) {
    ASSERT_TRUE(port.OpenPort("COM3"));
    const termios before = fake.LineSettings();
    try {
        port.SetPortParameters("96OO", "0", "8", "0");
        FAIL() << "no conversion error";
    } catch (const platform::EConvertError& error) {
        EXPECT_STREQ(error.what(), "'96OO' is not a valid integer value");
    }
    EXPECT_EQ(port.Timeouts.readTotalTimeoutConstant, 10u);
    EXPECT_TRUE(port.IsPortOpen());
    EXPECT_TRUE(SameLine(fake.LineSettings(), before));
}

TEST_F(CommPort, ConfiguringAClosedPortFailsAndTouchesNothing) {
    const termios before = fake.LineSettings();
    EXPECT_FALSE(port.ConfigurePort("9600"));
    EXPECT_FALSE(port.ConfigurePortFast("9600"));
    EXPECT_FALSE(port.SetPortParameters("not", "a", "number", "!"));
    EXPECT_EQ(port.Dcb, platform::LineSettings{});
    EXPECT_EQ(port.Timeouts, platform::CommTimeouts{});
    EXPECT_EQ(port.hComm, SerialHandle::None);
    EXPECT_TRUE(SameLine(fake.LineSettings(), before));
}

TEST_F(CommPort, AFailedConfigureClosesThePortAndClosePortThenFails) {
    ASSERT_TRUE(port.OpenPort("COM3"));
    EXPECT_FALSE(port.SetPortParameters("9600", "7", "8", "0")) << "no parity code 7";
    EXPECT_FALSE(port.IsPortOpen());
    EXPECT_EQ(port.hComm, SerialHandle::None);
    EXPECT_FALSE(port.ClosePort());
    EXPECT_FALSE(port.IsPortOpen());

    CSerialPort other;
    EXPECT_TRUE(other.OpenPort("COM3")) << "the failed configure let the device go";
}

TEST_F(CommPort, ASecondOpenOfAHeldPortFailsButStillNamesIt) {
    OpenConfigured();
    CSerialPort second;
    EXPECT_FALSE(second.OpenPort("COM3"));
    EXPECT_EQ(second.PortName, "COM3");
    EXPECT_EQ(second.hComm, SerialHandle::Invalid);
    EXPECT_FALSE(second.IsPortOpen());
    ASSERT_TRUE(port.ClosePort());
    EXPECT_EQ(port.hComm, SerialHandle::None);

    const int other = ::open(fake.SlavePath().c_str(), O_RDWR | O_NOCTTY);  // another program
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(second.OpenPort("COM3"));
    ::close(other);
    EXPECT_TRUE(second.OpenPort("COM3"));
}

TEST_F(CommPort, OpeningAgainWithoutClosingLetsTheOldHandleGo) {
    ASSERT_TRUE(port.OpenPort("COM3"));
    ASSERT_TRUE(port.OpenPort("COM3"));
    ASSERT_TRUE(port.ClosePort());
    CSerialPort other;
    EXPECT_TRUE(other.OpenPort("COM3"));
}

TEST_F(CommPort, SettingsSurviveCloseAndReopenOfAPseudoTerminal) {
    testsupport::ScopedPauses pauses(kStretch);
    ASSERT_TRUE(port.OpenPort("COM3"));
    ASSERT_TRUE(port.ConfigurePort("19200"));
    ASSERT_TRUE(port.SetPortParameters("19200", "1", "4", "2"));
    port.SetReadTimeouts();
    ASSERT_TRUE(port.ClosePort());
    fake.ResetLineSettings();
    ASSERT_EQ(KeptFrame(fake.LineSettings()), 0u) << "the device forgot";

    ASSERT_TRUE(port.OpenPort("COM3"));
    const termios t = fake.LineSettings();
    EXPECT_EQ(KeptFrame(t), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    platform::CommTimeouts timeouts;
    ASSERT_TRUE(platform::GetCommTimeouts(port.hComm, timeouts));
    EXPECT_EQ(timeouts.readTotalTimeoutConstant, 10u);
    std::string reply;
    EXPECT_EQ(Exchange("AGAIN", reply), 4);
}

TEST_F(CommPort, AVanishedDeviceFailsWritesAndReadsAndCanStillBeClosed) {
    testsupport::ScopedPauses pauses(0);
    OpenConfigured();
    fake.HangUp();
    EXPECT_FALSE(port.PurgeRxBuffer());
    EXPECT_FALSE(port.WriteCommand("PING", "\r\n"));
    EXPECT_TRUE(port.IsRxQueueEmpty());
    std::string reply = "old", stamp;
    EXPECT_EQ(port.ReadResponse(reply, stamp), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(port.ReadBlock(reply), 0);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.OpenPort("COM3")) << "its link went with it";
}

TEST_F(CommPort, ConfiguringAVanishedDeviceClosesThePort) {
    OpenConfigured();
    fake.HangUp();
    EXPECT_FALSE(port.ConfigurePortFast("9600"));
    EXPECT_FALSE(port.IsPortOpen());
    EXPECT_EQ(port.hComm, SerialHandle::None);
}

TEST_F(CommPort, ALoneCarriageReturnTerminatesCommandsToo) {
    OpenConfigured();
    testsupport::ScopedPauses pauses(kStretch);
    fake.SetTerminator("\r");
    fake.ReplyPrefix("SET", "DONE\r");
    std::string reply, stamp;
    port.PurgeRxBuffer();
    ASSERT_TRUE(port.WriteCommand("SETA", "\r"));
    EXPECT_EQ(port.ReadResponse(reply, stamp), 5);
    ASSERT_TRUE(fake.WaitForCommands(1, 20s));
    EXPECT_EQ(fake.Commands(), std::vector<std::string>{"SETA"});
}

}  // namespace
