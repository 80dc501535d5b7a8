#include "platform/TextConvert.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace platform {
namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

std::optional<int> ParseInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        // Hexadecimal texts may fill all 32 bits (FFFFFFFF is -1); decimal ones keep the sign range.
        const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16 && !negative)
        return static_cast<int>(static_cast<std::uint32_t>(value));
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

int StrToInt(const std::string& text) {
    const auto value = ParseInt(text);
    if (!value)
        throw EConvertError("'" + text + "' is not a valid integer value");
    return *value;
}

int StrToIntDef(const std::string& text, int fallback) { return ParseInt(text).value_or(fallback); }

double StrToFloat(const std::string& text) {
    const std::string trimmed = Trim(text);
    bool valid = !trimmed.empty() && trimmed.find_first_of("xXpP") == std::string::npos;
    double value = 0.0;
    if (valid) {
        char* end = nullptr;
        errno = 0;
        value = std::strtod(trimmed.c_str(), &end);
        valid = end == trimmed.c_str() + trimmed.size() && errno != ERANGE;
    }
    if (!valid)
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

}  // namespace platform
