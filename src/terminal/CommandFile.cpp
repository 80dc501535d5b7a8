#include "terminal/CommandFile.h"

#include "platform/TextConvert.h"

namespace terminal {
namespace {

constexpr std::string_view kDirectiveMark = "|:";
constexpr std::string_view kArrow = "<--";

bool Holds(const std::string& line, std::string_view part) { return line.find(part) != std::string::npos; }

// The text before the character that precedes the first "<--"; the text itself when it holds none.
std::string CutBeforeArrow(const std::string& text) {
    const std::size_t arrow = text.find(kArrow);
    if (arrow == std::string::npos)
        return text;
    return text.substr(0, arrow == 0 ? 0 : arrow - 1);
}

}  // namespace

CommandLineKind ClassifyCommandLine(const std::string& line) {
    if (line.empty())
        return CommandLineKind::Empty;
    if (Holds(line, kDirectiveMark))
        return CommandLineKind::Directive;
    if (Holds(line, "//"))
        return CommandLineKind::Comment;
    return CommandLineKind::Command;
}

Directive SplitDirective(const std::string& line) {
    const std::size_t mark = line.find(kDirectiveMark);
    if (mark == std::string::npos)
        return {};
    const std::string text = platform::Trim(line.substr(mark + kDirectiveMark.size()));
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos)
        return {text, ""};
    return {text.substr(0, blank), platform::Trim(text.substr(blank + 1))};
}

int WaitMilliseconds(const std::string& argument) {
    const int ms = platform::StrToIntDef(argument, 1);
    return ms < 1 ? 0 : ms;
}

std::string MarkLine(const std::string& line) { return line + std::string(kProcessingMarker); }

std::string CommandFromMarkedLine(const std::string& markedLine) {
    return platform::Trim(CutBeforeArrow(platform::Trim(markedLine)));
}

std::string UnmarkLine(const std::string& markedLine) { return CutBeforeArrow(markedLine); }

}  // namespace terminal
