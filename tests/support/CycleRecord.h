#pragma once
// The commands and replies of a cycle as the pane and the log keep them: gathered from their saved
// files (the saves at 20000 lines) and what they hold now, and checked for loss and pairing.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The lines of the pane's saved files ("Talvane Output*.doc", plain text in the Orvel Logs folder),
// oldest file first, and how many files there were.
std::vector<std::string> PaneSavedLines(std::size_t* files = nullptr);
// How many files the pane has been saved into, without reading them.
std::size_t PaneSaveCount();
// The lines of the log's saved files ("Comm Log Output*.doc", rich text in the Drennick Logs folder),
// oldest file first, and how many files there were.
std::vector<std::string> LogSavedLines(std::size_t* files = nullptr);

struct PairingCheck {
    std::size_t pairs = 0;   // command lines followed by their reply line
    std::size_t faults = 0;  // lines out of place: a command out of turn, a missing or wrong reply
    std::string firstFault;
};

// Walks the stamped lines ("[" stamp "]  " text; all others are left aside): each must be the next of
// commands, taken in turn over and over from the first, followed by the line replyTo(command).
PairingCheck CheckPairs(const std::vector<std::string>& lines, const std::vector<std::string>& commands,
                        const std::function<std::string(const std::string&)>& replyTo);

}  // namespace testsupport
