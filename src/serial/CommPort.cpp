#include "serial/CommPort.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/ComNames.h"
#include "platform/DeviceAccess.h"
#include "platform/TextConvert.h"

namespace {

constexpr std::uint32_t kReadConstantConfigure = 2000;
constexpr std::uint32_t kReadConstantFast = 10;

constexpr int kResponseFirstBytePauses = 100;
constexpr std::size_t kResponseChunk = 4;
constexpr int kResponseSilencePauses = 15;

constexpr int kBlockFirstBytePauses = 1000;
constexpr std::size_t kBlockChunk = 5;
constexpr int kBlockSilencePauses = 5;

bool HoldsDevice(platform::SerialHandle handle) {
    return handle != platform::SerialHandle::None && handle != platform::SerialHandle::Invalid;
}

// Splits the local time into the four words and gives its time stamp text.
std::string StampLocalTime(std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second,
                           std::uint16_t& millisecond) {
    const platform::LocalTime t = platform::Now();
    hour = static_cast<std::uint16_t>(t.hour);
    minute = static_cast<std::uint16_t>(t.minute);
    second = static_cast<std::uint16_t>(t.second);
    millisecond = static_cast<std::uint16_t>(t.millisecond);
    return platform::FormatTimeStamp(hour, minute, second, millisecond);
}

// The settings dialog's data-bits codes 1, 2, 4, 8 stand for 5, 6, 7, 8 bits; others pass unchanged.
std::int32_t ByteSizeOfCode(std::int32_t code) {
    switch (code) {
        case 1: return 5;
        case 2: return 6;
        case 4: return 7;
        default: return code;
    }
}

// What an account that may not open the device can do: join its group when that group may open it,
// else nobody but its owner (or root) may.
std::string AdviceFor(const std::filesystem::path& device) {
    const std::optional<platform::DeviceAccess> access = platform::AccessOf(device);
    if (!access || access->groupMayOpen) {
        const std::string group = access ? access->group : "dialout";
        return "add the account to the " + group + " group (sudo usermod -aG " + group +
               " \"$USER\", then log in again)";
    }
    return access->ownerMayOpen ? "only its owner (" + access->owner + ") may open it" : "only root may open it";
}

// A port whose device is there but closed to this account is not listed; one line on stderr says why.
void TellIfDenied(const std::string& comName, int openError) {
    const std::optional<std::filesystem::path> device = platform::ComDevicePath(comName);
    if (!device || !platform::DeniedForPermission(*device, openError))
        return;
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(*device, error);
    std::cerr << "talvane: " << (error ? *device : resolved).string() << " (" << comName
              << ") is not listed: this account may not open it; " << AdviceFor(*device) << "\n";
}

}  // namespace

CSerialPort::~CSerialPort() { ReleaseHeldHandle(); }

bool CSerialPort::OpenPort(const std::string& name) { return OpenPortFor(name, platform::OpenPurpose::Use); }

bool CSerialPort::OpenPortFor(const std::string& name, platform::OpenPurpose purpose) {
    PortName = name;
    ReleaseHeldHandle();
    hComm = platform::OpenComPort(name, purpose);
    if (hComm == platform::SerialHandle::Invalid)
        return false;
    IsOpen = true;
    return true;
}

// A handle still held when the port is opened again would keep the device locked for good.
void CSerialPort::ReleaseHeldHandle() {
    if (HoldsDevice(hComm))
        DropHandle();
}

void CSerialPort::DropHandle() {
    platform::CloseHandle(hComm);
    hComm = platform::SerialHandle::None;
    IsOpen = false;
}

bool CSerialPort::PurgeRxBuffer() { return platform::PurgeComm(hComm, platform::kPurgeRxClear); }

bool CSerialPort::ConfigurePort(const std::string& baudText) {
    return Configure(baudText, kReadConstantConfigure, false);
}

