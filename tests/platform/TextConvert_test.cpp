#include "platform/TextConvert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using platform::EConvertError;
using platform::StrToFloat;
using platform::StrToInt;

TEST(TextConvert, WholeNumbersDecimalAndHexWithin32Bits) {
    EXPECT_EQ(StrToInt("  -42"), -42);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("0x1F"), 31);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("0xFFFFFFFF"), -1);
    for (const std::string text : {"", " ", "12 ", "1.5", "2147483648", "0x100000000", "0x", "9999999999999"})
        EXPECT_EQ(platform::StrToIntDef(text, -7), -7) << '"' << text << '"';
}

TEST(TextConvert, IntegerErrorQuotesTheText) {
    try {
        StrToInt("12a");
        FAIL() << "no error raised";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'12a' is not a valid integer value");
    }
}

TEST(TextConvert, FloatsInTheirDecimalForms) {
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -0.25 "), -0.25);
    EXPECT_DOUBLE_EQ(StrToFloat("+2"), 2.0);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("3."), 3.0);
    EXPECT_DOUBLE_EQ(StrToFloat("2E-3"), 0.002);
    EXPECT_DOUBLE_EQ(StrToFloat("1e+2"), 100.0);
}

TEST(TextConvert, FloatRejectsSpecialHexAndMalformedTexts) {
    for (const std::string text : {"", "inf", "-INF", "nan", "infinity", "0x1p3", "1e999", "1,5", "1.5.2",
                                   "+-1", "--1", "1e", "e5", "+", "1 2"})
        EXPECT_THROW(StrToFloat(text), EConvertError) << '"' << text << '"';
    try {
        StrToFloat("abc");
        FAIL() << "no error raised";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid floating point value");
    }
}

namespace {

// Switches LC_NUMERIC for one test and restores it.
class NumericLocale {
public:
    NumericLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {}
    ~NumericLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
    NumericLocale(const NumericLocale&) = delete;
    NumericLocale& operator=(const NumericLocale&) = delete;

    bool Use(const char* name) { return std::setlocale(LC_NUMERIC, name) != nullptr; }

private:
    std::string previous_;
};

}  // namespace

TEST(TextConvert, FloatIgnoresTheNumericLocale) {
    NumericLocale locale;
    if (!locale.Use("de_DE.UTF-8") && !locale.Use("fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}

TEST(TextConvert, TrimRemovesBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(platform::Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(platform::Trim(" \x01 "), "");
    EXPECT_EQ(platform::Trim("\xE9 "), "\xE9");
}
