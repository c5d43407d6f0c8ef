// Keyboard and mouse as the game reads them. The display side keeps the key table, the
// buttons, the wheel and the active flag current; these calls read them under the lock.
#include "gfx/input.h"

#include <algorithm>

#include "gfx/display.h"
#include "gfx/screen_state.h"

int keyDown(int scanCode) {
    if (scanCode < 0 || scanCode > 127) return 0;
    ScreenLockScope lock;
    return input.keyTable[scanCode] != 0 ? -1 : 0;
}

// -1 in all four tells the game there is no pointer to aim with: it matches no button.
int getMouse(int& x, int& y, int& wheel, int& buttons) {
    ScreenLockScope lock;
    if (screen.open && input.active && display::pointer(x, y)) {
        wheel = input.wheel;
        buttons = input.buttons;
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
