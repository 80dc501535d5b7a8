// The hand-over of control work from a worker thread to the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "support/DialogFake.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GuiThread.h"
#include "ui/RichEdit.h"

namespace {

TEST(GuiThreadThreads, WorkerUpdatesRunOnTheGuiThreadInOrder) {
    testsupport::DialogFake dialogs;
    ui::TForm form("Test", 300, 200);
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            pane->AddLine(std::to_string(i), ui::clGreen);
        done = true;
    });
    // The GUI thread waits the way the road does: carrying out hand-overs and nothing else.
    ui::WaitOnGui([&] { return done.load(); });
    worker.join();
    const auto lines = pane->Lines();
    ASSERT_EQ(lines.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], std::to_string(i));
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