bool CSerialPort::ConfigurePortFast(const std::string& baudText) {
    return Configure(baudText, kReadConstantFast, true);
}

bool CSerialPort::Configure(const std::string& baudText, std::uint32_t readConstant, bool readStateAgain) {
    if (!IsOpen)
        return false;
    if (!platform::GetCommState(hComm, Dcb))
        return CloseAfterFailure();
    ApplyReadConstant(readConstant);
    if (readStateAgain)
        (void)platform::GetCommState(hComm, Dcb);
    SetLineFlags();
    (void)platform::BuildCommDCB(baudText + ",N,8,1", Dcb);
    if (!platform::SetCommState(hComm, Dcb))
        return CloseAfterFailure();
    return true;
}

bool CSerialPort::SetPortParameters(const std::string& baud, const std::string& parity, const std::string& dataBits,
                                    const std::string& stopBits) {
    if (!IsOpen)
        return false;
    if (!platform::GetCommState(hComm, Dcb))
        return CloseAfterFailure();
    ApplyReadConstant(kReadConstantFast);
    SetLineFlags();
    Dcb.baudRate = platform::StrToInt(baud);
    Dcb.parity = platform::StrToInt(parity);
    Dcb.stopBits = platform::StrToInt(stopBits);
    Dcb.byteSize = ByteSizeOfCode(platform::StrToInt(dataBits));
    if (!platform::SetCommState(hComm, Dcb))
        return CloseAfterFailure();
    return true;
}

bool CSerialPort::CloseAfterFailure() {
    DropHandle();
    return false;
}

void CSerialPort::ApplyReadConstant(std::uint32_t readConstant) {
    Timeouts.readIntervalTimeout = platform::kMaxDword;
    Timeouts.readTotalTimeoutMultiplier = platform::kMaxDword;
    Timeouts.readTotalTimeoutConstant = readConstant;
    Timeouts.writeTotalTimeoutMultiplier = 0;
    Timeouts.writeTotalTimeoutConstant = 0;
    (void)platform::SetCommTimeouts(hComm, Timeouts);
}

// No flow control, DTR and RTS low, NUL bytes passed on.
void CSerialPort::SetLineFlags() {
    Dcb.binary = true;
    Dcb.outxCtsFlow = false;
    Dcb.outxDsrFlow = false;
    Dcb.dtrControl = platform::kLineControlDisable;
    Dcb.dsrSensitivity = false;
    Dcb.outX = false;
    Dcb.inX = false;
    Dcb.nullStrip = false;
    Dcb.rtsControl = platform::kLineControlDisable;
    Dcb.abortOnError = true;
}

bool CSerialPort::ClosePort() {
    if (!platform::PurgeComm(hComm, platform::kPurgeRxAbort)) {
        IsOpen = false;
        return false;
    }
    DropHandle();
    return true;
}

bool CSerialPort::IsPortOpen() const { return IsOpen; }

bool CSerialPort::IsRxQueueEmpty() {
    std::uint32_t errors = 0;
    std::size_t waiting = 0;
    if (!platform::ClearCommError(hComm, errors, waiting))
        return true;
    return waiting == 0;
}

bool CSerialPort::WriteCommand(const std::string& command, const std::string& terminator,
                               const std::function<bool()>& giveUp) {
    const std::string text = command + terminator;
    StampSendTime();
    std::size_t written = 0;
    return platform::WriteFile(hComm, text.data(), text.size(), written, giveUp);
}

std::int32_t CSerialPort::ReadResponse(std::string& reply, std::string& timeStamp,
                                       const std::function<bool()>& stopWaiting) {
    ClearRecvTime();
    WaitForFirstByte(kResponseFirstBytePauses, stopWaiting);
    timeStamp = StampRecvTime();
    const std::size_t count = ReadUntilSilent(kResponseChunk, kResponseSilencePauses);
    reply = BufferText(count);
    return static_cast<std::int32_t>(count);
}

