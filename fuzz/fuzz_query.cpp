// Runs any text as an instrument query file against an instrument whose replies come from the same
// input, then reads every restore line as the upload would.
//
// Input: the query file, a NUL byte, then the replies separated by 0x01 bytes, given out in order
// (an exhausted list answers nothing). Checks: one query at most a line; every output line of a line
// begins with that line's label and its comma; the held-back restore lines come last and all of
// them; the upload reads each restore line back to its label.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings_transfer/QueryFile.h"

namespace {

using settings_transfer::QueryMode;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Lines as the window's buffers read a file: CR LF, CR or LF end a line; a last empty line is dropped.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

std::vector<std::string> SplitReplies(std::string_view text) {
    std::vector<std::string> replies(1);
    for (const char c : text) {
        if (c == '\x01')
            replies.emplace_back();
        else
            replies.back() += c;
    }
    return replies;
}

class ReplayedInstrument : public settings_transfer::DownloadLink {
public:
    explicit ReplayedInstrument(std::vector<std::string> replies) : replies_(std::move(replies)) {}

    std::string SendQuery(const std::string&, QueryMode mode) override {
        Check(mode == QueryMode::Acknowledged || mode == QueryMode::Data);
        ++queries;
        return next_ < replies_.size() ? replies_[next_++] : std::string();
    }
    void Pause(unsigned ms) override { Check(ms == 50); }
    void AppendRestoreLine(const std::string& line) override { restore.push_back(line); }
    void AppendSettingsLine(const std::string& line) override { settings.push_back(line); }

    std::size_t queries = 0;
    std::vector<std::string> restore;
    std::vector<std::string> settings;

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
};

// What one line added, checked against its label.
void CheckLineOutput(const std::string& line, const ReplayedInstrument& instrument, std::size_t restoreBefore,
                     std::size_t settingsBefore, std::size_t deferredBefore,
                     const settings_transfer::QueryInterpreter& interpreter) {
    const std::string head = line.substr(0, line.find(',') + 1);
    for (std::size_t i = restoreBefore; i < instrument.restore.size(); ++i)
        Check(StartsWith(instrument.restore[i], head));
    for (std::size_t i = settingsBefore; i < instrument.settings.size(); ++i)
        Check(StartsWith(instrument.settings[i], head));
    for (std::size_t i = deferredBefore; i < interpreter.DeferredCount; ++i)
        Check(StartsWith(interpreter.DeferredLines[i], head));
}

void CheckUploadReadsBack(const std::vector<std::string>& restore) {
    for (const std::string& line : restore) {
        const auto parsed = settings_transfer::ParseRestoreLine(line);
        if (line.find("//") != std::string::npos) {
            Check(!parsed.has_value());
            continue;
        }
        Check(parsed.has_value());
        Check(line == parsed->label + "," + parsed->command);
        Check(StartsWith(settings_transfer::UploadSettingsLine(*parsed), parsed->label + ","));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::vector<std::string> lines = SplitLines(input.substr(0, split));
    ReplayedInstrument instrument(split == std::string_view::npos ? std::vector<std::string>{}
                                                                  : SplitReplies(input.substr(split + 1)));
    settings_transfer::QueryInterpreter interpreter(instrument);

    interpreter.Start();
    std::size_t qualifying = 0;
    for (const std::string& line : lines) {
        const std::size_t queriesBefore = instrument.queries;
        const std::size_t restoreBefore = instrument.restore.size();
        const std::size_t settingsBefore = instrument.settings.size();
        const std::size_t deferredBefore = interpreter.DeferredCount;
        const bool qualified = interpreter.ProcessLine(line);
        qualifying += qualified ? 1 : 0;
        Check(instrument.queries - queriesBefore <= (qualified ? 1u : 0u));
        Check(interpreter.Deferring ? instrument.restore.size() == restoreBefore
                                    : interpreter.DeferredCount == deferredBefore);
        if (qualified)
            CheckLineOutput(line, instrument, restoreBefore, settingsBefore, deferredBefore, interpreter);
    }
    const std::size_t direct = instrument.restore.size();
    interpreter.Finish();
    Check(instrument.restore.size() == direct + interpreter.DeferredCount);
    for (std::size_t i = 0; i < interpreter.DeferredCount; ++i)
        Check(instrument.restore[direct + i] == interpreter.DeferredLines[i]);
    Check(interpreter.MissingLines().size() <= qualifying);

    CheckUploadReadsBack(instrument.restore);
    return 0;
}
