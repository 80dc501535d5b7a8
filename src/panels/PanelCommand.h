#pragma once
// The command path of the laser-system panels and what their windows share.
//
// A panel owns no port: every command goes through the main window's door, exactly as if the
// operator had typed it into the command line and pressed Enter, so it is written with the
// terminator, echoed, logged, error-counted and answered there. GUI thread only.
//
//   panels::SendPanelCommand(";LC:FL 3");
//   if (auto energy = panels::Query(";LC:ED?", panels::CommandSet::Framont))
//       ...;  // the reply holds no "?": parse *energy
//   panels::RestoreMainWindow();  // at the end of a Framont or Pexmar FormClose
#include <functional>
#include <optional>
#include <string>

#include "panels/PanelSyntax.h"

namespace ui {
class TForm;
}

namespace panels {

// Sends one command and returns when its exchange is over. Returns the reply to this very command,
// cut at its first CR, or nothing when the main window refused the text or could not reopen the port.
std::optional<std::string> SendPanelCommand(const std::string& command);

// Sends a query and applies the reply test of the command set: the reply to this very command, cut at
// its first CR, or nothing when it carries no value (Ondrel and Framont: it holds "?"; Pexmar: it
// holds "Error"). A query that the door refused (no port) carries no value either: the reply that the
// main window holds then belongs to an earlier command, not to this query.
std::optional<std::string> Query(const std::string& command, CommandSet set);

// A pause between two sends of a panel's sequence. Once the program is ending it ends at once: the
// road refuses the sequence's further sends, and the ending must not wait for them.
void PauseBetweenSends(unsigned ms);

// Runs an operator's click on a STOP button: the commands it sends are a laser's stop, which the main
// window sends also once the program is ending.
void RunLaserStop(const std::function<void()>& stop);

// Sends the panel's stop command (";LC:FL 0" or "!GATE ACTIV=0").
void SendStopCommand(CommandSet set);

// Writes one command to the port, shown nowhere: how an ending without a display sends a panel's stop.
using PortWriter = std::function<void(const std::string&)>;

// The close of the Framont and Pexmar panels ends with this: unless the main window's "Show Talvane"
// is checked, the main window returns to its normal state. (Opening them minimises it, in the main
// window's own menu handlers.)
void RestoreMainWindow();

// Prepares a panel's window: the Framont and Pexmar panels stay on top of other windows.
void SetUpPanelWindow(ui::TForm& panel, bool stayOnTop);

// "The panel takes the focus": its window becomes the active one, its focused control unchanged.
void PanelTakesFocus(ui::TForm& panel);

}  // namespace panels
