// The rich-text reader on any bytes: it ends without failing and gives text of at most the input's
// length; and lines of any printable text written as rich text read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The input's lines (at '\n'), keeping what the writer keeps: printable bytes and tabs.
std::vector<ui::ColouredLine> PrintableLines(const std::string& text) {
    std::vector<ui::ColouredLine> lines(1, {"", 0});
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            lines.push_back({"", static_cast<std::uint32_t>(lines.size() * 0x010203u) & 0xFFFFFFu});
        else if ((byte >= 0x20 && byte != 0x7F) || c == '\t')
            lines.back().text += c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t length = 0;
    for (const ui::ColouredLine& line : ui::RtfToLines(text))
        length += line.text.size();
    Check(length <= size);
    const std::vector<ui::ColouredLine> lines = PrintableLines(text);
    Check(ui::RtfToLines(ui::LinesToRtf(lines)) == lines);
    return 0;
}
