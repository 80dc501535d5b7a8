#include "support/FakeInstrument.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <stdexcept>
#include <system_error>

#include "platform/Folders.h"
#include "platform/SerialDevice.h"

namespace testsupport {
namespace {

constexpr int kPollSliceMs = 100;
constexpr auto kWriteStallLimit = std::chrono::seconds(5);

thread_local const FakeInstrument* t_answeringFake = nullptr;  // the fake whose own thread this is

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::system_category().message(errno));
}

int OpenMaster() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw SystemError("posix_openpt");
    if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
        ::close(fd);
        throw SystemError("grantpt/unlockpt");
    }
    return fd;
}

std::string SlaveName(int masterFd) {
    char name[128] = {};
    if (ptsname_r(masterFd, name, sizeof name) != 0)
        throw SystemError("ptsname_r");
    return name;
}

termios StartSettings(int slaveFd) {
    termios t{};
    tcgetattr(slaveFd, &t);
    cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return t;
}

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

// A real instrument answers within the program's first-byte wait whatever else the computer does; the
// fake does so on a busy machine only when its thread runs as soon as a command comes. A real-time
// priority gives it that where the system allows it (as root, say); elsewhere it answers as before.
// The thread sleeps in poll between commands, so it takes no time from anybody else.
void FavourTheAnsweringThread() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

bool IsEarlierFakeLink(const std::filesystem::path& link) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(link, error)))
        return false;
    return std::filesystem::read_symlink(link, error).string().rfind("/dev/pts/", 0) == 0;
}

}  // namespace

FakeInstrument::FakeInstrument(std::string comName) : comName_(std::move(comName)) {
    masterFd_ = OpenMaster();
    slavePath_ = SlaveName(masterFd_);
    slaveFd_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (slaveFd_ < 0 || wakeFd_ < 0) {
        const std::runtime_error error = SystemError("opening " + slavePath_);
        CloseDescriptors();
        throw error;
    }
    SetNonBlocking(masterFd_);
    ResetLineSettings();
    platform::ForgetDeviceSettings(slavePath_);  // a fresh device, though its number may be an old one
    try {
        CreateLink();
    } catch (...) {
        CloseDescriptors();
        throw;
    }
    reader_ = std::thread([this] { Run(); });
}

FakeInstrument::~FakeInstrument() {
    StopThread();
    CloseDescriptors();
    RemoveLink();
}

std::filesystem::path FakeInstrument::LinkPath() const { return platform::PortsFolder() / comName_; }

void FakeInstrument::CreateLink() {
    const std::filesystem::path link = LinkPath();
    std::filesystem::create_directories(link.parent_path());
    std::error_code error;
    if (IsEarlierFakeLink(link))
        std::filesystem::remove(link, error);
    if (std::filesystem::exists(std::filesystem::symlink_status(link, error)))
        throw std::runtime_error(link.string() + " exists already and is no fake instrument's link");
    std::filesystem::create_symlink(slavePath_, link);
}

// Removes the link only while it is still ours.
void FakeInstrument::RemoveLink() {
    const std::filesystem::path link = LinkPath();
    std::error_code error;
    if (std::filesystem::read_symlink(link, error) == slavePath_ && !error)
        std::filesystem::remove(link, error);
}

void FakeInstrument::SetTerminator(std::string terminator) {
    std::lock_guard lock(mutex_);
    rules_.terminator = std::move(terminator);
}

void FakeInstrument::ReplyDefault(std::string reply) {
    std::lock_guard lock(mutex_);
    rules_.defaultReply = std::move(reply);
}

void FakeInstrument::ReplyExact(std::string command, std::string reply) {
    std::lock_guard lock(mutex_);
    rules_.exact.emplace_back(std::move(command), std::move(reply));
}

void FakeInstrument::ReplyPrefix(std::string prefix, std::string reply) {
    std::lock_guard lock(mutex_);
    rules_.prefixes.emplace_back(std::move(prefix), std::move(reply));
}

void FakeInstrument::ReplyWith(Responder responder) {
    std::lock_guard lock(mutex_);
    rules_.responder = std::move(responder);
}

