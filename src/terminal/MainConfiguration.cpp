// "Talvane Config.txt": read once at start-up into the port object, the terminator and the ten
// command groups; written at close when the configuration changed. Neither shows a message of its
// own; only a terminator text that does not convert is reported, as the settings dialog reports it.
//
// Two things keep the operator's file safe: the save replaces the file in one step (a crash in the
// middle leaves the old file or the new one, never a cut one), and a file whose content the program
// could not take in whole is copied to "Talvane Config.txt.bad" when it is loaded, before the close
// writes over it.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/FileSave.h"
#include "serial/TerminatorParse.h"
#include "terminal/ConfigFile.h"
#include "terminal/Main.h"
#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

namespace {

namespace fs = std::filesystem;

// An entry that exists where the file should be but cannot be read is moved to the ".bad" name, so
// that the defaults written in its place do not destroy it. Where the file is a symbolic link, that
// is the file the link names (the link stays, and the defaults are written through it). False when
// it is there and stays there.
bool MoveAsideUnreadable(const fs::path& path) {
    const std::optional<fs::path> target = platform::SaveTarget(path);
    if (!target)
        return false;
    std::error_code error;
    if (fs::symlink_status(*target, error).type() == fs::file_type::not_found)
        return true;
    fs::rename(*target, terminal::BadCopyPath(*target), error);
    return !error;
}

// The file's text; a file that cannot be read is first created with the defaults. Nothing when
// neither works (the folder is missing or not writable).
std::optional<std::string> ReadOrCreateConfigFile(const fs::path& path) {
    if (auto text = terminal::ReadFileText(path))
        return text;
    if (!MoveAsideUnreadable(path) || !platform::SaveTextAtomically(path, terminal::DefaultConfigText()))
        return std::nullopt;
    return terminal::ReadFileText(path);
}

// Something other than blanks and line ends after the last of the file's lines.
bool HoldsTextBeyondLastLine(std::string_view text) {
    std::size_t next = 0;
    for (int line = 0; line < terminal::kConfigLineCount; ++line) {
        const std::size_t lf = text.find('\n', next);
        if (lf == std::string_view::npos)
            return false;
        next = lf + 1;
    }
    return text.substr(next).find_first_not_of(" \t\r\n") != std::string_view::npos;
}

// The next save would write something else in place of what the file holds: reading stopped early
// (the rest reads as empty), the terminator line does not convert (the previous terminator is kept),
// or lines follow the last one (they are ignored).
bool SaveWouldLoseFileContent(const terminal::ConfigReadResult& read, std::string_view text) {
    const std::optional<std::string>& terminator = read.values.TerminatorText;
    const bool terminatorRejected = terminator && !terminator->empty() && !serial::ParseTerminatorBytes(*terminator);
    return read.stoppedEarly || terminatorRejected || HoldsTextBeyondLastLine(text);
}

// Lines 1 to 6; a line that was not read leaves its field as it was.
void ApplyPortValues(CSerialPort& port, const terminal::ConfigValues& values) {
    if (values.PortName)
        port.PortName = *values.PortName;
    if (values.BaudString)
        port.BaudString = *values.BaudString;
    if (values.BaudRate)
        port.BaudRate = *values.BaudRate;
    if (values.DataBits)
        port.DataBits = *values.DataBits;
    if (values.Parity)
        port.Parity = *values.Parity;
    if (values.StopBits)
        port.StopBits = *values.StopBits;
}

// Line 7, through the parse the settings dialog applies on Enter. Whatever it does, the terminator
// counts as not edited afterwards.
void ApplyTerminatorLine(TTalvaneForm& form, const std::optional<std::string>& text) {
    if (text)
        serial::ApplyTerminatorText(*text, form.TerminatorText, form.Terminator, form.TerminatorChanged,
                                    ui::ShowExceptionBox);
    form.TerminatorChanged = false;
}

// The groups into their records and the group list; each history also into CommandArray, which
// therefore ends with the last group's history.
void ApplyGroups(TTalvaneForm& form, const std::array<terminal::ConfigGroup, terminal::kConfigGroupCount>& groups) {
    form.cboCommandGroup->ClearItems();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        TCommandGroup& group = form.CommandGroups[g];
        group.GroupName = groups[g].GroupName;
        form.cboCommandGroup->AddItem(group.GroupName);
        group.CommandStrings = groups[g].CommandStrings;
        group.Commands = groups[g].Commands;
        form.CommandArray = group.Commands;
    }
}

// Shows the group at index; an index naming no group selects none, and the handler then does nothing.
void SelectGroup(TTalvaneForm& form, int index) {
    const bool names = index >= 0 && index < form.cboCommandGroup->ItemCount();
    form.cboCommandGroup->SetItemIndex(names ? index : -1);
    form.cboCommandGroupSelect();
}

terminal::ConfigValues CurrentValues(const TTalvaneForm& form) {
    terminal::ConfigValues values;
    const CSerialPort& port = *form.SerialPort;
    values.PortName = port.PortName;
    values.BaudString = port.BaudString;
    values.BaudRate = port.BaudRate;
    values.DataBits = port.DataBits;
    values.Parity = port.Parity;
    values.StopBits = port.StopBits;
    values.TerminatorText = form.TerminatorText;
    values.GroupIndex = form.CurrentGroup;
    for (std::size_t g = 0; g < values.CommandGroups.size(); ++g) {
        const TCommandGroup& group = form.CommandGroups[g];
        values.CommandGroups[g] = {group.GroupName, group.CommandStrings, group.Commands};
    }
    return values;
}

}  // namespace

void TTalvaneForm::LoadConfigurationFile() {
    ui::OnGui([this] {
        const fs::path path = ConfigFilePath();
        const std::optional<std::string> text = ReadOrCreateConfigFile(path);
        if (!text) {
            SelectGroup(*this, 0);
            return;
        }
        const terminal::ConfigReadResult read = terminal::ReadConfigText(*text);
        if (SaveWouldLoseFileContent(read, *text))
            terminal::KeepBadCopy(path);
        ApplyPortValues(*SerialPort, read.values);
        ApplyTerminatorLine(*this, read.values.TerminatorText);
        ApplyGroups(*this, read.values.CommandGroups);
        SelectGroup(*this, read.values.GroupIndex.value_or(0));
    });
}

void TTalvaneForm::SaveConfigurationFile() {
    ui::OnGui([this] {
        if (CurrentGroup >= 0 && CurrentGroup < terminal::kConfigGroupCount)
            StoreCommandGroup(CurrentGroup);
        platform::SaveTextAtomically(ConfigFilePath(), terminal::FormatConfigText(CurrentValues(*this)));
    });
}
