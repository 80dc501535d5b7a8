#include "platform/SerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <termios.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Clock.h"
#include "platform/ComNames.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

struct Device {
    std::mutex mutex;  // one call at a time on the device
    int fd = -1;
    std::string rememberKey;  // empty for a probe: nothing is remembered for it
    CommTimeouts timeouts;
    std::int32_t baudRate = 9600;  // for the write stall limit
};

struct Remembered {
    std::optional<LineSettings> line;
    std::optional<CommTimeouts> timeouts;
};

std::mutex g_tableMutex;
std::map<std::int64_t, std::shared_ptr<Device>> g_devices;
std::int64_t g_nextHandle = 1;
std::map<std::string, Remembered> g_remembered;

std::shared_ptr<Device> Lookup(SerialHandle handle) {
    std::lock_guard lock(g_tableMutex);
    const auto found = g_devices.find(static_cast<std::int64_t>(handle));
    return found == g_devices.end() ? nullptr : found->second;
}

SerialHandle Register(std::shared_ptr<Device> device) {
    std::lock_guard lock(g_tableMutex);
    const std::int64_t id = g_nextHandle++;
    g_devices.emplace(id, std::move(device));
    return static_cast<SerialHandle>(id);
}

std::shared_ptr<Device> Unregister(SerialHandle handle) {
    std::lock_guard lock(g_tableMutex);
    const auto found = g_devices.find(static_cast<std::int64_t>(handle));
    if (found == g_devices.end())
        return nullptr;
    std::shared_ptr<Device> device = found->second;
    g_devices.erase(found);
    return device;
}

std::string DeviceKey(const std::filesystem::path& device) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(device, error);
    return error ? device.string() : resolved.string();
}

Remembered RememberedFor(const std::string& key) {
    std::lock_guard lock(g_tableMutex);
    const auto found = g_remembered.find(key);
    return found == g_remembered.end() ? Remembered{} : found->second;
}

void Remember(const std::string& key, const LineSettings& line) {
    if (key.empty())
        return;
    std::lock_guard lock(g_tableMutex);
    g_remembered[key].line = line;
}

void Remember(const std::string& key, const CommTimeouts& timeouts) {
    if (key.empty())
        return;
    std::lock_guard lock(g_tableMutex);
    g_remembered[key].timeouts = timeouts;
}

// Runs action(device) with the device locked; false when the handle is not open.
template <typename Action>
bool WithDevice(SerialHandle handle, Action action) {
    const std::shared_ptr<Device> device = Lookup(handle);
    if (!device)
        return false;
    std::lock_guard lock(device->mutex);
    if (device->fd < 0)
        return false;
    return action(*device);
}

bool HasUart(int fd) {
    serial_struct info{};
    return ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

// A terminal that is ours alone, and, for a /dev/ttyS* node, one with a UART behind it.
bool ClaimDevice(int fd, const std::string& key) {
    if (!isatty(fd))
        return false;
    if (key.rfind("/dev/ttyS", 0) == 0 && !HasUart(fd)) {
        errno = ENODEV;
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    (void)ioctl(fd, TIOCEXCL);  // refused by nothing that matters; root is not held off by it anyway
    return true;
}

void ApplyRemembered(Device& device, const std::string& key) {
    const Remembered remembered = RememberedFor(key);
    if (remembered.line && ApplyLineSettings(device.fd, *remembered.line))
        device.baudRate = remembered.line->baudRate;
    if (remembered.timeouts)
        device.timeouts = *remembered.timeouts;
}

void CloseDescriptor(int fd) {
    (void)ioctl(fd, TIOCNXCL);  // the exclusive mark outlives us on a terminal someone else keeps open
    (void)::close(fd);
}

enum class WaitResult { Ready, TimedOut, Failed };

WaitResult WaitFor(int fd, short events, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd entry{fd, events, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int result = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(0, left.count())));
        if (result < 0 && errno == EINTR)
            continue;
        if (result < 0 || (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            return WaitResult::Failed;
        return result == 0 ? WaitResult::TimedOut : WaitResult::Ready;
    }
}

// WaitFor that ends early (TimedOut) once stop turns true.
WaitResult WaitUnless(int fd, short events, int timeoutMs, const std::function<bool()>& stop) {
    if (!stop)
        return WaitFor(fd, events, timeoutMs);
    WaitResult result = WaitResult::TimedOut;
    WaitInSlices(static_cast<unsigned>(std::max(0, timeoutMs)), stop, [&](unsigned slice) {
        result = WaitFor(fd, events, static_cast<int>(slice));
        return result != WaitResult::TimedOut;
    });
    return result;
}

bool HasHungUp(int fd) { return WaitFor(fd, POLLIN, 0) == WaitResult::Failed; }

int ReadWaitMs(const CommTimeouts& timeouts) {
    return static_cast<int>(std::min<std::uint32_t>(timeouts.readTotalTimeoutConstant, INT_MAX));
}

bool ReadWaiting(int fd, void* buffer, std::size_t wanted, std::size_t& delivered) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, wanted);
        if (n > 0) {
            delivered = static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return true;
        return n == 0 && !HasHungUp(fd);
    }
}

// How long a write may see no byte taken before it gives up: a few seconds, and at least the time
// 256 bytes take on the line (the terminal wakes a writer when that much room is free).
int WriteStallLimitMs(std::int32_t baudRate) {
    constexpr int kBitsPerByte = 10;
    const std::int32_t rate = baudRate > 0 ? baudRate : 9600;
    return 2000 + static_cast<int>(256LL * kBitsPerByte * 1000 / rate);
}