void FakeInstrument::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    rules_.silent = silent;
}

void FakeInstrument::SetDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    rules_.delay = delay;
}

void FakeInstrument::OnCommand(Observer observer) {
    std::lock_guard lock(mutex_);
    rules_.observer = std::move(observer);
}

bool FakeInstrument::SendUnsolicited(const std::string& bytes) { return WriteToLine(bytes); }

bool FakeInstrument::Flood(std::size_t n) { return WriteToLine(FloodPattern(n)); }

std::string FakeInstrument::FloodPattern(std::size_t n) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string bytes(n, ' ');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = alphabet[(i * 7 + i / alphabet.size()) % alphabet.size()];
    return bytes;
}

// Writes into the line from the slave's side until not even one byte finds room for a while: the
// master side's reading buffer takes bytes over from the line's as the kernel gets round to it, and a
// write that a large chunk cannot make may still find room for a small one.
void FakeInstrument::StopReading() {
    reading_ = false;
    std::lock_guard lock(fdMutex_);
    SetNonBlocking(slaveFd_);
    const std::string pattern = FloodPattern(4096);
    for (std::size_t chunk = pattern.size();;) {
        if (::write(slaveFd_, pattern.data(), chunk) > 0)
            continue;
        if (chunk > 1) {
            chunk /= 2;
            continue;
        }
        pollfd entry{slaveFd_, POLLOUT, 0};
        if (::poll(&entry, 1, kPollSliceMs) <= 0)
            return;
        chunk = pattern.size();
    }
}

short FakeInstrument::LineEvents() const { return reading_ ? POLLIN : 0; }

// On the fake's own thread the thread cannot be joined; it keeps its wake-up descriptor and waits,
// with no line left to read, for the stop request.
void FakeInstrument::HangUp() {
    const bool ownThread = OnOwnThread();
    if (!ownThread)
        StopThread();
    {
        std::lock_guard lock(fdMutex_);
        if (ownThread)
            CloseLine();
        else
            CloseDescriptors();
    }
    RemoveLink();
    std::lock_guard lock(mutex_);
    hungUp_ = true;
}

bool FakeInstrument::IsHungUp() const {
    std::lock_guard lock(mutex_);
    return hungUp_;
}

std::vector<std::string> FakeInstrument::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::string FakeInstrument::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::size_t FakeInstrument::CommandCount() const {
    std::lock_guard lock(mutex_);
    return commands_.size();
}

bool FakeInstrument::WaitForCommands(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return commands_.size() >= n; });
}

void FakeInstrument::ClearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
    pending_.clear();
    commands_.clear();
}

termios FakeInstrument::LineSettings() const {
    std::lock_guard lock(fdMutex_);
    termios t{};
    if (slaveFd_ >= 0)
        tcgetattr(slaveFd_, &t);
    return t;
}

std::optional<platform::LineSettings> FakeInstrument::AppliedLineSettings() const {
    return platform::RememberedLineSettings(slavePath_);
}

void FakeInstrument::SetLineSettings(const termios& settings) {
    std::lock_guard lock(fdMutex_);
    if (slaveFd_ >= 0)
        tcsetattr(slaveFd_, TCSANOW, &settings);
}

void FakeInstrument::ResetLineSettings() {
    std::lock_guard lock(fdMutex_);
    if (slaveFd_ >= 0) {
        const termios start = StartSettings(slaveFd_);
        tcsetattr(slaveFd_, TCSANOW, &start);
    }
}

bool FakeInstrument::OnOwnThread() const { return t_answeringFake == this; }

void FakeInstrument::Run() {
    pthread_setname_np(pthread_self(), kThreadName);  // benchmarks leave its CPU out of the program's
    t_answeringFake = this;
    FavourTheAnsweringThread();
    char chunk[4096];
    for (;;) {
        pollfd fds[2] = {{masterFd_, LineEvents(), 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, kPollSliceMs) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0) {
            if (fds[0].revents != 0)  // no slave side at all: wait for the stop request only
                ::poll(&fds[1], 1, kPollSliceMs);
            continue;
        }
        const ssize_t n = ::read(masterFd_, chunk, sizeof chunk);
        if (n > 0)
            TakeBytes(chunk, static_cast<std::size_t>(n));
    }
}

