// The blast pass: each explosion steps through its six images together with the others,
// once every five frames, and frees its record after the last.
#include "game/blasts.h"

#include "game/game_state.h"
#include "game/pool_helpers.h"

namespace {

constexpr int lastAnimFrame = 6;
// Blast image animFrame is sprite slot animFrame + 2 (slots 3 to 8).
constexpr int firstBlastSlot = 2;
// All blasts step together, on the frames where cycle5 is 4.
constexpr int stepOnCycle5 = 4;

}  // namespace

void spawnBlast(float x, float y, int kind) {
    const int i = findFreeRecord(blasts);
    if (i == 0) return;
    Entity& blast = blasts[i];
    blast.active = 1;
    blast.x = x;
    blast.y = y;
    blast.kind = kind;
    blast.animFrame = 1;
}

// The step comes before the draw, so a blast's first image may never be seen and the
// last step frees the record without drawing it again.
void updateBlasts() {
    for (int i = 1; i <= blastsLast; ++i) {
        Entity& blast = blasts[i];
        if (blast.active == 0) continue;
        if (game.cycle5 == stepOnCycle5) blast.animFrame += 1;
        if (blast.animFrame > lastAnimFrame) {
            blast.active = 0;
            continue;
        }
        drawAtWorld(bankImage(spriteBank, blast.animFrame + firstBlastSlot), blast.x, blast.y, transparent);
    }
}
