// The main window as a whole: start-up, the windows, the menus of the shell, and the close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QMainWindow>
#include <QProcess>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <QMainWindow>

#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/Pexmarcontrol.h"
#include "serial/CommLog.h"
#include "serial/CommSearch.h"
#include "serial/CommSettings.h"
#include "settings_transfer/Instrumentsetting.h"
#include "support/FakeInstrument.h"
#include "support/ScopedPlatformHooks.h"
#include "support/TalvaneApp.h"
#include "terminal/ComboDialog.h"
#include "terminal/IncrementDialog.h"
#include "terminal/commcyclethread.h"

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The texts in window that do not fit in the room their control gives them: labels and status
// panels, the captions of buttons, check boxes, radio buttons and group boxes, and a drop-down list's
// items in its box.
std::vector<std::string> CutTexts(const QWidget* window) {
    std::vector<std::string> cut;
    const auto check = [&](const QWidget* widget, QString text, int room) {
        text.remove(QLatin1Char('&'));
        if (text.isEmpty())
            return;
        if (widget->fontMetrics().horizontalAdvance(text) > room)
            cut.push_back('"' + text.toStdString() + "\" in " + std::to_string(room) + " px");
    };
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const QStyle* style = widget->style();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            const int indent = label->indent() >= 0 ? label->indent()
                               : label->frameWidth() > 0 ? label->fontMetrics().horizontalAdvance('x') / 2 : 0;
            for (const QString& line : label->text().split('\n'))
                check(label, line, label->contentsRect().width() - 2 * label->margin() - indent);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(button);
            const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
                                                : qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                                            : QStyle::SE_PushButtonContents;
            check(button, button->text(), style->subElementRect(contents, &option, button).width());
        } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            check(box, box->title(), box->contentsRect().width());
        } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            const int room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
            for (int i = 0; i < combo->count(); ++i)
                check(combo, combo->itemText(i), room);
        }
    }
    return cut;
}

TEST(Shell, TheWindowsExistWithTheirCaptionsAndTheApplicationItsTitle) {
    TalvaneApp app;
    EXPECT_EQ(ui::Application::Title(), "Orvel Talvane");
    EXPECT_EQ(TalvaneForm->Caption(), "Talvane V1.07.11");
    EXPECT_EQ(CommLogForm->Caption(), "Communications Log");
    EXPECT_EQ(CommSettingForm->Caption(), "COMX Properties");
    EXPECT_EQ(frmAvailableCommPorts->Caption(), "Mapping Comm Devices");
    EXPECT_EQ(InstrumentSettingForm->Caption(), "Instrument Settings");
    EXPECT_EQ(OndrelControlForm->Caption(), "Ondrel Laser System");
    EXPECT_EQ(FramontControlForm->Caption(), "Framont System V1.00.03");
    EXPECT_EQ(PexmarControlForm->Caption(), "Pexmar System V1.00");
    EXPECT_NE(IncrementForm, nullptr);
    EXPECT_NE(OKRightDlg, nullptr);
    for (ui::TForm* form : std::initializer_list<ui::TForm*>{TalvaneForm, CommLogForm, CommSettingForm, PexmarControlForm})
        EXPECT_FALSE(form->Visible()) << form->Caption() << " is created hidden";
}

TEST(Shell, WithNoPortConfiguredTheWindowWaitsAndExitClosesAtOnce) {
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    EXPECT_EQ(main.sbCommProperties->PanelText(0), "Port: NONE");
    EXPECT_EQ(main.sbSendStatus->PanelText(1), "Commands Sent: 0");
    EXPECT_FALSE(main.eSendCommand->Enabled());
    EXPECT_FALSE(main.cmdStartCycle->Enabled());
    EXPECT_EQ(app.dialogs.CountMessages("A communications port must be selected before sending commands"), 1);
    EXPECT_TRUE(main.TimeStampEnable1->Checked());
    EXPECT_TRUE(main.IncludeCommandSent1->Checked());
    EXPECT_TRUE(main.HideTalvane1->Checked());
    EXPECT_FALSE(main.mnuControls->Visible());
    EXPECT_FALSE(main.mnuEdit->Visible());
    main.Exit1Click();
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(ui::Application::Terminated());
}

TEST(Shell, ViewLogSwitchesLoggingOnAndShowsTheLog) {
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    main.DisableLog1Click();
    EXPECT_TRUE(main.DisableLog1->Checked());
    main.ViewLog2Click();
    EXPECT_TRUE(main.LogEnabled);
    EXPECT_TRUE(main.EnableLog1->Checked());
    EXPECT_FALSE(main.DisableLog1->Checked());
    EXPECT_TRUE(CommLogForm->Visible());
}

