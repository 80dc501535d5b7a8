#include "terminal/CommandFile.h"

#include <gtest/gtest.h>

#include <string>

using terminal::CommandLineKind;
using terminal::ClassifyCommandLine;

TEST(CommandFile, LinesAreClassifiedByTheirMarks) {
    EXPECT_EQ(ClassifyCommandLine(""), CommandLineKind::Empty);
    EXPECT_EQ(ClassifyCommandLine("   "), CommandLineKind::Command);
    EXPECT_EQ(ClassifyCommandLine("RD 1"), CommandLineKind::Command);
    EXPECT_EQ(ClassifyCommandLine("RD 1 // read"), CommandLineKind::Comment);
    EXPECT_EQ(ClassifyCommandLine("|:WAIT 5"), CommandLineKind::Directive);
    EXPECT_EQ(ClassifyCommandLine("// |:HALT"), CommandLineKind::Directive);
    EXPECT_EQ(ClassifyCommandLine("a|b:c/"), CommandLineKind::Command);
}

TEST(CommandFile, DirectiveTextIsSplitAtItsFirstBlank) {
    const auto wait = terminal::SplitDirective("// x |:  WAIT   250  \r");
    EXPECT_EQ(wait.Keyword, "WAIT");
    EXPECT_EQ(wait.Argument, "250");
    const auto halt = terminal::SplitDirective("|:HALT");
    EXPECT_EQ(halt.Keyword, "HALT");
    EXPECT_EQ(halt.Argument, "");
    const auto second = terminal::SplitDirective("a |: SET |: b c");
    EXPECT_EQ(second.Keyword, "SET");
    EXPECT_EQ(second.Argument, "|: b c");
    EXPECT_EQ(terminal::SplitDirective("|:").Keyword, "");
    EXPECT_EQ(terminal::SplitDirective("no mark").Keyword, "");
}

TEST(CommandFile, WaitTimeDefaultsToOneAndNeverGoesNegative) {
    EXPECT_EQ(terminal::WaitMilliseconds("250"), 250);
    EXPECT_EQ(terminal::WaitMilliseconds(""), 1);
    EXPECT_EQ(terminal::WaitMilliseconds("soon"), 1);
    EXPECT_EQ(terminal::WaitMilliseconds("2.5"), 1);
    EXPECT_EQ(terminal::WaitMilliseconds("0"), 0);
    EXPECT_EQ(terminal::WaitMilliseconds("-40"), 0);
}

TEST(CommandFile, ProcessedLineIsSentTrimmedAndShownAsBefore) {
    const std::string line = "  RD 1 ";
    const std::string marked = terminal::MarkLine(line);
    EXPECT_EQ(marked, "  RD 1  <--");
    EXPECT_EQ(terminal::CommandFromMarkedLine(marked), "RD 1");
    EXPECT_EQ(terminal::UnmarkLine(marked), line);
    EXPECT_EQ(terminal::CommandFromMarkedLine(terminal::MarkLine("   ")), "");
    EXPECT_EQ(terminal::UnmarkLine(terminal::MarkLine("   ")), "   ");
}

TEST(CommandFile, LineHoldingAnArrowIsCutBeforeTheCharacterThatPrecedesIt) {
    const std::string marked = terminal::MarkLine("ABC<--X");
    EXPECT_EQ(terminal::CommandFromMarkedLine(marked), "AB");
    EXPECT_EQ(terminal::UnmarkLine(marked), "AB");
}

TEST(CommandFile, ArrowAtTheStartCutsToNothing) {
    EXPECT_EQ(terminal::CommandFromMarkedLine(terminal::MarkLine("<--go")), "");
    EXPECT_EQ(terminal::CommandFromMarkedLine(terminal::MarkLine("  <--go")), "");
    EXPECT_EQ(terminal::UnmarkLine("<-- go <--"), "");
    EXPECT_EQ(terminal::UnmarkLine(" <--"), "");
}

TEST(CommandFile, LineWithoutArrowIsNotErasedWhenUnmarked) {
    EXPECT_EQ(terminal::UnmarkLine("edited meanwhile"), "edited meanwhile");
    EXPECT_EQ(terminal::UnmarkLine(""), "");
}
