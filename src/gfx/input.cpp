// Keyboard and mouse as the game reads them. The display side keeps the key table, the
// buttons, the wheel and the active flag current; these calls read them under the lock.
#include "gfx/input.h"

#include <algorithm>
#include <cstring>

#include "gfx/display.h"
#include "gfx/screen_state.h"

void releaseAllInput() {
    std::memset(input.keyTable, 0, sizeof input.keyTable);
    std::memset(input.keysPressedUnread, 0, sizeof input.keysPressedUnread);
    input.buttons = 0;
    input.buttonsPressedUnread = 0;
}

int keyDown(int scanCode) {
    if (scanCode < 0 || scanCode > 127) return 0;
    ScreenLockScope lock;
    bool down = input.keyTable[scanCode] != 0 || input.keysPressedUnread[scanCode] != 0;
    input.keysPressedUnread[scanCode] = 0;
    return down ? -1 : 0;
}

// -1 in all four tells the game there is no pointer to aim with: it matches no button.
int getMouse(int& x, int& y, int& wheel, int& buttons) {
    ScreenLockScope lock;
    // A click the game cannot be told about now is dropped, not kept for later.
    int pressed = input.buttonsPressedUnread;
    input.buttonsPressedUnread = 0;
    if (screen.open && input.active && display::pointer(x, y)) {
        wheel = input.wheel;
        buttons = input.buttons | pressed;
        return 0;
    }
    x = y = wheel = buttons = -1;
    return 1;
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
