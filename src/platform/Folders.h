#pragma once
// The program's two install folders, mapped under $XDG_DATA_HOME (default ~/.local/share).
#include <filesystem>

namespace platform {

// $XDG_DATA_HOME/Orvel/Talvane: configuration file, pane logs, printed PDFs, the ports folder.
std::filesystem::path OrvelFolder();
// $XDG_DATA_HOME/Drennick/Talvane: the log window's files and the panel files.
std::filesystem::path DrennickFolder();
// OrvelFolder()/ports: links named COMn that map a COM name to a device.
std::filesystem::path PortsFolder();

// Creates both folders and their Logs folders when missing. Returns false when one could not be made.
bool CreateInstallFolders();

}  // namespace platform
