#pragma once
// Delivery of Qt key events in the class library's order: key down (virtual code), key press
// (character), key up.
#include "ui/Events.h"

class QKeyEvent;

namespace ui {

// The virtual key code of a Qt key, 0 when it has none.
int VirtualKeyOf(int qtKey);
// The character a key press gives (13 for Enter, 8 for Backspace, 27 for Escape), 0 when none.
char CharacterOf(const QKeyEvent* event);

// Runs OnKeyDown and OnKeyPress for a press. Returns false when a handler swallowed the key, so the
// widget must not act on it.
bool DeliverKeyDown(QKeyEvent* event, const TKeyEvent& onKeyDown, const TKeyPressEvent& onKeyPress);
void DeliverKeyUp(QKeyEvent* event, const TKeyEvent& onKeyUp);

}  // namespace ui
