#include <gtest/gtest.h>

#include "platform/SerialLine.h"
#include "support/LineOf.h"

namespace {

using testsupport::LineOf;

TEST(SerialLine, ModeTextFillsBaudParityDataAndStopBits) {
    platform::LineSettings s = LineOf(300, platform::kOddParity, 5, platform::kTwoStopBits);
    s.outX = true;
    ASSERT_TRUE(platform::BuildCommDCB("9600,N,8,1", s));
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.parity, platform::kNoParity);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.stopBits, platform::kOneStopBit);
    EXPECT_TRUE(s.outX) << "flags are not the mode text's business";

    ASSERT_TRUE(platform::BuildCommDCB("115200,m,7,1.5", s));
    EXPECT_EQ(s, [] {
        platform::LineSettings e = LineOf(115200, platform::kMarkParity, 7, platform::kOneAndHalfStopBits);
        e.outX = true;
        return e;
    }());

    ASSERT_TRUE(platform::BuildCommDCB("19200,S", s));
    EXPECT_EQ(s.baudRate, 19200);
    EXPECT_EQ(s.parity, platform::kSpaceParity);
    EXPECT_EQ(s.byteSize, 7) << "a field left out keeps its value";
}

TEST(SerialLine, AModeTextThatIsWrongAnywhereChangesNothing) {
    const platform::LineSettings before = LineOf(4800, platform::kEvenParity, 7, platform::kTwoStopBits);
    for (const char* bad : {"", "abc", "9600x,N,8,1", "9601,N,8,1", "0,N,8,1", "-9600,N,8,1", "9600,X,8,1",
                            "9600,NN,8,1", "9600,N,9,1", "9600,N,4,1", "9600,N,8,3", "9600,N,8,1,1", ",N,8,1",
                            "99999999999,N,8,1"}) {
        platform::LineSettings s = before;
        EXPECT_FALSE(platform::BuildCommDCB(bad, s)) << '"' << bad << '"';
        EXPECT_EQ(s, before) << '"' << bad << '"';
    }
}

TEST(SerialLine, OnlySupportedValuesAreValid) {
    EXPECT_TRUE(platform::IsValidLineSettings(LineOf(9600, 0, 8, 0)));
    EXPECT_TRUE(platform::IsValidLineSettings(LineOf(300, 4, 5, 2)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(14400, 0, 8, 0)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(9600, 5, 8, 0)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(9600, -1, 8, 0)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(9600, 0, 4, 0)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(9600, 0, 9, 0)));
    EXPECT_FALSE(platform::IsValidLineSettings(LineOf(9600, 0, 8, 3)));
}

TEST(SerialLine, RawTermiosCarriesParityDataAndStopBitsWithoutTranslationOrFlowControl) {
    struct Case {
        std::int32_t parity;
        tcflag_t flags;
    };
    for (const Case& c : {Case{platform::kNoParity, 0}, Case{platform::kOddParity, PARENB | PARODD},
                          Case{platform::kEvenParity, PARENB}, Case{platform::kMarkParity, PARENB | CMSPAR | PARODD},
                          Case{platform::kSpaceParity, PARENB | CMSPAR}}) {
        termios t{};
        t.c_cflag = CRTSCTS | PARODD | CMSPAR | CSTOPB;
        t.c_iflag = IXON | IXOFF | ICRNL;
        t.c_lflag = ICANON | ECHO | ISIG;
        t.c_oflag = OPOST;
        platform::MakeRawTermios(LineOf(9600, c.parity, 7, platform::kOneStopBit), t);
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.flags | CS7) << "parity " << c.parity;
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD | CRTSCTS), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    }
}

TEST(SerialLine, EverySupportedFramingReadsBackAsSet) {
    for (std::int32_t parity = platform::kNoParity; parity <= platform::kSpaceParity; ++parity)
        for (std::int32_t bits = 5; bits <= 8; ++bits)
            for (std::int32_t stop : {platform::kOneStopBit, platform::kOneAndHalfStopBits, platform::kTwoStopBits}) {
                platform::LineSettings wanted = LineOf(57600, parity, bits, stop);
                wanted.outX = parity % 2 == 0;
                wanted.outxCtsFlow = bits == 6;
                termios t{};
                platform::MakeRawTermios(wanted, t);
                platform::LineSettings back;
                platform::DecodeTermios(t, back);
                EXPECT_EQ(back.baudRate, 57600);
                EXPECT_EQ(back.parity, parity);
                EXPECT_EQ(back.byteSize, bits);
                EXPECT_EQ(back.stopBits, stop == platform::kOneStopBit ? stop : platform::kTwoStopBits);
                EXPECT_EQ(back.outX, wanted.outX);
                EXPECT_EQ(back.outxCtsFlow, wanted.outxCtsFlow);
            }
}

}  // namespace
