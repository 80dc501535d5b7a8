#include "panels/FramontPanelFile.h"

#include <charconv>
#include <vector>

#include "panels/FramontCommands.h"
#include "platform/FileSave.h"
#include "platform/Folders.h"
#include "platform/TextConvert.h"
#include "terminal/ConfigFile.h"

namespace panels {
namespace {

constexpr int kLineCount = 12;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view line) {
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    return line;
}

// The first twelve lines, each without its line end; missing lines are absent.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty() && static_cast<int>(lines.size()) < kLineCount) {
        const std::size_t lf = text.find('\n');
        const std::string_view line = text.substr(0, lf);
        lines.push_back(line.substr(0, line.find('\r')));
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    }
    return lines;
}

std::string FirstWord(std::string_view line) {
    line = SkipBlanks(line);
    std::size_t end = 0;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    return std::string(line.substr(0, end));
}

// A decimal whole number within 32 bits at the line's start; anything after it is ignored.
std::optional<int> LeadingNumber(std::string_view line) {
    line = SkipBlanks(line);
    if (line.size() > 1 && line.front() == '+' && line[1] >= '0' && line[1] <= '9')
        line.remove_prefix(1);
    int value = 0;
    const auto result = std::from_chars(line.data(), line.data() + line.size(), value);
    if (result.ec != std::errc())
        return std::nullopt;
    return value;
}

class LineReader {
public:
    explicit LineReader(std::string_view text) : lines_(SplitLines(text)) {}

    std::string_view Line(int number) const {
        const auto index = static_cast<std::size_t>(number - 1);
        return index < lines_.size() ? lines_[index] : std::string_view();
    }
    // Line number's whole number when it lies in min..max, else fallback.
    int Number(int number, int min, int max, int fallback) const {
        const auto value = LeadingNumber(Line(number));
        return value && *value >= min && *value <= max ? *value : fallback;
    }
    int AnyNumber(int number, int fallback) const { return LeadingNumber(Line(number)).value_or(fallback); }
    std::string Word(int number) const { return FirstWord(Line(number)); }

private:
    std::vector<std::string_view> lines_;
};

// A slit size text is usable when empty (its commit then does nothing) or a size the panel itself
// can set: a number >= 0 whose stored size (times the magnification, 1 for one not in the list) is
// within the largest of the magnifications' limits. The size may lie above the limit of its own
// magnification, as one does after a change of magnification.
bool IsUsableSize(const std::string& text, int factor) {
    if (text.empty())
        return true;
    try {
        const double value = platform::StrToFloat(text);
        return value >= 0.0 && value * factor <= framont::LargestStoredSlitSize();
    } catch (const platform::EConvertError&) {
        return false;
    }
}

void ReadEnergy(const std::string& word, FramontPanelValues& values) {
    if (!framont::HasComma(word))
        return;
    const int range = platform::StrToIntDef(framont::TextBeforeComma(word), 0);
    const int energy = platform::StrToIntDef(framont::TextAfterComma(word), 0);
    if ((range == 0 || range == 1) && energy >= 0 && energy <= 1000) {
        values.EnergyRange = range;
        values.Energy = energy;
    }
}

void ReadSlitSpot(const std::string& word, FramontPanelValues& values) {
    const framont::SlitSpotParts parts = framont::SplitSlitSpot(word);
    const auto magnification = framont::MagnificationAt(
        framont::MagnificationIndexOf(platform::StrToIntDef(parts.magnification, 0)));
    const int factor = magnification ? magnification->factor : 1;
    if (!word.empty() && IsUsableSize(parts.x, factor) && IsUsableSize(parts.y, factor))
        values.SlitSpot = word;
}

}  // namespace

std::string FormatFramontPanelText(const FramontPanelValues& v) {
    std::string text;
    const auto line = [&text](const std::string& value) { text += value + "\r\n"; };
    const auto number = [&line](int value) { line(std::to_string(value)); };
    line(std::to_string(v.EnergyRange) + "," + std::to_string(v.Energy));
    number(v.LaserFire);
    number(v.AutoEnergy);
    number(v.WavelengthIndex);
    number(v.ModeIndex);
    number(v.BurstCount);
    number(v.RepRate);
    number(v.PolarizationAngle);
    number(v.FieldLEDRaw);
    number(v.SlitLEDRaw);
    line(v.SlitSpot);
    number(v.ThetaValue);
    return text;
}

FramontPanelValues ReadFramontPanelText(std::string_view text) {
    const LineReader file(text);
    FramontPanelValues v;
    const FramontPanelValues defaults;
    ReadEnergy(file.Word(1), v);
    v.LaserFire = file.Number(2, 0, 1, defaults.LaserFire);  // 3 would fire the laser at the opening
    v.AutoEnergy = file.Number(3, 0, 1, defaults.AutoEnergy);
    v.WavelengthIndex = file.AnyNumber(4, defaults.WavelengthIndex);
    v.ModeIndex = file.AnyNumber(5, defaults.ModeIndex);
    v.BurstCount = file.Number(6, 0, 1000, defaults.BurstCount);
    v.RepRate = file.Number(7, 0, 50, defaults.RepRate);
    v.PolarizationAngle = file.Number(8, -90, 90, defaults.PolarizationAngle);
    v.FieldLEDRaw = file.Number(9, 0, 255, defaults.FieldLEDRaw);
    v.SlitLEDRaw = file.Number(10, 0, 255, defaults.SlitLEDRaw);
    ReadSlitSpot(file.Word(11), v);
    v.ThetaValue = file.Number(12, -45, 45, defaults.ThetaValue);
    return v;
}

std::filesystem::path FramontConfigFilePath() { return platform::DrennickFolder() / "Framont Config.txt"; }

std::optional<FramontPanelValues> LoadFramontPanelFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        platform::SaveTextAtomically(path, FormatFramontPanelText(FramontPanelValues{}));
    const auto text = terminal::ReadFileText(path);
    if (!text)
        return std::nullopt;
    return ReadFramontPanelText(*text);
}

bool SaveFramontPanelFile(const std::filesystem::path& path, const FramontPanelValues& values) {
    return platform::SaveTextAtomically(path, FormatFramontPanelText(values));
}

}  // namespace panels
