#pragma once
// A window paints at most once a frame of its screen. Qt paints a window whenever its event loop finds
// an update request waiting, which during a command cycle is after every line added to the pane; the
// pacer holds such a request back until a frame has passed since the last paint, and the changes of
// that frame are painted together. A frame also waits (a few milliseconds at most) until the worker's
// hand-overs have been quiet for a moment: right after a reply is shown, the worker asks the GUI thread
// for what its next command needs, and would otherwise wait for a paint.
#include <QElapsedTimer>
#include <QTimer>

class QEvent;
class QWidget;

namespace ui {

class FramePacer {
public:
    explicit FramePacer(QWidget* window);

    // Called with each update request the window receives; true when the request is held back (the
    // window then drops it). A request that comes while one is held back is a synchronous repaint
    // (Qt posts no second request before the first was served): it goes through at once.
    bool HoldBack(const QEvent* event);

private:
    int FrameMs() const;
    void PaintHeldFrame();

    int LeftToWait();

    QWidget* window_;
    QElapsedTimer sincePaint_;
    QElapsedTimer waitedForQuiet_;
    QTimer frameEnd_;
};

}  // namespace ui
