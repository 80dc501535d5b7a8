#pragma once
// The fake instrument's command line: options that each take a value.
#include <optional>
#include <string>
#include <vector>

#include "support/FakeInstrumentScript.h"

namespace testsupport {

struct FakeInstrumentOptions {
    std::string comName = "COM3";
    std::string reply = "OK\r\n";
    std::vector<ReplyRule> rules;
    std::string terminator = "\r\n";
};

// Reads "--com COMn", "--reply TEXT", "--rules FILE" and "--terminator HEX" into options; gives the
// error text of the first wrong argument: an unknown option, an option without its value, or a
// value that is not good for its option.
std::optional<std::string> ParseFakeInstrumentOptions(const std::vector<std::string>& arguments,
                                                      FakeInstrumentOptions& options);

}  // namespace testsupport
