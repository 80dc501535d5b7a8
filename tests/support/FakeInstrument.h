#pragma once
// A fake instrument on a pseudo-terminal, mapped to a COM name through a link in the ports folder.
// It records every byte the program sends, splits it into commands at the terminator, and answers
// each command by its rules. All members are safe to call from any thread.
#include <termios.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/SerialLine.h"

namespace testsupport {

class FakeInstrument {
public:
    // Gives the reply to a command, or nothing to leave the command to the later rules.
    using Responder = std::function<std::optional<std::string>(const std::string& command)>;
    // Told of every command on the fake's own thread, with the reply it gets (nothing when silent).
    using Observer = std::function<void(const std::string& command, const std::optional<std::string>& reply)>;

    // Opens the pseudo-terminal and links PortsFolder()/comName to its slave (creating the folder).
    // An earlier fake's link there is replaced; any other entry of that name raises runtime_error.
    explicit FakeInstrument(std::string comName = "COM3");
    ~FakeInstrument();
    FakeInstrument(const FakeInstrument&) = delete;
    FakeInstrument& operator=(const FakeInstrument&) = delete;

    // The name of the thread that reads and answers the line.
    static constexpr const char* kThreadName = "fake-instrument";

    const std::string& ComName() const { return comName_; }
    const std::string& SlavePath() const { return slavePath_; }
    std::filesystem::path LinkPath() const;

    // Received bytes are split into commands at the terminator (default "\r\n"); an empty
    // terminator makes every chunk read from the line one command.
    void SetTerminator(std::string terminator);

    // Reply rules, tried in this order: exact text, prefixes in the order given, the responder,
    // then the default reply ("OK\r\n").
    void ReplyDefault(std::string reply);
    void ReplyExact(std::string command, std::string reply);
    void ReplyPrefix(std::string prefix, std::string reply);
    void ReplyWith(Responder responder);
    void SetSilent(bool silent);
    void SetDelay(std::chrono::milliseconds delay);
    void OnCommand(Observer observer);

    // Bytes sent at once, not as a reply (NULs allowed). False once the line is hung up or stuck.
    bool SendUnsolicited(const std::string& bytes);
    // Sends n bytes of FloodPattern(n).
    bool Flood(std::size_t n);
    // Printable bytes, each differing from its neighbours, for checking long replies by content.
    static std::string FloodPattern(std::size_t n);

    // The instrument stops reading and the line fills up, as with a controller or an adapter that takes
    // no more data: a write to the line then finds no room. For good (a test that needs the line again
    // makes a new fake).
    void StopReading();

    // The device vanishes: master and slave are closed and the link removed. From a reply rule or an
    // observer (the fake's own thread) it vanishes at that command: the command is counted, but gets no
    // reply, and nothing after it is read; so a test can hang up at the Nth command, whatever the load.
    void HangUp();
    bool IsHungUp() const;

    std::vector<std::string> Commands() const;  // without their terminator
    std::string Received() const;               // every byte, as it came
    std::size_t CommandCount() const;
    // Waits until at least n commands have come; false when timeout passed first.
    bool WaitForCommands(std::size_t n, std::chrono::milliseconds timeout) const;
    void ClearReceived();

    // The line settings of the device, read through the slave kept open (zeroed after HangUp).
    // A pseudo-terminal keeps 8 data bits and no parity enable whatever is asked; the parity kind
    // (PARODD, CMSPAR), stop bits and speed it does keep.
    termios LineSettings() const;
    // What the program last applied to this line through the device layer, data bits and parity
    // included; nothing before it applied any.
    std::optional<platform::LineSettings> AppliedLineSettings() const;
    void SetLineSettings(const termios& settings);
    // Back to the settings it started with (raw, 9600 baud, 8N1), as a device that everybody
    // closed and that lost what the program had set.
    void ResetLineSettings();

private:
    struct Rules {
        std::string terminator = "\r\n";
        std::string defaultReply = "OK\r\n";
        std::vector<std::pair<std::string, std::string>> exact;
        std::vector<std::pair<std::string, std::string>> prefixes;
        Responder responder;
        Observer observer;
        bool silent = false;
        std::chrono::milliseconds delay{0};
    };

    void CreateLink();
    void RemoveLink();
    void Run();
    void TakeBytes(const char* data, std::size_t size);
    std::vector<std::string> SplitPendingLocked();
    void Answer(const std::string& command);
    std::optional<std::string> ReplyFor(const std::string& command, const Rules& rules) const;
    bool WaitOrStop(std::chrono::milliseconds delay);
    short LineEvents() const;
    bool WriteToLine(const std::string& bytes);
    void StopThread();
    bool OnOwnThread() const;
    void CloseLine();
    void CloseDescriptors();

    const std::string comName_;
    std::string slavePath_;
    int masterFd_ = -1;
    int slaveFd_ = -1;
    int wakeFd_ = -1;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Rules rules_;
    std::string received_;
    std::string pending_;
    std::vector<std::string> commands_;
    bool stopping_ = false;
    bool hungUp_ = false;
    std::atomic<bool> reading_{true};  // asked by the fake's thread before each look at the line

    mutable std::mutex fdMutex_;  // writes to the line and uses of the descriptors, against HangUp
    std::thread reader_;
};

}  // namespace testsupport
