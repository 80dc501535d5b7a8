#include "ui/RtfWriter.h"

#include <algorithm>
#include <string_view>

namespace ui {
namespace {

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n";

// The lines' colours in order of first use; a line's colour is number index + 1 (0 is "auto").
std::vector<std::uint32_t> ColourTable(const std::vector<ColouredLine>& lines) {
    std::vector<std::uint32_t> colours;
    for (const auto& line : lines)
        if (std::find(colours.begin(), colours.end(), line.rgb) == colours.end())
            colours.push_back(line.rgb);
    return colours;
}

std::size_t ColourNumber(const std::vector<std::uint32_t>& colours, std::uint32_t rgb) {
    return static_cast<std::size_t>(std::find(colours.begin(), colours.end(), rgb) - colours.begin()) + 1;
}

std::string ColourTableText(const std::vector<std::uint32_t>& colours) {
    std::string text = "{\\colortbl ;";
    for (const std::uint32_t rgb : colours)
        text += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) +
                "\\blue" + std::to_string(rgb & 0xFF) + ";";
    return text + "}\r\n";
}

void AppendHexEscape(std::string& rtf, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    rtf += "\\'";
    rtf += kDigits[byte >> 4];
    rtf += kDigits[byte & 0x0F];
}

void AppendEscaped(std::string& rtf, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\' || byte == '{' || byte == '}') {
            rtf += '\\';
            rtf += text[i];
        } else if (byte >= 0x80) {
            AppendHexEscape(rtf, byte);
        } else if (byte == '\t') {
            rtf += "\\tab ";
        } else if (byte == '\n' || byte == '\r') {
            if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            rtf += "\\line ";
        } else if (byte >= 0x20 && byte != 0x7F) {
            rtf += text[i];
        }
    }
}

}  // namespace

std::string LinesToRtf(const std::vector<ColouredLine>& lines) {
    const std::vector<std::uint32_t> colours = ColourTable(lines);
    std::string rtf(kHeader);
    rtf += ColourTableText(colours);
    rtf += "\\viewkind4\\uc1\\pard\\f0\\fs20\r\n";
    for (const auto& line : lines) {
        rtf += "\\cf" + std::to_string(ColourNumber(colours, line.rgb)) + ' ';
        AppendEscaped(rtf, line.text);
        rtf += "\\par\r\n";
    }
    return rtf + "}\r\n";
}

std::string LinesToPlainText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace ui
