// Reads any text as the configuration file, writes the values again and reads that text back: the
// values must come back unchanged and the written text must be a whole number of CR LF lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "terminal/ConfigFile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Lines of a written text; every line must end with CR LF and no other CR or LF may occur.
std::size_t CountCrLfLines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            Check(i + 1 < text.size() && text[i + 1] == '\n');
            ++lines;
            ++i;
        } else {
            Check(text[i] != '\n');
        }
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const terminal::ConfigReadResult first = terminal::ReadConfigText(input);
    Check(first.linesRead >= 0 && first.linesRead <= terminal::kConfigLineCount);
    Check(first.stoppedEarly == (first.linesRead < terminal::kConfigLineCount));

    const std::string written = terminal::FormatConfigText(first.values);
    const std::size_t lines = CountCrLfLines(written);
    Check(written.size() == 0 || written.back() == '\n');
    if (first.values.GroupIndex)
        Check(lines == static_cast<std::size_t>(terminal::kConfigLineCount));
    else
        Check(lines < static_cast<std::size_t>(terminal::kConfigHeaderLines));

    const terminal::ConfigReadResult second = terminal::ReadConfigText(written);
    Check(second.values == first.values);
    Check(terminal::FormatConfigText(second.values) == written);
    return 0;
}
