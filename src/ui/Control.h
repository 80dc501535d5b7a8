#pragma once
// The base of every control: a Qt widget with the class library's behaviour. Every operation may be
// called from any thread; off the GUI thread it is handed over and awaited (see GuiThread.h).
#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>

#include "ui/Align.h"
#include "ui/Color.h"
#include "ui/Events.h"

class QFocusEvent;
class QLineEdit;

namespace ui {

class TPopupMenu;

// 8-bit program text to and from Qt: every byte keeps its value.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

class TControl {
public:
    explicit TControl(QWidget* widget);
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    QWidget* Widget() const { return widget_; }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    // Refused, without a message, when the control or a parent is disabled or hidden.
    bool SetFocus();
    bool Focused() const;
    std::string Hint() const;
    void SetHint(const std::string& hint);
    TColor Color() const;
    void SetColor(TColor color);
    void SetFontColor(TColor color);
    void SetBold(bool bold);
    void SetPopupMenu(TPopupMenu* menu);
    void Repaint();

    // Place and size in the parent, in pixels, as the form gives them; an aligned control is placed by
    // its alignment instead (see Align.h).
    virtual void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetAlign(TAlign align);

    TNotifyEvent OnClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    QPointer<QWidget> widget_;
    // A container (group, panel, notebook) paints its colour whatever its state; any other control's
    // colours apply only while it is enabled, so that a disabled control looks disabled.
    bool container_ = false;
    // A check box or radio button takes its font colour in its caption only, not in its mark.
    bool captionOnlyFontColor_ = false;

private:
    void ApplyStyle();
    void PaintCaptionOnly(TColor color);
    std::optional<TColor> background_;
    std::optional<TColor> foreground_;
    bool bold_ = false;
};

// Focus as the class library has it, called from a control widget's focus events. The focus enters a
// control when it moves to it within its window, or when the window is activated with the focus on a
// control other than the one it had when it was last deactivated; FocusArrived runs OnEnter then and
// returns true. Only a move to another control of the same window is an exit (OnExit): deactivating
// the window, a modal box or menu opening, hiding or closing the window, or disabling the control
// (the window itself takes the focus then) is not.
bool FocusArrived(TControl* control, const QFocusEvent* event);
void FocusLeft(TControl* control, const QFocusEvent* event);
// A one-line edit's focus-in: entered from the keyboard or from code, the whole text is selected, so
// that typing replaces it; a click places the caret.
void EnterOneLineEdit(TControl* control, QLineEdit* edit, const QFocusEvent* event);
// A hidden window forgets where its focus was: showing it again enters its focused control anew.
void ForgetKeptFocus(const QWidget* window);

}  // namespace ui
