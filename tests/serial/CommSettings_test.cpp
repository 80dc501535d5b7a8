// The port settings dialog on the real forms, offscreen: list choices, Cancel and OK, the Set...
// operations of the port selection, and the terminator edit's Enter. Operator input goes through the
// widgets' own key handling.
#include "serial/CommSettings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <functional>
#include <string>
#include <utility>

#include "serial/CommSearch.h"
#include "support/TalvaneApp.h"

using testsupport::TalvaneApp;

namespace {

const std::string kCommaWarning =
    "If the terminal string contains \r\nmultiple bytes, each byte must \r\nbe separated by a comma.";

void PressKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void PressEnter(QWidget* widget) { PressKey(widget, Qt::Key_Return, QStringLiteral("\r")); }

void TypeText(QWidget* widget, const std::string& text) {
    for (const char c : text)
        PressKey(widget, QChar(c).toUpper().unicode(), QString(QChar(c)));
}

// The operator moves through the list with the arrow keys until the item is chosen.
void ChooseItem(ui::TComboBox& combo, const std::string& item) {
    QComboBox* widget = combo.Combo();
    const int target = widget->findText(QString::fromStdString(item));
    ASSERT_GE(target, 0) << item;
    for (int guard = 0; widget->currentIndex() != target && guard < 20; ++guard)
        PressKey(widget, widget->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_EQ(widget->currentIndex(), target);
}

class CommSettingsTest : public ::testing::Test {
protected:
    CommSettingsTest() {
        Main().SerialPort = &port;
        // As the port selection leaves the dialog: the lists show the port object's numbers.
        Dialog().SetBaudRate(port.BaudRate);
        Dialog().SetByteSize(port.DataBits);
        Dialog().SetParity(port.Parity);
        Dialog().SetStopBits(port.StopBits);
        Main().ConfigChanged = false;
    }
    ~CommSettingsTest() override { Main().SerialPort = nullptr; }

    TTalvaneForm& Main() { return app.Main(); }
    TCommSettingForm& Dialog() { return *CommSettingForm; }
    QLineEdit* TerminatorEdit() { return Dialog().leTerminationString->LineEdit(); }

    // Shows the dialog modally, as "Comm Properties" does, and lets script act as the operator.
    void RunDialog(const std::function<void()>& script) {
        app.dialogs.QueueModal([&](ui::TForm&) { script(); });
        Dialog().ShowModal();
    }

    // Gives the terminator edit a text as the main window does before showing the dialog, then the
    // operator replaces it and presses Enter.
    void EnterTerminator(const std::string& text) {
        Main().TerminatorText = "0D,0A";
        Main().Terminator = "\r\n";
        Dialog().leTerminationString->SetText("0D,0A");
        Main().TerminatorChanged = false;
        RunDialog([&] {
            TerminatorEdit()->selectAll();
            PressKey(TerminatorEdit(), Qt::Key_Delete);
            TypeText(TerminatorEdit(), text);
            PressEnter(TerminatorEdit());
        });
    }

    TalvaneApp app;
    CSerialPort port;
};

// ---- the lists ----

TEST_F(CommSettingsTest, CancelAfterChoosing19200RestoresTheNumbersButNotBaudString) {
    RunDialog([&] {
        ChooseItem(*Dialog().cboBaudRate, "19200");
        EXPECT_EQ(port.BaudRate, 19200) << "a choice writes the port object at once";
        EXPECT_TRUE(Main().ConfigChanged);
        ChooseItem(*Dialog().cboParity, "Even");
        Dialog().Button1->Click();
    });
    EXPECT_FALSE(Dialog().Visible());
    EXPECT_FALSE(Dialog().OkPressed);
    EXPECT_EQ(port.BaudRate, 9600);
    EXPECT_EQ(port.Parity, 0);
    // Kept as documented: BaudString and the list keep the chosen item until the next port selection.
    EXPECT_EQ(port.BaudString, "19200");
    EXPECT_EQ(Dialog().cboBaudRate->Text(), "19200");
}

TEST_F(CommSettingsTest, OkKeepsTheChoiceAndTheCloseBoxRestoresLikeCancel) {
    RunDialog([&] {
        ChooseItem(*Dialog().cboBaudRate, "115200");
        Dialog().cmdOK->Click();
    });
    EXPECT_TRUE(Dialog().OkPressed);
    EXPECT_EQ(port.BaudRate, 115200);

    RunDialog([&] {
        ChooseItem(*Dialog().cboStopBits, "2");
        Dialog().Close();
    });
    EXPECT_FALSE(Dialog().OkPressed) << "set false again at each showing";
    EXPECT_EQ(port.StopBits, 0);
    EXPECT_EQ(port.BaudRate, 115200);
}

TEST_F(CommSettingsTest, ChoicesStoreThePortObjectsCodes) {
    RunDialog([&] {
        ChooseItem(*Dialog().cboDataBits, "7");
        ChooseItem(*Dialog().cboParity, "Space");
        ChooseItem(*Dialog().cboStopBits, "1.5");
        Dialog().cmdOK->Click();
    });
    EXPECT_EQ(port.DataBits, 4) << "7 data bits are code 4";
    EXPECT_EQ(port.Parity, 4);
    EXPECT_EQ(port.StopBits, 1);
}

TEST_F(CommSettingsTest, TypedTextInAListChangesNothing) {
    RunDialog([&] {
        QComboBox* baud = Dialog().cboBaudRate->Combo();
        baud->lineEdit()->selectAll();
        TypeText(baud->lineEdit(), "19200");
        QComboBox* dataBits = Dialog().cboDataBits->Combo();
        dataBits->lineEdit()->selectAll();
        TypeText(dataBits->lineEdit(), "123");
        PressEnter(dataBits->lineEdit());
        Dialog().cmdOK->Click();
    });
    EXPECT_EQ(port.BaudRate, 9600);
    EXPECT_EQ(port.BaudString, "9600");
    EXPECT_EQ(port.DataBits, 8);
    EXPECT_FALSE(Main().ConfigChanged);
}

TEST_F(CommSettingsTest, SetOperationsSelectTheItemAndRewriteThePortObject) {
    port.BaudString = "stale";
    Dialog().SetBaudRate(19200);
    Dialog().SetByteSize(4);
    Dialog().SetParity(2);
    Dialog().SetStopBits(2);
    EXPECT_TRUE(Main().ConfigChanged);
    EXPECT_EQ(Dialog().cboBaudRate->Text(), "19200");
    EXPECT_EQ(Dialog().cboDataBits->Text(), "7");
    EXPECT_EQ(Dialog().cboParity->Text(), "Even");
    EXPECT_EQ(Dialog().cboStopBits->Text(), "2");
    EXPECT_EQ(port.BaudString, "19200");
    EXPECT_EQ(port.BaudRate, 19200);
    EXPECT_EQ(port.DataBits, 4);
    EXPECT_EQ(port.Parity, 2);
    EXPECT_EQ(port.StopBits, 2);
}

TEST_F(CommSettingsTest, NumbersWithoutAnItemOnlyMarkTheConfigurationChanged) {
    port.BaudRate = 110;  // from a hand-edited configuration file
    port.DataBits = 7;
    Dialog().SetBaudRate(110);
    EXPECT_TRUE(Main().ConfigChanged);
    Dialog().SetByteSize(7);
    Dialog().SetParity(5);
    Dialog().SetParity(-1);
    Dialog().SetStopBits(3);
    EXPECT_EQ(port.BaudRate, 110);
    EXPECT_EQ(port.BaudString, "9600");
    EXPECT_EQ(port.DataBits, 7);
    EXPECT_EQ(Dialog().cboBaudRate->Text(), "9600");
    EXPECT_EQ(Dialog().cboDataBits->Text(), "8");
    EXPECT_EQ(Dialog().cboParity->Text(), "None");
    EXPECT_EQ(Dialog().cboStopBits->Text(), "1");
}

// ---- the terminator ----

TEST_F(CommSettingsTest, EnterOnOneByteTextsStoresThemAndClearsTheChangedFlag) {
    using Case = std::pair<std::string, std::string>;
    for (const auto& [text, bytes] : {Case{"0D", "\r"}, Case{"FF", "\xFF"}, Case{"d,a", "\r\n"}}) {
        EnterTerminator(text);
        EXPECT_EQ(Main().TerminatorText, text);
        EXPECT_EQ(Main().Terminator, bytes) << text;
        EXPECT_FALSE(Main().TerminatorChanged) << text;
    }
    EXPECT_TRUE(app.dialogs.Messages().empty());
    EXPECT_TRUE(app.dialogs.Exceptions().empty());
}

TEST_F(CommSettingsTest, EnterOnBytesWithoutCommaWarnsAndStoresNothing) {
    EnterTerminator("0D0A");
    const auto messages = app.dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, kCommaWarning);
    EXPECT_EQ(messages[0].caption, "Terminal String Format");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Warning);
    EXPECT_EQ(Main().TerminatorText, "0D,0A");
    EXPECT_EQ(Main().Terminator, "\r\n");
    EXPECT_TRUE(Main().TerminatorChanged) << "left for the close path to apply";
}

