// Keyboard, mouse and game controllers as the game reads them. The display side keeps the
// key table, the buttons, the wheel, the active flag and the pads' reading current; these
// calls read them under the lock. The pads act through the same pointer, buttons and key
// entries (controller.h), applied once a frame in getMouse.
#include "gfx/input.h"

#include <algorithm>
#include <cstring>

#include "gfx/controller.h"
#include "gfx/display.h"
#include "gfx/keys.h"
#include "gfx/screen_state.h"

void releaseAllInput() {
    std::memset(input.keyTable, 0, sizeof input.keyTable);
    std::memset(input.keysPressedUnread, 0, sizeof input.keysPressedUnread);
    input.buttons = 0;
    input.buttonsPressedUnread = 0;
    input.controller.buttonsPressedUnread = 0;
    std::memset(input.controllerKeys, 0, sizeof input.controllerKeys);
    releaseController(input.controllerMemory);
}

int keyDown(int scanCode) {
    if (scanCode < 0 || scanCode > 127) return 0;
    ScreenLockScope lock;
    bool down =
        input.keyTable[scanCode] != 0 || input.keysPressedUnread[scanCode] != 0 || input.controllerKeys[scanCode] != 0;
    input.keysPressedUnread[scanCode] = 0;
    return down ? -1 : 0;
}

namespace {

// One frame of the pads (under the lock): the arrow and Escape entries they hold for the
// frames to come, and where the crosshair is. A stick that has just come to rest leaves
// the system pointer at the crosshair; the lock is held, so that move does not wait for
// the display.
ControllerFrame readControllers(const MouseSpot& mouse) {
    ControllerFrame frame =
        stepController(input.controllerMemory, input.controller, mouse, screen.width, screen.height);
    input.controller.buttonsPressedUnread = 0;
    input.controllerKeys[scanLeft] = frame.scrollLeft ? 1 : 0;
    input.controllerKeys[scanRight] = frame.scrollRight ? 1 : 0;
    input.controllerKeys[scanEscape] = frame.quit ? 1 : 0;
    if (frame.placePointer) display::movePointer(frame.x, frame.y);
    return frame;
}

}  // namespace

// -1 in all four tells the game there is no pointer to aim with: it matches no button.
int getMouse(int& x, int& y, int& wheel, int& buttons) {
    ScreenLockScope lock;
    // A click the game cannot be told about now is dropped, not kept for later.
    int pressed = input.buttonsPressedUnread;
    input.buttonsPressedUnread = 0;
    if (!screen.open || !input.active) {
        x = y = wheel = buttons = -1;
        return 1;
    }
    MouseSpot mouse;
    mouse.known = display::pointer(mouse.x, mouse.y);
    const ControllerFrame pads = readControllers(mouse);
    if (!pads.aims && !mouse.known) {
        x = y = wheel = buttons = -1;
        return 1;
    }
    x = pads.aims ? pads.x : mouse.x;
    y = pads.aims ? pads.y : mouse.y;
    wheel = input.wheel;
    buttons = input.buttons | pressed | pads.buttons;
    return 0;
}

void setMouse(int x, int y, int cursor) {
    if (!screen.open) return;
    if (x >= 0) display::movePointer(std::min(x, screen.width - 1), std::clamp(y, 0, screen.height - 1));
    if (cursor < 0) return;
    bool visible = cursor > 0;
    bool changed = false;
    {
        ScreenLockScope lock;
        changed = input.pointerVisible != visible;
        input.pointerVisible = visible;
    }
    if (changed) display::showPointer(visible);
}

// ---- what a platform reports ----------------------------------------------------------------

void reportKeysHeld(const uint8_t* heldByUsage, int count) {
    ScreenLockScope lock;
    if (!input.active) return;
    uint8_t fresh[128] = {};
    for (int usage = 0; usage < count && usage < keyUsageCount; ++usage) {
        const int scanCode = heldByUsage[usage] ? scanCodeForUsage(usage) : -1;
        if (scanCode >= 0) fresh[scanCode] = 1;
    }
    std::memcpy(input.keyTable, fresh, sizeof fresh);
}

void reportKeyPressed(int usage) {
    const int scanCode = scanCodeForUsage(usage);
    ScreenLockScope lock;
    if (input.active && scanCode >= 0) input.keysPressedUnread[scanCode] = 1;
}

void reportMouseButton(int button, bool down) {
    ScreenLockScope lock;
    if (!down) {
        input.buttons &= ~button;
    } else if (input.active) {
        input.buttons |= button;
        input.buttonsPressedUnread |= button;
    }
}

void reportMouseWheel(int steps) {
    ScreenLockScope lock;
    input.wheel += steps;
}

void reportActive(bool active) {
    ScreenLockScope lock;
    input.active = active;
    releaseAllInput();
}

bool inputActive() {
    ScreenLockScope lock;
    return input.active;
}

void reportControllers(const ControllerReading& reading) {
    ScreenLockScope lock;
    const uint32_t unread = input.controller.buttonsPressedUnread | (input.active ? reading.buttonsPressedUnread : 0);
    input.controller = reading;
    input.controller.buttonsPressedUnread = unread;
}