TEST(Shell, OpeningAPanelMinimisesTheMainWindowUnlessShowTalvaneIsChecked) {
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    main.GRNIRControl1Click();
    EXPECT_TRUE(FramontControlForm->Visible());
    EXPECT_EQ(main.State(), ui::WindowState::Minimized);

    main.SetWindowState(ui::WindowState::Normal);
    main.ShowTalvane1Click();
    EXPECT_FALSE(main.HideTalvane1->Checked());
    main.PexmarSystem1Click();
    EXPECT_TRUE(PexmarControlForm->Visible());
    EXPECT_EQ(main.State(), ui::WindowState::Normal);

    main.HideTalvane1Click();
    main.OndrelControl1Click();
    EXPECT_TRUE(OndrelControlForm->Visible());
    EXPECT_EQ(main.State(), ui::WindowState::Normal) << "the Ondrel panel leaves the main window as it is";
}

TEST(Shell, OnlyTheAlignedGroupsAndThePaneFollowTheWindowsSize) {
    TalvaneApp app;
    app.Start();
    TTalvaneForm& main = app.Main();
    EXPECT_EQ(main.Width(), 607);
    EXPECT_EQ(main.Height(), 788);
    EXPECT_EQ(main.gbCommDevice->Height(), 281);
    const std::vector<ui::TControl*> placed{main.cmdStartCycle, main.cmdStopCycle, main.leCycleCount,
                                            main.leCommandDelay, main.cboTalvane, main.cboCommandGroup,
                                            main.edString[4], main.bbSendString[0]};
    std::vector<QRect> designed;
    for (ui::TControl* control : placed)
        designed.push_back(control->Widget()->geometry());
    EXPECT_EQ(main.cmdStartCycle->Width(), main.cmdStopCycle->Width());
    EXPECT_EQ(main.bbSendString[0]->Width(), 20);
    EXPECT_EQ(main.bbSendString[0]->Height(), 20);

    for (const QSize size : {QSize(100, 100), QSize(1600, 1200)}) {
        main.Window()->resize(size);
        TalvaneApp::ProcessEvents();
        for (std::size_t i = 0; i < placed.size(); ++i)
            EXPECT_EQ(placed[i]->Widget()->geometry(), designed[i]) << "at " << size.width() << " x " << size.height();
        EXPECT_EQ(main.gbCommDevice->Height(), 281);
        EXPECT_EQ(main.gbCommDevice->Width(), main.nbLaserSystem->Width());
        EXPECT_GT(main.reTalvane->Height(), 0) << "the window never gets so small that the pane vanishes";
    }
    const int wideGroup = main.gbCommunications->Width();
    main.ViewCommandFileWindow1Click();
    TalvaneApp::ProcessEvents();
    EXPECT_EQ(main.gbInputFile->Left() + main.gbInputFile->Width(), main.nbLaserSystem->Width());
    EXPECT_LT(main.gbCommunications->Width(), wideGroup) << "the command file window stands beside the pane";
}

// The program itself, started in this test's data folder with the given display, platform variable,
// arguments and further variables ("NAME=value"), and otherwise no Wayland session.
void StartProgram(QProcess& program, const QString& display, const QString& platform, const QStringList& arguments,
                  const QStringList& variables = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        environment.remove(name);
    if (!display.isEmpty())
        environment.insert("DISPLAY", display);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    for (const QString& variable : variables)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    program.setProcessEnvironment(environment);
    program.start(TALVANE_PROGRAM, arguments);
}

// A display number no X server on this machine uses.
QString DeadDisplay() {
    int number = 1000;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
        ++number;
    return ":" + QString::number(number);
}

// A display on TCP (port 6000 + its number) that takes connections and never answers, as a stopped X
// server does.
class SilentDisplay {
public:
    SilentDisplay() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (number_ = 100; number_ < 1000; ++number_) {
            address.sin_port = htons(static_cast<std::uint16_t>(6000 + number_));
            if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                break;
        }
        listen(socket_, 8);
    }
    ~SilentDisplay() { close(socket_); }
    QString Name() const { return "127.0.0.1:" + QString::number(number_); }

private:
    int socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int number_ = 0;
};