std::int32_t CSerialPort::ReadBlock(std::string& reply, const std::function<bool()>& stopWaiting) {
    ClearRecvTime();
    WaitForFirstByte(kBlockFirstBytePauses, stopWaiting);
    const std::size_t count = ReadUntilSilent(kBlockChunk, kBlockSilencePauses);
    reply = BufferText(count);
    return static_cast<std::int32_t>(count);
}

// The first byte is noticed as it arrives: the device is watched for as long as the pauses of 1 ms
// would last. Where the pauses are replaced (tests shorten them), the wait is made of them as before.
void CSerialPort::WaitForFirstByte(int maxPauses, const std::function<bool()>& stop) {
    if (platform::PausesReplaced())
        WaitWhileQueueEmpty(maxPauses, stop);
    else
        (void)platform::WaitForInput(hComm, static_cast<unsigned>(maxPauses), stop);
}

void CSerialPort::WaitWhileQueueEmpty(int maxPauses, const std::function<bool()>& stop) {
    for (int pauses = 0; pauses < maxPauses && IsRxQueueEmpty() && !(stop && stop()); ++pauses)
        platform::Sleep(1);
}

// A reply that fills RxBuffer is still read on until the line falls silent, and what does not fit is
// thrown away: on a line still delivering it, a rest left queued would outlast the next command's
// purge and be taken for that command's reply. A device that never falls silent ends the read once
// as many bytes again as the buffer holds have been thrown away.
std::size_t CSerialPort::ReadUntilSilent(std::size_t chunk, int silencePauses) {
    std::size_t count = 0;
    std::size_t discarded = 0;
    std::array<char, std::max(kResponseChunk, kBlockChunk)> spill{};
    for (;;) {
        ReadResult read;
        if (count < RxBuffer.size()) {
            read = ReadInto(count, chunk);
            count += read.count;
        } else {
            const std::size_t wanted = std::min({chunk, spill.size(), RxBuffer.size() - discarded});
            read.ok = platform::ReadFile(hComm, spill.data(), wanted, read.count);
            discarded += read.count;
        }
        if (discarded >= RxBuffer.size())
            return count;
        WaitWhileQueueEmpty(silencePauses);
        if (IsRxQueueEmpty() || !read.ok)
            return count;
    }
}

CSerialPort::ReadResult CSerialPort::ReadInto(std::size_t offset, std::size_t wanted) {
    if (offset >= RxBuffer.size())
        return {};
    ReadResult result;
    result.ok = platform::ReadFile(hComm, RxBuffer.data() + offset, std::min(wanted, RxBuffer.size() - offset),
                                   result.count);
    return result;
}

std::string CSerialPort::BufferText(std::size_t count) const {
    const auto end = RxBuffer.begin() + static_cast<std::ptrdiff_t>(std::min(count, RxBuffer.size()));
    return std::string(RxBuffer.begin(), std::find(RxBuffer.begin(), end, '\0'));
}

std::string CSerialPort::StampSendTime() { return StampLocalTime(SendHour, SendMin, SendSec, SendMSec); }

std::string CSerialPort::StampRecvTime() { return StampLocalTime(RecvHour, RecvMin, RecvSec, RecvMSec); }

void CSerialPort::ClearRecvTime() {
    RecvHour = 0;
    RecvMin = 0;
    RecvSec = 0;
    RecvMSec = 0;
}

void CSerialPort::ScanPorts(PortPresence& present) {
    for (int n = 1; n <= kLastScannedComNumber; ++n) {
        const std::string name = "COM" + std::to_string(n);
        if (OpenPortFor(name, platform::OpenPurpose::Probe)) {
            present[static_cast<std::size_t>(n)] = true;
            ClosePort();
        } else {
            TellIfDenied(name, errno);
        }
    }
}

void CSerialPort::SetReadTimeouts() { ApplyReadConstant(kReadConstantFast); }
