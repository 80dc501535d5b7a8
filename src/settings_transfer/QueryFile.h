#pragma once
// The instrument query file (.iqf) and the instrument restore file (.irf) as text: the interpreter
// that turns each query-file line into queries and into restore lines and settings lines, and the
// reading of restore-file lines for the upload. No window and no port: the interpreter reaches the
// instrument and its output buffers through a DownloadLink.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace settings_transfer {

// What the instrument is expected to answer: an acknowledgement ("ok"/"OK") or data.
enum class QueryMode : int { Acknowledged = 1, Data = 3 };

// When the marker occurs in text, text becomes what stands before its first occurrence.
void CutAtMarker(std::string& text, const std::string& marker);

// The reply holds "ok" or "OK" (case-sensitive: "Ok" is neither).
bool IsAcknowledged(const std::string& reply);

// The interpreter's surroundings: the instrument, the pauses, and the two output buffers.
class DownloadLink {
public:
    virtual ~DownloadLink() = default;
    // One exchange; the reply as read (CR and LF included), "" when nothing came.
    virtual std::string SendQuery(const std::string& command, QueryMode mode) = 0;
    virtual void Pause(unsigned ms) = 0;
    virtual void AppendRestoreLine(const std::string& line) = 0;
    virtual void AppendSettingsLine(const std::string& line) = 0;
};

struct LookupPair {
    std::string key;
    std::string value;
};

// Runs a query file line by line: Start, ProcessLine for each line, Finish.
//
// Restore lines of the lines between a "/*" line and a "*/" line are held back and follow all the
// others at Finish. A line whose query gets no reply at all, or a reply that the instrument marks as
// an error ("?"), writes nothing; it is listed in MissingLines so the operator can be told.
class QueryInterpreter {
public:
    static constexpr std::size_t kLookupPairs = 40;
    static constexpr std::size_t kValues = 40;
    static constexpr std::size_t kDeferredPlaces = 1000;

    explicit QueryInterpreter(DownloadLink& link);

    void Start();
    // Returns whether the line qualified (was an instruction rather than a comment or blank).
    bool ProcessLine(const std::string& line);
    // Appends the held-back restore lines.
    void Finish();

    // While Deferring, restore lines are held back; beyond the 1000 places the store grows, so no
    // restore line is ever lost.
    void AddRestoreLine(const std::string& line);
    void ClearLookupTable();
    void ClearValueList();
    void ClearDeferredLines();

    // Query-file lines whose queries were sent and that wrote nothing, in order.
    const std::vector<std::string>& MissingLines() const { return missing_; }
    // Forgets the missing lines listed after the first count (their error was already shown).
    void ForgetMissingAfter(std::size_t count);

    std::array<LookupPair, kLookupPairs> LookupTable;
    std::array<std::string, kValues> ValueList;
    std::vector<std::string> DeferredLines;
    std::size_t DeferredCount = 0;
    bool Deferring = false;

private:
    struct Line {
        std::string text;  // the whole query-file line
        std::string rest;  // after the label's comma
        std::string head;  // label + ","
    };

    void SwitchDeferring(const std::string& line);
    void RunKind(const Line& line);
    void RunPlainQuery(const Line& line);
    void RunSerialNumber(const Line& line);
    void RunDisplay(const Line& line);
    void RunSetCommand(const Line& line);
    void RunTyped(const Line& line);
    void RunExtract(const Line& line, const std::string& fields);
    void RunLookup(const Line& line, const std::string& fields);
    void RunList(const Line& line, const std::string& fields);
    void RunIndexedList(const Line& line, const std::string& fields);
    // The reply cut at CR LF (and at CR too when alsoAtCr).
    std::string QueryCut(const std::string& query, QueryMode mode, bool alsoAtCr);
    // False (and the line listed as missing) when the reply is empty or tested holds "?".
    bool Usable(const Line& line, const std::string& reply, const std::string& tested);
    void WriteValue(const Line& line, const std::string& setCommand, const std::string& value);

    DownloadLink& link_;
    std::vector<std::string> missing_;
};

// A restore-file line as the upload sends it: the label and the command after the first ",".
struct RestoreCommand {
    std::string label;
    std::string command;
};

// Nothing for a line the upload skips: empty, holding "//", or without ",".
std::optional<RestoreCommand> ParseRestoreLine(const std::string& line);

// The settings line the upload shows for a command: label "," the command's text after its first
// blank (the whole command when it holds none).
std::string UploadSettingsLine(const RestoreCommand& restore);

// The download and upload bars step once every steps lines: 1 for up to 99 lines, 2 for 100-199, ...
class ProgressTicker {
public:
    explicit ProgressTicker(std::size_t lineCount) : steps_(lineCount / 100 + 1) {}
    // Counts one line; true when the bar steps.
    bool Tick();

private:
    std::size_t steps_;
    std::size_t tick_ = 0;
};

// A list of file lines for a message box: one a line, each cut after maxLength characters (marked
// "..."), at most maxShown lines, then how many more there are.
std::string ListForMessage(const std::vector<std::string>& lines, std::size_t maxShown = 10,
                           std::size_t maxLength = 80);

}  // namespace settings_transfer