TEST_F(CommSettingsTest, EnterOnTextThatDoesNotConvertKeepsThePreviousTerminator) {
    EnterTerminator("0D, 0A");
    const auto errors = app.dialogs.Exceptions();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'0x 0A' is not a valid integer value");
    EXPECT_EQ(Main().TerminatorText, "0D,0A");
    EXPECT_EQ(Main().Terminator, "\r\n");
    EXPECT_FALSE(Main().TerminatorChanged);
}

TEST_F(CommSettingsTest, EnterOnEmptyTextDoesNothingAndOtherKeysPassUntouched) {
    EnterTerminator("");
    EXPECT_TRUE(Main().TerminatorChanged) << "clearing the edit is a change";
    EXPECT_EQ(Main().TerminatorText, "0D,0A");
    EXPECT_TRUE(app.dialogs.Messages().empty());

    char key = 'A';
    Dialog().leTerminationStringKeyPress(key);
    EXPECT_EQ(key, 'A');
}

// ---- the available-ports window ----

TEST(CommSearchTest, AvailablePortsWindowIsAnEmptyTwoColumnList) {
    TalvaneApp app;
    EXPECT_EQ(frmAvailableCommPorts->Caption(), "Mapping Comm Devices");
    EXPECT_EQ(frmAvailableCommPorts->ValueListEditor1->KeyTitle(), "Comm Port");
    EXPECT_EQ(frmAvailableCommPorts->ValueListEditor1->ValueTitle(), "Device");
    EXPECT_EQ(frmAvailableCommPorts->ValueListEditor1->RowCount(), 0);
    EXPECT_FALSE(frmAvailableCommPorts->Visible());
}

}  // namespace
