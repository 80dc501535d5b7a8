#pragma once
// "Talvane Config.txt": the port settings, the terminator text, the selected group and the ten command
// groups, one value per line, 168 lines. Reading and writing; the file is replaced through
// platform::SaveTextAtomically.
//
// Lines: 1 port name (word), 2 baud text (word), 3 baud rate, 4 data-bits code, 5 parity code,
// 6 stop-bits code (numbers), 7 terminator text (word), 8 selected group index (number), then for each
// group g = 0..9 at 9 + 16g: its name, five common strings, ten history commands (texts).
//
// Readings: a word is the first run of characters other than blanks and tabs; a number is a decimal
// integer within 32 bits, optionally signed, after blanks and tabs, with anything after it ignored; a
// text is the line without its leading blanks and tabs.
// Line ends: LF or CR LF. A CR elsewhere ends the line's value: what follows it up to the LF is
// ignored, so a value never holds a CR and the line count is that of the LFs.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace terminal {

inline constexpr int kConfigLineCount = 168;
inline constexpr int kConfigGroupCount = 10;
inline constexpr int kConfigHeaderLines = 8;
inline constexpr int kCommonStringCount = 5;
inline constexpr int kHistoryCount = 10;

struct ConfigGroup {
    std::string GroupName;
    std::array<std::string, kCommonStringCount> CommandStrings;
    std::array<std::string, kHistoryCount> Commands;

    bool operator==(const ConfigGroup&) const = default;
};

// The values of the file. A header value is empty (std::nullopt) when reading stopped before its
// line; the caller then keeps its field as it was (a missing GroupIndex selects group 0).
struct ConfigValues {
    std::optional<std::string> PortName;        // line 1
    std::optional<std::string> BaudString;      // line 2
    std::optional<int> BaudRate;                // line 3
    std::optional<int> DataBits;                // line 4: code 1, 2, 4, 8
    std::optional<int> Parity;                  // line 5: 0..4
    std::optional<int> StopBits;                // line 6: 0..2
    std::optional<std::string> TerminatorText;  // line 7: given to serial::ApplyTerminatorText
    std::optional<int> GroupIndex;              // line 8: any number; -1 or 10 and above select none
    std::array<ConfigGroup, kConfigGroupCount> CommandGroups;  // lines not read are empty texts

    bool operator==(const ConfigValues&) const = default;
};

struct ConfigReadResult {
    ConfigValues values;
    // Lines taken from the text (0..168). Line linesRead + 1 and all after it count as missing.
    int linesRead = 0;
    // The text was shorter than 168 lines or a number line did not begin with a number. Such a file
    // should be kept (KeepBadCopy) before it is written over.
    bool stoppedEarly = false;
};

ConfigReadResult ReadConfigText(std::string_view text);

// The 168 lines, each ended by CR LF. Numbers in decimal, words and texts as held, except that a CR or
// LF inside a value is written as a blank so that it cannot break the line layout. A missing header
// value ends the text before its line, so that it reads back missing, as it was read.
std::string FormatConfigText(const ConfigValues& values);

// COMX, 9600, 9600, 8, 0, 0, 0D,0A, 0; groups "GROUP1".."GROUP10", strings "Empty", history "Command".
ConfigValues DefaultConfigValues();
std::string DefaultConfigText();

// The file's text (its first 16 MiB at most), or nothing when it cannot be opened or read.
std::optional<std::string> ReadFileText(const std::filesystem::path& path);

// path + ".bad" ("Talvane Config.txt.bad").
std::filesystem::path BadCopyPath(const std::filesystem::path& path);

// Copies the file to BadCopyPath(path), replacing an older copy (platform::SaveFileAtomically). False when the file cannot be read or
// the copy cannot be written.
bool KeepBadCopy(const std::filesystem::path& path);

}  // namespace terminal
