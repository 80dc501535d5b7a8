// The real program on a real desktop: Xvfb with openbox, real key, click and wheel events (XTest), and
// what the window manager sees of the windows; a fake instrument on COM5 records what is sent. What
// only a real X server shows is tested here: Qt's wheel focus, ownership and stacking of dialogs, where
// typed keys go. Each case starts the program afresh with its own data folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "desktop/XDesktop.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"

namespace {

using namespace std::chrono_literals;
using desktop::Rect;
using desktop::XDesktop;


constexpr const char* kMainTitle = "Talvane V1.07.11";
constexpr unsigned long kMotifMinimise = 1u << 3;
constexpr std::uint32_t kNavy = 0x000080;

// TALVANE_PROGRAM names another build of the program to test (the code before a change, say).
std::string ProgramPath() {
    const char* other = std::getenv("TALVANE_PROGRAM");
    return other != nullptr ? other : TALVANE_PROGRAM;
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        x = XDesktop::Get();
        ASSERT_NE(x, nullptr) << XDesktop::Error();
        dataHome = std::getenv("XDG_DATA_HOME");  // the test's own, made afresh for it
        instrument.emplace("COM5");
    }

    void TearDown() override {
        program.Stop();
        instrument.reset();
    }

    // Starts the program on COM5, group 1 chosen, and waits until its main window is active.
    void Start(const std::function<void(terminal::ConfigValues&)>& edit = {}) {
        testsupport::TalvaneApp::WriteConfig([&](terminal::ConfigValues& values) {
            values.PortName = "COM5";
            values.GroupIndex = 0;
            if (edit)
                edit(values);
        });
        // The pointer away first: a window that appears under it (left there by the case before) is
        // drawn hovered, and drawn again a moment later once it has moved.
        x->MoveTo(1, 1);
        program = x->Run({ProgramPath()}, {{"XDG_DATA_HOME", dataHome}});
        main = x->WaitForWindow(program.Pid(), kMainTitle);
        ASSERT_NE(main, 0u) << "the main window did not appear";
        ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == main && CommandAreaTop() > 0; }))
            << "the main window was not shown active";
    }

    // The first n commands as the instrument received them, once n have come.
    std::vector<std::string> Received(std::size_t n) {
        instrument->WaitForCommands(n, 15s);
        return instrument->Commands();
    }

    // Opens the Tools menu from the keyboard (File, then two menus to the right); its first item is
    // active.
    void OpenToolsMenu() {
        x->Key("alt+f");
        x->Key("Right");
        x->Key("Right");
    }

    // Opens a panel from Tools > Custom Interface (Framont System first, Pexmar System below it) and
    // waits until it is active.
    XWindow OpenPanel(bool pexmar) {
        OpenToolsMenu();
        x->Key("Down");
        x->Key("Right");  // Custom Interface
        if (pexmar)
            x->Key("Down");
        x->Key("Return");
        const XWindow panel =
            x->WaitForWindow(program.Pid(), pexmar ? "Pexmar System V1.00" : "Framont System V1.00.03");
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == panel; })) << "the panel is not active";
        return panel;
    }

    // Presses F1 until its common string ("MARK") is sent: every key and click before it was taken
    // by then. Returns what the instrument received.
    std::string SendMark() {
        const std::size_t before = instrument->CommandCount();
        EXPECT_TRUE(desktop::WaitUntil([&] {
            x->Key("F1");
            return instrument->WaitForCommands(before + 1, 500ms);
        }));
        return instrument->Received();
    }

    // The top of the navy command area in the main window: the menu bar's height.
    int CommandAreaTop() {
        const Rect place = x->Place(main);
        const auto column = x->Pixels({place.x + 4, place.y, 1, 100});
        const auto navy = std::find(column.begin(), column.end(), kNavy);
        return navy == column.end() ? 0 : static_cast<int>(navy - column.begin());
    }

    // The middle of the index-th word of the main window's menu bar (File, View, Tools, Help): the
    // columns with dark pixels, letters a few pixels apart, words further.
    std::pair<int, int> MenuBarWord(int index) {
        const Rect place = x->Place(main);
        const int height = CommandAreaTop();
        const auto bar = x->Pixels({place.x, place.y, place.width, height});
        const auto darkColumn = [&](int column) {
            for (int row = 2; row + 2 < height; ++row)
                if ((bar[static_cast<std::size_t>(row * place.width + column)] & 0xFF) < 100)
                    return true;
            return false;
        };
        std::vector<std::pair<int, int>> words;  // first and last dark column of each word
        for (int column = 0; column < place.width; ++column) {
            if (!darkColumn(column))
                continue;
            if (!words.empty() && column - words.back().second < 8)
                words.back().second = column;
            else
                words.emplace_back(column, column);
        }
        if (static_cast<int>(words.size()) <= index)
            return {0, 0};
        const auto [first, last] = words[static_cast<std::size_t>(index)];
        return {place.x + (first + last) / 2, place.y + height / 2};
    }

    // The Command Group combo box of the main window, on the screen.
    Rect CommandGroupBox() {
        const Rect place = x->Place(main);
        return {place.x + 8 + 134, place.y + CommandAreaTop() + 76 + 21, 104, 22};
    }

    // A new window of the program with this title, which must be owned by owner: transient for it,
    // above it, and without a minimise function of its own. It is returned once the window manager
    // has made it active, so that the keys sent next go to it.
    XWindow ExpectOwnedWindow(const std::string& title, XWindow owner) {
        const XWindow window = x->WaitForWindow(program.Pid(), title);
        EXPECT_NE(window, 0u) << title << " did not appear";
        if (window == 0)
            return 0;
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == window; })) << title << " is not active";
        EXPECT_EQ(x->TransientFor(window), std::optional<XWindow>(owner)) << title << " owned by " << x->Title(x->TransientFor(window).value_or(0));
        EXPECT_TRUE(Above(window, owner)) << title << " is below its owner";
        const auto functions = x->MotifFunctions(window);
        EXPECT_TRUE(functions && (*functions & kMotifMinimise) == 0) << title << " can be minimised alone";
        return window;
    }

    // Whether upper is above lower in the window manager's stacking.
    bool Above(XWindow upper, XWindow lower) {
        const auto stacking = x->Stacking();
        const auto upperAt = std::find(stacking.begin(), stacking.end(), upper);
        return upperAt != stacking.end() && std::find(stacking.begin(), upperAt, lower) != upperAt;
    }

    // A box or dialog shown while a stay-on-top window is on the screen: owned by the window it is shown
    // for (the main window unless said), above the stay-on-top window, and its buttons in sight.
    XWindow ExpectAboveStayOnTop(const std::string& title, XWindow stayOnTop, XWindow owner = 0) {
        const XWindow box = ExpectOwnedWindow(title, owner != 0 ? owner : main);
        EXPECT_TRUE(Above(box, stayOnTop)) << title << " is under " << x->Title(stayOnTop);
        ExpectButtonsInSight(box, title);
        return box;
    }

    static bool SamePlace(const Rect& a, const Rect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }

    // The window the X server shows somewhere along the strip at the box's bottom, where its buttons
    // are, when that is not the box.
    std::optional<XWindow> CoveringButtons(XWindow box) {
        const Rect place = x->Place(box);
        const int buttonsY = place.y + place.height - 20;
        for (int along : {place.x + 10, place.CentreX(), place.x + place.width - 10}) {
            const auto seen = x->WindowAt(along, buttonsY);
            if (seen != std::optional<XWindow>(box))
                return seen.value_or(0);
        }
        return std::nullopt;
    }

    void ExpectButtonsInSight(XWindow box, const std::string& when) {
        std::optional<XWindow> covering;
        EXPECT_TRUE(desktop::WaitUntil([&] { return !(covering = CoveringButtons(box)); }))
            << x->Title(box) << "'s buttons are covered by " << x->Title(covering.value_or(0)) << " " << when;
    }

    // Opens the pop-up menu of the Command Group box with the right mouse button, at a place along
    // the box (a second click at the same place soon after would be a double click).
    void OpenCommandGroupMenu(int along) {
        ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == main; }));
        const int before = x->PopupCount();
        const Rect combo = CommandGroupBox();
        x->Click(combo.x + along, combo.CentreY(), 3);
        ASSERT_TRUE(desktop::WaitUntil([&] { return x->PopupCount() > before; })) << "no pop-up menu";
    }

    // Opens the Communications Log (F10) beside the main window and makes the main window active again.
    XWindow OpenLog() {
        x->Key("F10");
        const XWindow log = x->WaitForWindow(program.Pid(), "Communications Log");
        EXPECT_NE(log, 0u);
        // A click that comes before the window manager has activated the new window is overruled by it.
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == log; }));
        const Rect mainPlace = x->Place(main);
        x->Click(mainPlace.x + 60, mainPlace.y - 8);  // the main window's title bar
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == main; }));
        return log;
    }

    // The places of a window's controls, which its forms lay out at fixed sizes, on the screen.
    std::function<Rect(Rect)> PlacesIn(XWindow window) {
        const Rect place = x->Place(window);
        return [place](Rect area) { return Rect{place.x + area.x, place.y + area.y, area.width, area.height}; };
    }

    // How a control shows that the pointer is over it: a list draws itself hovered; a track bar has no
    // hovered look, but its blue selection band shows that it is where it is looked for.
    enum class Shows { Hovered, BlueBand };

    // Moves the pointer onto the middle of a control of the window and checks that it is over it.
    // Otherwise a moved layout would leave a wheel turn over something else, and the case would test
    // nothing.
    void PointAt(XWindow window, const Rect& control, Shows shows = Shows::Hovered) {
        const auto unhovered = x->Pixels(control);
        x->MoveTo(control.CentreX(), control.CentreY());
        EXPECT_EQ(x->WindowUnderPointer(), std::optional<XWindow>(window)) << "the pointer is over another window";
        const auto blue = [](std::uint32_t pixel) { return (pixel & 0xFF) > ((pixel >> 16) & 0xFF) + 80; };
        const bool there = shows == Shows::Hovered
                               ? desktop::WaitUntil([&] { return x->Pixels(control) != unhovered; })
                               : std::any_of(unhovered.begin(), unhovered.end(), blue);
        EXPECT_TRUE(there) << "the control is not at " << control.CentreX() << "," << control.CentreY();
    }

    void ExpectClosed(XWindow window) {
        EXPECT_TRUE(desktop::WaitUntil([&] { return !x->Viewable(window); })) << x->Title(window) << " stayed open";
    }

    XDesktop* x = nullptr;
    std::string dataHome;
    std::optional<testsupport::FakeInstrument> instrument;
    desktop::Child program;
    XWindow main = 0;
};

