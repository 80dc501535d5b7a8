// A long run: a strings cycle of 100 000 commands (or the count given as the first argument) to the
// fake instrument as fast as the road allows, with logging on, so that the pane's and the log's saves
// at 20000 lines come as they come. Reports the resident memory at the start, after each save of the
// pane, every 10 000 commands and at the end, the commands per second, and checks from the saved
// files and from what the pane and the log hold at the end that every command line is followed by
// its reply, in order, none lost.
//
// The pane and the log each hold up to 20000 lines, a few MiB, and give them back at each save: the
// memory rises and falls with them. Flat memory is judged at one point of that rise and fall, right
// after each save of the pane (the log saves at about the same command): the last such level should be
// within 5 % of the first. The end, with both full, is set beside the first too.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/TextConvert.h"
#include "serial/CommLog.h"
#include "support/CycleRecord.h"
#include "support/FakeInstrument.h"
#include "support/OffscreenProcess.h"
#include "support/TalvaneApp.h"
#include "terminal/commcyclethread.h"

namespace {

constexpr const char* kPort = "COM97";
constexpr long kCheckpointEvery = 10000;

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

void Report(const char* what, long commands, double seconds, long rssKiB) {
    std::printf("%-22s commands %7ld  at %6.1f s  %6.1f commands/s  RSS %7.1f MiB\n", what, commands, seconds,
                seconds > 0 ? static_cast<double>(commands) / seconds : 0.0, static_cast<double>(rssKiB) / 1024.0);
    std::fflush(stdout);
}

double PercentAbove(long level, long reference) {
    return reference > 0 ? 100.0 * static_cast<double>(level - reference) / static_cast<double>(reference) : 0.0;
}

bool ReportPairs(const char* where, const std::vector<std::string>& lines, const std::vector<std::string>& commands,
                 long sent) {
    const testsupport::PairingCheck check =
        testsupport::CheckPairs(lines, commands, [](const std::string&) { return std::string("OK"); });
    const bool whole = check.faults == 0 && static_cast<long>(check.pairs) == sent;
    std::printf("%-5s command and reply pairs %ld of %ld sent, faults %zu%s%s\n", where,
                static_cast<long>(check.pairs), sent, check.faults, check.faults ? ": first " : "",
                check.firstFault.c_str());
    return whole;
}

}  // namespace

int main(int argc, char** argv) {
    const long total = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    testsupport::OffscreenProcess process("talvane-soak");
    QApplication qtApp(argc, argv);

    testsupport::FakeInstrument instrument{kPort};
    std::atomic<long> sent{0};
    instrument.ReplyDefault("OK\r\n");
    instrument.OnCommand([&sent](const std::string&, const std::optional<std::string>&) { ++sent; });
    testsupport::TalvaneApp::WriteConfigForPort(kPort);
    testsupport::TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    if (CommCycleThread == nullptr) {
        main.cboTalvane->SetItemIndex(TTalvaneForm::FindComboText(*main.cboTalvane, kPort));
        main.cboTalvaneSelect();
    }
    main.Terminator = "\r\n";
    main.EnableLog1Click();
    std::vector<std::string> commands;
    for (std::size_t k = 0; k < main.edString.size(); ++k) {
        commands.push_back(platform::Concat({"S", std::to_string(k + 1)}));
        main.edString[k]->SetText(commands.back());
        main.cbCycleString[k]->SetChecked(true);
    }
    main.leCycleCount->SetText(std::to_string(total / static_cast<long>(commands.size())));
    main.leCommandDelay->SetText("0");
    main.leCycleDelay->SetText("0");

    QElapsedTimer wall;
    wall.start();
    Report("start", 0, 0, ResidentKiB());
    long rssAfterFirstSave = 0;
    long rssAfterLastSave = 0;
    std::size_t saves = 0;
    long nextCheckpoint = kCheckpointEvery;
    main.cmdStartCycleClick();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        instrument.ClearReceived();  // the fake's own record would grow; the count is kept above
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        if (const std::size_t now = testsupport::PaneSaveCount(); now > saves) {
            saves = now;
            rssAfterLastSave = ResidentKiB();
            if (rssAfterFirstSave == 0)
                rssAfterFirstSave = rssAfterLastSave;
            Report(("after save " + std::to_string(saves)).c_str(), sent, seconds, rssAfterLastSave);
        }
        for (; sent >= nextCheckpoint; nextCheckpoint += kCheckpointEvery)
            Report("checkpoint", sent, seconds, ResidentKiB());
        if (!main.WorkerRunsCycle() && CommCycleThread->Idle())
            loop.quit();
    });
    tick.start(100);
    loop.exec();
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    const long rssEnd = ResidentKiB();
    Report("end", sent, seconds, rssEnd);

    std::size_t paneFiles = 0;
    std::size_t logFiles = 0;
    std::vector<std::string> pane = testsupport::PaneSavedLines(&paneFiles);
    const std::vector<std::string> paneNow = main.reTalvane->Lines();
    pane.insert(pane.end(), paneNow.begin(), paneNow.end());
    std::vector<std::string> log = testsupport::LogSavedLines(&logFiles);
    const std::vector<std::string> logNow = CommLogForm->reLog->Lines();
    log.insert(log.end(), logNow.begin(), logNow.end());
    std::printf("saved files: pane %zu, log %zu\n", paneFiles, logFiles);
    const bool paneWhole = ReportPairs("pane", pane, commands, sent);
    const bool logWhole = ReportPairs("log", log, commands, sent);

    const double growth = PercentAbove(rssAfterLastSave, rssAfterFirstSave);
    const bool flat = growth <= 5.0;
    std::printf("RSS after the last save (%zu) against after the first: %+.1f %% (%s); at the end, both full: %+.1f %%\n",
                saves, growth, flat ? "within 5 %" : "MORE than 5 %", PercentAbove(rssEnd, rssAfterFirstSave));
    main.StopAndWaitWorker();
    const bool passed = paneWhole && logWhole && flat;
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
