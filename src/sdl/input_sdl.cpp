// The keyboard and the mouse, reported to the graphics layer (gfx/input.h) as SDL tells of
// them: the keys held by their USB usage, which is what an SDL scancode is (gfx/keys.h
// turns them into the game's scan codes), presses, buttons, the wheel and focus. The
// pointer is kept here in window points and mapped to the page when the game asks.
// All of it on the refresh thread under the screen lock, but for pointerOnPage, which the
// game's thread calls.
#include "gfx/display.h"
#include "gfx/input.h"
#include "sdl/display_parts.h"
#include "sdl/display_sdl.h"
#include "sdl/screenshot.h"

namespace {

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

// Alt+Enter and the screenshot keys are the display's own; every other key goes to the game.
void handleKeyPress(const SDL_KeyboardEvent& key) {
    if (!inputActive() || key.repeat) return;
    if (key.keysym.sym == SDLK_RETURN && (key.keysym.mod & KMOD_ALT)) {
        switchFormForPlayer();
        return;
    }
    if (key.keysym.scancode == SDL_SCANCODE_F12 || key.keysym.scancode == SDL_SCANCODE_PRINTSCREEN) {
        saveScreenshot(pictureLayout().scale);
        return;
    }
    reportKeyPressed(key.keysym.scancode);
}

// Focus and the pointer crossing the window's edge; false for the window's other events.
bool handleFocusOrCrossing(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST: reportActive(event.event == SDL_WINDOWEVENT_FOCUS_GAINED); return true;
        case SDL_WINDOWEVENT_ENTER: pointerSeen.inWindow = true; return true;
        case SDL_WINDOWEVENT_LEAVE: pointerSeen.inWindow = false; return true;
        default: return false;
    }
}

}  // namespace

bool handleInputEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            reportMouseButton(buttonBit(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
            return true;
        case SDL_MOUSEWHEEL: {
            int turn = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            reportMouseWheel((turn > 0) - (turn < 0));
            return true;
        }
        case SDL_MOUSEMOTION: pointerMovedTo(event.motion.x, event.motion.y); return true;
        case SDL_KEYDOWN: handleKeyPress(event.key); return true;
        case SDL_WINDOWEVENT: return handleFocusOrCrossing(event.window);
        default: return false;
    }
}

// SDL's keyboard state is indexed by scancode, that is by USB usage.
void refreshKeys() {
    int count = 0;
    const Uint8* keyboard = SDL_GetKeyboardState(&count);
    reportKeysHeld(keyboard, count);
}

void forgetPointer() { pointerSeen = PointerSeen{}; }

void pointerMovedTo(int x, int y) { pointerSeen = PointerSeen{true, x, y}; }

bool pointerOnPage(int& x, int& y) {
    const bool fullScreen = windowIsFullScreen();
    if (!pointerSeen.inWindow && !fullScreen) return false;
    return pagePointFromWindow(pictureLayout(), screenWidth(), screenHeight(), fullScreen, pointerSeen.x, pointerSeen.y,
                               x, y);
}