TEST_F(Desktop, TwoCommandsTypedInARowAreBothSent) {
    Start();
    x->Type("ID?");
    x->Key("Return");
    ASSERT_EQ(Received(1), (std::vector<std::string>{"ID?"}));
    x->Type("RATE 5");
    x->Key("Return");
    EXPECT_EQ(Received(2), (std::vector<std::string>{"ID?", "RATE 5"})) << "the sent text was selected, so typing replaced it";
}

TEST_F(Desktop, AWheelTurnOverAnUnfocusedComboNeitherTakesTheFocusNorChangesIt) {
    Start([](terminal::ConfigValues& values) {
        values.CommandGroups[0].CommandStrings[0] = "FIRST";
        values.CommandGroups[1].CommandStrings[0] = "SECOND";
    });
    PointAt(main, CommandGroupBox());
    x->WheelNotch(true);
    x->WheelNotch(true);
    x->Type("ID?");
    x->Key("Return");
    EXPECT_EQ(Received(1), (std::vector<std::string>{"ID?"})) << "the typing stayed in the command line";
    x->Key("F1");
    EXPECT_EQ(Received(2), (std::vector<std::string>{"ID?", "FIRST"})) << "the group stayed the first";
}

TEST_F(Desktop, WheelTurnsOverAPanelsUnfocusedListsAndTrackBarSendNothingToTheLaser) {
    Start();
    const XWindow panel = OpenPanel(false);
    const auto at = PlacesIn(panel);
    const Rect theta = at({580, 229, 98, 22});
    const std::vector<Rect> wheeled = {
        at({21, 82, 95, 22}),    // Mode
        at({123, 82, 110, 22}),  // Wavelength
        at({366, 82, 99, 22}),   // Magnification
        at({432, 362, 20, 116}),  // the field illuminator's track bar, the last
    };
    const auto typeTheta = [&](const std::string& value) {
        x->Click(theta.CentreX(), theta.CentreY());
        x->Key("Home");
        x->Key("shift+End");
        x->Type(value);
        x->Key("Return");
    };
    typeTheta("7");  // the focus in the theta edit, and every command of the panel's opening sent
    ASSERT_TRUE(desktop::WaitUntil([&] { return instrument->Received().find(";LC:ST 7") != std::string::npos; }))
        << "the theta edit was not found";
    const std::size_t before = instrument->CommandCount();
    std::vector<std::vector<std::uint32_t>> looks;
    for (const Rect& control : wheeled)
        looks.push_back(x->Pixels(control));

    for (const Rect& control : wheeled) {
        PointAt(panel, control, &control == &wheeled.back() ? Shows::BlueBand : Shows::Hovered);
        x->WheelNotch(true);
        x->WheelNotch(false);
    }
    x->MoveTo(1, 1);
    typeTheta("-12");  // the next command
    ASSERT_TRUE(desktop::WaitUntil([&] { return instrument->Received().find(";LC:ST -12") != std::string::npos; }));
    const auto commands = instrument->Commands();
    EXPECT_EQ(std::vector<std::string>(commands.begin() + static_cast<std::ptrdiff_t>(before), commands.end()),
              std::vector<std::string>{";LC:ST -12"})
        << "a wheel turn over an unfocused control sent a command";
    for (std::size_t i = 0; i < wheeled.size(); ++i)
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->Pixels(wheeled[i]) == looks[i]; })) << "control " << i << " changed";
}

