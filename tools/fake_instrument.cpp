// talvane-fake-instrument: a pretend laser-system controller on a pseudo-terminal, for trying the program
// without an instrument. It links a COM name to the pseudo-terminal, prints every command it gets
// and answers each one, until Ctrl+C.
#include <pthread.h>

#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "support/FakeInstrument.h"
#include "support/FakeInstrumentOptions.h"
#include "support/FakeInstrumentScript.h"

namespace {

const char* const kUsage = R"(usage: talvane-fake-instrument [--com COMn] [--reply TEXT] [--rules FILE] [--terminator HEX]

Opens a pseudo-terminal, links it as COMn in the program's ports folder
($XDG_DATA_HOME/Orvel/Talvane/ports, by default ~/.local/share/Orvel/Talvane/ports),
prints every command it receives and answers it. Stop it with Ctrl+C; the link is removed.

  --com COMn        the COM name to link, COM1 .. COM119 (default COM3)
  --reply TEXT      the answer to every command no rule answers (default "OK\r\n");
                    escapes: \r \n \t \0 \\ \xHH
  --rules FILE      answers by rules, one a line:
                        exact <command> => <reply>
                        prefix <text> => <reply>
                    the first exact rule whose command is the whole command wins, then the
                    first prefix rule the command starts with, then the --reply text. Write the
                    reply's line end yourself (\r\n); a blank separates the keyword from the
                    command, " => " the command from the reply; lines starting with # are
                    comments. Example:
                        # identity and status
                        exact ;LC:ST? => 0\r\n
                        prefix ;SL: => OK\r\n
  --terminator HEX  the bytes that end a command, as hexadecimal values (default 0D,0A)
  --help            this text
)";

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h")
            return true;
    return false;
}

void PrintExchange(const std::string& command, const std::optional<std::string>& reply) {
    std::cout << "<- " << testsupport::Escape(command) << '\n';
    if (reply)
        std::cout << "-> " << testsupport::Escape(*reply) << '\n';
    std::cout.flush();
}

int Serve(const testsupport::FakeInstrumentOptions& options, const sigset_t& stopSignals) {
    testsupport::FakeInstrument fake(options.comName);
    fake.SetTerminator(options.terminator);
    fake.ReplyDefault(options.reply);
    testsupport::ApplyReplyRules(fake, options.rules);
    fake.OnCommand(PrintExchange);
    std::cout << fake.ComName() << " -> " << fake.SlavePath() << "  (link " << fake.LinkPath().string() << ")\n"
              << "waiting for commands; Ctrl+C ends" << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cout << "\nremoving " << fake.LinkPath().string() << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        std::cout << kUsage;
        return 0;
    }
    testsupport::FakeInstrumentOptions options;
    if (const std::optional<std::string> error =
            testsupport::ParseFakeInstrumentOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::cerr << "talvane-fake-instrument: " << *error << "\n\n" << kUsage;
        return 2;
    }
    // Blocked before the fake starts its thread, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        return Serve(options, stopSignals);
    } catch (const std::exception& error) {
        std::cerr << "talvane-fake-instrument: " << error.what() << '\n';
        return 1;
    }
}
