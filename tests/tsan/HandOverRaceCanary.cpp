// Built only under ThreadSanitizer, and expected to fail: a plain int is written by a thread of our
// own and by a hand-over that the GUI thread carries out from Qt's event loop, with nothing ordering
// the two. ThreadSanitizer must report that race; should the suppressions hide it again (a rule that
// matches any Qt frame of either stack does), this program ends well and CI fails.
#include <QCoreApplication>

#include <atomic>
#include <thread>

#include "ui/GuiThread.h"

namespace {

int g_unguarded = 0;

void WriteFromOurThread() { ++g_unguarded; }

void WriteInAHandOver() {
    ui::OnGui([] { ++g_unguarded; });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::atomic<bool> handedOver{false};
    std::thread ours(WriteFromOurThread);
    std::thread asking([&] {
        WriteInAHandOver();
        handedOver = true;
    });
    while (!handedOver)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    asking.join();
    ours.join();
    return 0;
}