TEST_F(Desktop, WithAListFocusedTheWheelChangesNothingElseAndScrollsTheUnfocusedLogUnderThePointer) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    const XWindow log = OpenLog();
    const XWindow panel = OpenPanel(false);
    const auto at = PlacesIn(panel);
    const Rect mode = at({21, 82, 95, 22});
    const int popups = x->PopupCount();
    x->Click(mode.CentreX(), mode.CentreY());
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->PopupCount() > popups; })) << "the Mode list did not open";
    x->Key("Escape");
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->PopupCount() == popups; }));
    SendMark();  // every command of the panel's opening sent
    const std::size_t before = instrument->CommandCount();

    PointAt(panel, at({123, 82, 110, 22}));  // Wavelength
    const auto modeLook = x->Pixels(mode);
    x->WheelNotch(true);
    // The bottom of the log's pane, below the panel.
    const Rect logLines = PlacesIn(log)({8, 440, 400, 60});
    x->MoveTo(logLines.CentreX(), logLines.y + logLines.height - 10);
    ASSERT_EQ(x->WindowUnderPointer(), std::optional<XWindow>(log)) << "the log's pane is not under the pointer";
    const auto lastLines = x->Pixels(logLines);
    x->WheelNotch(false);
    EXPECT_TRUE(desktop::WaitUntil([&] { return x->Pixels(logLines) != lastLines; })) << "the log did not scroll";

    SendMark();
    const auto commands = instrument->Commands();
    for (auto command = commands.begin() + static_cast<std::ptrdiff_t>(before); command != commands.end(); ++command)
        EXPECT_EQ(*command, "MARK") << "a wheel turn away from the focused list reached it";
    EXPECT_TRUE(desktop::WaitUntil([&] { return x->Pixels(mode) == modeLook; })) << "the Mode list changed";
}

