#include "support/FakeInstrumentOptions.h"

#include <array>
#include <fstream>

#include "platform/ComNames.h"

namespace testsupport {
namespace {

using Setter = std::optional<std::string> (*)(const std::string& value, FakeInstrumentOptions& options);

std::optional<std::string> SetComName(const std::string& value, FakeInstrumentOptions& options) {
    if (!platform::ComNumber(value))
        return "not a COM name from COM1 to COM119: " + value;
    options.comName = value;
    return std::nullopt;
}

std::optional<std::string> SetReply(const std::string& value, FakeInstrumentOptions& options) {
    const std::optional<std::string> reply = Unescape(value);
    if (!reply)
        return "bad escape in the reply: " + value;
    options.reply = *reply;
    return std::nullopt;
}

std::optional<std::string> SetRules(const std::string& path, FakeInstrumentOptions& options) {
    std::ifstream in(path);
    if (!in)
        return "cannot read " + path;
    ReplyRules parsed = ParseReplyRules(in);
    if (!parsed.error.empty())
        return path + ", " + parsed.error;
    options.rules = std::move(parsed.rules);
    return std::nullopt;
}

std::optional<std::string> SetTerminator(const std::string& value, FakeInstrumentOptions& options) {
    const std::optional<std::string> terminator = ParseHexBytes(value);
    if (!terminator)
        return "not one or two hexadecimal bytes such as 0D,0A: " + value;
    options.terminator = *terminator;
    return std::nullopt;
}

struct Option {
    const char* name;
    Setter set;
};

constexpr std::array<Option, 4> kOptions{{
    {"--com", SetComName},
    {"--reply", SetReply},
    {"--rules", SetRules},
    {"--terminator", SetTerminator},
}};

Setter SetterOf(const std::string& name) {
    for (const Option& option : kOptions)
        if (name == option.name)
            return option.set;
    return nullptr;
}

}  // namespace

std::optional<std::string> ParseFakeInstrumentOptions(const std::vector<std::string>& arguments,
                                                      FakeInstrumentOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::string& name = arguments[i];
        const Setter set = SetterOf(name);
        if (set == nullptr)
            return "unknown option " + name;
        if (i + 1 >= arguments.size())
            return name + " needs a value";
        if (std::optional<std::string> error = set(arguments[i + 1], options))
            return error;
    }
    return std::nullopt;
}

}  // namespace testsupport
