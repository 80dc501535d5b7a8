#pragma once
// Line settings of a serial device, the mode text that describes them ("9600,N,8,1"), and their
// mapping onto a terminal's termios and modem lines.
#include <termios.h>

#include <cstdint>
#include <string>

namespace platform {

constexpr int kNoParity = 0;
constexpr int kOddParity = 1;
constexpr int kEvenParity = 2;
constexpr int kMarkParity = 3;
constexpr int kSpaceParity = 4;

constexpr int kOneStopBit = 0;
constexpr int kOneAndHalfStopBits = 1;  // sent as two stop bits
constexpr int kTwoStopBits = 2;

// DTR and RTS line control.
constexpr int kLineControlDisable = 0;  // held low
constexpr int kLineControlEnable = 1;   // held high

struct LineSettings {
    std::int32_t baudRate = 0;  // one of the standard rates (SupportsBaudRate)
    std::int32_t byteSize = 0;  // 5..8 data bits
    std::int32_t parity = 0;    // kNoParity .. kSpaceParity
    std::int32_t stopBits = 0;  // kOneStopBit .. kTwoStopBits
    bool binary = false;        // always binary on Linux; kept for the caller's sake
    bool outxCtsFlow = false;   // RTS/CTS hardware flow control
    bool outxDsrFlow = false;   // not supported on Linux; kept only
    int dtrControl = kLineControlDisable;
    bool dsrSensitivity = false;  // kept only
    bool outX = false;            // XON/XOFF on output (IXON)
    bool inX = false;             // XON/XOFF on input (IXOFF)
    bool nullStrip = false;       // kept only: NUL bytes are always passed on
    int rtsControl = kLineControlDisable;
    bool abortOnError = false;  // kept only: Linux stops no read on a line error
    bool operator==(const LineSettings&) const = default;
};

bool SupportsBaudRate(std::int32_t baudRate);

// True when every value of settings can be applied.
bool IsValidLineSettings(const LineSettings& settings);

// Fills baud rate, parity, data bits and stop bits from a mode text "baud[,parity[,data[,stop]]]":
// parity one of N O E M S (either case), data 5..8, stop 1, 1.5 or 2. Fields left out keep their
// value. A text that does not parse or holds an unsupported value gives false and changes nothing.
bool BuildCommDCB(const std::string& mode, LineSettings& settings);

// Raw mode with the given settings, on top of what t held: no echo, no translation, no signals,
// CLOCAL | CREAD, flow control only as the flags ask. Values that are not valid give 9600 baud and
// 8 data bits.
void MakeRawTermios(const LineSettings& settings, termios& t);
// Baud rate, data bits, parity, stop bits and flow control of t.
void DecodeTermios(const termios& t, LineSettings& settings);

// MakeRawTermios applied to the terminal fd: no echo, no translation, no signals, CLOCAL | CREAD,
// flow control only as the flags ask, DTR and RTS as asked (ignored where the device has no modem
// lines, as a pseudo-terminal). False for invalid settings or when the terminal refuses them. A
// pseudo-terminal keeps 8 data bits and no parity whatever is asked, having no framing to apply;
// that counts as success.
bool ApplyLineSettings(int fd, const LineSettings& settings);

// Reads baud rate, data bits, parity, stop bits, flow control and the DTR/RTS state from fd.
bool ReadLineSettings(int fd, LineSettings& settings);

}  // namespace platform
