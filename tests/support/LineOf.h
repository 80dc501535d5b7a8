#pragma once
// Line settings from the four numbers, for tests.
#include "platform/SerialLine.h"

namespace testsupport {

inline platform::LineSettings LineOf(std::int32_t baud, std::int32_t parity, std::int32_t bits, std::int32_t stop) {
    platform::LineSettings s;
    s.baudRate = baud;
    s.parity = parity;
    s.byteSize = bits;
    s.stopBits = stop;
    return s;
}

}  // namespace testsupport
