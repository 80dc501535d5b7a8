#pragma once
// The text side of the laser-system panels, without any window: the two command syntaxes, the reply
// tests, and the number formats the panels send and show.
//
//   Ondrel and Framont:  ";" unit ":" command [" " arguments]      ";LC:FL 3", ";SL:SP 01F4,00C8"
//                        queries: command "?" [" " argument]       ";LC:ED?", ";LC:IL? 0"
//   Pexmar:              "!" key "=" value, queries "?" key        "!GATE ACTIV=1", "?PULSE MODE"
#include <initializer_list>
#include <string>
#include <string_view>

namespace panels {

enum class CommandSet { Ondrel, Framont, Pexmar };

// ";LC:FL" or, with arguments, ";LC:FL 3".
std::string UnitCommand(std::string_view unit, std::string_view command, std::string_view arguments = {});
// ";LC:ED?" or, with an argument, ";LC:IL? 0".
std::string UnitQuery(std::string_view unit, std::string_view command, std::string_view argument = {});
// Several arguments joined by ",": {"1", "100"} gives "1,100".
std::string JoinArguments(std::initializer_list<std::string_view> arguments);

// "!GATE ACTIV=1".
std::string PexmarSetting(std::string_view key, std::string_view value);
// "?PULSE MODE".
std::string PexmarQuery(std::string_view key);

// The command each panel sends when it closes.
std::string StopCommand(CommandSet set);

// Whether a reply (already cut at its first CR) carries a value: an Ondrel or Framont reply that
// holds "?" anywhere is an error reply, and so is a Pexmar reply that holds "Error" anywhere.
bool ReplyCarriesValue(const std::string& reply, CommandSet set);

// "%4.4x": at least four hexadecimal digits, zero-filled, A to F upper-case (1723 gives "06BB").
// A negative value is written as its 32-bit two's complement ("FFFFFFFF" for -1).
std::string Hex4(long long value);

// FormatFloat with the pattern "0.0" (decimals 1) or "0.00" (decimals 2): the value rounded at that
// decimal, a tie away from zero, after reading it to 15 significant digits (so 20.25 gives "20.3"
// and the single-precision 55.56 gives "55.6"). "-" only in front of a non-zero result.
std::string FormatFixed(double value, int decimals);

// A value as a text stream writes it by default: at most 6 significant digits, no trailing zeros
// (20.0 gives "20", 55.56 gives "55.56"); exponent form only where it is shorter, as "1e+07".
std::string FormatGeneral(double value);

}  // namespace panels
