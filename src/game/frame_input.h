// What the game reads of the player in one frame, after the platform has folded the mouse,
// keys, touch and pads into it: the pointer (or that it cannot be read), the buttons and the
// two scroll keys. The sound keys are not part of it: they change no page.
#pragma once

#include <cstdint>

struct FrameInput {
    bool pointerOff = false;  // the pointer cannot be read: the game sees -1 for x, y and buttons
    int16_t pointerX = 0;     // page pixel, when the pointer is on the page
    int16_t pointerY = 0;
    uint8_t buttons = 0;      // leftButton 1 | rightButton 2 | middleButton 4, when on the page
    bool scrollLeft = false;  // the left arrow (keypad 4, a pad's left) held
    bool scrollRight = false;
};
