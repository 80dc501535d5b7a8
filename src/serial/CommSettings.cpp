#include "serial/CommSettings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "serial/TerminatorParse.h"
#include "terminal/Main.h"
#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

TCommSettingForm* CommSettingForm = nullptr;

namespace {

constexpr std::array<int, 9> kBaudRates = {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// The port object's codes of 5, 6, 7 and 8 data bits.
constexpr std::array<int, 4> kDataBitCodes = {1, 2, 4, 8};
constexpr int kParityCodes = 5;
constexpr int kStopBitCodes = 3;

const std::vector<std::string> kDataBitItems = {"5", "6", "7", "8"};
const std::vector<std::string> kParityItems = {"None", "Odd", "Even", "Mark", "Space"};
const std::vector<std::string> kStopBitItems = {"1", "1.5", "2"};

std::vector<std::string> BaudItems() {
    std::vector<std::string> items;
    for (const int rate : kBaudRates)
        items.push_back(std::to_string(rate));
    return items;
}

template <std::size_t N>
int IndexOf(const std::array<int, N>& values, int value) {
    const auto found = std::find(values.begin(), values.end(), value);
    return found == values.end() ? -1 : static_cast<int>(std::distance(values.begin(), found));
}

int IndexInRange(int code, int count) { return code >= 0 && code < count ? code : -1; }

void MarkConfigChanged() {
    if (TalvaneForm != nullptr)
        TalvaneForm->ConfigChanged = true;
}

CSerialPort* Port() { return TalvaneForm != nullptr ? TalvaneForm->SerialPort : nullptr; }

// The chosen item's index, or -1 when the port object is missing or no item is chosen.
int ChosenIndex(const ui::TComboBox& combo, int count) {
    const int index = combo.ItemIndex();
    return Port() != nullptr && index >= 0 && index < count ? index : -1;
}

}  // namespace

TCommSettingForm::TCommSettingForm() : ui::TForm("COMX Properties", 360, 330) {
    BuildControls();
    ConnectHandlers();
    // A dialog of a fixed size: room for all its controls, and no stretching them.
    ui::OnGui([&] { Window()->resize(Window()->size().expandedTo(Window()->minimumSizeHint())); });
    SetBorderStyle(ui::TBorderStyle::Dialog);
}

void TCommSettingForm::BuildControls() {
    auto* layout = new QVBoxLayout(Client());
    layout->addWidget(BuildPortGroup());
    auto* buttons = new QHBoxLayout;
    cmdOK = Make<ui::TButton>(Client(), "OK");
    Button1 = Make<ui::TButton>(Client(), "Cancel");
    buttons->addStretch(1);
    buttons->addWidget(cmdOK->Widget());
    buttons->addWidget(Button1->Widget());
    layout->addLayout(buttons);
    layout->addWidget(BuildTerminatorGroup());
}

QWidget* TCommSettingForm::BuildPortGroup() {
    gbPortSettings = Make<ui::TGroupBox>(Client(), "PORT SETTINGS");
    QWidget* box = gbPortSettings->Widget();
    auto* grid = new QGridLayout(box);
    const auto addRow = [&](int row, const std::string& caption, const std::vector<std::string>& items) {
        auto* combo = Make<ui::TComboBox>(box, "", true);
        combo->SetItems(items);
        grid->addWidget(Make<ui::TLabel>(box, caption)->Widget(), row, 0);
        grid->addWidget(combo->Widget(), row, 1);
        return combo;
    };
    cboBaudRate = addRow(0, "Baud Rate:", BaudItems());
    cboDataBits = addRow(1, "Data Bits:", kDataBitItems);
    cboParity = addRow(2, "Parity:", kParityItems);
    cboStopBits = addRow(3, "Stop Bits:", kStopBitItems);
    return box;
}

QWidget* TCommSettingForm::BuildTerminatorGroup() {
    gbTerminator = Make<ui::TGroupBox>(Client(), "COMMAND TERMINATOR");
    QWidget* box = gbTerminator->Widget();
    auto* grid = new QGridLayout(box);
    leTerminationString = Make<ui::TLabeledEdit>(box, "Termination String", "0D,0A");
    grid->addWidget(leTerminationString->Label(), 0, 0);
    grid->addWidget(leTerminationString->Widget(), 0, 1);
    grid->addWidget(Make<ui::TLabel>(box, "Hex Byte Value(s)")->Widget(), 0, 2);
    int row = 1;
    for (const char* help : {"Enter command termination character(s).", "The termination character(s) are appended to",
                             "the command string before the command is sent.", "Use a comma to separate each byte."})
        grid->addWidget(Make<ui::TLabel>(box, help)->Widget(), row++, 0, 1, 3);
    return box;
}

void TCommSettingForm::ConnectHandlers() {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    cboBaudRate->OnSelect = [this] { cboBaudRateSelect(); };
    cboDataBits->OnSelect = [this] { cboDataBitsSelect(); };
    cboParity->OnSelect = [this] { cboParitySelect(); };
    cboStopBits->OnSelect = [this] { cboStopBitsSelect(); };
    cmdOK->OnClick = [this] { cmdOKClick(); };
    Button1->OnClick = [this] { Button1Click(); };
    leTerminationString->OnChange = [this] { leTerminationStringChange(); };
    leTerminationString->OnKeyPress = [this](char& key) { leTerminationStringKeyPress(key); };
}

// ---- the four lists ----

void TCommSettingForm::cboBaudRateSelect() {
    MarkConfigChanged();
    const int index = ChosenIndex(*cboBaudRate, static_cast<int>(kBaudRates.size()));
    if (index < 0)
        return;
    Port()->BaudString = cboBaudRate->Item(index);
    Port()->BaudRate = kBaudRates[static_cast<std::size_t>(index)];
}

void TCommSettingForm::cboDataBitsSelect() {
    MarkConfigChanged();
    const int index = ChosenIndex(*cboDataBits, static_cast<int>(kDataBitCodes.size()));
    if (index >= 0)
        Port()->DataBits = kDataBitCodes[static_cast<std::size_t>(index)];
}

void TCommSettingForm::cboParitySelect() {
    MarkConfigChanged();
    const int index = ChosenIndex(*cboParity, kParityCodes);
    if (index >= 0)
        Port()->Parity = index;
}

void TCommSettingForm::cboStopBitsSelect() {
    MarkConfigChanged();
    const int index = ChosenIndex(*cboStopBits, kStopBitCodes);
    if (index >= 0)
        Port()->StopBits = index;
}

void TCommSettingForm::SelectFromCode(ui::TComboBox& combo, int index, void (TCommSettingForm::*select)()) {
    MarkConfigChanged();
    if (index < 0)
        return;
    combo.SetItemIndex(index);
    (this->*select)();
}

void TCommSettingForm::SetBaudRate(int rate) {
    SelectFromCode(*cboBaudRate, IndexOf(kBaudRates, rate), &TCommSettingForm::cboBaudRateSelect);
}

void TCommSettingForm::SetByteSize(int code) {
    SelectFromCode(*cboDataBits, IndexOf(kDataBitCodes, code), &TCommSettingForm::cboDataBitsSelect);
}

void TCommSettingForm::SetParity(int code) {
    SelectFromCode(*cboParity, IndexInRange(code, kParityCodes), &TCommSettingForm::cboParitySelect);
}

void TCommSettingForm::SetStopBits(int code) {
    SelectFromCode(*cboStopBits, IndexInRange(code, kStopBitCodes), &TCommSettingForm::cboStopBitsSelect);
}

// ---- showing and closing ----

void TCommSettingForm::FormShow() {
    OkPressed = false;
    if (const CSerialPort* port = Port()) {
        SavedBaudRate = port->BaudRate;
        SavedParity = port->Parity;
        SavedDataBits = port->DataBits;
        SavedStopBits = port->StopBits;
    }
}

void TCommSettingForm::FormClose() {
    CSerialPort* port = Port();
    if (OkPressed || port == nullptr)
        return;
    // Only the numbers: BaudString and the lists keep the chosen items until the next port selection.
    port->BaudRate = SavedBaudRate;
    port->Parity = SavedParity;
    port->DataBits = SavedDataBits;
    port->StopBits = SavedStopBits;
}

void TCommSettingForm::CloseWith(int modalResult) {
    if (Modal())
        SetModalResult(modalResult);
    else
        Close();
}

void TCommSettingForm::cmdOKClick() {
    OkPressed = true;
    CloseWith(ui::mrOk);
}

void TCommSettingForm::Button1Click() {
    OkPressed = false;
    CloseWith(ui::mrCancel);
}

// ---- the terminator ----

void TCommSettingForm::leTerminationStringChange() {
    if (TalvaneForm != nullptr)
        TalvaneForm->TerminatorChanged = true;
}

void TCommSettingForm::leTerminationStringKeyPress(char& key) {
    if (key != 13)
        return;
    const std::string text = leTerminationString->Text();
    if (text.empty() || TalvaneForm == nullptr)
        return;
    leTerminationString->SetFocus();
    if (serial::BreaksCommaRule(text)) {
        ErrorMissingComma();
        return;
    }
    serial::ApplyTerminatorText(text, TalvaneForm->TerminatorText, TalvaneForm->Terminator,
                                TalvaneForm->TerminatorChanged, ui::ShowExceptionBox);
}

void TCommSettingForm::ErrorMissingComma() {
    ui::OnGui([] {
        ui::Dialogs().MessageBox(
            "If the terminal string contains \r\nmultiple bytes, each byte must \r\nbe separated by a comma.",
            "Terminal String Format", ui::MsgIcon::Warning, ui::MsgButtons::Ok);
    });
}