// No DISPLAY, one where no X server listens or one that never answers, with the X11 platform by
// default, by QT_QPA_PLATFORM or by -platform (which comes before the variable), also where Wayland
// comes first and is not installed; and no platform at all (-platform= empty).
TEST(Shell, WithoutADisplayTheProgramSaysWhatToDoInOneLineAndFailsWithoutAnAbort) {
    const QString dead = DeadDisplay();
    const SilentDisplay silent;
    struct Start {
        QString display, platform;
        QStringList arguments;
        QStringList variables = {};
    };
    for (const Start& start :
         {Start{"", "", {}}, Start{dead, "", {}}, Start{dead, "xcb", {}},
          Start{dead, "offscreen", {"-platform", "xcb"}}, Start{silent.Name(), "", {}}, Start{"", "", {}, {"WAYLAND_DISPLAY=wayland-0"}},
          Start{dead, "", {}, {"XDG_SESSION_TYPE=wayland"}}, Start{dead, "wayland;xcb", {}},
          Start{dead, "", {"-platform="}}}) {
        const std::string what = "DISPLAY=" + start.display.toStdString() + " QT_QPA_PLATFORM=" +
                                 start.platform.toStdString() + " " + start.variables.join(' ').toStdString() +
                                 " " + start.arguments.join(' ').toStdString();
        QProcess program;
        StartProgram(program, start.display, start.platform, start.arguments, start.variables);
        ASSERT_TRUE(program.waitForFinished(90000)) << what;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(program.exitCode(), 1) << what;
        const QString said = QString::fromLocal8Bit(program.readAllStandardError());
        const bool oneLine = said.startsWith("talvane: ") && said.indexOf('\n') == said.size() - 1;
        EXPECT_TRUE(oneLine) << what << ": " << said.toStdString();
        EXPECT_TRUE(said.contains("desktop session") && said.contains("-platform offscreen")) << said.toStdString();
    }

    // "-platform=offscreen" chooses the platform as "-platform offscreen" does: the program starts.
    QProcess program;
    StartProgram(program, dead, "xcb", {"-platform=offscreen"});
    const std::filesystem::path made = InstallFolder() / "Logs";
    bool ended = false;
    for (int wait = 0; wait < 9000 && !ended && !std::filesystem::exists(made); ++wait)
        ended = program.waitForFinished(10);
    program.terminate();  // as a logout ends it
    ASSERT_TRUE(ended || program.waitForFinished(90000));
    EXPECT_TRUE(std::filesystem::exists(made));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(program.readAllStandardError().contains("talvane: "));
}

class ShellWithInstrument : public ::testing::Test {
protected:
    void SetUp() override {
        TalvaneApp::WriteConfigForPort(instrument.ComName());
        app.Start();
    }
    FakeInstrument instrument{"COM97"};
    TalvaneApp app;
};

