// The hand-over of control work from a worker thread to the GUI thread.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/TextConvert.h"
#include "support/DialogFake.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GuiThread.h"
#include "ui/RichEdit.h"

namespace {

// Updates handed over without waiting keep their place among those awaited; one that fails is shown
// in the exception box, and the worker goes on.
TEST(GuiThreadThreads, WorkerUpdatesRunOnTheGuiThreadInOrder) {
    testsupport::DialogFake dialogs;
    ui::TForm form("Test", 300, 200);
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            if (i % 2 == 0)
                ui::PostToGui([pane, i] { pane->AddLine(std::to_string(i), ui::clGreen); });
            else
                pane->AddLine(std::to_string(i), ui::clGreen);
            if (i == 100)
                ui::PostToGui([] { throw std::runtime_error("posted and failed"); });
        }
        ui::OnGui([] {});
        done = true;
    });
    // The GUI thread waits the way the road does: carrying out hand-overs and nothing else.
    ui::WaitOnGui([&] { return done.load(); });
    worker.join();
    const auto lines = pane->Lines();
    ASSERT_EQ(lines.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], std::to_string(i));
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.Exceptions(), std::vector<std::string>{"posted and failed"});
}

TEST(GuiThreadThreads, AReadAheadGoesBeforeThePostedLinesStillWaitingWhichKeepTheirOrder) {
    ui::TForm form("Test", 300, 200);
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    std::atomic<bool> done{false};
    int linesWhenRead = -1;
    int linesAfterBarrier = -1;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            ui::PostToGui([pane, i] { pane->AddLine(platform::Concat({"p", std::to_string(i)}), ui::clGreen); });
        linesWhenRead = ui::OnGuiAhead([pane] { return pane->LineCount(); });
        linesAfterBarrier = ui::OnGui([pane] { return pane->LineCount(); });
        done = true;
    });
    // The GUI thread is busy elsewhere while the worker posts its lines and asks for the read.
    while (ui::WaitingHandOvers() < 4)
        std::this_thread::yield();
    ui::WaitOnGui([&] { return done.load(); });
    worker.join();
    EXPECT_EQ(linesWhenRead, 0);
    EXPECT_EQ(linesAfterBarrier, 3) << "an awaited hand-over still finds the posted ones done";
    EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"p0", "p1", "p2"}));
}

TEST(GuiThreadThreads, ValuesAndExceptionsComeBackToTheWorker) {
    testsupport::DialogFake dialogs;
    ui::TForm form("Test", 300, 200);
    auto* edit = form.Make<ui::TEdit>(form.Client(), "from the gui");
    std::string seen;
    bool threw = false;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        EXPECT_FALSE(ui::IsGuiThread());
        seen = edit->Text();
        try {
            ui::OnGui([] { throw std::runtime_error("no"); });
        } catch (const std::runtime_error&) {
            threw = true;
        }
        done = true;
    });
    ui::WaitOnGui([&] { return done.load(); });
    worker.join();
    EXPECT_EQ(seen, "from the gui");
    EXPECT_TRUE(threw);
    EXPECT_TRUE(ui::IsGuiThread());
}

}  // namespace