TEST_F(Desktop, ThePortSettingsRenameAndCopyDialogsAreOwnedByTheMainWindow) {
    Start();
    x->Key("ctrl+p");
    const XWindow properties = ExpectOwnedWindow("COM5 Properties", main);
    x->Key("alt+F4");
    ExpectClosed(properties);

    OpenCommandGroupMenu(20);
    x->Key("Down");
    x->Key("Return");
    XWindow rename = ExpectOwnedWindow("Rename Group", main);
    x->Key("Escape");
    ExpectClosed(rename);

    OpenCommandGroupMenu(60);
    x->Key("Down");
    x->Key("Down");
    x->Key("Return");
    XWindow copy = ExpectOwnedWindow("Copy To Group", main);
    x->Minimise(copy);
    EXPECT_TRUE(desktop::WaitUntil([&] { return !x->Viewable(copy) && !x->Viewable(main); }))
        << "the dialog was minimised alone, leaving a main window that takes no input";
}

TEST_F(Desktop, TheTransfersBoxesAndSaveDialogStayAboveTheInstrumentSettingsWindow) {
    const std::filesystem::path query = std::filesystem::path(dataHome) / "laser.iqf";
    std::ofstream(query, std::ios::binary) << "Rate,RATE?\r\nErr,ERR?\r\n";
    instrument->ReplyExact("RATE?", "1000\r\n");
    instrument->ReplyExact("ERR?", "?4\r\n");
    Start();
    const XWindow panel = OpenPanel(false);  // beside the settings window, and clicked before Download
    x->Activate(main);
    OpenToolsMenu();
    x->Key("Right");  // Instrument Parameters: Download Settings
    x->Key("Return");
    const XWindow settings = x->WaitForWindow(program.Pid(), "Instrument Settings");
    ASSERT_NE(settings, 0u);
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == settings; }));
    const Rect panelPlace = x->Place(panel);
    x->Click(panelPlace.x + 60, panelPlace.y - 8);  // the panel's title bar
    ExpectButtonsInSight(settings, "after a click on the panel");
    // The program gives the focus back to its modal window; the Download button has it.
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == settings; }));
    x->Key("space");

    ExpectAboveStayOnTop("Open Insturment Settings Query File", panel, settings);
    x->Type(query.string());
    x->Key("Return");
    const XWindow error = ExpectAboveStayOnTop("Error Reponse Received", panel, settings);
    x->Key("Return");
    ExpectClosed(error);
    const XWindow save = ExpectAboveStayOnTop("Save Instrument Restore File", panel, settings);
    x->Key("Escape");
    ExpectClosed(save);
}