void FakeInstrument::TakeBytes(const char* data, std::size_t size) {
    {
        std::lock_guard lock(mutex_);
        received_.append(data, size);
        pending_.append(data, size);
    }
    // What came while a command was answered late is answered in its turn.
    for (;;) {
        std::vector<std::string> complete;
        {
            std::lock_guard lock(mutex_);
            complete = SplitPendingLocked();
        }
        if (complete.empty())
            return;
        for (const std::string& command : complete) {
            if (IsHungUp())
                return;
            Answer(command);
        }
    }
}

std::vector<std::string> FakeInstrument::SplitPendingLocked() {
    std::vector<std::string> complete;
    const std::string& terminator = rules_.terminator;
    if (terminator.empty()) {
        complete.push_back(std::move(pending_));
        pending_.clear();
        return complete;
    }
    for (std::size_t end; (end = pending_.find(terminator)) != std::string::npos;) {
        complete.push_back(pending_.substr(0, end));
        pending_.erase(0, end + terminator.size());
    }
    return complete;
}

// The command is counted once its reply is on its way, so a waiter that saw it may read the reply;
// and the reply is written under the same lock as the count, so whoever saw the program take the reply
// and then asks for the commands finds this one among them, however late the fake's thread runs on.
void FakeInstrument::Answer(const std::string& command) {
    Rules rules;
    {
        std::lock_guard lock(mutex_);
        rules = rules_;
    }
    const std::optional<std::string> reply = rules.silent ? std::nullopt : ReplyFor(command, rules);
    if (rules.observer)
        rules.observer(command, reply);
    const bool answers = reply && !IsHungUp() && WaitOrStop(rules.delay);
    std::lock_guard lock(mutex_);
    if (answers)
        WriteToLine(*reply);
    commands_.push_back(command);
    changed_.notify_all();
}

std::optional<std::string> FakeInstrument::ReplyFor(const std::string& command, const Rules& rules) const {
    for (const auto& [text, reply] : rules.exact)
        if (command == text)
            return reply;
    for (const auto& [prefix, reply] : rules.prefixes)
        if (command.rfind(prefix, 0) == 0)
            return reply;
    if (rules.responder)
        if (std::optional<std::string> reply = rules.responder(command))
            return reply;
    return rules.defaultReply;
}

// False when the fake is being stopped before the delay is over. Meanwhile the line still receives,
// as an instrument's does while it works: Received() shows at once what the program has sent.
bool FakeInstrument::WaitOrStop(std::chrono::milliseconds delay) {
    const auto until = std::chrono::steady_clock::now() + delay;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return true;
        pollfd fds[2] = {{masterFd_, LineEvents(), 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), kPollSliceMs))) <= 0 || fds[1].revents != 0)
            continue;
        char chunk[4096];
        const ssize_t n = (fds[0].revents & POLLIN) != 0 ? ::read(masterFd_, chunk, sizeof chunk) : 0;
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // a line hung up stays "ready"
            continue;
        }
        std::lock_guard lock(mutex_);
        received_.append(chunk, static_cast<std::size_t>(n));
        pending_.append(chunk, static_cast<std::size_t>(n));
    }
}

bool FakeInstrument::WriteToLine(const std::string& bytes) {
    std::lock_guard lock(fdMutex_);
    std::size_t written = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    while (written < bytes.size() && masterFd_ >= 0) {
        const ssize_t n = ::write(masterFd_, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            lastProgress = std::chrono::steady_clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() - lastProgress > kWriteStallLimit)
            return false;
        pollfd entry{masterFd_, POLLOUT, 0};
        ::poll(&entry, 1, kPollSliceMs);
    }
    return written == bytes.size();
}

void FakeInstrument::StopThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(wakeFd_, &one, sizeof one);
    }
    if (reader_.joinable())
        reader_.join();
}

void FakeInstrument::CloseLine() {
    for (int* fd : {&masterFd_, &slaveFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void FakeInstrument::CloseDescriptors() {
    CloseLine();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    wakeFd_ = -1;
}

}  // namespace testsupport
