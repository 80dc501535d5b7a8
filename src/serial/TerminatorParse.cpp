#include "serial/TerminatorParse.h"

#include "platform/TextConvert.h"

namespace serial {
namespace {

char HexByte(const std::string& part) {
    const int value = platform::StrToInt("0x" + part);
    return static_cast<char>(static_cast<unsigned>(value) & 0xFFu);
}

}  // namespace

bool BreaksCommaRule(const std::string& text) {
    return text.size() > 2 && text.find(',') == std::string::npos;
}

std::string ConvertTerminatorText(const std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::string(1, HexByte(text));
    std::string bytes(1, HexByte(text.substr(0, comma)));
    bytes += HexByte(text.substr(comma + 1));
    return bytes;
}

std::optional<std::string> ParseTerminatorBytes(const std::string& text) {
    try {
        return ConvertTerminatorText(text);
    } catch (const platform::EConvertError&) {
        return std::nullopt;
    }
}

std::string FormatTerminatorBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!text.empty())
            text += ',';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

TerminatorApplied ApplyTerminatorText(const std::string& text, std::string& terminatorText,
                                      std::string& terminatorBytes, bool& terminatorChanged,
                                      const ConversionErrorReport& reportError) {
    if (text.empty())
        return TerminatorApplied::Unchanged;
    terminatorChanged = false;
    try {
        std::string bytes = ConvertTerminatorText(text);
        terminatorText = text;
        terminatorBytes = std::move(bytes);
        return TerminatorApplied::Stored;
    } catch (const platform::EConvertError& error) {
        if (reportError)
            reportError(error.what());
        return TerminatorApplied::Rejected;
    }
}

}  // namespace serial
