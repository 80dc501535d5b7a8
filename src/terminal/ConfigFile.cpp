#include "terminal/ConfigFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>

#include "platform/FileSave.h"

namespace terminal {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    return line.substr(first);
}

std::string ReadWord(std::string_view line) {
    const std::string_view rest = SkipBlanks(line);
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end]))
        ++end;
    return std::string(rest.substr(0, end));
}

// A decimal integer within 32 bits at the line's start (after blanks); nothing when there is none.
std::optional<int> ReadNumber(std::string_view line) {
    const std::string_view rest = SkipBlanks(line);
    std::size_t i = 0;
    const bool negative = i < rest.size() && rest[i] == '-';
    if (i < rest.size() && (rest[i] == '-' || rest[i] == '+'))
        ++i;
    const std::size_t firstDigit = i;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        value = value * 10 + (rest[i] - '0');
        if (value > limit)
            return std::nullopt;
    }
    if (i == firstDigit)
        return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

// Hands out the values of the file's lines in order, until the text ends or a number is unreadable.
class ConfigReader {
public:
    explicit ConfigReader(std::string_view text) : rest_(text) {}

    bool Word(std::optional<std::string>& value) {
        const auto line = NextLine();
        if (line)
            value = ReadWord(*line);
        return line.has_value();
    }

    bool Number(std::optional<int>& value) {
        const auto line = NextLine();
        if (!line)
            return false;
        value = ReadNumber(*line);
        if (!value) {
            --linesRead_;  // the unreadable line counts as missing
            stopped_ = true;
        }
        return value.has_value();
    }

    bool Text(std::string& value) {
        const auto line = NextLine();
        if (line)
            value = std::string(SkipBlanks(*line));
        return line.has_value();
    }

    int LinesRead() const { return linesRead_; }
    bool StoppedEarly() const { return stopped_ || linesRead_ < kConfigLineCount; }

private:
    std::optional<std::string_view> NextLine() {
        if (stopped_ || rest_.empty() || linesRead_ == kConfigLineCount)
            return std::nullopt;
        const std::size_t lf = rest_.find('\n');
        std::string_view line = rest_.substr(0, lf);
        rest_ = lf == std::string_view::npos ? std::string_view() : rest_.substr(lf + 1);
        ++linesRead_;
        return line.substr(0, line.find('\r'));
    }

    std::string_view rest_;
    int linesRead_ = 0;
    bool stopped_ = false;
};

bool ReadHeader(ConfigReader& reader, ConfigValues& v) {
    return reader.Word(v.PortName) && reader.Word(v.BaudString) && reader.Number(v.BaudRate) &&
           reader.Number(v.DataBits) && reader.Number(v.Parity) && reader.Number(v.StopBits) &&
           reader.Word(v.TerminatorText) && reader.Number(v.GroupIndex);
}

bool ReadGroup(ConfigReader& reader, ConfigGroup& group) {
    if (!reader.Text(group.GroupName))
        return false;
    for (auto& text : group.CommandStrings)
        if (!reader.Text(text))
            return false;
    for (auto& text : group.Commands)
        if (!reader.Text(text))
            return false;
    return true;
}

// Collects the lines of the file; stops at the first missing header value.
class ConfigWriter {
public:
    template <typename T>
    bool Value(const std::optional<T>& value) {
        if (value)
            Line(*value);
        return value.has_value();
    }

    void Line(const std::string& value) {
        for (const char c : value)
            text_ += c == '\r' || c == '\n' ? ' ' : c;
        text_ += "\r\n";
    }

    void Line(int value) { Line(std::to_string(value)); }

    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

bool WriteHeader(ConfigWriter& writer, const ConfigValues& v) {
    return writer.Value(v.PortName) && writer.Value(v.BaudString) && writer.Value(v.BaudRate) &&
           writer.Value(v.DataBits) && writer.Value(v.Parity) && writer.Value(v.StopBits) &&
           writer.Value(v.TerminatorText) && writer.Value(v.GroupIndex);
}

void WriteGroup(ConfigWriter& writer, const ConfigGroup& group) {
    writer.Line(group.GroupName);
    for (const auto& text : group.CommandStrings)
        writer.Line(text);
    for (const auto& text : group.Commands)
        writer.Line(text);
}

// More than this is never read: the 168 lines of any sound file are far shorter.
constexpr std::size_t kMaxConfigFileBytes = std::size_t{16} << 20;

// Calls consume with each chunk read from fd until its end (true) or a failure (false).
bool ReadChunks(int fd, std::size_t limit, const std::function<bool(std::string_view)>& consume) {
    char buffer[65536];
    std::size_t total = 0;
    while (total < limit) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, limit - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
        if (!consume(std::string_view(buffer, static_cast<std::size_t>(got))))
            return false;
    }
    return true;
}

}  // namespace

ConfigReadResult ReadConfigText(std::string_view text) {
    ConfigReader reader(text);
    ConfigReadResult result;
    if (ReadHeader(reader, result.values))
        for (auto& group : result.values.CommandGroups)
            if (!ReadGroup(reader, group))
                break;
    result.linesRead = reader.LinesRead();
    result.stoppedEarly = reader.StoppedEarly();
    return result;
}

std::string FormatConfigText(const ConfigValues& values) {
    ConfigWriter writer;
    if (WriteHeader(writer, values))
        for (const auto& group : values.CommandGroups)
            WriteGroup(writer, group);
    return writer.Take();
}

ConfigValues DefaultConfigValues() {
    ConfigValues v;
    v.PortName = "COMX";
    v.BaudString = "9600";
    v.BaudRate = 9600;
    v.DataBits = 8;
    v.Parity = 0;
    v.StopBits = 0;
    v.TerminatorText = "0D,0A";
    v.GroupIndex = 0;
    for (int g = 0; g < kConfigGroupCount; ++g) {
        auto& group = v.CommandGroups[static_cast<std::size_t>(g)];
        group.GroupName = "GROUP" + std::to_string(g + 1);
        group.CommandStrings.fill("Empty");
        group.Commands.fill("Command");
    }
    return v;
}

std::string DefaultConfigText() { return FormatConfigText(DefaultConfigValues()); }

std::optional<std::string> ReadFileText(const std::filesystem::path& path) {
    platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return std::nullopt;
    std::string text;
    const bool read = ReadChunks(file.Get(), kMaxConfigFileBytes, [&text](std::string_view chunk) {
        text += chunk;
        return true;
    });
    if (!read)
        return std::nullopt;
    return text;
}

std::filesystem::path BadCopyPath(const std::filesystem::path& path) {
    std::filesystem::path copy = path;
    copy += ".bad";
    return copy;
}

bool KeepBadCopy(const std::filesystem::path& path) {
    platform::FileDescriptor source(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0)
        return false;
    return platform::SaveFileAtomically(BadCopyPath(path), [&source](int fd) {
        const auto copy = [fd](std::string_view chunk) { return platform::WriteAll(fd, chunk); };
        return ReadChunks(source.Get(), SIZE_MAX, copy);
    });
}

}  // namespace terminal
