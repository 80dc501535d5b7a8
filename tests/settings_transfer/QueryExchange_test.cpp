// The settings window's exchange on a real port: a fake instrument on a pseudo-terminal linked as
// COM97, the port object opened on it as the main window leaves it (short read constant), and the
// operator's message boxes answered by the dialog fake.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "serial/CommPort.h"
#include "settings_transfer/QueryExchange.h"
#include "support/DialogFake.h"
#include "support/FakeInstrument.h"
#include "TransferPauses.h"

using settings_transfer::QueryMode;
using testsupport::FakeInstrument;

namespace {

constexpr const char* kWriteFailureCaption = "Serial Write Failure";
constexpr const char* kErrorCaption = "Error Reponse Received";

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        instrument.SetTerminator("\r");
        ASSERT_TRUE(port.OpenPort("COM97"));
        ASSERT_TRUE(port.ConfigurePortFast("9600"));
        port.SetReadTimeouts();
        exchange.SetPort(&port);
    }

    // Answers the n-th command (counted from 1) with answer(n); "" leaves it unanswered.
    void AnswerByCount(std::function<std::string(int)> answer) {
        instrument.ReplyWith([this, answer](const std::string&) { return std::optional<std::string>(answer(++count_)); });
    }

    // What the instrument received once it has read this many writes (each ends in a CR): the last write
    // of an exchange that went unanswered may still be on its way when the exchange has given up.
    std::string ReceivedOnceRead(std::size_t writes) {
        EXPECT_TRUE(instrument.WaitForCommands(writes, std::chrono::seconds(20))) << writes << " writes";
        return instrument.Received();
    }

private:
    std::atomic<int> count_{0};  // before the fake, whose rule counts in it until its thread ends

protected:
    FakeInstrument instrument{"COM97"};
    CSerialPort port;
    testsupport::DialogFake dialogs;
    settings_transfer::QueryExchange exchange;
};

TEST_F(Exchange, AnAcknowledgedCommandIsWrittenOnceWithCrLfAndItsReplyComesBackWhole) {
    instrument.ReplyDefault("OK\r\n");
    EXPECT_EQ(exchange.SendQuery("RATE 1000", QueryMode::Acknowledged), "OK\r\n");
    EXPECT_EQ(instrument.Received(), "RATE 1000\r\n");
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(Exchange, ADataReplyIsTakenAtOnceWhenDataIsExpected) {
    instrument.ReplyDefault("1000\r\n");
    EXPECT_EQ(exchange.SendQuery("RATE?", QueryMode::Data), "1000\r\n");
    EXPECT_EQ(instrument.Received(), "RATE?\r\n");
}

TEST_F(Exchange, AReplyWithoutOkOrOKIsResentTwiceWithALoneCr) {
    instrument.ReplyDefault("Ok\r\n");
    EXPECT_EQ(exchange.SendQuery("SET 1", QueryMode::Acknowledged), "Ok\r\n");
    EXPECT_EQ(instrument.Received(), "SET 1\r\nSET 1\rSET 1\r");
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(Exchange, BothResendsAreMadeAndAnAnswerIsNotLostToALaterSilence) {
    AnswerByCount([](int n) { return std::string(n == 2 ? "ok\r\n" : ""); });
    EXPECT_EQ(exchange.SendQuery("SET 1", QueryMode::Acknowledged), "ok\r\n");
    EXPECT_EQ(ReceivedOnceRead(3), "SET 1\r\nSET 1\rSET 1\r");

    instrument.ClearReceived();
    AnswerByCount([](int n) { return std::string(n == 5 ? "1000\r\n" : ""); });
    EXPECT_EQ(exchange.SendQuery("RATE?", QueryMode::Data), "1000\r\n");
    EXPECT_EQ(ReceivedOnceRead(3), "RATE?\r\nRATE?\rRATE?\r");
}

TEST_F(Exchange, ASilentInstrumentCostsThreeWritesAndGivesAnEmptyReplyWithoutAMessage) {
    transfertest::TransferPauses pauses(true);
    instrument.SetSilent(true);
    for (const QueryMode mode : {QueryMode::Data, QueryMode::Acknowledged}) {
        instrument.ClearReceived();
        EXPECT_EQ(exchange.SendQuery("RATE?", mode), "");
        EXPECT_EQ(ReceivedOnceRead(3), "RATE?\r\nRATE?\rRATE?\r");
    }
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_FALSE(exchange.PortFailed());
}

TEST_F(Exchange, OnlyTheShownErrorCodesRaiseABoxNamingTheCodeAndTheCommand) {
    const std::vector<std::pair<std::string, int>> replies{
        {"?E5\r\n", 0}, {"?3\r\n", 0}, {"?E2 ?4\r\n", 0}, {"err ?6\r\n", 1}, {"?1\r\n", 1}};
    for (const auto& [reply, boxes] : replies) {
        dialogs.ClearRecords();
        instrument.ReplyDefault(reply);
        EXPECT_EQ(exchange.SendQuery("GAIN?", QueryMode::Data), reply);
        EXPECT_EQ(static_cast<int>(dialogs.Messages().size()), boxes) << reply;
    }
    instrument.ReplyDefault("?6\r\n");
    dialogs.ClearRecords();
    exchange.SendQuery("GAIN?", QueryMode::Data);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0].text, "Serial Write resulted in an error response: \r\n ?6 from command GAIN?");
    EXPECT_EQ(dialogs.Messages()[0].caption, kErrorCaption);
    EXPECT_EQ(dialogs.Messages()[0].icon, ui::MsgIcon::Error);
}

