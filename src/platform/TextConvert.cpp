#include "platform/TextConvert.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

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

// Decimal digits with an optional sign, point and exponent; no "inf", "nan" or hexadecimal forms.
// std::from_chars reads the same text under every locale.
std::optional<double> ParseFloat(const std::string& text) {
    std::string_view digits = text;
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-' && digits[1] != '+')
        digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
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
    const auto value = ParseFloat(Trim(text));
    if (!value)
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return *value;
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

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

}  // namespace platform
