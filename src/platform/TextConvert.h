#pragma once
// Conversions of the program's 8-bit text, with the error texts the operator sees.
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Raised by a conversion that fails; the message is shown in the application's exception box.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A whole number: leading blanks, an optional sign, then decimal digits, or "$"/"0x" and hexadecimal
// digits, and nothing after them; within 32 bits. Raises "'%s' is not a valid integer value".
int StrToInt(const std::string& text);
// As StrToInt, giving fallback where the text is not a whole number.
int StrToIntDef(const std::string& text, int fallback);
// A decimal floating-point number ("-1.5", ".5", "2E-3") between blanks, read the same under every
// locale; "inf", "nan", hexadecimal and out-of-range values do not convert.
// Raises "'%s' is not a valid floating point value".
double StrToFloat(const std::string& text);

// Removes blanks and control characters (every character up to code 32) at both ends.
std::string Trim(const std::string& text);

// The parts one after another. Written instead of "text" + std::to_string(n) and the like: GCC 12
// inlines that operator+ in the optimised build into an insert it misreads as an overlapping copy of
// huge size (a false -Wrestrict warning).
std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace platform
