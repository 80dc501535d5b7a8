// window-pictures: builds the program's real windows with a fake instrument on COM5, works them as an
// operator would (a few commands, the log, a download), and saves a picture of every window into a
// folder. Run it through scripts/pictures, which gives it an X display (Xvfb) and a fresh data folder.
#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPixmap>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <utility>
#include <iostream>
#include <string>
#include <tuple>

#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/Pexmarcontrol.h"
#include "serial/CommLog.h"
#include "serial/CommSearch.h"
#include "settings_transfer/Instrumentsetting.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"
#include "ui/Buttons.h"

namespace {

using testsupport::TalvaneApp;

std::filesystem::path g_folder;
int g_failures = 0;

// Lets the window lay itself out and paint, then saves what it shows.
void Save(ui::TForm& form, const std::string& name) {
    TalvaneApp::ProcessEvents(300);
    QMainWindow* window = form.Window();
    const std::filesystem::path path = g_folder / (name + ".png");
    if (!window->isVisible() || !window->grab().save(QString::fromStdString(path.string()))) {
        std::cerr << "window-pictures: no picture of " << name << '\n';
        ++g_failures;
        return;
    }
    std::cout << path.string() << "  " << window->width() << " x " << window->height() << "  \""
              << window->windowTitle().toStdString() << "\"\n";
}

// A modal window is pictured while it is up, then closed as its close box would.
void SaveModal(TalvaneApp& app, const std::string& name, const std::function<void()>& open,
               const std::function<void(ui::TForm&)>& before = {}) {
    app.dialogs.QueueModal([&](ui::TForm& form) {
        if (before)
            before(form);
        Save(form, name);
    });
    open();
}

// The pane's pop-up menu as a right click in the pane opens it (nothing selected: Cut and Copy greyed).
void SavePanePopup(TTalvaneForm& main) {
    main.reTalvane->SetFocus();
    main.PopupMenuTalvane->Popup(main.reTalvane->Widget()->mapToGlobal(QPoint(80, 60)));
    TalvaneApp::ProcessEvents(300);
    QWidget* menu = QApplication::activePopupWidget();
    const std::filesystem::path path = g_folder / "pane-popup-menu.png";
    if (menu == nullptr || !menu->grab().save(QString::fromStdString(path.string()))) {
        std::cerr << "window-pictures: no picture of the pane's pop-up menu\n";
        ++g_failures;
        return;
    }
    std::cout << path.string() << '\n';
    menu->close();
}

void SaveMainWindow(TalvaneApp& app) {
    TTalvaneForm& main = app.Main();
    main.ViewLog2Click();
    app.Send(";LC:WL?");
    app.Send(";LC:ST?");
    app.Send(";SL:SP?");
    Save(main, "main-window");
    SavePanePopup(main);
    CommLogForm->tmrUpdateTimer();
    Save(*CommLogForm, "log-window");
    CommLogForm->Close();
}

void SaveDialogs(TalvaneApp& app) {
    TTalvaneForm& main = app.Main();
    SaveModal(app, "port-settings", [&] { main.CommProperties1Click(); });
    frmAvailableCommPorts->Show();
    Save(*frmAvailableCommPorts, "available-ports");
    frmAvailableCommPorts->Close();
    SaveModal(app, "rename-dialog", [&] { main.RenameGroup1Click(); });
    SaveModal(app, "copy-dialog", [&] { main.CopytoGroup1Click(); });

    const std::filesystem::path queries = std::filesystem::temp_directory_path() / "Laser Settings.iqf";
    std::ofstream(queries, std::ios::binary) << "Wavelength,;LC:WL?\r\nStatus,;LC:ST?\r\nSlit,;SL:SP?\r\n";
    app.dialogs.QueueFileName(queries.string());
    app.dialogs.QueueFileName(std::nullopt);  // the restore file is not saved
    SaveModal(app, "instrument-settings", [&] { main.DownloadSettings1Click(); },
              [](ui::TForm&) { InstrumentSettingForm->cmdDownload->Click(); });
    std::filesystem::remove(queries);
}

void SavePanels(TalvaneApp& app) {
    TTalvaneForm& main = app.Main();
    main.OndrelControl1Click();
    Save(*OndrelControlForm, "ondrel-panel");
    OndrelControlForm->Close();
    main.GRNIRControl1Click();
    TalvaneApp::ProcessEvents(1500);  // the opening queries and a status poll
    Save(*FramontControlForm, "framont-panel");
    FramontControlForm->Close();
    main.PexmarSystem1Click();
    TalvaneApp::ProcessEvents(1500);
    Save(*PexmarControlForm, "pexmar-panel");
    PexmarControlForm->Close();
}

// Drags Splitter1 sideways as the operator does, widening the command file window.
void DragSplitter(TTalvaneForm& main, int dx) {
    TalvaneApp::ProcessEvents(100);
    QWidget* bar = main.Splitter1->Widget();
    const int before = main.gbInputFile->Widget()->width();
    const QPoint from(1, bar->height() / 2);
    const QPoint to = from + QPoint(dx, 0);
    for (const auto& [type, at, button, held] :
         {std::tuple{QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::MouseButtons(Qt::LeftButton)},
          std::tuple{QEvent::MouseMove, to, Qt::NoButton, Qt::MouseButtons(Qt::LeftButton)},
          std::tuple{QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::MouseButtons(Qt::NoButton)}}) {
        QMouseEvent event(type, QPointF(at), bar->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    }
    TalvaneApp::ProcessEvents(100);
    if (main.gbInputFile->Widget()->width() != before - dx) {
        std::cerr << "window-pictures: the splitter left the command file window " << main.gbInputFile->Widget()->width()
                  << " wide, not " << before - dx << '\n';
        ++g_failures;
    }
}

void SaveResizedMainWindow(TalvaneApp& app) {
    TTalvaneForm& main = app.Main();
    QMainWindow* window = main.Window();
    window->showNormal();
    window->resize(1, 1);  // as small as the window lets itself be made
    Save(main, "main-window-small");
    main.ViewCommandFileWindow1Click();
    for (const char* line : {";LC:WL 1064", "// settle", "|:WAIT 250", ";LC:ST?"})
        main.reInputFile->AddLine(line, ui::clBlack);
    window->resize(1280, 1000);
    DragSplitter(main, -200);
    Save(main, "main-window-large");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: window-pictures FOLDER\n";
        return 2;
    }
    g_folder = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(g_folder);

    testsupport::FakeInstrument instrument("COM5");
    instrument.ReplyExact(";LC:WL?", "1064\r\n");
    instrument.ReplyExact(";LC:ST?", "0\r\n");
    instrument.ReplyExact(";SL:SP?", "120,120\r\n");
    for (const auto& [query, reply] : std::initializer_list<std::pair<const char*, const char*>>{
             {"?LASER DATA", "532-2W"}, {"?SYSTEM", "System On"}, {"?KEYSWITCH", "1"},
             {"?DIODE HOURS", "Diode1: 00086h, Diode2: 00086h"}, {"?DIODE VOLTAGE", "1.9+"},
             {"?DIODE CURRENT", "13.0+"}, {"?TEMPERATURE", "25.1"}, {"?WATER FLOW", "2.4"}, {"?WARNING", ""},
             {"?PULSE FREQUENCY", "20.0+"}, {"?PARAMETER SET", "00"}})
        instrument.ReplyExact(query, std::string(reply) + "\r\n");
    TalvaneApp::WriteConfigForPort("COM5");
    TalvaneApp app;
    app.Start();
    SaveMainWindow(app);
    SaveDialogs(app);
    SavePanels(app);
    SaveResizedMainWindow(app);
    return g_failures == 0 ? 0 : 1;
}
