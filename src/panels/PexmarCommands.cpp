#include "panels/PexmarCommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "panels/PanelSyntax.h"
#include "platform/FileSave.h"
#include "platform/TextConvert.h"

namespace panels::pexmar {
namespace {

constexpr std::size_t kPanelFileWords = 5;
constexpr std::streamsize kPanelFileReadLimit = 1 << 20;
constexpr const char* kNoParameterSet = "none";

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::optional<std::string> ReadHead(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(kPanelFileReadLimit), '\0');
    in.read(text.data(), kPanelFileReadLimit);
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

}  // namespace

std::string ParameterSetItem(int index) {
    if (index < 0 || index >= kParameterSetCount)
        return "";
    return platform::Concat({index < 10 ? "0" : "", std::to_string(index)});
}

std::string TextBefore(const std::string& reply, char c) {
    const std::size_t at = reply.find(c);
    return at == std::string::npos ? std::string() : reply.substr(0, at);
}

int FindIgnoringCase(const std::vector<std::string>& items, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (EqualIgnoringCase(items[i], text))
            return static_cast<int>(i);
    }
    return -1;
}

std::string LaserTypeText(const std::string& reply) { return TextBefore(reply, '-') + "nm"; }

std::string DiodeVoltageText(const std::string& reply) { return TextBefore(reply, '+') + " V"; }

std::string DiodeCurrentText(const std::string& reply) { return TextBefore(reply, '+') + " A"; }

std::string WarningText(const std::string& reply) { return reply.empty() ? "None" : reply; }

float SingleValue(const std::string& text) {
    const double value = platform::StrToFloat(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw platform::EConvertError("'" + text + "' is not a valid floating point value");
    return static_cast<float>(value);
}

float SettingValue(const std::string& reply) { return SingleValue(TextBefore(reply, '+')); }

int IndexValue(const std::string& text) { return platform::StrToIntDef(text, 0); }

std::string DefaultPanelFileText() { return "00\r\n20.0\r\n13.0\r\n0\r\n0\r\n"; }

std::string PanelFileText(const PanelFileValues& values) {
    const bool blankSet = std::all_of(values.parameterSet.begin(), values.parameterSet.end(), IsBlank);
    const std::string lines[] = {blankSet ? kNoParameterSet : values.parameterSet, FormatGeneral(values.frequency),
                                 FormatGeneral(values.diodeCurrent), std::to_string(values.pulseMode),
                                 std::to_string(values.shutter)};
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> PanelFileWords(const std::string& text) {
    std::vector<std::string> words;
    auto at = text.begin();
    while (words.size() < kPanelFileWords) {
        at = std::find_if_not(at, text.end(), IsBlank);
        if (at == text.end())
            break;
        const auto end = std::find_if(at, text.end(), IsBlank);
        words.emplace_back(at, end);
        at = end;
    }
    return words;
}

float PanelFileNumber::Value() const { return value ? *value : SingleValue(word); }

namespace {

PanelFileNumber ReadPanelFileNumber(const std::string& word, double minimum, double maximum) {
    PanelFileNumber number{word, std::nullopt};
    try {
        const float value = SingleValue(word);
        number.value = value >= minimum && value <= maximum ? value : static_cast<float>(minimum);
    } catch (const platform::EConvertError&) {
    }
    return number;
}

}  // namespace

PanelFileReading ReadPanelFileWords(const std::vector<std::string>& words) {
    PanelFileReading file;
    const auto word = [&words](std::size_t i) { return i < words.size() ? &words[i] : nullptr; };
    if (const std::string* set = word(0))
        file.parameterSet = *set;
    if (const std::string* frequency = word(1))
        file.frequency = ReadPanelFileNumber(*frequency, kFrequencyMinimum, kFrequencyMaximum);
    if (const std::string* current = word(2))
        file.diodeCurrent = ReadPanelFileNumber(*current, kDiodeCurrentMinimum, kDiodeCurrentMaximum);
    if (const std::string* mode = word(3))
        file.pulseMode = IndexValue(*mode);
    if (const std::string* shutter = word(4))
        file.shutter = IndexValue(*shutter);
    return file;
}

PanelFileReading ReadPanelFileText(const std::string& text) { return ReadPanelFileWords(PanelFileWords(text)); }

std::optional<std::vector<std::string>> LoadPanelFileWords(const std::filesystem::path& path) {
    std::optional<std::string> text = ReadHead(path);
    if (!text) {
        platform::SaveTextAtomically(path, DefaultPanelFileText());
        text = ReadHead(path);
    }
    if (!text)
        return std::nullopt;
    return PanelFileWords(*text);
}

bool SavePanelFile(const std::filesystem::path& path, const PanelFileValues& values) {
    return platform::SaveTextAtomically(path, PanelFileText(values));
}

}  // namespace panels::pexmar
