// The keyboard and the mouse. The key table follows the keyboard's state through a table
// from SDL's keys to the set-1 scan codes the game reads; buttons, the wheel and the
// pointer come from events. All of it under the screen lock, on the refresh thread, but
// for pointerOnPage, which the game's thread calls.
#include <cstring>

#include "gfx/input.h"
#include "gfx/screen_state.h"
#include "sdl/display_parts.h"
#include "sdl/display_sdl.h"
#include "sdl/screenshot.h"

namespace {

// Set-1 make codes of a PC keyboard and the SDL keys (USB usages) that set them. The
// extended keys share the entry of their keypad twin: Left and keypad 4 are both scanLeft.
struct KeyTie {
    SDL_Scancode key;
    uint8_t scanCode;
};

constexpr KeyTie keyTies[] = {
    {SDL_SCANCODE_ESCAPE, scanEscape},
    {SDL_SCANCODE_1, 0x02},
    {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_KP_ENTER, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_RCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},
    {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_KP_DIVIDE, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_PRINTSCREEN, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_RALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_PAUSE, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_HOME, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_UP, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_PAGEUP, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, scanLeft},
    {SDL_SCANCODE_LEFT, scanLeft},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, scanRight},
    {SDL_SCANCODE_RIGHT, scanRight},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_END, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_DOWN, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_PAGEDOWN, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_INSERT, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_DELETE, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_KP_EQUALS, 0x59},
    {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65},
    {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_F16, 0x67},
    {SDL_SCANCODE_F17, 0x68},
    {SDL_SCANCODE_F18, 0x69},
    {SDL_SCANCODE_F19, 0x6A},
    {SDL_SCANCODE_F20, 0x6B},
    {SDL_SCANCODE_F21, 0x6C},
    {SDL_SCANCODE_F22, 0x6D},
    {SDL_SCANCODE_F23, 0x6E},
    {SDL_SCANCODE_F24, 0x76},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
};

// The pointer as last seen, in window points.
struct PointerSeen {
    bool inWindow = false;
    int x = 0, y = 0;
};
PointerSeen pointerSeen;

int buttonBit(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return leftButton;
        case SDL_BUTTON_RIGHT: return rightButton;
        case SDL_BUTTON_MIDDLE: return middleButton;
        default: return 0;
    }
}

// A press is noted until the game reads it, so a tap shorter than one refresh pass is not lost.
void handleKeyPress(const SDL_KeyboardEvent& key) {
    if (!input.active || key.repeat) return;
    if (key.keysym.sym == SDLK_RETURN && (key.keysym.mod & KMOD_ALT)) {
        switchFormForPlayer();
        return;
    }
    if (key.keysym.scancode == SDL_SCANCODE_F12 || key.keysym.scancode == SDL_SCANCODE_PRINTSCREEN) {
        saveScreenshot(pictureLayout().scale);
        return;
    }
    int scanCode = scanCodeForSdlKey(key.keysym.scancode);
    if (scanCode >= 0) input.keysPressedUnread[scanCode] = 1;
}

// Focus and the pointer crossing the window's edge; false for the window's other events.
bool handleFocusOrCrossing(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            input.active = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            releaseAllInput();
            return true;
        case SDL_WINDOWEVENT_ENTER: pointerSeen.inWindow = true; return true;
        case SDL_WINDOWEVENT_LEAVE: pointerSeen.inWindow = false; return true;
        default: return false;
    }
}

}  // namespace

bool handleInputEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            input.buttons |= buttonBit(event.button.button);
            input.buttonsPressedUnread |= buttonBit(event.button.button);
            return true;
        case SDL_MOUSEBUTTONUP: input.buttons &= ~buttonBit(event.button.button); return true;
        case SDL_MOUSEWHEEL: {
            int turn = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            input.wheel += (turn > 0) - (turn < 0);
            return true;
        }
        case SDL_MOUSEMOTION: pointerMovedTo(event.motion.x, event.motion.y); return true;
        case SDL_KEYDOWN: handleKeyPress(event.key); return true;
        case SDL_WINDOWEVENT: return handleFocusOrCrossing(event.window);
        default: return false;
    }
}

void refreshKeys() {
    if (!input.active) return;
    const Uint8* keyboard = SDL_GetKeyboardState(nullptr);
    uint8_t fresh[128] = {};
    for (const KeyTie& tie : keyTies)
        if (keyboard[tie.key]) fresh[tie.scanCode] = 1;
    std::memcpy(input.keyTable, fresh, sizeof fresh);
}

void forgetPointer() { pointerSeen = PointerSeen{}; }

void pointerMovedTo(int x, int y) { pointerSeen = PointerSeen{true, x, y}; }

bool pointerOnPage(int& x, int& y) {
    if (!pointerSeen.inWindow && !screen.fullScreen) return false;
    return pagePointFromWindow(pictureLayout(), screen.width, screen.height, screen.fullScreen, pointerSeen.x,
                               pointerSeen.y, x, y);
}

int scanCodeForSdlKey(int sdlScancode) {
    for (const KeyTie& tie : keyTies)
        if (int(tie.key) == sdlScancode) return tie.scanCode;
    return -1;
}