TEST_F(ShellWithInstrument, TheOperatorsKeysInTheMainWindowAndFromTheLogWindow) {
    TTalvaneForm& main = app.Main();
    QApplication::setActiveWindow(main.Window());
    TalvaneApp::ProcessEvents();
    EXPECT_TRUE(main.eSendCommand->Focused());
    EXPECT_EQ(main.eSendCommand->SelText(), "Command") << "typing replaces the start-up text";
    for (const char* command : {"*IDN?", "RATE?"}) {
        QTest::keyClicks(main.eSendCommand->Widget(), command);
        QTest::keyClick(main.eSendCommand->Widget(), Qt::Key_Return);
    }
    EXPECT_EQ(instrument.Commands(), (std::vector<std::string>{"*IDN?", "RATE?"})) << "and after a send, too";

    main.edString[0]->SetText("PING");
    main.bbSendString[0]->SetFocus();
    QTest::keyClick(main.bbSendString[0]->Widget(), Qt::Key_Return);
    EXPECT_EQ(instrument.Commands().back(), "PING") << "Enter clicks the focused button";

    main.reTalvane->SetFocus();
    const auto pane = main.reTalvane->Lines();
    QTest::keyClick(main.reTalvane->Widget(), Qt::Key_Tab);
    EXPECT_FALSE(main.reTalvane->Focused()) << "Tab leaves the pane";
    EXPECT_EQ(main.reTalvane->Lines(), pane);

    main.ViewLog2Click();
    QApplication::setActiveWindow(CommLogForm->Window());
    main.eSendCommand->SetText("VER?");
    QTest::keyClick(CommLogForm->reLog->Widget(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(instrument.Commands().back(), "VER?") << "the main window's Ctrl+W from the log window";
}

TEST_F(ShellWithInstrument, TheLogKeepsItsStampsWhateverThePaneShows) {
    testsupport::ScopedClock clock({2007, 3, 15, 14, 30, 12, 250});
    TTalvaneForm& main = app.Main();
    main.EnableLog1Click();
    main.TimeStampDisable1Click();
    main.OmitCommandSent1Click();
    app.Send("QUIET");
    EXPECT_EQ(main.reTalvane->Lines(), (std::vector<std::string>{"OK", ""}));
    const auto log = CommLogForm->reLog->Lines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "[14:30:12:250]  QUIET");
    EXPECT_EQ(log[1], "[14:30:12:250]  OK");
}

TEST_F(ShellWithInstrument, ThePaneIsSavedAsPlainTextAndPrinted) {
    TTalvaneForm& main = app.Main();
    main.TimeStampDisable1Click();
    app.Send("ID?");
    const auto saved = std::filesystem::temp_directory_path() / "talvane-pane.doc";
    app.dialogs.QueueFileName(saved.string());
    main.SavetoFileCommunicatonsClick();
    EXPECT_EQ(ReadFile(saved), "ID?\r\nOK\r\n\r\n");
    EXPECT_EQ(app.dialogs.FileDialogs().back().defaultExt, ".doc");
    std::filesystem::remove(saved);

    main.SavetoFileCommunicatonsClick();  // cancelled: nothing happens
    EXPECT_FALSE(std::filesystem::exists(saved));

    main.Print2Click();
    bool printed = false;
    for (const auto& entry : std::filesystem::directory_iterator(InstallFolder() / "Logs"))
        printed = printed || entry.path().filename().string().starts_with("Talvane ");
    EXPECT_TRUE(printed) << "without a printer the pane goes to a PDF in the Logs folder";
}

TEST_F(ShellWithInstrument, ACloseDuringACycleOnlyStopsItAndTheNextOneSavesAndEnds) {
    TTalvaneForm& main = app.Main();
    main.leCycleCount->SetText("0");
    main.cbCycleString[0]->SetChecked(true);
    main.edString[0]->SetText("PING");
    main.cmdStartCycleClick();
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() >= 2; }));
    main.Close();
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(main.WorkerRunsCycle());
    EXPECT_FALSE(ui::Application::Terminated());
    main.Close();
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(ui::Application::Terminated());
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
    const std::string config = ReadFile(ConfigFilePath());
    EXPECT_TRUE(config.starts_with("COM97\r\n"));
    EXPECT_NE(config.find("\r\nPING\r\n"), std::string::npos) << "the window's strings are saved";
}

// Each window at its own size, with the widest texts the program puts into it.
TEST_F(ShellWithInstrument, EveryWindowShowsItsWidestTextsWhole) {
    instrument.ReplyExact("?DIODE HOURS", "Diode1: 00086h, Diode2: 00086h\r\n");
    TTalvaneForm& main = app.Main();
    const auto expectWhole = [](ui::TForm& form) {
        TalvaneApp::ProcessEvents();
        EXPECT_EQ(CutTexts(form.Window()), std::vector<std::string>{}) << form.Caption();
    };
    main.SerialPort->BaudRate = 115200;
    main.SerialPort->Parity = 3;
    main.SerialPort->StopBits = 1;
    main.SetCommPropertyStatusBarInfo();
    EXPECT_EQ(main.sbCommProperties->PanelText(1), "Settings: 115200 8-M-1.5");
    main.sbCommProperties->SetPanelText(0, "Port: COM119");
    main.sbSendStatus->SetPanelText(0, "Line Count: 20000");
    main.sbSendStatus->SetPanelText(1, "Commands Sent: 99999");
    expectWhole(main);

    main.ViewLog2Click();
    CommLogForm->SBar->SetPanelText(0, " Line Count: 20000");
    CommLogForm->SBar->SetPanelText(1, " Status: Comm Logging Disabled");
    expectWhole(*CommLogForm);
    for (void (TTalvaneForm::*open)() : {&TTalvaneForm::CommProperties1Click, &TTalvaneForm::RenameGroup1Click,
                                         &TTalvaneForm::CopytoGroup1Click, &TTalvaneForm::DownloadSettings1Click}) {
        app.dialogs.QueueModal([&](ui::TForm& form) {
            if (&form == InstrumentSettingForm) {
                InstrumentSettingForm->StatusBar1->SetPanelText(0, "Action: Downloading...");
                InstrumentSettingForm->lblDownloadProgress->SetCaption("100% Complete");
            }
            expectWhole(form);
        });
        (main.*open)();
    }
    main.OndrelControl1Click();
    expectWhole(*OndrelControlForm);
    main.GRNIRControl1Click();
    expectWhole(*FramontControlForm);
    main.PexmarSystem1Click();
    EXPECT_EQ(PexmarControlForm->lblDiodeHours->Caption(), "Diode1: 00086h, Diode2: 00086h");
    expectWhole(*PexmarControlForm);
}

}  // namespace
