#include "bench/worst_case_frame.h"

#include <cstdint>

#include "game/blasts.h"
#include "game/blood_drops.h"
#include "game/bombs.h"
#include "game/crowd.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "gfx/display_headless.h"

namespace {

struct Snapshot {
    EntityPool<peopleLast> people;
    EntityPool<blastsLast> blasts;
    EntityPool<bombsLast> bombs;
    EntityPool<bloodDropsLast> bloodDrops;
    EntityPool<gibsLast> gibs;
    GameState game;
};
Snapshot saved;

uint32_t fillState = 12345;

// A generator of this file's own: the C library's rand differs between the native and the
// wasm builds, and both must fill the same frame.
float between(int low, int high) {
    fillState = fillState * 1103515245u + 12345u;
    return float(low + int((fillState >> 8) % uint32_t(high - low + 1)));
}

void fillPeople() {
    for (int i = 1; i <= 100; ++i) {
        Entity& p = people[i];
        p.alive = 1;
        p.gait = walking;
        p.x = between(160, 464);
        p.y = between(38, 217);
        p.vx = 0.3f;
        p.kind = firstManKind + i % personKindCount;
    }
}

// Half the drops still flying; one in fifty a blended scorch mark.
void fillBloodDrops() {
    for (int i = 1; i <= bloodDropsLast; ++i) {
        Entity& d = bloodDrops[i];
        const bool scorch = i % 50 == 0;
        d = Entity{};
        d.active = 1;
        d.x = between(150, 480);
        d.y = between(30, 230);
        d.kind = scorch ? scorchMarkDrop : i % 2 == 1 ? splashDrop : sprayDrop;
        d.imageIndex = scorch ? 11 : personImage(firstManKind + i % personKindCount, 1 + i % 9);
        d.vy = 0.2f;
        d.vx = 0.15f;
        d.groundY = i % 2 ? int(d.y) + 20 : int(d.y);
    }
}

// Chunks, thrown bodies and corpses, half of them flying, one in five thrown by a bomb.
void fillGibs() {
    for (int i = 1; i <= gibsLast; ++i) {
        Entity& g = gibs[i];
        g = Entity{};
        g.active = 1;
        g.x = between(150, 480);
        g.y = between(30, 230);
        g.kind = i % 3 == 0 ? corpseGib : i % 2 == 1 ? thrownBodyGib : chunkGib;
        const int frame = g.kind == chunkGib ? 13 : g.kind == thrownBodyGib ? 50 : 8;
        g.imageIndex = personImage(firstManKind + i % personKindCount, frame);
        g.flightMode = i % 5 == 0 ? thrownByBomb : ownFlight;
        g.vy = 0.4f;
        g.vx = -0.2f;
        g.groundY = i % 2 ? int(g.y) + 20 : 0;
    }
}

// Blasts at every step; bombs far above their target so that none explodes.
void fillBlastsAndBombs() {
    for (int i = 1; i <= blastsLast; ++i) {
        Entity& b = blasts[i];
        b.active = 1;
        b.kind = explosionBlast;
        b.x = between(150, 450);
        b.y = between(20, 200);
        b.animFrame = 1 + i % 6;
    }
    for (int i = 1; i <= bombsLast; ++i) {
        Entity& b = bombs[i];
        b.active = 1;
        b.kind = fallingBomb;
        b.x = between(170, 460);
        b.y = float(-100 + 4 * (i % 10));
        b.targetY = 200;
    }
}

}  // namespace

void fillWorstCase() {
    fillState = 12345;
    game.scrollX = 160;
    fillPeople();
    fillBloodDrops();
    fillGibs();
    fillBlastsAndBombs();
    game.cycle5 = 1;  // blasts do not step in the timed frame
    headlessSetPointer(160, 120);
    headlessSetButtons(0);
}

void saveWorstCase() { saved = {people, blasts, bombs, bloodDrops, gibs, game}; }

void restoreWorstCase() {
    people = saved.people;
    blasts = saved.blasts;
    bombs = saved.bombs;
    bloodDrops = saved.bloodDrops;
    gibs = saved.gibs;
    game = saved.game;
}
