// The query-file interpreter and the restore-file lines, without window or port: the interpreter's
// link answers each query from a table, as an instrument with fixed settings would.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/TextConvert.h"
#include "settings_transfer/QueryExchange.h"
#include "settings_transfer/QueryFile.h"

using settings_transfer::QueryInterpreter;
using settings_transfer::QueryMode;
using Lines = std::vector<std::string>;

namespace {

class TableInstrument : public settings_transfer::DownloadLink {
public:
    std::map<std::string, std::string> replies;  // by command; others get no reply
    std::vector<std::pair<std::string, QueryMode>> sent;
    std::vector<unsigned> pauses;
    Lines restore;
    Lines settings;

    std::string SendQuery(const std::string& command, QueryMode mode) override {
        sent.emplace_back(command, mode);
        const auto found = replies.find(command);
        return found == replies.end() ? std::string() : found->second;
    }
    void Pause(unsigned ms) override { pauses.push_back(ms); }
    void AppendRestoreLine(const std::string& line) override { restore.push_back(line); }
    void AppendSettingsLine(const std::string& line) override { settings.push_back(line); }
};

class Interpreter : public ::testing::Test {
protected:
    void Run(const Lines& queryFile) {
        interpreter.Start();
        for (const auto& line : queryFile)
            interpreter.ProcessLine(line);
        interpreter.Finish();
    }
    Lines SentCommands() const {
        Lines commands;
        for (const auto& [command, mode] : instrument.sent)
            commands.push_back(command);
        return commands;
    }

