#pragma once
// CSerialPort: the program's one handle on an RS-232 COM port. It opens a port by name for
// exclusive use, applies line settings and read time-outs, writes a command with its terminator in
// one write, and collects a reply by polling the input queue until the line falls silent.
// Not safe to call from two threads at once: the send road serialises its users.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/SerialDevice.h"

constexpr std::size_t kRxBufferSize = 4096;
constexpr int kLastScannedComNumber = 119;

// One flag per COM number, indexed 1 .. 119 (entry 0 is not used).
using PortPresence = std::array<bool, kLastScannedComNumber + 1>;

class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    platform::SerialHandle hComm = platform::SerialHandle::None;
    platform::LineSettings Dcb{};  // line settings last read from or written to the device
    bool IsOpen = false;
    std::string PortName = "COMX";  // "COMX": no port configured
    std::string BaudString = "9600";
    std::int32_t BaudRate = 9600;
    std::int32_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::int32_t DataBits = 8;  // code: 1, 2, 4, 8 stand for 5, 6, 7, 8 data bits
    std::int32_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    platform::CommTimeouts Timeouts{};
    std::uint16_t SendHour = 0;
    std::uint16_t SendMin = 0;
    std::uint16_t SendSec = 0;
    std::uint16_t SendMSec = 0;
    std::uint16_t RecvHour = 0;
    std::uint16_t RecvMin = 0;
    std::uint16_t RecvSec = 0;
    std::uint16_t RecvMSec = 0;
    std::array<char, kRxBufferSize> RxBuffer{};

    // Sets PortName, lets go of a handle still held, then opens the port; false leaves hComm
    // invalid and IsOpen as it was.
    bool OpenPort(const std::string& name);
    bool PurgeRxBuffer();
    // Line settings baudText + ",N,8,1" with a read constant of 2000 ms (Fast: 10 ms).
    bool ConfigurePort(const std::string& baudText);
    bool ConfigurePortFast(const std::string& baudText);
    // Decimal texts of baud rate, parity code, data-bits code and stop-bits code; read constant
    // 10 ms. A text that is not a number raises platform::EConvertError.
    bool SetPortParameters(const std::string& baud, const std::string& parity, const std::string& dataBits,
                           const std::string& stopBits);
    bool ClosePort();
    bool IsPortOpen() const;
    // True when no received byte waits, and also when the queue cannot be read.
    bool IsRxQueueEmpty();
    // Writes command and terminator in one write; giveUp (when given) ends a wait for a line that
    // takes no data before the write's own stall limit.
    bool WriteCommand(const std::string& command, const std::string& terminator,
                      const std::function<bool()>& giveUp = {});
    // Collects a reply in 4-byte reads until 15 quiet pauses; timeStamp is when it began. Returns
    // the count of bytes received (NULs included); reply is cut before the first NUL. A reply longer
    // than RxBuffer keeps its first bytes; the rest is read to its end and thrown away. The wait for the
    // first byte ends early once stopWaiting (when given; asked every 10 ms) turns true.
    std::int32_t ReadResponse(std::string& reply, std::string& timeStamp,
                              const std::function<bool()>& stopWaiting = {});
    // As ReadResponse with a longer first wait, 5-byte reads, 5 quiet pauses and no stamp. The wait for
    // the first byte ends early once stopWaiting (when given; asked every 10 ms) turns true.
    std::int32_t ReadBlock(std::string& reply, const std::function<bool()>& stopWaiting = {});
    // Marks present[n] for every COMn (1 .. 119) that opens; other entries are left alone. A device
    // that is there but that this account may not open is named in one line on stderr.
    void ScanPorts(PortPresence& present);
    void SetReadTimeouts();

    // For readers that fill RxBuffer themselves (the unsolicited-input poll).
    struct ReadResult {
        bool ok = false;
        std::size_t count = 0;
    };
    // Reads up to wanted bytes into RxBuffer at offset, never past its end; a full buffer (offset
    // at or past its end) reads nothing and fails.
    ReadResult ReadInto(std::size_t offset, std::size_t wanted);
    // The first count bytes of RxBuffer (at most all of it), cut before the first NUL.
    std::string BufferText(std::size_t count) const;
    // Put the local time into the Send or Recv words; give its time stamp text.
    std::string StampSendTime();
    std::string StampRecvTime();

private:
    bool OpenPortFor(const std::string& name, platform::OpenPurpose purpose);
    void ReleaseHeldHandle();
    void DropHandle();
    bool Configure(const std::string& baudText, std::uint32_t readConstant, bool readStateAgain);
    bool CloseAfterFailure();
    void ApplyReadConstant(std::uint32_t readConstant);
    void SetLineFlags();
    void ClearRecvTime();
    void WaitForFirstByte(int maxPauses, const std::function<bool()>& stop = {});
    void WaitWhileQueueEmpty(int maxPauses, const std::function<bool()>& stop = {});
    std::size_t ReadUntilSilent(std::size_t chunk, int silencePauses);
};
