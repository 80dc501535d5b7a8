#pragma once
// The serial device layer: opening a COM port for exclusive use, its line settings and read
// time-out, and synchronous reads and writes. Every call is safe from any thread; calls on one
// handle are carried out one at a time.
//
// Read time-out: a read of n bytes returns at once with what waits (at most n); when nothing waits
// it waits up to the read constant for the first byte and returns with what has come, maybe nothing.
// A device that vanishes (a closed pseudo-terminal, an unplugged adapter) makes every call but
// CloseHandle fail; none of them blocks for longer than its time-out.
//
// The layer remembers, per device, the line settings and time-outs last applied through a handle
// opened for use, and applies them again whenever such a handle opens that device afresh (a
// pseudo-terminal forgets its settings when nobody holds it). A probe never gets them.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/SerialLine.h"

namespace platform {

// An open device, or one of the two values that hold none.
enum class SerialHandle : std::int64_t {
    None = 0,      // no handle: the port is closed
    Invalid = -1,  // what a failed open gives
};

// Why a port is opened: for use (remembered settings are applied again) or as a presence probe.
enum class OpenPurpose { Use, Probe };

struct CommTimeouts {
    std::uint32_t readIntervalTimeout = 0;
    std::uint32_t readTotalTimeoutMultiplier = 0;
    std::uint32_t readTotalTimeoutConstant = 0;  // the only one that counts on Linux (ms)
    std::uint32_t writeTotalTimeoutMultiplier = 0;
    std::uint32_t writeTotalTimeoutConstant = 0;
    bool operator==(const CommTimeouts&) const = default;
};

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

// Flags of PurgeComm.
constexpr unsigned kPurgeTxAbort = 0x1;
constexpr unsigned kPurgeRxAbort = 0x2;
constexpr unsigned kPurgeTxClear = 0x4;
constexpr unsigned kPurgeRxClear = 0x8;

// Opens the device of a COM name (see ComNames.h) read/write, exclusively (flock and TIOCEXCL).
// It must be a terminal; a /dev/ttyS* device must also have a UART. Gives SerialHandle::Invalid on
// failure, with errno telling why (ENOENT for a name that maps to nothing, EWOULDBLOCK or EBUSY when
// another descriptor holds the device, ENOTTY, ENODEV).
SerialHandle OpenComPort(const std::string& comName, OpenPurpose purpose);
SerialHandle OpenSerialDevice(const std::filesystem::path& device, OpenPurpose purpose);

// Whether an open of device that failed with openError was refused for want of permission on a
// device that is there: EACCES, and for a /dev/ttyS* node only when the kernel reports a UART behind
// it (a node without one is no port, whoever may open it).
bool DeniedForPermission(const std::filesystem::path& device, int openError);

// Releases the handle and the device. False for a handle that is not open.
bool CloseHandle(SerialHandle handle);

// Reads the device's line settings; DTR and RTS read back as disabled where they cannot be read.
bool GetCommState(SerialHandle handle, LineSettings& settings);
// Applies raw mode with the given settings (see SerialLine.h); false when a value is not supported.
bool SetCommState(SerialHandle handle, const LineSettings& settings);

bool GetCommTimeouts(SerialHandle handle, CommTimeouts& timeouts);
bool SetCommTimeouts(SerialHandle handle, const CommTimeouts& timeouts);

// kPurgeRxClear discards the input queue, kPurgeTxClear the output queue; the aborts only need an
// open handle, as no read or write is ever pending here.
bool PurgeComm(SerialHandle handle, unsigned flags);

// bytesWaiting := the count of received bytes waiting to be read. Linux keeps no line-error state
// to clear, so errors is always 0. False (and 0 bytes) when the count cannot be read.
bool ClearCommError(SerialHandle handle, std::uint32_t& errors, std::size_t& bytesWaiting);

// Waits up to timeoutMs until received bytes wait to be read; true as soon as they do (at once when
// they wait already). False when the time passed first, stop (when given; asked every 10 ms) turned
// true, or the device failed, vanished or is not open.
bool WaitForInput(SerialHandle handle, unsigned timeoutMs, const std::function<bool()>& stop = {});

// Reads up to wanted bytes into buffer (see the read time-out above). False when the device
// failed or vanished, or the handle is not open; delivered counts what was read either way.
bool ReadFile(SerialHandle handle, void* buffer, std::size_t wanted, std::size_t& delivered);

// Writes all size bytes. Gives up (false) when the device fails, vanishes, or takes no byte for a
// stall limit of a few seconds, or, while it waits for the line to take more, once giveUp (when given;
// asked every 10 ms) turns true; written counts what went out.
bool WriteFile(SerialHandle handle, const void* data, std::size_t size, std::size_t& written,
               const std::function<bool()>& giveUp = {});

// The line settings last applied to a device through a handle opened for use, if any: what the
// program asked of it. A pseudo-terminal keeps 8 data bits and no parity whatever is asked, so
// this is where its data bits and parity show.
std::optional<LineSettings> RememberedLineSettings(const std::filesystem::path& device);

// Forgets what the layer remembers for a device: for a device that was replaced by another one
// under the same path (a pseudo-terminal number given out again).
void ForgetDeviceSettings(const std::filesystem::path& device);

}  // namespace platform