    TableInstrument instrument;
    QueryInterpreter interpreter{instrument};
};

TEST_F(Interpreter, EveryKindOfLineMakesItsQueryRestoreLineAndSettingsLine) {
    instrument.replies = {{"RATE?", "1000\r\n"},           {"MODE?", "1\r\n"},       {":SYST:SERN?", "SN 12345\r\n"},
                          {"INIT", "ok\r\n"},              {"WIDT?", "W=12.5ms\r\n"}, {"CHAN?", "A;B;C\r\n"},
                          {"GAIN?", "hdr;g=5;g=7;\r\n"},   {"TEMP?", "21.5\r\n"}};
    Run({"Rate,RATE?", "Mode,|2,MODE?,0,Off,1,On,", "Serial,:SYST:SERN?", "Reset,#INIT", "Width,|1,WIDT?,=,1,ms,-1",
         "Chan,|3,CHAN?,;", "Gain,|4,GAIN?,=,1,;,-1,;,1", "Temp,@TEMP?"});

    EXPECT_EQ(instrument.restore, (Lines{"Rate,RATE 1000", "Mode,MODE On", "Serial,*SER 12345", "Reset,INIT",
                                         "Width,WIDT 12.5", "Chan,CHAN 0 A", "Chan,CHAN 1 B", "Gain,GAIN 7"}));
    EXPECT_EQ(instrument.settings, (Lines{"Rate,1000", "Mode,On", "Serial,SN 12345", "Width,12.5", "Chan,A", "Chan,B",
                                          "Gain,7", "Temp,21.5"}));
    const std::vector<std::pair<std::string, QueryMode>> expectedSent{
        {"RATE?", QueryMode::Data},         {"MODE?", QueryMode::Acknowledged}, {":SYST:SERN?", QueryMode::Data},
        {"INIT", QueryMode::Acknowledged},  {"WIDT?", QueryMode::Acknowledged}, {"CHAN?", QueryMode::Acknowledged},
        {"GAIN?", QueryMode::Acknowledged}, {"TEMP?", QueryMode::Data}};
    EXPECT_EQ(instrument.sent, expectedSent);
    EXPECT_EQ(instrument.pauses, std::vector<unsigned>{50}) << "only the set command waits first";
    EXPECT_TRUE(interpreter.MissingLines().empty());
}

TEST_F(Interpreter, CommentsAndBlankLinesAreSkippedAndOnlyCommasMakeInstructions) {
    instrument.replies = {{"A?", "1\r\n"}};
    for (const std::string line : {"", "no comma here", "Rate,RATE? // old", "Rate,/*RATE?", "// Rate,RATE?"})
        EXPECT_FALSE(interpreter.ProcessLine(line)) << line;
    EXPECT_TRUE(interpreter.ProcessLine("A,A?"));
    EXPECT_EQ(SentCommands(), Lines{"A?"});
}

TEST_F(Interpreter, RestoreLinesOfADeferredBlockFollowAllOthersButSettingsLinesStayInPlace) {
    instrument.replies = {{"A?", "1\r\n"}, {"B?", "2\r\n"}, {"C?", "3\r\n"}, {"D?", "4\r\n"}, {"E", "ok\r\n"}};
    Run({"A,A?", "/* applied last", "B,B?", "C,C?", "*/", "D,D?", "/* one-line comment */", "E,#E"});

    EXPECT_EQ(instrument.restore, (Lines{"A,A 1", "D,D 4", "E,E", "B,B 2", "C,C 3"}));
    EXPECT_EQ(instrument.settings, (Lines{"A,1", "B,2", "C,3", "D,4"}));
}

TEST_F(Interpreter, AnUnclosedDeferredBlockHoldsBackEveryLaterRestoreLineBeyondAThousandWithoutLosingOne) {
    Lines file{"/*"};
    Lines expected;
    for (int i = 0; i < 1500; ++i) {
        file.push_back(platform::Concat({"S", std::to_string(i), ",#SET ", std::to_string(i)}));
        expected.push_back(platform::Concat({"S", std::to_string(i), ",SET ", std::to_string(i)}));
    }
    instrument.replies = {};  // set commands unanswered are restored all the same

    Run(file);

    EXPECT_EQ(instrument.restore, expected);
    EXPECT_EQ(interpreter.DeferredCount, 1500u);
}

TEST_F(Interpreter, RepliesMarkedAsErrorsOrMissingWriteNothingAndAreListed) {
    instrument.replies = {{"ERR?", "?4\r\n"}, {"SET 1", "?E2\r\n"}, {"Q?", "what?\r\n"}, {"LST?", "a;?;\r\n"},
                          {"EMPTY?", "\r\n"}};
    Run({"Err,ERR?", "Set,#SET 1", "Gone,GONE?", "Qm,@Q?", "List,|3,LST?,;", "Empty,EMPTY?", "Unanswered,#NOACK"});

    EXPECT_EQ(interpreter.MissingLines(), (Lines{"Err,ERR?", "Set,#SET 1", "Gone,GONE?", "Qm,@Q?", "List,|3,LST?,;"}));
    EXPECT_EQ(instrument.restore, (Lines{"Empty,EMPTY ", "Unanswered,NOACK"}))
        << "an empty answer is still a value; a set command without an answer is still restored";
    EXPECT_EQ(instrument.settings, (Lines{"Empty,"}));
}

TEST_F(Interpreter, LookupPairsEndWithTheEmptyKeyAndTheLastPairForAKeyWins) {
    instrument.replies = {{"M?", "1\r\n"}};
    Run({"NoEnd,|2,M?,0,Off,1,On", "End,|2,M?,0,Off,1,On,", "Twice,|2,M?,1,First,1,Second,", "Unknown,|2,M?,0,Off,"});

    EXPECT_EQ(instrument.settings, (Lines{"NoEnd,", "End,On", "Twice,Second", "Unknown,1"}));
    EXPECT_EQ(instrument.restore[0], "NoEnd,M ");
}

TEST_F(Interpreter, ALookupLineReadsAtMostFortyPairs) {
    std::string line = "Many,|2,K?";
    for (int i = 0; i < 45; ++i)
        line += platform::Concat({",", std::to_string(i), ",v", std::to_string(i)});
    instrument.replies = {{"K?", "39\r\n"}};
    Run({line});
    instrument.replies = {{"K?", "40\r\n"}};
    Run({line});

    EXPECT_EQ(instrument.settings, (Lines{"Many,v39", "Many,40"}));
    EXPECT_EQ(interpreter.LookupTable[39].key, "39");
}

TEST_F(Interpreter, AListTakesOnlyPiecesThatASeparatorFollowsAndStopsAtAnEmptyOne) {
    instrument.replies = {{"OPEN?", "A;B;C"}, {"CLOSED?", "A;B;C;"}, {"GAP?", "A;;B;"}, {"CR?", "x\ry\r\n"},
                          {"WIDE?", "A::B::"}, {"NONE?", "ABC\r\n"}};
    Run({"O,|3,OPEN?,;", "C,|3,CLOSED?,;", "G,|3,GAP?,;", "R,|3,CR?,\\r", "W,|3,WIDE?,::", "N,|3,NONE?,;"});

    EXPECT_EQ(instrument.restore, (Lines{"O,OPEN 0 A", "O,OPEN 1 B", "C,CLOSED 0 A", "C,CLOSED 1 B", "C,CLOSED 2 C",
                                         "G,GAP 0 A", "R,CR 0 x", "R,CR 1 y", "W,WIDE 0 A", "W,WIDE 1 B"}));
    EXPECT_EQ(instrument.settings.size(), instrument.restore.size());
    EXPECT_EQ(interpreter.MissingLines(), Lines{"N,|3,NONE?,;"});
}

TEST_F(Interpreter, ExtractCutsStayInsideTheReplyWhateverTheOffsets) {
    instrument.replies = {{"W?", "W=12.5ms\r"}};
    Run({"NoStart,|1,W?,#,0,ms,-1",         // start marker absent, a = 0: the whole reply before the end cut
         "PastEnd,|1,W?,=,100,,0",          // start past the end
         "Negative,|1,W?,=,-50,ms,-99",     // start below 1 counts as 1; count below 1 gives ""
         "Words,|1,W?,=,one,ms,two",        // offsets that are not numbers count as 0
         "Huge,|1,W?,=,2147483647,ms,2147483647"});

    EXPECT_EQ(instrument.settings, (Lines{"NoStart,W=12.5", "PastEnd,", "Negative,", "Words,=12.5m", "Huge,"}));
}

TEST_F(Interpreter, AnIndexedListSkipsWhatPrecedesTheFirstSeparatorAndGivesEmptyOutsideItsValues) {
    instrument.replies = {{"G?", "hdr;g=5;g=7;\r\n"}, {"R?", "same\r\n"}};
    Run({"First,|4,G?,=,1,;,-1,;,0", "Beyond,|4,G?,=,1,;,-1,;,2", "Negative,|4,G?,=,1,;,-1,;,-1",
         "Far,|4,G?,=,1,;,-1,;,99999", "NoSeparator,|4,R?,,0,,0,;,39"});

    EXPECT_EQ(instrument.settings, (Lines{"First,5", "Beyond,", "Negative,", "Far,", "NoSeparator,same\r\n"}));
    EXPECT_EQ(interpreter.ValueList[0], "same\r\n") << "without a separator the one value fills all forty places";
}

TEST_F(Interpreter, TypedLinesOfAnUnknownKindSendNothing) {
    for (const std::string line : {"Five,|5,X?,a", "Twelve,|12,X?", "Late,X?|1,Y", "Bare,|1"})
        EXPECT_TRUE(interpreter.ProcessLine(line)) << line;
    EXPECT_TRUE(instrument.sent.empty());
    EXPECT_TRUE(instrument.settings.empty());
}

TEST_F(Interpreter, SerialNumberLinesSendWhatFollowsTheirCommaAndRestoreTheNumberAfterTheBlank) {
    instrument.replies = {{":SYST:SERN?", "12345X\r\n"}, {"  :SYST:SERN?", "SN 1 2\r\n"}};
    Run({"Plain,:SYST:SERN?", "Spaced,x,  :SYST:SERN?"});

    EXPECT_EQ(instrument.restore, (Lines{"Plain,*SER 12345", "Spaced,*SER 1 2"}));
    EXPECT_EQ(instrument.settings, (Lines{"Plain,12345X", "Spaced,SN 1 2"}));
}

TEST_F(Interpreter, AQueryWithoutTheCommaThatShouldFollowItIsSentEmpty) {
    instrument.replies = {{"", "5\r\n"}};
    Run({"Label,", "Typed,|1,W?"});
    EXPECT_EQ(SentCommands(), (Lines{"", ""}));
    EXPECT_EQ(instrument.restore, (Lines{"Label, 5", "Typed, 5"}));
}

TEST(RestoreFile, TheUploadSendsTheTextAfterTheFirstCommaAndShowsTheValueAfterTheFirstBlank) {
    using settings_transfer::ParseRestoreLine;
    using settings_transfer::UploadSettingsLine;
    EXPECT_EQ(UploadSettingsLine(*ParseRestoreLine("Rate,RATE 1000")), "Rate,1000");
    EXPECT_EQ(ParseRestoreLine("Rate,RATE 1000")->command, "RATE 1000");
    EXPECT_EQ(UploadSettingsLine(*ParseRestoreLine("Reset,INIT")), "Reset,INIT");
    EXPECT_EQ(UploadSettingsLine(*ParseRestoreLine("Chan,CHAN 1 B")), "Chan,1 B");
    EXPECT_EQ(ParseRestoreLine("a,b,c")->command, "b,c");
    EXPECT_EQ(ParseRestoreLine(",X")->label, "");
    for (const std::string skipped : {"", "no comma", "//Rate,RATE 1", "Rate,RATE 1 // note"})
        EXPECT_FALSE(ParseRestoreLine(skipped).has_value()) << skipped;
    EXPECT_TRUE(ParseRestoreLine("/*,X").has_value()) << "block comments mean nothing to the upload";
}

TEST(Progress, TheBarStepsOnceEveryHundredthOfTheLinesRoundedDownPlusOne) {
    const auto stepsFor = [](std::size_t lines) {
        settings_transfer::ProgressTicker ticker(lines);
        int steps = 0;
        for (std::size_t i = 0; i < lines; ++i)
            steps += ticker.Tick() ? 1 : 0;
        return steps;
    };
    EXPECT_EQ(stepsFor(99), 99);
    EXPECT_EQ(stepsFor(100), 50);
    EXPECT_EQ(stepsFor(250), 83);
    EXPECT_EQ(stepsFor(0), 0);
}

TEST(ReplyText, CutAcknowledgementAndErrorCodes) {
    std::string s = "1000\r\nrest";
    settings_transfer::CutAtMarker(s, "\r\n");
    EXPECT_EQ(s, "1000");
    settings_transfer::CutAtMarker(s, "x");
    EXPECT_EQ(s, "1000");
    settings_transfer::CutAtMarker(s, "1");
    EXPECT_EQ(s, "");

    EXPECT_TRUE(settings_transfer::IsAcknowledged("OK\r\n"));
    EXPECT_TRUE(settings_transfer::IsAcknowledged("it is ok"));
    EXPECT_FALSE(settings_transfer::IsAcknowledged("Ok"));
    EXPECT_FALSE(settings_transfer::IsAcknowledged("oK"));

    using settings_transfer::ScanErrorCodes;
    const std::vector<std::tuple<std::string, bool, std::string>> table{
        {"?E5", true, ""},  {"?E2 ?4", true, ""}, {"?1", true, "?1"}, {"?2", true, "?2"}, {"?3", false, ""},
        {"?3 ?4", false, ""}, {"?7", true, "?7"}, {"?8", false, ""},  {"?E", false, ""}, {"", false, ""}};
    for (const auto& [reply, found, shown] : table) {
        EXPECT_EQ(ScanErrorCodes(reply).errorFound, found) << reply;
        EXPECT_EQ(ScanErrorCodes(reply).shownCode, shown) << reply;
    }
}

TEST(MessageList, ShowsTenLinesCutAfterEightyCharactersAndCountsTheRest) {
    EXPECT_EQ(settings_transfer::ListForMessage({std::string(80, 'a'), std::string(81, 'b')}),
              std::string(80, 'a') + "\r\n" + std::string(80, 'b') + "...");
    Lines lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back(platform::Concat({"L", std::to_string(i)}));
    EXPECT_EQ(settings_transfer::ListForMessage({"a", "b"}), "a\r\nb");
    const std::string text = settings_transfer::ListForMessage(lines);
    EXPECT_NE(text.find("L9\r\n... and 2 more"), std::string::npos);
    EXPECT_EQ(text.find("L10"), std::string::npos);
}

}  // namespace
