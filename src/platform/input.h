#pragma once
// Key codes, shift state and mouse buttons as the forms runtime numbers them.
#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace platform {

// Whether a key press comes from the keyboard's auto-repeat of a key held down.
bool isKeyRepeat(const QKeyEvent& e);

// Key code for Qt's key; 0 for a key that has no code there.
int16_t vbKeyCode(int qtKey);
// Shift 1, Ctrl 2, Alt 4, added.
int16_t vbShift(Qt::KeyboardModifiers m);
// Left 1, right 2, middle 4.
int16_t vbButton(Qt::MouseButton b);

}  // namespace platform
