#pragma once
// Lines of a command file as the file cycle works through them: commands, comments, directives
// ("|:WAIT 250", "|:HALT"), and the marker " <--" shown on the line in progress.
#include <string>
#include <string_view>

namespace terminal {

enum class CommandLineKind {
    Empty,      // no character at all: skipped, no delay
    Comment,    // holds "//" and no "|:": skipped, no delay
    Directive,  // holds "|:" (also with "//")
    Command,    // anything else, a line of blanks included: sent, then the command delay
};

CommandLineKind ClassifyCommandLine(const std::string& line);

struct Directive {
    std::string Keyword;   // "HALT", "WAIT"; compared exactly
    std::string Argument;  // the rest after the first blank, trimmed
};

// The text after the first "|:", trimmed (platform::Trim); the keyword runs up to its first blank.
// A line without "|:" gives an empty keyword.
Directive SplitDirective(const std::string& line);

// Milliseconds a WAIT directive waits: its argument as an integer (platform::StrToIntDef), 1 when it is
// missing or no integer, 0 when below 1.
int WaitMilliseconds(const std::string& argument);

inline constexpr std::string_view kProcessingMarker = " <--";

// The line as the window shows it while it is processed.
std::string MarkLine(const std::string& line);

// The command of a marked line: trimmed, cut before the character that precedes its first "<--", and
// trimmed again. A line that starts (after trimming) with "<--" gives an empty command.
std::string CommandFromMarkedLine(const std::string& markedLine);

// The window line once processed: cut before the character that precedes its first "<--"; empty when
// "<--" stands at its start. A line holding no "<--" (edited meanwhile) is left as it is.
std::string UnmarkLine(const std::string& markedLine);

}  // namespace terminal