TEST_F(Desktop, TypingAfterTheFocusedCommandLineWasDisabledGoesNowhere) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    const Rect combo = CommandGroupBox();
    const auto comboBefore = x->Pixels(combo);
    // The menu opened with the mouse: from the keyboard the menu bar would hold the focus meanwhile.
    const int popups = x->PopupCount();
    const auto [toolsX, toolsY] = MenuBarWord(2);
    x->Click(toolsX, toolsY);
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->PopupCount() > popups; })) << "the Tools menu did not open";
    for (int i = 0; i < 5; ++i)
        x->Key("Down");
    x->Key("Return");  // Comm Port Scan: the command line is disabled while it runs
    // Keys sent while the menu is still on the screen would go to the menu.
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->PopupCount() == popups; })) << "the menu stayed open";
    x->Type("P2");
    x->Key("Return");
    // F1, a shortcut, sends its string once the scan is over: the keys before it were taken by then.
    ASSERT_TRUE(desktop::WaitUntil([&] {
        x->Key("F1");
        return instrument->WaitForCommands(1, 500ms);
    }));
    for (const std::string& command : instrument->Commands())
        EXPECT_EQ(command, "MARK");
    // The place the menu covered is drawn again soon after.
    EXPECT_TRUE(desktop::WaitUntil([&] { return x->Pixels(combo) == comboBefore; }))
        << "the Command Group box took the typing";
}

