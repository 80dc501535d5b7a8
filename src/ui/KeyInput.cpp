#include "ui/KeyInput.h"

#include <QKeyEvent>

namespace ui {

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab: return VK_TAB;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Delete: return VK_DELETE;
        default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return VK_F1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    return 0;
}

char CharacterOf(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Escape: return 27;
        default: break;
    }
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() > 0xFF || text.at(0).unicode() < 0x20)
        return 0;
    return static_cast<char>(text.at(0).unicode());
}

bool DeliverKeyDown(QKeyEvent* event, const TKeyEvent& onKeyDown, const TKeyPressEvent& onKeyPress) {
    int key = VirtualKeyOf(event->key());
    if (key != 0 && onKeyDown) {
        Guarded(onKeyDown, key);
        if (key == 0)
            return false;
    }
    char character = CharacterOf(event);
    if (character != 0 && onKeyPress) {
        Guarded(onKeyPress, character);
        if (character == 0)
            return false;
    }
    return true;
}

void DeliverKeyUp(QKeyEvent* event, const TKeyEvent& onKeyUp) {
    int key = VirtualKeyOf(event->key());
    if (key != 0 && onKeyUp)
        Guarded(onKeyUp, key);
}

}  // namespace ui
