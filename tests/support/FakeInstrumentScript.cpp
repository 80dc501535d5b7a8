#include "support/FakeInstrumentScript.h"

#include <cstdio>

namespace testsupport {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<char> HexByte(const std::string& digits) {
    int value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<char>(value);
}

std::optional<char> SimpleEscape(char c) {
    switch (c) {
        case 'r': return '\r';
        case 'n': return '\n';
        case 't': return '\t';
        case '0': return '\0';
        case '\\': return '\\';
        default: return std::nullopt;
    }
}

std::optional<ReplyRule> ParseRuleLine(const std::string& line) {
    const std::string separator = " => ";
    const std::size_t space = line.find(' ');
    const std::size_t arrow = line.find(separator);
    if (space == std::string::npos || arrow == std::string::npos || arrow <= space)
        return std::nullopt;
    const std::string keyword = line.substr(0, space);
    if (keyword != "exact" && keyword != "prefix")
        return std::nullopt;
    const std::optional<std::string> text = Unescape(line.substr(space + 1, arrow - space - 1));
    const std::optional<std::string> reply = Unescape(line.substr(arrow + separator.size()));
    if (!text || !reply || text->empty())
        return std::nullopt;
    return ReplyRule{keyword == "exact" ? ReplyRule::Kind::Exact : ReplyRule::Kind::Prefix, *text, *reply};
}

bool IsBlankOrComment(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

std::optional<std::string> Unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            return std::nullopt;
        const char kind = text[++i];
        if (kind == 'x') {
            const std::optional<char> byte = i + 2 < text.size() ? HexByte(text.substr(i + 1, 2)) : std::nullopt;
            if (!byte)
                return std::nullopt;
            bytes += *byte;
            i += 2;
            continue;
        }
        const std::optional<char> simple = SimpleEscape(kind);
        if (!simple)
            return std::nullopt;
        bytes += *simple;
    }
    return bytes;
}

std::string Escape(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\\')
            text += "\\\\";
        else if (code < 32 || code > 126) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            text += hex;
        } else
            text += c;
    }
    return text;
}

std::optional<std::string> ParseHexBytes(const std::string& text) {
    const std::size_t comma = text.find(',');
    const std::string first = text.substr(0, comma);
    const std::string second = comma == std::string::npos ? "" : text.substr(comma + 1);
    if (first.empty() || first.size() > 2 || second.size() > 2 || (comma != std::string::npos && second.empty()))
        return std::nullopt;
    std::string bytes;
    for (const std::string& digits : {first, second}) {
        if (digits.empty())
            continue;
        const std::optional<char> byte = HexByte(digits);
        if (!byte)
            return std::nullopt;
        bytes += *byte;
    }
    return bytes;
}

ReplyRules ParseReplyRules(std::istream& in) {
    ReplyRules result;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (IsBlankOrComment(line))
            continue;
        const std::optional<ReplyRule> rule = ParseRuleLine(line);
        if (!rule) {
            result.error = "line " + std::to_string(number) +
                           ": expected 'exact <command> => <reply>' or 'prefix <text> => <reply>'";
            return result;
        }
        result.rules.push_back(*rule);
    }
    return result;
}

void ApplyReplyRules(FakeInstrument& fake, const std::vector<ReplyRule>& rules) {
    for (const ReplyRule& rule : rules) {
        if (rule.kind == ReplyRule::Kind::Exact)
            fake.ReplyExact(rule.text, rule.reply);
        else
            fake.ReplyPrefix(rule.text, rule.reply);
    }
}

}  // namespace testsupport