TEST_F(Desktop, AHalfTypedPanelValueIsSentByEnterOnlyNotByClickingAnotherWindowOrClosingThePanel) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    const XWindow log = OpenLog();  // the other window to click (opening a panel minimises the main one)
    ASSERT_FALSE(HasFailure());
    const XWindow panel = OpenPanel(true);
    const Rect place = x->Place(panel);
    const Rect frequency{place.x + 4 + 6 + 10, place.y + 4 + 308 + 72, 155, 22};
    x->Click(frequency.CentreX(), frequency.CentreY());
    x->Key("Home");
    x->Key("shift+End");
    x->Type("55.5");

    const Rect logPlace = x->Place(log);
    const auto activateLog = [&] {
        x->Click(logPlace.x + logPlace.width - 150, logPlace.y + logPlace.height - 60);  // below its error table
        ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == log; }));
    };
    activateLog();
    EXPECT_EQ(SendMark().find("FREQUENCY=55.5"), std::string::npos) << "leaving the window committed the value";

    x->Click(place.x + 60, place.y - 8);  // the panel's title bar
    ASSERT_TRUE(desktop::WaitUntil([&] { return x->ActiveWindow() == panel; }));
    x->Key("Return");
    EXPECT_TRUE(desktop::WaitUntil([&] { return instrument->Received().find("FREQUENCY=55.5") != std::string::npos; }))
        << "the edit kept neither its text nor the focus";

    x->Key("Home");
    x->Key("shift+End");
    x->Type("60");
    x->Key("alt+F4");
    ExpectClosed(panel);
    activateLog();
    EXPECT_EQ(SendMark().find("FREQUENCY=60"), std::string::npos) << "closing the panel committed the value";
}

TEST_F(Desktop, TheMainWindowsShortcutsActFromAPanelAndTheirBoxesStayAboveIt) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    const XWindow panel = OpenPanel(true);
    EXPECT_NE(SendMark().find("MARK"), std::string::npos);
    x->Key("ctrl+p");
    const XWindow properties = ExpectOwnedWindow("COM5 Properties", panel);
    x->Key("alt+F4");
    ExpectClosed(properties);
}

// The panel stays on top; the main window, restored beside it, shows its file dialog, its box and its
// modal forms above the panel, not hidden under it; once they are gone the panel is above the main
// window again. A dialog above the panel is still minimised with its owner.
TEST_F(Desktop, TheMainWindowsFileDialogAndBoxesAreAboveAStayOnTopPanel) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    const XWindow panel = OpenPanel(false);
    ASSERT_TRUE(desktop::WaitUntil([&] { return !x->Viewable(main); })) << "the main window was not minimised";
    SendMark();  // the program saw its main window minimised before it is restored
    x->Activate(main);  // as from a task bar
    ASSERT_EQ(x->ActiveWindow(), std::optional<XWindow>(main)) << "the main window was not restored";
    x->Key("alt+f");
    x->Key("Return");  // Open Command File
    const XWindow dialog = ExpectAboveStayOnTop("Open Command Input File", panel);
    x->Type((std::filesystem::path(dataHome) / "new.txt").string());
    x->Key("Return");
    ExpectClosed(dialog);
    const XWindow box = ExpectAboveStayOnTop("Open Command Input File", panel);  // create the file?
    x->Key("Escape");  // no: the dialog again
    ExpectClosed(box);
    const XWindow again = ExpectOwnedWindow("Open Command Input File", main);
    x->Key("Escape");
    ExpectClosed(again);
    EXPECT_TRUE(desktop::WaitUntil([&] { return Above(panel, main); })) << "the panel is under the main window";

    x->Activate(main);
    x->Key("ctrl+p");  // a modal form
    const XWindow properties = ExpectAboveStayOnTop("COM5 Properties", panel);
    x->Key("alt+F4");
    ExpectClosed(properties);
    x->Activate(main);  // the keys go nowhere until the window manager has given it the focus back
    x->Key("alt+f");
    x->Key("Return");
    x->Minimise(ExpectAboveStayOnTop("Open Command Input File", panel));
    EXPECT_TRUE(desktop::WaitUntil([&] { return !x->Viewable(main); })) << "the dialog was minimised without its owner";
}