TEST_F(Exchange, AnAcknowledgementOutweighsAnErrorCodeAndAnErrorAfterResendsIsShownOnce) {
    instrument.ReplyDefault("ok ?4\r\n");
    exchange.SendQuery("SET 1", QueryMode::Acknowledged);
    EXPECT_EQ(instrument.Received(), "SET 1\r\n");
    EXPECT_TRUE(dialogs.Messages().empty());

    instrument.ClearReceived();
    instrument.ReplyDefault("?4\r\n");
    exchange.SendQuery("SET 1", QueryMode::Acknowledged);
    EXPECT_EQ(instrument.Received(), "SET 1\r\nSET 1\rSET 1\r");
    EXPECT_EQ(dialogs.CountMessages("Serial Write resulted in an error response: \r\n ?4 from command SET 1"), 1);
}

TEST_F(Exchange, AClosedPortIsOpenedAgainByItsNameBeforeTheWrite) {
    port.ClosePort();
    instrument.ReplyDefault("1000\r\n");
    EXPECT_EQ(exchange.SendQuery("RATE?", QueryMode::Data), "1000\r\n");
    EXPECT_TRUE(port.IsPortOpen());
    EXPECT_EQ(port.PortName, "COM97");
}

TEST_F(Exchange, AVanishedDeviceIsReportedOnceAndEndsTheExchangeAsAFailure) {
    instrument.HangUp();
    for (const QueryMode mode : {QueryMode::Acknowledged, QueryMode::Data}) {
        dialogs.ClearRecords();
        EXPECT_EQ(exchange.SendQuery("RATE?", mode), "");
        ASSERT_EQ(dialogs.Messages().size(), 1u);
        EXPECT_EQ(dialogs.Messages()[0].text, "Serial Write Failed writing: RATE?");
        EXPECT_EQ(dialogs.Messages()[0].caption, kWriteFailureCaption);
        EXPECT_EQ(dialogs.Messages()[0].icon, ui::MsgIcon::Error);
        EXPECT_TRUE(exchange.PortFailed());
    }
    exchange.Reset();
    EXPECT_FALSE(exchange.PortFailed());
}

TEST_F(Exchange, WithoutAPortEveryCommandIsAWriteFailure) {
    exchange.SetPort(nullptr);
    EXPECT_EQ(exchange.SendQuery("RATE?", QueryMode::Data), "");
    EXPECT_EQ(dialogs.CountMessages("Serial Write Failed writing: RATE?"), 1);
    EXPECT_TRUE(exchange.PortFailed());
}

}  // namespace
