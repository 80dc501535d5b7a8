#include "ui/RtfReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

namespace ui {
namespace {

constexpr std::size_t kMaxDepth = 256;    // deeper groups share the innermost kept state
constexpr std::size_t kMaxWordLength = 32;
constexpr std::size_t kMaxDigits = 10;

// Destinations whose content is no text of the document.
constexpr std::array<std::string_view, 24> kSkippedDestinations = {
    "fonttbl",   "stylesheet", "info",      "pict",         "object",       "header",
    "headerl",   "headerr",    "headerf",   "footer",       "footerl",      "footerr",
    "footerf",   "footnote",   "fldinst",   "listtable",    "listoverridetable", "rsidtbl",
    "filetbl",   "revtbl",     "themedata", "datastore",    "latentstyles", "colorschememapping"};

// Control words that stand for one Windows-1252 character.
struct Symbol {
    std::string_view word;
    char byte;
};
constexpr std::array<Symbol, 10> kSymbols = {{{"tab", '\t'},
                                               {"cell", '\t'},
                                               {"emdash", '\x97'},
                                               {"endash", '\x96'},
                                               {"lquote", '\x91'},
                                               {"rquote", '\x92'},
                                               {"ldblquote", '\x93'},
                                               {"rdblquote", '\x94'},
                                               {"bullet", '\x95'},
                                               {"emspace", ' '}}};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct GroupState {
    bool skipped = false;      // inside a destination without document text
    bool colourTable = false;  // inside \colortbl
    std::size_t colour = 0;    // \cf index
    int fallbackLength = 1;    // \uc: characters that stand in for each \u character
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : rtf_(rtf) { groups_.push_back({}); }

    std::vector<ColouredLine> Read() {
        while (pos_ < rtf_.size())
            Step();
        if (!line_.empty())
            EndLine();
        return lines_;
    }

private:
    void Step() {
        const char c = rtf_[pos_++];
        switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': Control(); break;
            case '\r':
            case '\n': break;
            default: Text(c);
        }
    }

    GroupState& State() { return groups_.back(); }

    void OpenGroup() {
        groupStart_ = true;
        fallbackLeft_ = 0;
        if (groups_.size() < kMaxDepth)
            groups_.push_back(State());
        else
            ++overflow_;
    }

    void CloseGroup() {
        groupStart_ = false;
        fallbackLeft_ = 0;
        if (overflow_ > 0)
            --overflow_;
        else if (groups_.size() > 1)
            groups_.pop_back();
    }

    void Control() {
        if (pos_ >= rtf_.size())
            return;
        const char c = rtf_[pos_];
        if (IsLetter(c))
            return Word();
        ++pos_;
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        switch (c) {
            case '\'': return HexByte();
            case '*':
                if (atGroupStart)
                    State().skipped = true;
                return;
            case '~': return Text('\xA0');
            case '_': return Text('-');
            case '-': return;
            case '\r':
            case '\n':  // a backslash before a line end is \par
                if (!State().skipped)
                    EndLine();
                return;
            default: return Text(c);      // \\, \{, \} and any other symbol stand for themselves
        }
    }

    // \'hh; a cut-off escape is dropped with the digit it has.
    void HexByte() {
        unsigned value = 0;
        const char* first = rtf_.data() + pos_;
        const char* last = first + std::min<std::size_t>(2, rtf_.size() - pos_);
        const auto [end, error] = std::from_chars(first, last, value, 16);
        pos_ += static_cast<std::size_t>(end - first);
        if (error == std::errc() && end - first == 2)
            Text(static_cast<char>(value));
    }

    void Word() {
        const std::size_t start = pos_;
        while (pos_ < rtf_.size() && IsLetter(rtf_[pos_]) && pos_ - start < kMaxWordLength)
            ++pos_;
        const std::string_view word = rtf_.substr(start, pos_ - start);
        std::optional<long long> number;
        const bool negative = pos_ < rtf_.size() && rtf_[pos_] == '-';
        if (negative)
            ++pos_;
        for (std::size_t digits = 0; pos_ < rtf_.size() && IsDigit(rtf_[pos_]); ++pos_, ++digits)
            if (digits < kMaxDigits)
                number = number.value_or(0) * 10 + (rtf_[pos_] - '0');
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ')
            ++pos_;
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        const long long value = negative ? -number.value_or(0) : number.value_or(0);
        Apply(word, number.has_value(), static_cast<int>(std::clamp<long long>(value, -2147483647, 2147483647)),
              atGroupStart);
    }

    void Apply(std::string_view word, bool hasNumber, int number, bool atGroupStart) {
        if (word == "bin")
            return SkipBinary(hasNumber ? number : 0);
        if (atGroupStart && IsSkippedDestination(word))
            State().skipped = true;
        if (word == "colortbl") {
            State().colourTable = true;
            rgb_ = 0;
        } else if (word == "red" || word == "green" || word == "blue") {
            const int shift = word == "red" ? 16 : word == "green" ? 8 : 0;
            rgb_ = (rgb_ & ~(0xFFu << shift)) | (static_cast<std::uint32_t>(std::clamp(number, 0, 255)) << shift);
        } else if (word == "cf") {
            State().colour = static_cast<std::size_t>(std::max(number, 0));
        } else if (word == "uc") {
            State().fallbackLength = std::clamp(number, 0, 16);
        } else if (word == "u") {
            const int code = number < 0 ? number + 65536 : number;
            Text(code >= 0 && code < 256 ? static_cast<char>(code) : '?');
            fallbackLeft_ = State().fallbackLength;
        } else if (word == "par" || word == "line" || word == "row") {
            if (!State().skipped)
                EndLine();
        } else {
            for (const Symbol& symbol : kSymbols)
                if (word == symbol.word)
                    Text(symbol.byte);
        }
    }

    static bool IsSkippedDestination(std::string_view word) {
        return std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) != kSkippedDestinations.end();
    }

    void SkipBinary(int length) {
        pos_ += std::min(static_cast<std::size_t>(std::max(length, 0)), rtf_.size() - pos_);
    }

    void Text(char c) {
        groupStart_ = false;
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        if (State().colourTable) {
            if (c == ';') {
                colours_.push_back(rgb_);
                rgb_ = 0;
            }
            return;
        }
        if (State().skipped)
            return;
        if (line_.empty())
            lineColour_ = ColourOf(State().colour);
        line_ += c;
    }

    void EndLine() {
        lines_.push_back({line_, line_.empty() ? ColourOf(State().colour) : lineColour_});
        line_.clear();
    }

    std::uint32_t ColourOf(std::size_t index) const { return index < colours_.size() ? colours_[index] : 0; }

    std::string_view rtf_;
    std::size_t pos_ = 0;
    std::vector<GroupState> groups_;
    std::size_t overflow_ = 0;
    bool groupStart_ = false;
    int fallbackLeft_ = 0;
    std::vector<std::uint32_t> colours_;
    std::uint32_t rgb_ = 0;
    std::string line_;
    std::uint32_t lineColour_ = 0;
    std::vector<ColouredLine> lines_;
};

}  // namespace

bool IsRtf(std::string_view content) { return content.starts_with("{\\rtf"); }

std::vector<ColouredLine> RtfToLines(std::string_view rtf) { return Reader(rtf).Read(); }

}  // namespace ui
