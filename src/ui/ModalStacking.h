#pragma once
// Keeps a box, file dialog or modal form of the program above the program's windows that stay on top
// (the panels, Instrument Settings) and no higher than it must be.
//
// While one is open, those windows are ordinary windows to the window manager: no click on one, no
// activation or restore brings it above the box. The box itself stays on top while one of them is
// on the screen, above ordinary windows as they are, and becomes an ordinary window whenever none
// is (all minimised or closed), so that it never covers another program's windows for nothing. Once
// the last box has closed, they stay on top again. Only an X11 window manager is told; elsewhere the
// windows keep their marks.
class QWidget;

namespace ui {

class ModalStacking {
public:
    // Before the box is shown. A box that stays on top itself (Instrument Settings shown modally)
    // keeps its own mark throughout.
    explicit ModalStacking(QWidget& box, bool staysOnTopItself = false);
    ~ModalStacking();
    ModalStacking(const ModalStacking&) = delete;
    ModalStacking& operator=(const ModalStacking&) = delete;

    // Whether the box is to be shown with the stay-on-top mark (Qt::WindowStaysOnTopHint), given
    // before it is shown; later changes reach the window manager directly.
    bool ShowOnTop() const { return showOnTop_; }

private:
    QWidget& box_;
    bool showOnTop_ = false;
};

// Whether a window of the program that stays on top of its own accord is on the screen (shown and
// not minimised), other than besides; a box marked only while it is open does not count.
bool StayOnTopWindowShown(const QWidget* besides = nullptr);

}  // namespace ui
