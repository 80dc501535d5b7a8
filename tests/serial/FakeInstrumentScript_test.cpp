#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/FakeInstrumentOptions.h"
#include "support/FakeInstrumentScript.h"

namespace {

using testsupport::ReplyRule;

TEST(FakeInstrumentScript, EscapesTurnIntoBytesAndBack) {
    EXPECT_EQ(testsupport::Unescape(R"(OK\r\n)"), "OK\r\n");
    EXPECT_EQ(testsupport::Unescape(R"(a\0b\x7E\\)"), std::string("a\0b~\\", 5));
    for (const char* bad : {R"(\q)", R"(end\)", R"(\x4)", R"(\xG0)"})
        EXPECT_FALSE(testsupport::Unescape(bad).has_value()) << bad;
    EXPECT_EQ(testsupport::Escape(std::string("A\r\n\0\x7F\\", 6)), R"(A\r\n\x00\x7F\\)");
}

TEST(FakeInstrumentScript, TerminatorIsOneOrTwoHexBytes) {
    EXPECT_EQ(testsupport::ParseHexBytes("0D,0A"), "\r\n");
    EXPECT_EQ(testsupport::ParseHexBytes("d"), "\r");
    for (const char* bad : {"", ",", "0D,", ",0A", "0D0A", "0D,0A,00", "XY", "100"})
        EXPECT_FALSE(testsupport::ParseHexBytes(bad).has_value()) << bad;
}

TEST(FakeInstrumentScript, RulesFileGivesExactAndPrefixRulesAndNamesTheFirstBadLine) {
    std::istringstream good("# status\r\n"
                            "exact ;LC:ST? => 1\\r\\n\r\n"
                            "\n"
                            "   # indented comment\n"
                            "prefix ;SL: => OK => fine\\r\n");
    const testsupport::ReplyRules rules = testsupport::ParseReplyRules(good);
    ASSERT_EQ(rules.error, "");
    ASSERT_EQ(rules.rules.size(), 2u);
    EXPECT_EQ(rules.rules[0].kind, ReplyRule::Kind::Exact);
    EXPECT_EQ(rules.rules[0].text, ";LC:ST?");
    EXPECT_EQ(rules.rules[0].reply, "1\r\n");
    EXPECT_EQ(rules.rules[1].kind, ReplyRule::Kind::Prefix);
    EXPECT_EQ(rules.rules[1].reply, "OK => fine\r") << "the first arrow separates";

    std::istringstream bad("exact A => B\nsometimes X => Y\n");
    EXPECT_EQ(testsupport::ParseReplyRules(bad).error.rfind("line 2:", 0), 0u);
    std::istringstream noArrow("prefix ABC\n");
    EXPECT_NE(testsupport::ParseReplyRules(noArrow).error, "");
    std::istringstream badEscape("exact A => \\q\n");
    EXPECT_NE(testsupport::ParseReplyRules(badEscape).error, "");
}

TEST(FakeInstrumentScript, CommandLineTakesEachOptionsValueAndNamesTheFirstWrongArgument) {
    testsupport::FakeInstrumentOptions options;
    ASSERT_EQ(testsupport::ParseFakeInstrumentOptions(
                  {"--com", "COM5", "--reply", R"(READY\r)", "--terminator", "0D"}, options),
              std::nullopt);
    EXPECT_EQ(options.comName, "COM5");
    EXPECT_EQ(options.reply, "READY\r");
    EXPECT_EQ(options.terminator, "\r");

    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--com", "COM5", "--bogus", "x"}, "unknown option --bogus"},
        {{"COM5"}, "unknown option COM5"},
        {{"--reply"}, "--reply needs a value"},
        {{"--com", "COM120"}, "not a COM name from COM1 to COM119: COM120"},
        {{"--rules", "/nonexistent/answers.txt"}, "cannot read /nonexistent/answers.txt"},
    };
    for (const auto& [arguments, error] : wrong)
        EXPECT_EQ(testsupport::ParseFakeInstrumentOptions(arguments, options), error) << arguments[0];
}

}  // namespace
