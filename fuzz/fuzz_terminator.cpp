// The terminator parse on any text: it converts to one or two bytes or raises the conversion error,
// and the bytes written as hexadecimal text parse back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/TextConvert.h"
#include "serial/TerminatorParse.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto bytes = serial::ParseTerminatorBytes(text);
    const bool hasComma = text.find(',') != std::string::npos;
    if (!bytes) {
        try {
            serial::ConvertTerminatorText(text);
            Check(false);
        } catch (const platform::EConvertError&) {
        }
        return 0;
    }
    Check(!text.empty());
    Check(serial::ConvertTerminatorText(text) == *bytes);
    Check(bytes->size() == (hasComma ? 2u : 1u));
    const std::string formatted = serial::FormatTerminatorBytes(*bytes);
    Check(formatted.size() == 3 * bytes->size() - 1);
    Check(serial::ParseTerminatorBytes(formatted) == bytes);
    Check(serial::BreaksCommaRule(formatted) == false);
    return 0;
}
