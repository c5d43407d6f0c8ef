// What every pool pass does alike: finding a free record and drawing a record where the
// scene is scrolled and shaken to this frame.
#pragma once

#include "game/game_state.h"
#include "gfx/screen.h"

// Where a spawn lands relative to the record that causes it.
struct Offset {
    double dx, dy;
};

// The lowest record from 1 up whose `active` is 0, or 0 when the pool is full: a spawn
// into a full pool is dropped without a trace.
template <std::size_t Size>
int findFreeRecord(const std::array<Entity, Size>& pool) {
    for (int i = 1; i < int(Size); ++i)
        if (pool[i].active == 0) return i;
    return 0;
}

// The image in bank slot `slot`, or null for a slot outside the bank, so that a broken
// record draws nothing rather than read past the bank.
template <class Bank>
const uint32_t* bankImage(Bank& bank, int slot) {
    if (slot < 0 || slot >= int(bank.size())) return nullptr;
    return bankRow(bank, slot);
}

// Draws an image with its top-left corner at world x, screen y: the page position is
// formed in double and handed over as singles, so putImage does the only rounding.
inline void drawAtWorld(const uint32_t* image, float x, float y, int mode, int opacity = -1) {
    if (image == nullptr) return;
    const float pageX = float(double(x) - game.scrollX);
    const float pageY = float(double(y) + game.shakeOffset);
    putImage(pageX, pageY, image, mode, opacity);
}