// Whatever is clicked, activated, minimised or restored, a panel never covers a box of the main window.
// The box stays on top only while a window of the program that stays on top is on the screen, and the
// panel stays on top again, in its place, once the last box has closed.
TEST_F(Desktop, APanelNeverCoversABoxAndABoxCoversAnotherProgramOnlyWhileAPanelIsShown) {
    for (const bool pexmar : {false, true}) {
        SCOPED_TRACE(pexmar ? "Pexmar" : "Framont");
        instrument.emplace("COM5");
        Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
        const XWindow panel = OpenPanel(pexmar);
        ASSERT_TRUE(desktop::WaitUntil([&] { return !x->Viewable(main); })) << "the main window was not minimised";
        SendMark();  // the program saw its main window minimised before it is restored
        x->Activate(main);
        const Rect panelPlace = x->Place(panel);
        x->Key("alt+f");
        x->Key("Return");  // Open Command File
        const XWindow dialog = ExpectAboveStayOnTop("Open Command Input File", panel);
        x->Click(panelPlace.x + 60, panelPlace.y - 8);  // the panel's title bar
        ExpectButtonsInSight(dialog, "after a click on the panel");
        x->Activate(dialog);
        ExpectButtonsInSight(dialog, "once activated again");

        x->Minimise(panel);
        const XWindow other = x->OpenOtherProgramsWindow({0, 0, 1280, 1024});
        x->Activate(other);
        EXPECT_TRUE(desktop::WaitUntil([&] { return CoveringButtons(dialog) == std::optional<XWindow>(other); }))
            << "with no panel on the screen the dialog stays above another program's window";
        EXPECT_FALSE(x->StaysAbove(dialog));
        x->DestroyWindow(other);
        x->Activate(dialog);
        x->Key("Escape");
        ExpectClosed(dialog);
        x->Activate(panel);
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->StaysAbove(panel) && Above(panel, main); }))
            << "the panel does not stay on top once the box has closed";

        x->Minimise(panel);
        x->Activate(main);
        x->Key("ctrl+p");  // a modal form
        const XWindow properties = ExpectOwnedWindow("COM5 Properties", main);
        x->Restore(panel);  // as from a task bar
        EXPECT_TRUE(desktop::WaitUntil([&] { return SamePlace(x->Place(panel), panelPlace); }))
            << "the panel moved or changed its size";
        ExpectButtonsInSight(properties, "after the panel was restored");
        x->Activate(properties);
        x->Key("alt+F4");
        ExpectClosed(properties);
        EXPECT_TRUE(desktop::WaitUntil([&] { return x->StaysAbove(panel); }));
    }
}

// A session ends: SIGTERM and SIGHUP at once, as systemd sends them, to the program with the Pexmar
// panel open. One ending: the panel's stops reach the instrument, the history is saved, status 0.
TEST_F(Desktop, TheSignalPairOfASessionStopIsOneEndingThatStopsThePanelsLaser) {
    Start([](terminal::ConfigValues& values) { values.CommandGroups[0].CommandStrings[0] = "MARK"; });
    OpenPanel(true);
    SendMark();  // the panel's opening has ended
    const std::size_t before = instrument->CommandCount();
    kill(program.Pid(), SIGTERM);
    kill(program.Pid(), SIGHUP);
    const std::optional<int> status = program.AwaitExit();
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "ended by a signal, not by the close";
    const std::vector<std::string> commands = Received(before + 2);
    std::vector<std::string> after(commands.begin() + static_cast<std::ptrdiff_t>(before), commands.end());
    std::erase(after, "MARK");  // a repeated F1 may still have been on its way
    EXPECT_EQ(after, (std::vector<std::string>{"!GATE ACTIV=0", "!SHUTTER=0"}));
    std::ifstream config(ConfigFilePath());
    const std::string saved((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("\r\n!SHUTTER=0\r\n"), std::string::npos) << "the history was not saved after the stops";
}

}  // namespace
