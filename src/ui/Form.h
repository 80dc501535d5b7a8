#pragma once
// A form: a top-level window with its controls, created once and kept until the program ends.
// Closing a form hides it. A form shown modally runs until it has a modal result.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Color.h"
#include "ui/Events.h"
#include "ui/Menu.h"

class QMainWindow;
class QPoint;
class QWidget;

namespace ui {

enum class WindowState { Normal, Minimized, Maximized };

// The frame of a window: sizeable; single (a fixed size); dialog (a fixed size, a dialog window
// without minimise and maximise buttons).
enum class TBorderStyle { Sizeable, Single, Dialog };
// The buttons of the title bar, combined with |.
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

class TForm {
public:
    TForm(const std::string& caption, int width, int height);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    QMainWindow* Window() const { return window_; }
    // The area the form's controls go on.
    QWidget* Client() const { return client_; }

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    int Width() const;
    int Height() const;

    void Show();
    void Hide();
    // Asks to close: OnCloseQuery may refuse; otherwise OnClose runs and the form is hidden.
    void Close();
    bool Visible() const;
    void BringToFront();
    WindowState State() const;
    void SetWindowState(WindowState state);

    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    // A non-zero result ends a modal showing.
    void SetModalResult(int result);

    TMainMenu* MainMenu();
    void SetKeepOnTop(bool onTop);
    // The colour of the form's own background; its controls keep theirs.
    void SetColor(TColor color);
    void SetBorderStyle(TBorderStyle style);
    void SetBorderIcons(unsigned icons);
    // Centres the window on the screen's, or on another form's, window, kept inside the available
    // area of the screen it lands on.
    void CentreOnScreen();
    void CentreOn(const TForm& other);

    // Closes the shown forms as the operator would, the latest created first and the main form (the
    // first created) last. A main form that refuses (it stopped its work instead) is asked once more.
    static void CloseAll();

    // The form whose window holds widget, nullptr for none.
    static TForm* FormOf(const QWidget* widget);
    // The window a box, file dialog or modal form shown now belongs to: the active modal window, else
    // the active window, else the form the operator was last in (the active window is none for a
    // moment after a box closes, until the window manager gives the focus back), else the main form;
    // the first of them that is on the screen, nullptr for none. A window manager keeps an owned
    // window above its owner and minimises the two together.
    static QWidget* DialogOwner();

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    std::function<void(bool& canClose)> OnCloseQuery;
    // Enter and Escape in the form when the focused control does not take them.
    TNotifyEvent OnDefaultKey;
    TNotifyEvent OnCancelKey;

    // Creates a control owned by the form (freed after the form's window).
    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = control.get();
        owned_.push_back(Holder(std::move(control)));
        return raw;
    }

    // Called by the window; not for the program's own use.
    bool HandleCloseRequest();
    void HandleShown();
    void SetModalEndHandler(std::function<void()> handler) { onModalEnd_ = std::move(handler); }

private:
    using Holder = std::shared_ptr<void>;
    void ApplyWindowFlags();
    void MoveCentreTo(const QPoint& centre);
    QMainWindow* window_;
    QWidget* client_;
    std::unique_ptr<TMainMenu> menu_;
    std::vector<Holder> owned_;
    bool modal_ = false;
    int modalResult_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    bool keepOnTop_ = false;
    bool onTopWhileModal_ = false;
    std::function<void()> onModalEnd_;
};

}  // namespace ui
