#include "serial/TerminatorParse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TextConvert.h"

using serial::ApplyTerminatorText;
using serial::TerminatorApplied;

namespace {

std::string Bytes(std::initializer_list<unsigned char> values) {
    return std::string(values.begin(), values.end());
}

}  // namespace

TEST(TerminatorParse, ConvertsOneOrTwoHexBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0D", Bytes({0x0D})},           {"D", Bytes({0x0D})},          {"0D,0A", Bytes({0x0D, 0x0A})},
        {"d,a", Bytes({0x0D, 0x0A})},    {"1FF,0A", Bytes({0xFF, 0x0A})}, {"FF", Bytes({0xFF})},
        {"0,0", Bytes({0x00, 0x00})},    {"000000A", Bytes({0x0A})},    {"FFFFFFFF", Bytes({0xFF})},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(serial::ParseTerminatorBytes(text), bytes) << text;
}

TEST(TerminatorParse, RejectsTextsThatAreNotOneOrTwoPlainHexNumbers) {
    for (const std::string text : {"0D, 0A", "0D,", ",0A", ",", "0D,0A,0B", "G1", "", " 0D", "0D ", "0x0D",
                                   "$0D", "-1", "+1", "100000000"})
        EXPECT_FALSE(serial::ParseTerminatorBytes(text).has_value()) << '"' << text << '"';
}

TEST(TerminatorParse, ErrorNamesThePartThatFailedAsConverted) {
    try {
        serial::ConvertTerminatorText("0D, 0A");
        FAIL() << "no error raised";
    } catch (const platform::EConvertError& error) {
        EXPECT_STREQ(error.what(), "'0x 0A' is not a valid integer value");
    }
    EXPECT_THROW(serial::ConvertTerminatorText("0D,0A,0B"), platform::EConvertError);
}

TEST(TerminatorParse, CommaRuleAppliesOnlyToTextsLongerThanTwo) {
    EXPECT_TRUE(serial::BreaksCommaRule("0D0A"));
    EXPECT_TRUE(serial::BreaksCommaRule("1FF"));
    EXPECT_FALSE(serial::BreaksCommaRule("FF"));
    EXPECT_FALSE(serial::BreaksCommaRule("0D,0A"));
    EXPECT_FALSE(serial::BreaksCommaRule(""));
}

TEST(TerminatorParse, FormattedBytesParseBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(serial::ParseTerminatorBytes(serial::FormatTerminatorBytes(one)), one);
        const std::string two = one + '\x0A';
        EXPECT_EQ(serial::ParseTerminatorBytes(serial::FormatTerminatorBytes(two)), two);
    }
    EXPECT_EQ(serial::FormatTerminatorBytes("\r\n"), "0D,0A");
}

class ApplyTerminator : public ::testing::Test {
protected:
    TerminatorApplied Apply(const std::string& text) {
        return ApplyTerminatorText(text, terminatorText, terminatorBytes, changed,
                                   [this](const std::string& message) { reports.push_back(message); });
    }

    void ExpectFields(const std::string& text, const std::string& bytes, bool changedFlag) {
        EXPECT_EQ(terminatorText, text);
        EXPECT_EQ(terminatorBytes, bytes);
        EXPECT_EQ(changed, changedFlag);
    }

    std::string terminatorText = "0D,0A";
    std::string terminatorBytes = "\r\n";
    bool changed = true;
    std::vector<std::string> reports;
};

TEST_F(ApplyTerminator, ConvertingTextIsStoredAsTypedAndClearsTheFlag) {
    EXPECT_EQ(Apply("d"), TerminatorApplied::Stored);
    ExpectFields("d", "\r", false);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ApplyTerminator, EmptyTextChangesNothing) {
    EXPECT_EQ(Apply(""), TerminatorApplied::Unchanged);
    ExpectFields("0D,0A", "\r\n", true);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ApplyTerminator, FailingTextIsReportedOnceAndKeepsThePreviousTerminator) {
    EXPECT_EQ(Apply("0D, 0A"), TerminatorApplied::Rejected);
    ExpectFields("0D,0A", "\r\n", false);
    EXPECT_EQ(reports, std::vector<std::string>{"'0x 0A' is not a valid integer value"});
}
