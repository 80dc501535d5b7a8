#include "ui/RtfWriter.h"
#include "ui/RtfReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using ui::ColouredLine;

namespace ui {
void PrintTo(const ColouredLine& line, std::ostream* out) { *out << '"' << line.text << "\" " << std::hex << line.rgb; }
}  // namespace ui

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Paragraph {
    std::string text;
    std::uint32_t rgb;
    bool operator==(const Paragraph&) const = default;
};

// A small RTF reader for what a word processor takes from the writer's output: the colour table and
// the paragraphs with their colours. Fails the test on anything malformed.
class RtfReader {
public:
    explicit RtfReader(const std::string& rtf) : rtf_(rtf) {}

    std::vector<Paragraph> Read() {
        EXPECT_EQ(rtf_.rfind("{\\rtf1", 0), 0u);
        while (pos_ < rtf_.size())
            Step();
        EXPECT_EQ(depth_, 0) << "unbalanced braces";
        EXPECT_TRUE(current_.empty()) << "text after the last paragraph";
        return paragraphs_;
    }

private:
    void Step() {
        const char c = rtf_[pos_++];
        if (c == '{') {
            ++depth_;
        } else if (c == '}') {
            if (depth_ == destinationDepth_)
                destination_.clear();
            --depth_;
            EXPECT_GE(depth_, 0);
        } else if (c == '\\') {
            Control();
        } else if (c != '\r' && c != '\n') {
            Text(c);
        }
    }

    void Control() {
        ASSERT_LT(pos_, rtf_.size());
        const char c = rtf_[pos_];
        if (c == '\'') {
            Text(static_cast<char>(std::stoi(rtf_.substr(pos_ + 1, 2), nullptr, 16)));
            pos_ += 3;
        } else if (!std::isalpha(static_cast<unsigned char>(c))) {
            Text(c);
            ++pos_;
        } else {
            Word();
        }
    }

    void Word() {
        const std::size_t start = pos_;
        while (pos_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[pos_])))
            ++pos_;
        const std::string word = rtf_.substr(start, pos_ - start);
        const std::size_t digits = pos_;
        while (pos_ < rtf_.size() && (rtf_[pos_] == '-' || IsDigit(rtf_[pos_])))
            ++pos_;
        const int number = pos_ > digits ? std::stoi(rtf_.substr(digits, pos_ - digits)) : 0;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ')
            ++pos_;
        Apply(word, number);
    }

    void Apply(const std::string& word, int number) {
        if (word == "fonttbl" || word == "colortbl") {
            destination_ = word;
            destinationDepth_ = depth_;
        } else if (word == "red") {
            rgb_ |= static_cast<std::uint32_t>(number) << 16;
        } else if (word == "green") {
            rgb_ |= static_cast<std::uint32_t>(number) << 8;
        } else if (word == "blue") {
            rgb_ |= static_cast<std::uint32_t>(number);
        } else if (word == "cf") {
            colour_ = static_cast<std::size_t>(number);
        } else if (word == "par") {
            EXPECT_LT(colour_, colours_.size());
            paragraphs_.push_back({current_, colour_ < colours_.size() ? colours_[colour_] : 0xFFFFFFFF});
            current_.clear();
        } else if (word == "tab") {
            Text('\t');
        } else if (word == "line") {
            Text('\n');
        }
    }

    void Text(char c) {
        if (destination_ == "colortbl" && c == ';') {
            colours_.push_back(rgb_);
            rgb_ = 0;
        } else if (destination_.empty()) {
            current_ += c;
        }
    }

    const std::string& rtf_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::string destination_;
    int destinationDepth_ = -1;
    std::vector<std::uint32_t> colours_;
    std::uint32_t rgb_ = 0;
    std::size_t colour_ = 0;
    std::string current_;
    std::vector<Paragraph> paragraphs_;
};

}  // namespace

TEST(RtfWriter, EachLineIsAParagraphInItsColour) {
    const std::vector<ColouredLine> lines = {
        {"[9:5:3:7]  RD 1", 0x000000}, {"0 reply", 0x008000}, {"", 0x008000}, {" indented", 0x000000}};
    const std::string rtf = ui::LinesToRtf(lines);
    const std::vector<Paragraph> expected = {
        {"[9:5:3:7]  RD 1", 0x000000}, {"0 reply", 0x008000}, {"", 0x008000}, {" indented", 0x000000}};
    EXPECT_EQ(RtfReader(rtf).Read(), expected);
    EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}"), std::string::npos);
}

