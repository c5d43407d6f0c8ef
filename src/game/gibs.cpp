// The gib pass: chunks and thrown bodies flying their arc and splashing where they land,
// and the corpses that lie until a bomb throws them again.
#include "game/gibs.h"

#include "game/blood_drops.h"
#include "game/crowd.h"
#include "game/game_state.h"
#include "game/numbers.h"
#include "game/pool_helpers.h"
#include "sound/sound.h"

namespace {

// Corpses and any kind above lie still unless a bomb throws them.
constexpr int firstLyingKind = corpseGib;
// A body lands on its back, so its splash starts lower than a chunk's.
constexpr int bodySplashDepth = 7;
// Whatever lands, its splash is drawn in the first man's blood.
constexpr int splashBloodKind = firstManKind;

// Random draws, in order: sideways, [thrown speed], upward, [thrown upward], [chunk
// image]. A chunk takes three, a thrown body four.
void launchGib(Entity& gib, int kind, int imageSelector, int groundY, int direction) {
    gib.vx = float(sidewaysSpeeds[randomBelow(6)]);
    if (kind == thrownBodyGib) gib.vx = float(direction * throwSpeeds[randomBelow(3)]);
    gib.vy = float((randomBelow(3) + 1 + 3) / 10.0);
    if (kind == thrownBodyGib) gib.vy = float((randomBelow(3) + 1 + 4) / 10.0);
    gib.groundY = groundY;
    if (kind == chunkGib) gib.imageIndex = personImage(imageSelector, randomBelow(3) + 13);
}

// Each landing leaves one splash and one sound; only a thrown body's own first landing
// turns it to the lying image next to the flying one.
void landGib(Entity& gib, bool advanceImage) {
    const int depth = gib.kind == thrownBodyGib ? bodySplashDepth : 0;
    spawnBloodDrop(float(double(gib.x) + 1), float(double(gib.y) + depth + 1), splashDrop, splashBloodKind,
                   roundToInt(double(gib.y) + depth + 3));
    if (advanceImage && gib.kind == thrownBodyGib) gib.imageIndex += 1;
    playSample(splatSample);
}

// The landing frame still applies gravity and drift, so the gib lies where that last
// step leaves it.
void flyGib(Entity& gib, bool advanceImage) {
    gib.y = float(double(gib.y) - double(gib.vy));
    if (double(gib.y) >= gib.groundY) landGib(gib, advanceImage);
    gib.vy = float(double(gib.vy) - gravity);
    gib.x = float(double(gib.x) + double(gib.vx));
}

}  // namespace

void spawnGib(float x, float y, int kind, int imageSelector, int groundY, int direction) {
    const int i = findFreeRecord(gibs);
    if (i == 0) return;
    Entity& gib = gibs[i];
    gib.active = 1;
    gib.x = x;
    gib.y = y;
    gib.flightMode = ownFlight;
    gib.kind = kind;
    gib.imageIndex = imageSelector;
    if (kind < firstLyingKind) launchGib(gib, kind, imageSelector, groundY, direction);
}

void updateGibs() {
    for (int i = 1; i <= gibsLast; ++i) {
        Entity& gib = gibs[i];
        if (gib.active == 0) continue;
        if (gib.kind < firstLyingKind && gib.flightMode == ownFlight && double(gib.y) < gib.groundY) flyGib(gib, true);
        if (gib.flightMode == thrownByBomb && double(gib.y) < gib.groundY) flyGib(gib, false);
        drawAtWorld(bankImage(peopleBank, gib.imageIndex), gib.x, gib.y, transparent);
    }
}
