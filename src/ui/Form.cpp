#include "ui/Form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>
#include <vector>

#include "ui/Backdrop.h"
#include "ui/Control.h"
#include "ui/Dialogs.h"
#include "ui/FormFont.h"
#include "ui/FramePacing.h"
#include "ui/GuiThread.h"
#include "ui/ModalStacking.h"

namespace ui {
namespace {

const char* const kFormProperty = "talvaneForm";

// GUI thread only: the live forms in the order of their creation; the first is the main form.
std::vector<TForm*>& LiveForms() {
    static std::vector<TForm*> forms;
    return forms;
}

// GUI thread only: the form window that was activated last.
QPointer<QWidget>& LastActiveForm() {
    static QPointer<QWidget> window;
    return window;
}

// The main form's menu shortcuts also act while another non-modal form is active, once that form's
// own shortcuts and controls have passed the key on; nothing acts while a modal window is open.
bool RunMainFormShortcut(const TForm* form, const QKeyEvent* event) {
    if (LiveForms().empty() || LiveForms().front() == form || form->Modal() || QApplication::activeModalWidget())
        return false;
    const QKeySequence pressed(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
    for (QAction* action : LiveForms().front()->Window()->actions()) {
        if (action->isEnabled() && action->isVisible() && action->shortcutContext() == Qt::WindowShortcut &&
            action->shortcuts().contains(pressed)) {
            action->trigger();
            return true;
        }
    }
    return false;
}

class FormWindow : public QMainWindow {
public:
    explicit FormWindow(TForm* form) : form_(form), pacer_(this) {
        setProperty(kFormProperty, QVariant::fromValue(static_cast<void*>(form)));
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate)
            LastActiveForm() = this;
        return pacer_.HoldBack(event) || QMainWindow::event(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (form_->HandleCloseRequest())
            event->accept();
        else
            event->ignore();
    }
    void showEvent(QShowEvent* event) override {
        QMainWindow::showEvent(event);
        if (!event->spontaneous())
            form_->HandleShown();
    }
    void hideEvent(QHideEvent* event) override {
        QMainWindow::hideEvent(event);
        if (!event->spontaneous())
            ForgetKeptFocus(this);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            Guarded(form_->OnDefaultKey);
        else if (event->key() == Qt::Key_Escape)
            Guarded(form_->OnCancelKey);
        else if (!RunMainFormShortcut(form_, event))
            QMainWindow::keyPressEvent(event);
    }

private:
    TForm* form_;
    FramePacer pacer_;
};

}  // namespace

TForm::TForm(const std::string& caption, int width, int height)
    : window_(new FormWindow(this)), client_(new QWidget(window_)) {
    UseFormFont();
    window_->setWindowTitle(ToQt(caption));
    window_->resize(width, height);
    window_->setCentralWidget(client_);
    client_->setObjectName(QStringLiteral("formClient"));
    ApplyWindowFlags();
    LiveForms().push_back(this);
}

TForm::~TForm() {
    // The window and its widgets go first, while the controls that their events reach still exist;
    // the events their going raises reach no handler.
    EventSuspension suspended;
    std::erase(LiveForms(), this);
    ForgetKeptFocus(window_);
    delete window_;
    window_ = nullptr;
    owned_.clear();
}

std::string TForm::Caption() const {
    return OnGui([&] { return FromQt(window_->windowTitle()); });
}

void TForm::SetCaption(const std::string& caption) {
    OnGui([&] { window_->setWindowTitle(ToQt(caption)); });
}

int TForm::Width() const {
    return OnGui([&] { return window_->width(); });
}

int TForm::Height() const {
    return OnGui([&] { return window_->height(); });
}

void TForm::Show() {
    OnGui([&] {
        window_->show();
        window_->raise();
        window_->activateWindow();
    });
}

void TForm::Hide() {
    OnGui([&] { window_->hide(); });
}

void TForm::Close() {
    OnGui([&] { window_->close(); });
}

bool TForm::Visible() const {
    return OnGui([&] { return window_->isVisible(); });
}

void TForm::BringToFront() {
    OnGui([&] {
        window_->raise();
        window_->activateWindow();
    });
}

WindowState TForm::State() const {
    return OnGui([&] {
        if (window_->windowState() & Qt::WindowMinimized)
            return WindowState::Minimized;
        if (window_->windowState() & Qt::WindowMaximized)
            return WindowState::Maximized;
        return WindowState::Normal;
    });
}

void TForm::SetWindowState(WindowState state) {
    OnGui([&] {
        Qt::WindowStates flags = window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        if (state == WindowState::Minimized)
            flags |= Qt::WindowMinimized;
        else if (state == WindowState::Maximized)
            flags |= Qt::WindowMaximized;
        window_->setWindowState(flags);
    });
}

// While shown modally the window is a dialog window: it cannot be minimised away from the operator
// while the rest of the program waits for it; and it is not hidden under a window that stays on top.
int TForm::ShowModal() {
    return OnGui([&] {
        modal_ = true;
        modalResult_ = 0;
        const ModalStacking stacking(*window_, keepOnTop_);
        onTopWhileModal_ = stacking.ShowOnTop();
        QWidget* owner = DialogOwner();
        if (owner == window_)
            owner = nullptr;
        ApplyWindowFlags();
        window_->setWindowModality(Qt::ApplicationModal);
        window_->createWinId();
        window_->windowHandle()->setTransientParent(owner != nullptr ? owner->windowHandle() : nullptr);
        const int result = Dialogs().RunModal(*this);
        window_->windowHandle()->setTransientParent(nullptr);
        window_->setWindowModality(Qt::NonModal);
        modal_ = false;
        onTopWhileModal_ = false;
        ApplyWindowFlags();
        return result;
    });
}

void TForm::SetModalResult(int result) {
    OnGui([&] {
        modalResult_ = result;
        if (modal_ && result != 0)
            window_->close();
    });
}

TMainMenu* TForm::MainMenu() {
    if (!menu_)
        menu_ = std::make_unique<TMainMenu>(window_, window_->menuBar());
    return menu_.get();
}

void TForm::SetKeepOnTop(bool onTop) {
    OnGui([&] {
        keepOnTop_ = onTop;
        ApplyWindowFlags();
    });
}

void TForm::SetColor(TColor color) {
    OnGui([&] {
        client_->setStyleSheet(QStringLiteral("#formClient { background-color: #%1; }").arg(color, 6, 16, QLatin1Char('0')));
        SetFillColour(client_, QColor::fromRgb(color));
    });
}

void TForm::SetBorderStyle(TBorderStyle style) {
    OnGui([&] {
        borderStyle_ = style;
        if (style == TBorderStyle::Sizeable) {
            window_->setMinimumSize(0, 0);
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        } else {
            window_->setFixedSize(window_->size());
        }
        ApplyWindowFlags();
    });
}

void TForm::SetBorderIcons(unsigned icons) {
    OnGui([&] {
        borderIcons_ = icons;
        ApplyWindowFlags();
    });
}

void TForm::ApplyWindowFlags() {
    const bool dialog = modal_ || borderStyle_ == TBorderStyle::Dialog;
    Qt::WindowFlags flags = (dialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (borderIcons_ & biSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!dialog && (borderIcons_ & biMinimize))
        flags |= Qt::WindowMinimizeButtonHint;
    if (!dialog && borderStyle_ == TBorderStyle::Sizeable && (borderIcons_ & biMaximize))
        flags |= Qt::WindowMaximizeButtonHint;
    if (keepOnTop_ || onTopWhileModal_)
        flags |= Qt::WindowStaysOnTopHint;
    if (flags == window_->windowFlags())
        return;
    const bool shown = window_->isVisible();
    window_->setWindowFlags(flags);
    if (shown)
        window_->show();
}

void TForm::CentreOnScreen() {
    OnGui([&] {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            MoveCentreTo(screen->availableGeometry().center());
    });
}

void TForm::CentreOn(const TForm& other) {
    OnGui([&] { MoveCentreTo(other.window_->frameGeometry().center()); });
}

void TForm::MoveCentreTo(const QPoint& centre) {
    QRect frame = window_->frameGeometry();
    frame.moveCenter(centre);
    const QScreen* screen = QGuiApplication::screenAt(centre);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        // Right and bottom first, so that a window larger than the area shows its top-left corner.
        const QRect area = screen->availableGeometry();
        frame.moveRight(std::min(frame.right(), area.right()));
        frame.moveBottom(std::min(frame.bottom(), area.bottom()));
        frame.moveLeft(std::max(frame.left(), area.left()));
        frame.moveTop(std::max(frame.top(), area.top()));
    }
    window_->move(frame.topLeft());
}

void TForm::CloseAll() {
    OnGui([] {
        const std::vector<TForm*> forms = LiveForms();
        if (forms.empty())
            return;
        for (auto form = forms.rbegin(); form + 1 != forms.rend(); ++form) {
            if ((*form)->Visible())
                (*form)->Close();
        }
        TForm* main = forms.front();
        main->Close();
        if (main->Visible())
            main->Close();
    });
}

TForm* TForm::FormOf(const QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    const QWidget* window = widget->window();
    return static_cast<TForm*>(window->property(kFormProperty).value<void*>());
}

QWidget* TForm::DialogOwner() {
    // A window not on the screen (not yet mapped, as the main window during its first showing, or
    // minimised) owns nothing: the window manager would place or hide the box with it.
    const auto onScreen = [](QWidget* window) {
        return window != nullptr && window->isVisible() && !(window->windowState() & Qt::WindowMinimized) &&
               window->windowHandle() != nullptr && window->windowHandle()->isExposed();
    };
    QWidget* main = LiveForms().empty() ? nullptr : LiveForms().front()->window_;
    for (QWidget* candidate : {QApplication::activeModalWidget(), QApplication::activeWindow(),
                               static_cast<QWidget*>(LastActiveForm()), main}) {
        if (onScreen(candidate))
            return candidate;
    }
    return nullptr;
}

bool TForm::HandleCloseRequest() {
    bool canClose = true;
    Guarded(OnCloseQuery, canClose);
    if (!canClose) {
        if (modal_)
            modalResult_ = 0;
        return false;
    }
    if (modal_ && modalResult_ == 0)
        modalResult_ = mrCancel;
    Guarded(OnClose);
    if (modal_ && onModalEnd_)
        onModalEnd_();
    return true;
}

void TForm::HandleShown() { Guarded(OnShow); }

}  // namespace ui
