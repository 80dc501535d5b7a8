#pragma once
// Texts for driving a fake instrument by hand: escapes, terminator bytes and reply-rule files.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeInstrument.h"

namespace testsupport {

// Makes \r \n \t \0 \\ and \xHH (two hexadecimal digits) into their bytes; nothing for another
// escape or a lone backslash at the end.
std::optional<std::string> Unescape(const std::string& text);

// Shows bytes printably: \r \n \t \\ and \xHH for the other bytes outside 32..126.
std::string Escape(const std::string& bytes);

// "0D,0A" or "0D": one or two hexadecimal byte values separated by a comma.
std::optional<std::string> ParseHexBytes(const std::string& text);

struct ReplyRule {
    enum class Kind { Exact, Prefix };
    Kind kind = Kind::Exact;
    std::string text;   // the command, or the prefix of commands
    std::string reply;  // sent exactly as written: give the line end as \r\n
};

struct ReplyRules {
    std::vector<ReplyRule> rules;
    std::string error;  // "line N: ..." for the first line that is wrong; empty when all are good
};

// Lines "exact <command> => <reply>" and "prefix <text> => <reply>", escapes allowed on both sides;
// blank lines and lines whose first non-blank character is '#' are skipped.
ReplyRules ParseReplyRules(std::istream& in);

void ApplyReplyRules(FakeInstrument& fake, const std::vector<ReplyRule>& rules);

}  // namespace testsupport
