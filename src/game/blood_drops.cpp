// The blood pass: sprays and splashes flying their arc and lying where they land, pool
// marks and scorch marks lying still; none of them ever leaves the ground.
#include "game/blood_drops.h"

#include "game/game_state.h"
#include "game/numbers.h"
#include "game/pool_helpers.h"

namespace {

// Sprays and splashes fly; the marks, kinds from here up, never leave the ground.
constexpr int firstLyingKind = splashDrop + 1;
// People images start at frame 16 with the blood: imageIndex counts from there.
constexpr int bloodFrameOffset = 15;
constexpr int scorchOpacity = 160;

// A random one of blood frames `first` to `last` of the bleeding person's kind block,
// counted from the blood frames; one draw.
int randomBloodImage(int personKind, int first, int last) {
    const int frame = randomBelow(last - first + 1) + first;
    return kindBlockSize * (personKind - 1) + frame;
}

// Sprays and splashes: sideways speed, then upward speed, then the image: three draws,
// a splash a fourth for its narrower choice of images.
void launchDrop(Entity& drop, int kind, int personKind, int groundY) {
    drop.vx = float(sidewaysSpeeds[randomBelow(6)]);
    drop.vy = float((randomBelow(3) + 1) / 10.0);
    drop.groundY = groundY;
    drop.imageIndex = randomBloodImage(personKind, 1, 9);
    if (kind == splashDrop) drop.imageIndex = randomBloodImage(personKind, 3, 6);
}

// Up while vy is positive, then down; it lies still from the update that brings y to
// its ground, wherever x has drifted to by then.
void flyDrop(Entity& drop) {
    drop.y = float(double(drop.y) - double(drop.vy));
    drop.vy = float(double(drop.vy) - gravity);
    drop.x = float(double(drop.x) + double(drop.vx));
}

void drawDrop(const Entity& drop) {
    if (drop.kind < scorchMarkDrop)
        drawAtWorld(bankImage(peopleBank, drop.imageIndex + bloodFrameOffset), drop.x, drop.y, transparent);
    else drawAtWorld(bankImage(spriteBank, drop.imageIndex), drop.x, drop.y, blend, scorchOpacity);
}

}  // namespace

void spawnBloodDrop(float x, float y, int kind, int imageSelector, int groundY) {
    const int i = findFreeRecord(bloodDrops);
    if (i == 0) return;
    Entity& drop = bloodDrops[i];
    drop.active = 1;
    drop.x = x;
    drop.y = y;
    drop.kind = kind;
    if (kind < firstLyingKind) launchDrop(drop, kind, imageSelector, groundY);
    if (kind == poolMarkDrop) drop.imageIndex = randomBloodImage(imageSelector, 1, 9);
    if (kind == scorchMarkDrop) drop.imageIndex = imageSelector;
}

void updateBloodDrops() {
    for (int i = 1; i <= bloodDropsLast; ++i) {
        Entity& drop = bloodDrops[i];
        if (drop.active == 0) continue;
        if (drop.kind < firstLyingKind && double(drop.y) < drop.groundY) flyDrop(drop);
        drawDrop(drop);
    }
}
