#include "settings_transfer/QueryFile.h"

#include <cstdint>

#include "platform/TextConvert.h"

namespace settings_transfer {
namespace {

constexpr unsigned kPauseBeforeSetCommand = 50;
const std::string kCrLf = "\r\n";
const std::string kCr = "\r";

bool Holds(const std::string& text, const std::string& marker) { return text.find(marker) != std::string::npos; }

// The text before the first marker; "" when the marker is absent.
std::string Before(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(0, at);
}

// The text after the first marker; the whole text when the marker is absent.
std::string After(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? text : text.substr(at + marker.size());
}

// A query less its last character: for "RATE?" the set command "RATE".
std::string LessLast(const std::string& text) { return text.empty() ? text : text.substr(0, text.size() - 1); }

// 1-based position of the first marker, 0 when it is absent.
std::int64_t PositionOf(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    return at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

// From the 1-based position start to the end; a start below 1 counts as 1, one past the end gives "".
std::string FromPosition(const std::string& text, std::int64_t start) {
    const std::int64_t from = start < 1 ? 0 : start - 1;
    return from >= static_cast<std::int64_t>(text.size()) ? std::string() : text.substr(static_cast<std::size_t>(from));
}

// The first count characters; a count below 1 gives "".
std::string FirstChars(const std::string& text, std::int64_t count) {
    return count < 1 ? std::string() : text.substr(0, static_cast<std::size_t>(count));
}

// A whole number of a query-file field; text that is not one counts as 0.
std::int64_t NumberOf(const std::string& field) { return platform::StrToIntDef(field, 0); }

// A separator field: the two characters \r stand for CR.
std::string SeparatorOf(const std::string& field) { return field == "\\r" ? kCr : field; }

// The comma-separated fields of a typed line. A field with no "," after it reads as "", and so does
// every field after it.
class FieldReader {
public:
    explicit FieldReader(std::string text) : rest_(std::move(text)) {}
    std::string Next() {
        const std::size_t at = rest_.find(',');
        if (at == std::string::npos) {
            rest_.clear();
            return {};
        }
        std::string field = rest_.substr(0, at);
        rest_.erase(0, at + 1);
        return field;
    }
    const std::string& Rest() const { return rest_; }

private:
    std::string rest_;
};

// Start and end cuts of the extract and indexed-list lines: from p + a (p the 1-based position of the
// first A), then the first q + b characters (q that of the first B). An empty marker makes no cut.
struct Cuts {
    std::string startMarker;
    std::int64_t startOffset = 0;
    std::string endMarker;
    std::int64_t endOffset = 0;

    std::string Apply(std::string v) const {
        if (!startMarker.empty())
            v = FromPosition(v, PositionOf(v, startMarker) + startOffset);
        if (!endMarker.empty())
            v = FirstChars(v, PositionOf(v, endMarker) + endOffset);
        return v;
    }
};

Cuts ReadCuts(FieldReader& fields) {
    Cuts cuts;
    cuts.startMarker = fields.Next();
    cuts.startOffset = NumberOf(fields.Next());
    cuts.endMarker = fields.Next();
    return cuts;
}

// The text after the first separator; unchanged when there is none (or the separator is empty).
std::string AfterSeparator(const std::string& text, const std::string& separator) {
    if (separator.empty())
        return text;
    return After(text, separator);
}

// The N of a typed line: the characters after the first "|", as many as the 1-based position of the
// first "," minus 2 (for a rest that begins "|N," exactly N).
std::string TypeOf(const std::string& rest) {
    const std::int64_t count = PositionOf(rest, ",") - 2;
    const std::size_t bar = rest.find('|');
    if (count < 1 || bar == std::string::npos)
        return {};
    return rest.substr(bar + 1, static_cast<std::size_t>(count));
}

bool QualifiesAsInstruction(const std::string& line) {
    return !line.empty() && Holds(line, ",") && !Holds(line, "/*") && !Holds(line, "*/") && !Holds(line, "//");
}

}  // namespace

void CutAtMarker(std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    if (at != std::string::npos)
        text.erase(at);
}

bool IsAcknowledged(const std::string& reply) { return Holds(reply, "ok") || Holds(reply, "OK"); }

QueryInterpreter::QueryInterpreter(DownloadLink& link) : DeferredLines(kDeferredPlaces), link_(link) {}

void QueryInterpreter::Start() {
    Deferring = false;
    DeferredCount = 0;
    ClearDeferredLines();
    missing_.clear();
}

bool QueryInterpreter::ProcessLine(const std::string& line) {
    if (!QualifiesAsInstruction(line)) {
        SwitchDeferring(line);
        return false;
    }
    const std::size_t comma = line.find(',');
    RunKind(Line{line, line.substr(comma + 1), line.substr(0, comma + 1)});
    return true;
}

void QueryInterpreter::SwitchDeferring(const std::string& line) {
    if (Holds(line, "/*"))
        Deferring = true;
    if (Holds(line, "*/"))
        Deferring = false;
}

void QueryInterpreter::Finish() {
    for (std::size_t i = 0; i < DeferredCount; ++i)
        link_.AppendRestoreLine(DeferredLines[i]);
}

void QueryInterpreter::AddRestoreLine(const std::string& line) {
    if (!Deferring) {
        link_.AppendRestoreLine(line);
        return;
    }
    if (DeferredCount < DeferredLines.size())
        DeferredLines[DeferredCount] = line;
    else
        DeferredLines.push_back(line);
    ++DeferredCount;
}

void QueryInterpreter::ForgetMissingAfter(std::size_t count) {
    if (count < missing_.size())
        missing_.resize(count);
}

void QueryInterpreter::ClearLookupTable() { LookupTable.fill(LookupPair{}); }

void QueryInterpreter::ClearValueList() { ValueList.fill(std::string()); }

void QueryInterpreter::ClearDeferredLines() { DeferredLines.assign(kDeferredPlaces, std::string()); }

void QueryInterpreter::RunKind(const Line& line) {
    if (Holds(line.rest, "|"))
        RunTyped(line);
    else if (Holds(line.rest, "#"))
        RunSetCommand(line);
    else if (Holds(line.rest, "@"))
        RunDisplay(line);
    else if (Holds(line.rest, ":SYST:SERN"))
        RunSerialNumber(line);
    else
        RunPlainQuery(line);
}

std::string QueryInterpreter::QueryCut(const std::string& query, QueryMode mode, bool alsoAtCr) {
    std::string reply = link_.SendQuery(query, mode);
    CutAtMarker(reply, kCrLf);
    if (alsoAtCr)
        CutAtMarker(reply, kCr);
    return reply;
}

bool QueryInterpreter::Usable(const Line& line, const std::string& reply, const std::string& tested) {
    if (!reply.empty() && !Holds(tested, "?"))
        return true;
    missing_.push_back(line.text);
    return false;
}

void QueryInterpreter::WriteValue(const Line& line, const std::string& setCommand, const std::string& value) {
    AddRestoreLine(line.head + setCommand + " " + value);
    link_.AppendSettingsLine(line.head + value);
}

// An empty cut reply is an answer (the instrument sent only its line end); an empty raw reply is none.
void QueryInterpreter::RunPlainQuery(const Line& line) {
    const std::string raw = link_.SendQuery(line.rest, QueryMode::Data);
    std::string v = raw;
    CutAtMarker(v, kCrLf);
    if (Usable(line, raw, v))
        WriteValue(line, LessLast(line.rest), v);
}

void QueryInterpreter::RunSerialNumber(const Line& line) {
    const std::string raw = link_.SendQuery(After(line.rest, ","), QueryMode::Data);
    std::string v = raw;
    CutAtMarker(v, kCrLf);
    if (!Usable(line, raw, v))
        return;
    const std::string serial = Holds(v, " ") ? After(v, " ") : LessLast(v);
    AddRestoreLine(line.head + "*SER " + serial);
    link_.AppendSettingsLine(line.head + v);
}

void QueryInterpreter::RunDisplay(const Line& line) {
    const std::string raw = link_.SendQuery(After(line.rest, "@"), QueryMode::Data);
    std::string v = raw;
    CutAtMarker(v, kCrLf);
    if (Usable(line, raw, v))
        link_.AppendSettingsLine(line.head + v);
}

// A set command that gets no reply at all is still restored: its restore line carries no value.
void QueryInterpreter::RunSetCommand(const Line& line) {
    const std::string command = After(line.rest, "#");
    link_.Pause(kPauseBeforeSetCommand);
    const std::string reply = QueryCut(command, QueryMode::Acknowledged, false);
    if (Holds(reply, "?")) {
        missing_.push_back(line.text);
        return;
    }
    AddRestoreLine(line.head + command);
}

void QueryInterpreter::RunTyped(const Line& line) {
    const std::string type = TypeOf(line.rest);
    const std::string fields = After(line.rest, ",");
    if (type == "1")
        RunExtract(line, fields);
    else if (type == "2")
        RunLookup(line, fields);
    else if (type == "3")
        RunList(line, fields);
    else if (type == "4")
        RunIndexedList(line, fields);
}

void QueryInterpreter::RunExtract(const Line& line, const std::string& fields) {
    FieldReader reader(fields);
    const std::string query = reader.Next();
    Cuts cuts = ReadCuts(reader);
    cuts.endOffset = NumberOf(reader.Rest());
    const std::string raw = link_.SendQuery(query, QueryMode::Acknowledged);
    std::string reply = raw;
    CutAtMarker(reply, kCrLf);
    CutAtMarker(reply, kCr);
    if (Usable(line, raw, reply))
        WriteValue(line, LessLast(query), cuts.Apply(reply));
}

void QueryInterpreter::RunLookup(const Line& line, const std::string& fields) {
    ClearLookupTable();
    FieldReader reader(fields);
    const std::string query = reader.Next();
    std::size_t stored = 0;
    while (stored < kLookupPairs) {
        LookupPair& pair = LookupTable[stored++];
        pair.key = reader.Next();
        pair.value = reader.Next();
        if (pair.key.empty())
            break;
    }
    const std::string raw = link_.SendQuery(query, QueryMode::Acknowledged);
    std::string v = raw;
    CutAtMarker(v, kCrLf);
    CutAtMarker(v, kCr);
    if (!Usable(line, raw, v))
        return;
    for (std::size_t i = stored; i-- > 0;) {
        if (LookupTable[i].key == v) {
            v = LookupTable[i].value;
            break;
        }
    }
    WriteValue(line, LessLast(query), v);
}

// A piece is taken only when the separator follows it; an empty piece ends the list.
void QueryInterpreter::RunList(const Line& line, const std::string& fields) {
    FieldReader reader(fields);
    const std::string query = reader.Next();
    const std::string separator = SeparatorOf(reader.Rest());
    const std::string reply = link_.SendQuery(query, QueryMode::Acknowledged);
    if (!Usable(line, reply, reply))
        return;
    const std::string setCommand = LessLast(query);
    std::string remaining = reply;
    std::size_t k = 0;
    while (!separator.empty()) {
        const std::size_t at = remaining.find(separator);
        if (at == 0 || at == std::string::npos)
            break;
        const std::string piece = remaining.substr(0, at);
        remaining.erase(0, at + separator.size());
        AddRestoreLine(line.head + setCommand + " " + std::to_string(k++) + " " + piece);
        link_.AppendSettingsLine(line.head + piece);
    }
    if (k == 0)
        missing_.push_back(line.text);
}

// The part before the first separator is never used; each value is cut from what follows the next
// separator, until a value comes out empty or 40 are held.
void QueryInterpreter::RunIndexedList(const Line& line, const std::string& fields) {
    ClearValueList();
    FieldReader reader(fields);
    const std::string query = reader.Next();
    Cuts cuts = ReadCuts(reader);
    cuts.endOffset = NumberOf(reader.Next());
    const std::string separator = SeparatorOf(reader.Next());
    const std::int64_t index = NumberOf(reader.Rest());
    const std::string reply = link_.SendQuery(query, QueryMode::Acknowledged);
    if (!Usable(line, reply, reply))
        return;
    std::string remaining = reply;
    for (std::size_t held = 0; held < kValues;) {
        remaining = AfterSeparator(remaining, separator);
        const std::string v = cuts.Apply(remaining);
        if (v.empty())
            break;
        ValueList[held++] = v;
    }
    const bool inList = index >= 0 && index < static_cast<std::int64_t>(kValues);
    const std::string value = inList ? ValueList[static_cast<std::size_t>(index)] : std::string();
    WriteValue(line, LessLast(query), value);
}

std::optional<RestoreCommand> ParseRestoreLine(const std::string& line) {
    if (line.empty() || Holds(line, "//") || !Holds(line, ","))
        return std::nullopt;
    return RestoreCommand{Before(line, ","), After(line, ",")};
}

std::string UploadSettingsLine(const RestoreCommand& restore) {
    return restore.label + "," + After(restore.command, " ");
}

bool ProgressTicker::Tick() {
    if (++tick_ < steps_)
        return false;
    tick_ = 0;
    return true;
}

std::string ListForMessage(const std::vector<std::string>& lines, std::size_t maxShown, std::size_t maxLength) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < maxShown; ++i) {
        text += (i == 0 ? "" : "\r\n") + lines[i].substr(0, maxLength);
        if (lines[i].size() > maxLength)
            text += "...";
    }
    if (lines.size() > maxShown)
        text += "\r\n... and " + std::to_string(lines.size() - maxShown) + " more";
    return text;
}

}  // namespace settings_transfer
