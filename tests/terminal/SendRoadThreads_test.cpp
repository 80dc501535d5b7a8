// The road driven from a second thread while the GUI thread sends and polls: run under
// ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/TextConvert.h"
#include "support/FakeInstrument.h"
#include "ui/GuiThread.h"
#include "support/TalvaneApp.h"

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;

namespace {

TEST(SendRoadThreads, EveryCommandGetsItsOwnReplyAndThePaneKeepsEachPairTogether) {
    FakeInstrument instrument("COM97");
    instrument.ReplyWith([](const std::string& command) { return std::optional<std::string>("R:" + command); });
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    main.cboTalvane->SetText(instrument.ComName());
    main.Terminator = "\r\n";

    constexpr int kPerThread = 25;
    std::atomic<int> workerMismatches{0};
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        for (int i = 0; i < kPerThread; ++i) {
            const std::string command = platform::Concat({"W", std::to_string(i)});
            if (main.SendThroughDoor(command) != std::optional<std::string>("R:" + command))
                ++workerMismatches;
        }
        workerDone = true;
    });
    int guiMismatches = 0;
    for (int i = 0; i < kPerThread; ++i) {
        const std::string command = platform::Concat({"G", std::to_string(i)});
        if (main.SendThroughDoor(command) != std::optional<std::string>("R:" + command))
            ++guiMismatches;
        main.DelayTimerTimer();
        TalvaneApp::ProcessEvents();
    }
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return workerDone.load(); }, 60000));
    worker.join();

    EXPECT_EQ(workerMismatches, 0);
    EXPECT_EQ(guiMismatches, 0);
    EXPECT_EQ(instrument.CommandCount(), 2u * kPerThread);
    EXPECT_EQ(main.CommandsSent, 2 * kPerThread);
    const auto lines = main.reTalvane->Lines();
    ASSERT_EQ(lines.size(), 4u * kPerThread);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string command = lines[i].substr(lines[i].find("]  ") + 3);
        EXPECT_EQ(lines[i + 1].substr(lines[i + 1].find("]  ") + 3), "R:" + command) << i;
    }
    EXPECT_FALSE(main.PortBusy);
}

TEST(SendRoadThreads, AGuiSendInsideAHandOverOfThePortsHolderIsRefusedNotAwaited) {
    FakeInstrument instrument("COM97");
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    main.cboTalvane->SetText(instrument.ComName());
    main.Terminator = "\r\n";

    // The worker holds the port and waits for a hand-over; inside it the GUI thread is asked to send
    // (as a panel's poll would, in the event loop of a box the hand-over opened).
    std::optional<std::string> inner = "not run";
    std::atomic<bool> done{false};
    std::thread worker([&] {
        bool expected = false;
        if (main.PortBusy.compare_exchange_strong(expected, true)) {
            ui::OnGui([&] { inner = main.SendThroughDoor("INNER"); });
            main.PortBusy = false;
        }
        done = true;
    });
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return done.load(); }, 20000));
    worker.join();
    EXPECT_EQ(inner, std::nullopt);
    EXPECT_EQ(instrument.CommandCount(), 0u);
    EXPECT_EQ(main.SendThroughDoor("AFTER"), std::optional<std::string>("OK"));
}

TEST(SendRoadThreads, WhileTheWindowClosesASendGoesOutOnlyWithThePortTakenAndNeverFreesAnotherThreadsHold) {
    FakeInstrument instrument("COM97");
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    main.cboTalvane->SetText(instrument.ComName());
    main.Terminator = "\r\n";

    std::atomic<bool> holding{false};
    std::atomic<bool> letGo{false};
    std::thread holder([&] {
        bool expected = false;
        holding = main.PortBusy.compare_exchange_strong(expected, true);
        while (!letGo)
            std::this_thread::yield();
        main.PortBusy = false;
    });
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return holding.load(); }));
    main.Closing = true;

    EXPECT_EQ(main.SendThroughDoor("LATE"), std::nullopt) << "the close ends the wait, not the port's hold";
    EXPECT_TRUE(main.PortBusy) << "the holder's hold stands";
    letGo = true;
    holder.join();
    EXPECT_EQ(main.SendThroughDoor("FREE"), std::optional<std::string>("OK"));
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"FREE"});
    EXPECT_FALSE(main.PortBusy);
}

}  // namespace
