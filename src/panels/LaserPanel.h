#pragma once
// The laser panels' one way to stop: each panel's stop routine leaves the laser as its close leaves
// it (its stop commands and its panel file), whichever writer carries the commands. The close uses
// the main window's door (WriteThroughRoad); an ending without a display writes straight to the
// port, since nothing can be shown. GUI thread only.
#include <string>

#include "panels/PanelCommand.h"

namespace ui {
class TForm;
}

namespace panels {

class LaserPanel {
public:
    // Listed from its creation to its end; window is the panel's own form.
    explicit LaserPanel(const ui::TForm* window);
    virtual ~LaserPanel();
    LaserPanel(const LaserPanel&) = delete;
    LaserPanel& operator=(const LaserPanel&) = delete;

    // Sends the panel's stop commands with write and saves what the close saves.
    virtual void StopLaser(const PortWriter& write) = 0;

    // Runs StopLaser(write) for each laser panel whose window is open, in the order they were made.
    static void StopEachOpen(const PortWriter& write);

private:
    const ui::TForm* window_;
};

// The close's writer: the command through the main window's door, also once the program is ending.
void WriteThroughRoad(const std::string& command);

}  // namespace panels
