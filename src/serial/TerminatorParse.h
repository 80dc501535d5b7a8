#pragma once
// The command terminator: the operator's text ("0D,0A", "D") naming the one or two bytes appended to
// every command, its comma rule and its conversion into bytes.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace serial {

// The comma rule is broken by a text longer than 2 characters that holds no comma ("0D0A").
bool BreaksCommaRule(const std::string& text);

// The bytes a terminator text names. Each part (the whole text, or the texts before and after the
// first comma) is converted as "0x" + part by platform::StrToInt and gives its low 8 bits.
// Raises platform::EConvertError ("'0x 0A' is not a valid integer value") for the first part that
// does not convert. An empty text does not convert.
std::string ConvertTerminatorText(const std::string& text);

// As ConvertTerminatorText, giving nothing where the text does not convert.
std::optional<std::string> ParseTerminatorBytes(const std::string& text);

// "0D,0A": each byte as two upper-case hexadecimal digits, separated by commas.
std::string FormatTerminatorBytes(std::string_view bytes);

enum class TerminatorApplied {
    Unchanged,  // the text was empty: nothing was touched
    Stored,     // the text converted: text and bytes stored, changed flag cleared
    Rejected,   // the text did not convert: error reported, text and bytes kept, changed flag cleared
};

using ConversionErrorReport = std::function<void(const std::string& message)>;

// The terminator parse as the settings dialog's Enter, its close path and the configuration load
// apply it to the fields `TerminatorText`, `Terminator` and `TerminatorChanged`. A conversion error is
// handed to reportError (the exception box) and the caller goes on. The comma rule is the caller's.
TerminatorApplied ApplyTerminatorText(const std::string& text, std::string& terminatorText,
                                      std::string& terminatorBytes, bool& terminatorChanged,
                                      const ConversionErrorReport& reportError);

}  // namespace serial
