#include "terminal/SmallDialog.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QPalette>
#include <QScreen>

#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

namespace terminal {

void MakeFixedDialog(ui::TForm& form) {
    ui::OnGui([&] {
        QMainWindow* window = form.Window();
        window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        window->setFixedSize(window->size());
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::black);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
    });
}

void CentreOnScreen(ui::TForm& form) {
    ui::OnGui([&] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        QMainWindow* window = form.Window();
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    });
}

ui::TButton* MakeOkButton(ui::TForm& form, QWidget* parent) {
    auto* button = form.Make<ui::TButton>(parent, "OK");
    button->ModalResult = ui::mrOk;
    button->Default = true;
    form.OnDefaultKey = [button] { button->Click(); };
    return button;
}

ui::TButton* MakeCancelButton(ui::TForm& form, QWidget* parent) {
    auto* button = form.Make<ui::TButton>(parent, "Cancel");
    button->ModalResult = ui::mrCancel;
    button->Cancel = true;
    form.OnCancelKey = [button] { button->Click(); };
    return button;
}

}  // namespace terminal
