// The main window's ten-entry command history, its five common strings and its ten command groups,
// with the rename and copy dialogs.
//
// The history, the boxes and the group records are form state of the GUI thread. The strings cycle
// reaches them from the worker thread (through the door's history append and the common-string
// buttons), so each operation that reads and then writes them runs as one hand-over.
#include <string>

#include "terminal/ComboDialog.h"
#include "terminal/IncrementDialog.h"
#include "terminal/Main.h"
#include "ui/GuiThread.h"

namespace {

constexpr int kRingSize = 10;
constexpr const char* kEmptyString = "Empty";
constexpr const char* kEmptyCommand = "Command";

bool IsGroup(int g) { return g >= 0 && g < kRingSize; }

int NextRingPosition(int index) { return index < kRingSize - 1 ? index + 1 : 0; }

int PreviousRingPosition(int index) { return index > 0 ? index - 1 : kRingSize - 1; }

// A position that a hand-edited configuration or a stray write left out of range reads as 0.
std::size_t RingSlot(int index) { return static_cast<std::size_t>(IsGroup(index) ? index : 0); }

}  // namespace

void TTalvaneForm::AppendCommandArray() {
    ui::OnGui([this] {
        CommandArrayIndex = NextRingPosition(CommandArrayIndex);
        CommandArray[RingSlot(CommandArrayIndex)] = eSendCommand->Text();
    });
}

void TTalvaneForm::IncCommandArray() {
    ui::OnGui([this] {
        CommandArrayIndex = NextRingPosition(CommandArrayIndex);
        eSendCommand->SetText(CommandArray[RingSlot(CommandArrayIndex)]);
    });
}

void TTalvaneForm::DecCommandArray() {
    ui::OnGui([this] {
        CommandArrayIndex = PreviousRingPosition(CommandArrayIndex);
        eSendCommand->SetText(CommandArray[RingSlot(CommandArrayIndex)]);
    });
}

void TTalvaneForm::eSendCommandKeyDown(int& key) {
    if (key == ui::VK_UP)
        IncCommandArray();
    else if (key == ui::VK_DOWN)
        DecCommandArray();
    else
        return;
    eSendCommand->SelectAll();
}

void TTalvaneForm::bbSendStringClick(int k) {
    if (k < 1 || k > static_cast<int>(edString.size()))
        return;
    SendThroughDoor(edString[static_cast<std::size_t>(k - 1)]->Text());
}

void TTalvaneForm::edStringKeyPress(int k, char& key) {
    if (key != 13 || k < 1 || k > static_cast<int>(edString.size()))
        return;
    const std::string text = edString[static_cast<std::size_t>(k - 1)]->Text();
    if (text.empty() || text.find(kEmptyString) != std::string::npos)
        return;
    ConfigChanged = true;
    SendThroughDoor(text);
}

void TTalvaneForm::ResetCommandStrings1Click() {
    ui::OnGui([this] {
        for (ui::TEdit* box : edString)
            box->SetText(kEmptyString);
        CommandArray.fill(kEmptyCommand);
        eSendCommand->SetText(kEmptyCommand);
    });
}

void TTalvaneForm::ResetCommands1Click() { ResetCommandStrings1Click(); }

void TTalvaneForm::cboCommandGroupSelect() {
    cmdStopCycleClick();
    ui::OnGui([this] {
        const int selected = cboCommandGroup->ItemIndex();
        if (!IsGroup(selected))
            return;
        if (CurrentGroup != -1)
            StoreCommandGroup(CurrentGroup);
        DisplayCommandGroup(selected);
        CurrentGroup = selected;
    });
}

void TTalvaneForm::StoreCommandGroup(int g) {
    if (!IsGroup(g))
        return;
    ui::OnGui([this, g] {
        TCommandGroup& group = CommandGroups[static_cast<std::size_t>(g)];
        for (std::size_t k = 0; k < group.CommandStrings.size(); ++k)
            group.CommandStrings[k] = edString[k]->Text();
        group.Commands = CommandArray;
    });
}

void TTalvaneForm::DisplayCommandGroup(int g) {
    if (!IsGroup(g))
        return;
    ui::OnGui([this, g] {
        const TCommandGroup& group = CommandGroups[static_cast<std::size_t>(g)];
        for (std::size_t k = 0; k < group.CommandStrings.size(); ++k)
            edString[k]->SetText(group.CommandStrings[k]);
        CommandArray = group.Commands;
        CommandArrayIndex = 0;
        eSendCommand->SetText(CommandArray[0]);
    });
}

// With no group shown there is no record to rename, and nothing happens.
void TTalvaneForm::RenameGroup1Click() {
    if (!IsGroup(CurrentGroup))
        return;
    TCommandGroup& group = CommandGroups[static_cast<std::size_t>(CurrentGroup)];
    const std::string name = IncrementForm->AskText("Rename Group", "Group Name", group.GroupName).value_or(group.GroupName);
    group.GroupName = name;
    cboCommandGroup->SetItem(CurrentGroup, name);
    cboCommandGroup->SetText(name);
}

// With no group shown there is no source, and nothing happens.
void TTalvaneForm::CopytoGroup1Click() {
    if (!IsGroup(CurrentGroup))
        return;
    StoreCommandGroup(CurrentGroup);
    const int source = CurrentGroup;
    const int target = OKRightDlg->AskChoice("Copy To Group", "Copy To:", cboCommandGroup->Items(), "Group Name");
    if (!IsGroup(target) || target == source)
        return;
    const TCommandGroup& from = CommandGroups[static_cast<std::size_t>(source)];
    TCommandGroup& to = CommandGroups[static_cast<std::size_t>(target)];
    to.CommandStrings = from.CommandStrings;
    to.Commands = from.Commands;
}
