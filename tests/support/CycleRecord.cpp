#include "support/CycleRecord.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Folders.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;

// Files of the folder whose names start with prefix, oldest first.
std::vector<fs::path> SavedFiles(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        const auto ta = fs::last_write_time(a);
        const auto tb = fs::last_write_time(b);
        return ta != tb ? ta < tb : a < b;
    });
    return files;
}

std::vector<std::string> FileLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A paragraph of the rich-text writer: "\cfN " + text + "\par"; the texts checked here hold no escapes.
bool ParagraphText(const std::string& line, std::string& text) {
    const std::string end = "\\par";
    const std::size_t start = line.find(' ');
    if (line.rfind("\\cf", 0) != 0 || start == std::string::npos || line.size() < start + 1 + end.size() ||
        line.compare(line.size() - end.size(), end.size(), end) != 0)
        return false;
    text = line.substr(start + 1, line.size() - end.size() - start - 1);
    return true;
}

template <class Take>
std::vector<std::string> GatherLines(const fs::path& folder, const std::string& prefix, std::size_t* files,
                                     Take take) {
    const std::vector<fs::path> saved = SavedFiles(folder, prefix);
    if (files != nullptr)
        *files = saved.size();
    std::vector<std::string> lines;
    for (const auto& file : saved)
        for (const auto& line : FileLines(file))
            take(line, lines);
    return lines;
}

// The text after "[" stamp "]  ", or false for a line without a stamp.
bool StampedText(const std::string& line, std::string& text) {
    const std::size_t close = line.find("]  ");
    if (line.empty() || line[0] != '[' || close == std::string::npos)
        return false;
    text = line.substr(close + 3);
    return true;
}

}  // namespace

std::vector<std::string> PaneSavedLines(std::size_t* files) {
    return GatherLines(platform::OrvelFolder() / "Logs", "Talvane Output", files,
                       [](const std::string& line, std::vector<std::string>& lines) { lines.push_back(line); });
}

std::size_t PaneSaveCount() { return SavedFiles(platform::OrvelFolder() / "Logs", "Talvane Output").size(); }

std::vector<std::string> LogSavedLines(std::size_t* files) {
    return GatherLines(platform::DrennickFolder() / "Logs", "Comm Log Output", files,
                       [](const std::string& line, std::vector<std::string>& lines) {
                           std::string text;
                           if (ParagraphText(line, text))
                               lines.push_back(text);
                       });
}

PairingCheck CheckPairs(const std::vector<std::string>& lines, const std::vector<std::string>& commands,
                        const std::function<std::string(const std::string&)>& replyTo) {
    PairingCheck check;
    const auto fault = [&check](const std::string& what) {
        if (check.faults++ == 0)
            check.firstFault = what;
    };
    std::size_t next = 0;
    std::optional<std::string> awaitedReply;
    for (const auto& line : lines) {
        std::string text;
        if (!StampedText(line, text))
            continue;
        if (awaitedReply) {
            const bool replied = text == *awaitedReply;
            if (!replied)
                fault("\"" + line + "\" where the reply \"" + *awaitedReply + "\" belongs");
            awaitedReply.reset();
            if (replied) {
                ++check.pairs;
                continue;
            }
        }
        const auto found = std::find(commands.begin(), commands.end(), text);
        if (found == commands.end()) {
            fault("\"" + line + "\" where a command belongs");
            continue;
        }
        const auto index = static_cast<std::size_t>(found - commands.begin());
        if (index != next % commands.size())
            fault("\"" + line + "\" where the command \"" + commands[next % commands.size()] + "\" belongs");
        next = index + 1;  // carry on from the command found, so that one lost line is one fault
        awaitedReply = replyTo(text);
    }
    if (awaitedReply)
        fault("the last command has no reply");
    return check;
}

}  // namespace testsupport
