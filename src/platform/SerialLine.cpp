#include "platform/SerialLine.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <optional>
#include <vector>

namespace platform {
namespace {

struct BaudCode {
    std::int32_t rate;
    speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

std::optional<speed_t> SpeedCode(std::int32_t rate) {
    for (const BaudCode& entry : kBaudCodes)
        if (entry.rate == rate)
            return entry.code;
    return std::nullopt;
}

std::int32_t RateOfSpeedCode(speed_t code) {
    for (const BaudCode& entry : kBaudCodes)
        if (entry.code == code)
            return entry.rate;
    return 0;
}

tcflag_t CharacterSizeFlag(std::int32_t byteSize) {
    switch (byteSize) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

std::int32_t ByteSizeOfFlags(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5: return 5;
        case CS6: return 6;
        case CS7: return 7;
        default: return 8;
    }
}

tcflag_t ParityFlags(std::int32_t parity) {
    switch (parity) {
        case kOddParity: return PARENB | PARODD;
        case kEvenParity: return PARENB;
        case kMarkParity: return PARENB | CMSPAR | PARODD;
        case kSpaceParity: return PARENB | CMSPAR;
        default: return 0;
    }
}

std::int32_t ParityOfFlags(tcflag_t cflag) {
    if ((cflag & PARENB) == 0)
        return kNoParity;
    const bool odd = (cflag & PARODD) != 0;
    if ((cflag & CMSPAR) != 0)
        return odd ? kMarkParity : kSpaceParity;
    return odd ? kOddParity : kEvenParity;
}

// Pseudo-terminals have no modem lines; their refusal is of no concern.
void SetModemLines(int fd, const LineSettings& settings) {
    int low = 0;
    int high = 0;
    (settings.dtrControl == kLineControlEnable ? high : low) |= TIOCM_DTR;
    (settings.rtsControl == kLineControlEnable ? high : low) |= TIOCM_RTS;
    if (low != 0)
        (void)ioctl(fd, TIOCMBIC, &low);
    if (high != 0)
        (void)ioctl(fd, TIOCMBIS, &high);
}

// Unix 98 pseudo-terminal slaves: majors 136 to 143.
bool IsPseudoTerminal(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISCHR(status.st_mode) && major(status.st_rdev) >= 136 &&
           major(status.st_rdev) <= 143;
}

// A pseudo-terminal carries bytes without framing: the kernel keeps 8 data bits and no parity
// whatever is asked, and the C library reports that as EINVAL although all the rest was applied.
bool TookAllButFraming(int fd, const termios& wanted) {
    termios got{};
    if (tcgetattr(fd, &got) != 0)
        return false;
    const auto framing = static_cast<tcflag_t>(CSIZE | PARENB);
    return (got.c_cflag & ~framing) == (wanted.c_cflag & ~framing) && got.c_iflag == wanted.c_iflag &&
           got.c_oflag == wanted.c_oflag && got.c_lflag == wanted.c_lflag &&
           cfgetospeed(&got) == cfgetospeed(&wanted);
}

bool SetTerminal(int fd, const termios& wanted) {
    if (tcsetattr(fd, TCSANOW, &wanted) == 0)
        return true;
    return errno == EINVAL && IsPseudoTerminal(fd) && TookAllButFraming(fd, wanted);
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else if (c != ' ')
            fields.back() += c;
    }
    return fields;
}

std::optional<std::int32_t> ParseDecimal(const std::string& text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseParityLetter(const std::string& text) {
    static const std::string letters = "NOEMS";
    if (text.size() != 1)
        return std::nullopt;
    const std::size_t index = letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))));
    if (index == std::string::npos)
        return std::nullopt;
    return static_cast<std::int32_t>(index);
}

std::optional<std::int32_t> ParseStopBits(const std::string& text) {
    if (text == "1")
        return kOneStopBit;
    if (text == "1.5")
        return kOneAndHalfStopBits;
    if (text == "2")
        return kTwoStopBits;
    return std::nullopt;
}

// Sets field from text by parse; an empty text leaves it. False when the text does not parse.
template <typename Parse>
bool TakeField(const std::vector<std::string>& fields, std::size_t index, Parse parse, std::int32_t& field) {
    if (index >= fields.size() || fields[index].empty())
        return true;
    const std::optional<std::int32_t> value = parse(fields[index]);
    if (value)
        field = *value;
    return value.has_value();
}

}  // namespace

bool SupportsBaudRate(std::int32_t baudRate) { return SpeedCode(baudRate).has_value(); }

bool IsValidLineSettings(const LineSettings& settings) {
    return SupportsBaudRate(settings.baudRate) && settings.byteSize >= 5 && settings.byteSize <= 8 &&
           settings.parity >= kNoParity && settings.parity <= kSpaceParity && settings.stopBits >= kOneStopBit &&
           settings.stopBits <= kTwoStopBits;
}

bool BuildCommDCB(const std::string& mode, LineSettings& settings) {
    const std::vector<std::string> fields = SplitAtCommas(mode);
    if (fields.size() > 4 || fields[0].empty())
        return false;
    LineSettings result = settings;
    const bool parsed = TakeField(fields, 0, ParseDecimal, result.baudRate) &&
                        TakeField(fields, 1, ParseParityLetter, result.parity) &&
                        TakeField(fields, 2, ParseDecimal, result.byteSize) &&
                        TakeField(fields, 3, ParseStopBits, result.stopBits);
    if (!parsed || !IsValidLineSettings(result))
        return false;
    settings = result;
    return true;
}

void MakeRawTermios(const LineSettings& settings, termios& t) {
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (settings.outX)
        t.c_iflag |= IXON;
    if (settings.inX)
        t.c_iflag |= IXOFF;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | CharacterSizeFlag(settings.byteSize) | ParityFlags(settings.parity);
    if (settings.stopBits != kOneStopBit)
        t.c_cflag |= CSTOPB;
    if (settings.outxCtsFlow)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 1;  // with the non-blocking descriptor: nothing waiting reads as EAGAIN, not as end
    t.c_cc[VTIME] = 0;
    const speed_t speed = SpeedCode(settings.baudRate).value_or(B9600);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
}

void DecodeTermios(const termios& t, LineSettings& settings) {
    settings.baudRate = RateOfSpeedCode(cfgetospeed(&t));
    settings.byteSize = ByteSizeOfFlags(t.c_cflag);
    settings.parity = ParityOfFlags(t.c_cflag);
    settings.stopBits = (t.c_cflag & CSTOPB) != 0 ? kTwoStopBits : kOneStopBit;
    settings.binary = true;
    settings.outxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    settings.outX = (t.c_iflag & IXON) != 0;
    settings.inX = (t.c_iflag & IXOFF) != 0;
}

bool ApplyLineSettings(int fd, const LineSettings& settings) {
    if (!IsValidLineSettings(settings))
        return false;
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    MakeRawTermios(settings, t);
    if (!SetTerminal(fd, t))
        return false;
    SetModemLines(fd, settings);
    return true;
}

bool ReadLineSettings(int fd, LineSettings& settings) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    DecodeTermios(t, settings);
    int lines = 0;
    const bool haveLines = ioctl(fd, TIOCMGET, &lines) == 0;
    settings.dtrControl = haveLines && (lines & TIOCM_DTR) != 0 ? kLineControlEnable : kLineControlDisable;
    settings.rtsControl = haveLines && (lines & TIOCM_RTS) != 0 ? kLineControlEnable : kLineControlDisable;
    return true;
}

}  // namespace platform