bool WriteAll(const Device& device, const char* data, std::size_t size, std::size_t& written,
              const std::function<bool()>& giveUp) {
    const auto stallLimit = std::chrono::milliseconds(WriteStallLimitMs(device.baudRate));
    Clock::time_point lastProgress = Clock::now();
    while (written < size) {
        const ssize_t n = ::write(device.fd, data + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(lastProgress + stallLimit - Clock::now());
        if (n == 0 || errno != EAGAIN || left.count() <= 0 ||
            WaitUnless(device.fd, POLLOUT, static_cast<int>(left.count()), giveUp) != WaitResult::Ready)
            return false;
    }
    return true;
}

}  // namespace

SerialHandle OpenComPort(const std::string& comName, OpenPurpose purpose) {
    const std::optional<std::filesystem::path> device = ComDevicePath(comName);
    if (!device) {
        errno = ENOENT;
        return SerialHandle::Invalid;
    }
    return OpenSerialDevice(*device, purpose);
}

SerialHandle OpenSerialDevice(const std::filesystem::path& path, OpenPurpose purpose) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return SerialHandle::Invalid;
    const std::string key = DeviceKey(path);
    if (!ClaimDevice(fd, key)) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
        return SerialHandle::Invalid;
    }
    auto device = std::make_shared<Device>();
    device->fd = fd;
    if (purpose == OpenPurpose::Use) {
        device->rememberKey = key;
        ApplyRemembered(*device, key);
    }
    return Register(std::move(device));
}

bool DeniedForPermission(const std::filesystem::path& device, int openError) {
    if (openError != EACCES)
        return false;
    const std::filesystem::path resolved = DeviceKey(device);
    if (resolved.string().rfind("/dev/ttyS", 0) != 0)
        return true;
    // The kernel tells every account the UART type of a /dev/ttyS* node; 0 means none.
    std::ifstream type("/sys/class/tty" / resolved.filename() / "type");
    int uartType = PORT_UNKNOWN;
    return type >> uartType && uartType != PORT_UNKNOWN;
}

bool CloseHandle(SerialHandle handle) {
    const std::shared_ptr<Device> device = Unregister(handle);
    if (!device)
        return false;
    std::lock_guard lock(device->mutex);
    CloseDescriptor(device->fd);
    device->fd = -1;
    return true;
}

bool GetCommState(SerialHandle handle, LineSettings& settings) {
    return WithDevice(handle, [&](Device& device) { return ReadLineSettings(device.fd, settings); });
}

bool SetCommState(SerialHandle handle, const LineSettings& settings) {
    return WithDevice(handle, [&](Device& device) {
        if (!ApplyLineSettings(device.fd, settings))
            return false;
        device.baudRate = settings.baudRate;
        Remember(device.rememberKey, settings);
        return true;
    });
}

bool GetCommTimeouts(SerialHandle handle, CommTimeouts& timeouts) {
    return WithDevice(handle, [&](Device& device) {
        timeouts = device.timeouts;
        return true;
    });
}

bool SetCommTimeouts(SerialHandle handle, const CommTimeouts& timeouts) {
    return WithDevice(handle, [&](Device& device) {
        device.timeouts = timeouts;
        Remember(device.rememberKey, timeouts);
        return true;
    });
}

bool PurgeComm(SerialHandle handle, unsigned flags) {
    return WithDevice(handle, [&](Device& device) {
        bool ok = true;
        if ((flags & kPurgeRxClear) != 0)
            ok = tcflush(device.fd, TCIFLUSH) == 0 && ok;
        if ((flags & kPurgeTxClear) != 0)
            ok = tcflush(device.fd, TCOFLUSH) == 0 && ok;
        return ok;
    });
}

bool ClearCommError(SerialHandle handle, std::uint32_t& errors, std::size_t& bytesWaiting) {
    errors = 0;
    bytesWaiting = 0;
    return WithDevice(handle, [&](Device& device) {
        int waiting = 0;
        if (ioctl(device.fd, FIONREAD, &waiting) != 0 || waiting < 0)
            return false;
        bytesWaiting = static_cast<std::size_t>(waiting);
        return true;
    });
}

bool WaitForInput(SerialHandle handle, unsigned timeoutMs, const std::function<bool()>& stop) {
    return WithDevice(handle, [&](Device& device) {
        return WaitUnless(device.fd, POLLIN, static_cast<int>(std::min<unsigned>(timeoutMs, INT_MAX)), stop) ==
               WaitResult::Ready;
    });
}

bool ReadFile(SerialHandle handle, void* buffer, std::size_t wanted, std::size_t& delivered) {
    delivered = 0;
    return WithDevice(handle, [&](Device& device) {
        if (wanted == 0)
            return true;
        switch (WaitFor(device.fd, POLLIN, ReadWaitMs(device.timeouts))) {
            case WaitResult::Failed: return false;
            case WaitResult::TimedOut: return true;
            case WaitResult::Ready: break;
        }
        return ReadWaiting(device.fd, buffer, wanted, delivered);
    });
}

bool WriteFile(SerialHandle handle, const void* data, std::size_t size, std::size_t& written,
               const std::function<bool()>& giveUp) {
    written = 0;
    return WithDevice(handle, [&](Device& device) {
        return WriteAll(device, static_cast<const char*>(data), size, written, giveUp);
    });
}

std::optional<LineSettings> RememberedLineSettings(const std::filesystem::path& device) {
    return RememberedFor(DeviceKey(device)).line;
}

void ForgetDeviceSettings(const std::filesystem::path& device) {
    const std::string key = DeviceKey(device);
    std::lock_guard lock(g_tableMutex);
    g_remembered.erase(key);
}

}  // namespace platform
