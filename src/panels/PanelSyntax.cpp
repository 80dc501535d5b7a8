#include "panels/PanelSyntax.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/TextConvert.h"

namespace panels {
namespace {

constexpr int kSignificantDigits = 15;

// |value| as its 15 significant decimal digits and the power of ten of the first one.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

DecimalDigits ToDecimalDigits(double magnitude) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, kSignificantDigits - 1);
    const std::string scientific(text, result.ptr);
    const std::size_t e = scientific.find('e');
    DecimalDigits decimal;
    for (std::size_t i = 0; i < e; ++i) {
        if (scientific[i] != '.')
            decimal.digits += scientific[i];
    }
    decimal.exponent = std::atoi(scientific.c_str() + e + 1);
    return decimal;
}

// Adds one to a string of decimal digits ("199" gives "200", "99" gives "100").
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// round(|value| * 10^decimals), a tie away from zero, as a string of decimal digits.
std::string ScaledRoundedDigits(double magnitude, int decimals) {
    if (magnitude == 0.0)
        return "0";
    const DecimalDigits decimal = ToDecimalDigits(magnitude);
    const int kept = decimal.exponent + 1 + decimals;  // digits down to the last decimal shown
    if (kept < 0)
        return "0";
    if (kept >= static_cast<int>(decimal.digits.size()))
        return decimal.digits + std::string(static_cast<std::size_t>(kept) - decimal.digits.size(), '0');
    std::string digits = kept == 0 ? std::string("0") : decimal.digits.substr(0, static_cast<std::size_t>(kept));
    if (decimal.digits[static_cast<std::size_t>(kept)] >= '5')
        Increment(digits);
    return digits;
}

}  // namespace

std::string UnitCommand(std::string_view unit, std::string_view command, std::string_view arguments) {
    return arguments.empty() ? platform::Concat({";", unit, ":", command})
                             : platform::Concat({";", unit, ":", command, " ", arguments});
}

std::string UnitQuery(std::string_view unit, std::string_view command, std::string_view argument) {
    return argument.empty() ? platform::Concat({";", unit, ":", command, "?"})
                            : platform::Concat({";", unit, ":", command, "? ", argument});
}

std::string JoinArguments(std::initializer_list<std::string_view> arguments) {
    std::string text;
    bool first = true;
    for (std::string_view argument : arguments) {
        if (!first)
            text += ",";
        text += argument;
        first = false;
    }
    return text;
}

std::string PexmarSetting(std::string_view key, std::string_view value) {
    return platform::Concat({"!", key, "=", value});
}

std::string PexmarQuery(std::string_view key) { return platform::Concat({"?", key}); }

std::string StopCommand(CommandSet set) {
    return set == CommandSet::Pexmar ? PexmarSetting("GATE ACTIV", "0") : UnitCommand("LC", "FL", "0");
}

bool ReplyCarriesValue(const std::string& reply, CommandSet set) {
    if (set == CommandSet::Pexmar)
        return reply.find("Error") == std::string::npos;
    return reply.find('?') == std::string::npos;
}

std::string Hex4(long long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return text;
}

std::string FormatFixed(double value, int decimals) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    std::string digits = ScaledRoundedDigits(std::fabs(value), decimals);
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    std::string text = decimals > 0 ? digits.substr(0, digits.size() - static_cast<std::size_t>(decimals)) + "." +
                                          digits.substr(digits.size() - static_cast<std::size_t>(decimals))
                                    : digits;
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    return value < 0 && !zero ? "-" + text : text;
}

std::string FormatGeneral(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

}  // namespace panels