TEST(RtfWriter, EveryPrintableByteSurvivesAndTheFileStaysSevenBit) {
    std::string all;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        if (byte != 0x7F)
            all += static_cast<char>(byte);
    const std::string rtf = ui::LinesToRtf({{all, 0x123456}, {"\\par {x}", 0xFFFFFF}});
    EXPECT_EQ(RtfReader(rtf).Read(), (std::vector<Paragraph>{{all, 0x123456}, {"\\par {x}", 0xFFFFFF}}));
    for (const char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
}

TEST(RtfWriter, ControlCharactersBecomeTabsAndLineBreaksOrAreLeftOut) {
    const std::string rtf = ui::LinesToRtf({{std::string("a\tb\r\nc\rd\ne\x01\x7F", 11) + '\0' + "f", 0}});
    EXPECT_EQ(RtfReader(rtf).Read(), (std::vector<Paragraph>{{"a\tb\nc\nd\nef", 0}}));
}

TEST(RtfWriter, NoLinesGiveAnEmptyDocument) {
    EXPECT_TRUE(RtfReader(ui::LinesToRtf({})).Read().empty());
}

TEST(RtfWriter, PlainTextEndsEveryLineWithCrLf) {
    EXPECT_EQ(ui::LinesToPlainText({"one", "", "three"}), "one\r\n\r\nthree\r\n");
    EXPECT_EQ(ui::LinesToPlainText({}), "");
}

TEST(RtfReader, ReadsBackWhatTheWriterWroteWithItsColours) {
    std::string all;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        if (byte != 0x7F)
            all += static_cast<char>(byte);
    const std::vector<ColouredLine> lines = {
        {"[9:5:3:7]  RD 1", 0x000000}, {"", 0x008000}, {all, 0x123456}, {"\\par {x} a\tb", 0x008000}};
    EXPECT_EQ(ui::RtfToLines(ui::LinesToRtf(lines)), lines);
    EXPECT_EQ(ui::RtfToLines(ui::LinesToRtf({{"one\r\ntwo", 0x0000FF}})),
              (std::vector<ColouredLine>{{"one", 0x0000FF}, {"two", 0x0000FF}}))
        << "a break inside a line comes back as a line of its own";
    EXPECT_TRUE(ui::RtfToLines(ui::LinesToRtf({})).empty());
    EXPECT_TRUE(ui::IsRtf(ui::LinesToRtf({})));
    EXPECT_FALSE(ui::IsRtf("Rate,RATE?\r\n"));
}

TEST(RtfReader, TakesTheTextOfAWordProcessorsFile) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Writer 5.1;}{\\info{\\title Queries}}\\viewkind4\\uc1\\pard\\f0\\fs20 "
        "Rate,RATE?\\par\r\n{\\b Mode},\\cf1 |2,MODE?,0,Off\\par\r\n"
        "caf\\'e9 \\u8364?\\u233\\'e9 x\\tab y\\~z\\par\r\n"
        "{\\pict\\wmetafile8 0a0b}{\\*\\unknown hidden}\\bin3 {}}last}";
    EXPECT_EQ(ui::RtfToLines(rtf), (std::vector<ColouredLine>{{"Rate,RATE?", 0},
                                                                {"Mode,|2,MODE?,0,Off", 0},
                                                                {"caf\xe9 ?\xe9 x\ty\xa0z", 0xFF0000},
                                                                {"last", 0xFF0000}}));
    EXPECT_EQ(ui::RtfToLines("{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}\\cf1 reply\\par}"),
              (std::vector<ColouredLine>{{"reply", 0x008000}}));
}

TEST(RtfReader, MalformedInputGivesItsTextAndNeverFails) {
    EXPECT_EQ(ui::RtfToLines("{\\rtf1 a}}}}b\\par"), (std::vector<ColouredLine>{{"ab", 0}}));
    EXPECT_EQ(ui::RtfToLines("{\\rtf1 cut\\"), (std::vector<ColouredLine>{{"cut", 0}}));
    EXPECT_EQ(ui::RtfToLines("{\\rtf1 x\\'4"), (std::vector<ColouredLine>{{"x", 0}}));
    EXPECT_EQ(ui::RtfToLines("{\\rtf1\\bin99999 ab"), (std::vector<ColouredLine>{}));
    EXPECT_EQ(ui::RtfToLines("{\\rtf1\\cf99 \\fs99999999999999999999 \\u-4064?q"),
              (std::vector<ColouredLine>{{"?q", 0}}))
        << "a colour beyond the table is black; huge numbers are cut";
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i)
        deep += "{";
    deep += "deep";
    EXPECT_EQ(ui::RtfToLines(deep), (std::vector<ColouredLine>{{"deep", 0}}));
    EXPECT_EQ(ui::RtfToLines(std::string(std::string("{\\rtf1 a") + '\0' + "b}")), (std::vector<ColouredLine>{{std::string("a") + '\0' + "b", 0}}));
}
