#include "ui/Control.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPalette>

#include <unordered_map>

#include "ui/Backdrop.h"
#include "ui/GuiThread.h"
#include "ui/Menu.h"
#include "ui/WheelUnderPointer.h"

namespace ui {
namespace {

int g_exitHandlers = 0;  // GUI thread only: OnExit handlers running now

// GUI thread only: per window, the control that had the focus when the window lost it.
std::unordered_map<const QWidget*, QPointer<QWidget>>& FocusKeptByWindow() {
    static std::unordered_map<const QWidget*, QPointer<QWidget>> kept;
    return kept;
}

// The reasons for which the focus leaves or returns with its window, not within it.
bool WindowWideReason(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

}  // namespace

QString ToQt(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TControl::TControl(QWidget* widget) : widget_(widget) {
    KeepTheWheelUnderThePointer();
    PrepareHandOvers();
}

bool TControl::Enabled() const {
    return OnGui([&] { return widget_ && widget_->isEnabled(); });
}

void TControl::SetEnabled(bool enabled) {
    OnGui([&] {
        if (!widget_)
            return;
        // Qt hands the focus of a control it disables on to the next one, which would take the
        // operator's typing; the class library leaves the form with no focused control instead. The
        // window itself takes the focus: a window with none would give it to its first control when
        // it is activated again (as when a menu closes).
        if (!enabled) {
            QWidget* focused = widget_->window()->focusWidget();
            if (focused != nullptr && (focused == widget_ || widget_->isAncestorOf(focused)))
                widget_->window()->setFocus(Qt::OtherFocusReason);
        }
        widget_->setEnabled(enabled);
    });
}

bool TControl::Visible() const {
    // The control's own Visible property, not whether its window is on the screen.
    return OnGui([&] { return widget_ && !widget_->isHidden(); });
}

void TControl::SetVisible(bool visible) {
    OnGui([&] {
        if (widget_)
            widget_->setVisible(visible);
    });
}

bool TControl::SetFocus() {
    return OnGui([&] {
        if (!widget_ || !widget_->isEnabled())
            return false;
        for (QWidget* w = widget_; w != nullptr; w = w->parentWidget()) {
            if (w->isHidden() && !w->isWindow())
                return false;
        }
        widget_->setFocus(Qt::OtherFocusReason);
        if (g_exitHandlers > 0) {
            // Inside an OnExit the focus is still on its way to the next control; take it back once
            // that move is over.
            QMetaObject::invokeMethod(
                widget_, [w = widget_] {
                    if (w && w->isEnabled())
                        w->setFocus(Qt::OtherFocusReason);
                },
                Qt::QueuedConnection);
        }
        return true;
    });
}

bool TControl::Focused() const {
    return OnGui([&] { return widget_ && widget_->hasFocus(); });
}

std::string TControl::Hint() const {
    return OnGui([&] { return widget_ ? FromQt(widget_->toolTip()) : std::string(); });
}

void TControl::SetHint(const std::string& hint) {
    OnGui([&] {
        if (widget_)
            widget_->setToolTip(ToQt(hint));
    });
}

TColor TControl::Color() const {
    return OnGui([&]() -> TColor {
        if (background_)
            return *background_;
        return widget_ ? widget_->palette().color(widget_->backgroundRole()).rgb() & 0xFFFFFFu : clWhite;
    });
}

void TControl::SetColor(TColor color) {
    OnGui([&] {
        background_ = color;
        ApplyStyle();
    });
}

void TControl::SetFontColor(TColor color) {
    OnGui([&] {
        foreground_ = color;
        ApplyStyle();
    });
}

void TControl::SetBold(bool bold) {
    OnGui([&] {
        bold_ = bold;
        ApplyStyle();
    });
}

// Colours and weight go into a style sheet that names this one widget, so that, unlike a palette,
// they do not spread to the controls it holds.
void TControl::ApplyStyle() {
    if (!widget_)
        return;
    if (widget_->objectName().isEmpty())
        widget_->setObjectName(QStringLiteral("control%1").arg(reinterpret_cast<quintptr>(this), 0, 16));
    const auto hex = [](TColor c) { return QStringLiteral("#%1").arg(c, 6, 16, QLatin1Char('0')); };
    QString always;
    QString whileEnabled;
    if (background_)
        (container_ ? always : whileEnabled) += "background-color: " + hex(*background_) + ";";
    if (background_)
        SetFillColour(widget_, QColor::fromRgb(*background_), !container_);
    if (foreground_ && !captionOnlyFontColor_)
        whileEnabled += "color: " + hex(*foreground_) + ";";
    if (bold_)
        always += "font-weight: bold;";
    const QString name = "#" + widget_->objectName();
    widget_->setStyleSheet(name + " {" + always + "} " + name + ":enabled {" + whileEnabled + "}");
    if (foreground_ && captionOnlyFontColor_)
        PaintCaptionOnly(*foreground_);
}

// A style sheet colour would paint the mark too; the caption alone is drawn in the palette's window
// text, while enabled (the disabled look stays the style's own).
void TControl::PaintCaptionOnly(TColor color) {
    QPalette palette = widget_->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, QColor::fromRgb(color));
    widget_->setPalette(palette);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    OnGui([&] {
        if (widget_)
            widget_->setGeometry(left, top, width, height);
    });
}

int TControl::Left() const {
    return OnGui([&] { return widget_ ? widget_->x() : 0; });
}

int TControl::Top() const {
    return OnGui([&] { return widget_ ? widget_->y() : 0; });
}

int TControl::Width() const {
    return OnGui([&] { return widget_ ? widget_->width() : 0; });
}

int TControl::Height() const {
    return OnGui([&] { return widget_ ? widget_->height() : 0; });
}

void TControl::SetAlign(TAlign align) {
    OnGui([&] {
        if (widget_)
            AlignWidget(widget_, align);
    });
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    OnGui([&] {
        if (!widget_)
            return;
        widget_->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(widget_, &QWidget::customContextMenuRequested, widget_,
                         [w = widget_.data(), menu](const QPoint& at) { menu->Popup(w->mapToGlobal(at)); });
    });
}

void TControl::Repaint() {
    OnGui([&] {
        if (widget_)
            widget_->repaint();
    });
}

bool FocusArrived(TControl* control, const QFocusEvent* event) {
    QWidget* widget = control->Widget();
    if (widget == nullptr)
        return false;
    const auto kept = FocusKeptByWindow().find(widget->window());
    const bool returned = WindowWideReason(event->reason()) && kept != FocusKeptByWindow().end() && kept->second == widget;
    if (kept != FocusKeptByWindow().end())
        FocusKeptByWindow().erase(kept);
    if (returned)
        return false;
    Guarded(control->OnEnter);
    return true;
}

void EnterOneLineEdit(TControl* control, QLineEdit* edit, const QFocusEvent* event) {
    if (FocusArrived(control, event) && event->reason() != Qt::MouseFocusReason)
        edit->selectAll();
}

void ForgetKeptFocus(const QWidget* window) { FocusKeptByWindow().erase(window); }

void FocusLeft(TControl* control, const QFocusEvent* event) {
    QWidget* widget = control->Widget();
    if (widget == nullptr)
        return;
    const QWidget* next = QApplication::focusWidget();
    if (WindowWideReason(event->reason()) || next == nullptr || next->window() != widget->window() ||
        next == widget->window()) {
        if (widget->window()->isVisible())
            FocusKeptByWindow()[widget->window()] = widget;
        return;
    }
    ++g_exitHandlers;
    Guarded(control->OnExit);
    --g_exitHandlers;
}

}  // namespace ui
