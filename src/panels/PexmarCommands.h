#pragma once
// The Pexmar command set as the Pexmar panel uses it, the reading of its replies, and the panel file
// "Pexmar Config.txt" (five whitespace-separated values, each written on a line of its own).
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace panels::pexmar {

inline constexpr int kParameterSetCount = 16;
inline constexpr double kFrequencyMinimum = 20.0;  // kHz
inline constexpr double kFrequencyMaximum = 100.0;
inline constexpr double kDiodeCurrentMinimum = 13.0;
inline constexpr double kDiodeCurrentMaximum = 50.0;

// Sent one after another when the panel opens, replies not looked at.
inline const std::array<std::string, 6> kInitialisationCommands{"!ECHO=0",       "!SET DIOD=3", "!SET FREQ=3",
                                                               "!SET LEVE=3",   "!SET RAMP=3", "!SET GATE=2"};

// "00" .. "15".
std::string ParameterSetItem(int index);

// The part of reply in front of the first c; empty when c does not occur or stands first.
std::string TextBefore(const std::string& reply, char c);
// The index of the first item equal to text, letter case not regarded; -1 when none.
int FindIgnoringCase(const std::vector<std::string>& items, const std::string& text);

// What the status labels show of a reply.
std::string LaserTypeText(const std::string& reply);     // text before "-", then "nm"
std::string DiodeVoltageText(const std::string& reply);  // text before "+", then " V"
std::string DiodeCurrentText(const std::string& reply);  // text before "+", then " A"
std::string WarningText(const std::string& reply);       // "None" for an empty reply
// A decimal number that single precision holds (its nearest single value); any other text, also a
// number beyond the single range, raises "'%s' is not a valid floating point value".
float SingleValue(const std::string& text);
// A setting reply's number: the text before "+" read by SingleValue.
float SettingValue(const std::string& reply);
// A pulse-mode or shutter reply or file word: a whole number, 0 when it is not one.
int IndexValue(const std::string& text);

// ---- the panel file ----
struct PanelFileValues {
    std::string parameterSet;
    float frequency = 0;
    float diodeCurrent = 0;
    int pulseMode = 0;
    int shutter = 0;
};

// The file the panel creates when there is none: "00", "20.0", "13.0", "0", "0".
std::string DefaultPanelFileText();
// The five values, each followed by CR LF; the two floats in the shortest general form (20, 55.56).
// An empty parameter set is written as "none" (which matches no set), so that every value keeps its
// own line when the file is read back word by word.
std::string PanelFileText(const PanelFileValues& values);
// The first five whitespace-separated words of a text (fewer when it has fewer).
std::vector<std::string> PanelFileWords(const std::string& text);

// A frequency or diode-current word of the panel file as its replay uses it.
struct PanelFileNumber {
    std::string word;
    // Within the edit's range; a number outside it reads as the range's lower end (the default
    // file's value), so that no file sets the laser beyond what the edit allows. None when the word
    // is no number.
    std::optional<float> value;

    // The value; a word that is no number raises "'%s' is not a valid floating point value", which
    // ends the replay as it would end an edit's commit.
    float Value() const;
};

// The panel file's values, each from its own word; a missing word gives nothing.
struct PanelFileReading {
    std::optional<std::string> parameterSet;  // as it stands: the replay selects the item it names
    std::optional<PanelFileNumber> frequency;
    std::optional<PanelFileNumber> diodeCurrent;
    std::optional<int> pulseMode;  // a whole number, 0 for a word that is not one
    std::optional<int> shutter;
};
PanelFileReading ReadPanelFileWords(const std::vector<std::string>& words);
PanelFileReading ReadPanelFileText(const std::string& text);

// The words of the file at path; when it cannot be opened it is created with the default text first.
// Nothing when it can be neither opened nor created. Only the first mebibyte of a file is read.
std::optional<std::vector<std::string>> LoadPanelFileWords(const std::filesystem::path& path);
// Replaces the file through platform::SaveTextAtomically; false when it cannot be written.
bool SavePanelFile(const std::filesystem::path& path, const PanelFileValues& values);

}  // namespace panels::pexmar
