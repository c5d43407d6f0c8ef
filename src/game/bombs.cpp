// The bomb pass: a bomb falls with its shadow onto the clicked row, then blows up
// everyone within reach, throws the loose parts again and shakes the screen.
#include "game/bombs.h"

#include <cmath>

#include "game/blasts.h"
#include "game/blood_drops.h"
#include "game/crowd.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/numbers.h"
#include "game/pool_helpers.h"
#include "sound/sound.h"

namespace {

constexpr double fallPerFrame = 4;
constexpr int bombSlot = 9;
constexpr int shadowFarSlot = 13;
constexpr int shadowNearSlot = 12;
// The shadow tightens once the bomb is less than this far above its target row.
constexpr double nearShadowHeight = 50;
constexpr int shadowOpacity = 100;
constexpr double explodeCentre = 9;
constexpr double explodeTolerance = 4.1;
// Half the side of the square that an explosion reaches.
constexpr double reach = 30;
constexpr int shakeFramesPerExplosion = 10;

constexpr int scorchSlot = 11;
// Frame 50 of a kind block, the body flying apart.
constexpr int blownBodyFrame = 50;

constexpr Offset blastOffsets[5] = {{2, -9}, {-18, -9}, {2, 11}, {-18, 11}, {-8, 1}};
constexpr Offset sprayOffsets[6] = {{5, 3}, {4, 5}, {6, 4}, {7, 7}, {3, 8}, {5, 7}};

// A square 60 pixels wide, centred 2 pixels left of and 3 below the bomb; the edges are
// outside.
bool withinReach(const Entity& bomb, const Entity& other) {
    return std::fabs(double(bomb.x) - double(other.x) - 2) < reach &&
           std::fabs(double(bomb.y) - double(other.y) + 3) < reach;
}

// Away from the bomb, comparing the bomb's centre with the other's.
int directionAway(const Entity& bomb, float otherX) { return double(bomb.x) + 3 > double(otherX) + 6 ? -1 : 1; }

// Every loose part within reach is lifted one pixel above its new ground and thrown
// again, whatever it is: two draws each, upward speed first.
void throwGibs(const Entity& bomb) {
    for (int j = 1; j <= gibsLast; ++j) {
        Entity& gib = gibs[j];
        if (gib.active != 1 || !withinReach(bomb, gib)) continue;
        gib.vy = float((randomBelow(3) + 1) / 10.0);
        gib.groundY = roundToInt(double(gib.y));
        gib.y = float(double(gib.y) - 1);
        gib.flightMode = thrownByBomb;
        const int direction = directionAway(bomb, gib.x);
        gib.vx = float(direction * throwSpeeds[randomBelow(3)]);
    }
}

void blowUpPerson(const Entity& bomb, Entity& person) {
    person.alive = 0;
    person.deathFrame = 3;
    person.deathKind = blownUp;
    playSample(splatSample);
    playSample(gorySample);
    const double px = person.x;
    const double py = person.y;
    for (const Offset& o : sprayOffsets)
        spawnBloodDrop(float(px + o.dx), float(py + o.dy), sprayDrop, person.kind, roundToInt(py + 11));
    spawnGib(person.x, person.y, thrownBodyGib, personImage(person.kind, blownBodyFrame), roundToInt(py + 1),
             directionAway(bomb, person.x));
}

// The gibs are thrown before the people die, so the bodies this bomb makes are not
// thrown by it again.
void explode(Entity& bomb) {
    bomb.active = 0;
    for (const Offset& o : blastOffsets)
        spawnBlast(float(double(bomb.x) + o.dx), float(double(bomb.y) + o.dy), explosionBlast);
    spawnBloodDrop(float(double(bomb.x) - 4), float(double(bomb.y) + 8), scorchMarkDrop, scorchSlot, 0);
    playSample(explosionSample);
    game.shakeFrames = shakeFramesPerExplosion;
    throwGibs(bomb);
    const int crowdCount = game.crowdCount;
    for (int j = 1; j <= crowdCount; ++j)
        if (people[j].alive == 1 && withinReach(bomb, people[j])) blowUpPerson(bomb, people[j]);
}

// Falls 4 pixels a frame; the y values step by 4 and the window below is 8.2 high, so
// every bomb meets it exactly once, 5 to 13 pixels above its target row.
void updateBomb(Entity& bomb) {
    if (bomb.y < bomb.targetY) bomb.y = float(double(bomb.y) + fallPerFrame);
    const bool near = double(bomb.targetY) - double(bomb.y) < nearShadowHeight;
    const float shadowX = float(1 + double(bomb.x));
    const float shadowY = float(double(bomb.targetY) + 2);
    drawAtWorld(bankImage(spriteBank, near ? shadowNearSlot : shadowFarSlot), shadowX, shadowY, blend, shadowOpacity);
    if (std::fabs(explodeCentre + double(bomb.y) - double(bomb.targetY)) < explodeTolerance) explode(bomb);
    drawAtWorld(bankImage(spriteBank, bombSlot), bomb.x, bomb.y, transparent);
}

}  // namespace

void spawnBomb(float x, float y, int kind) {
    const int i = findFreeRecord(bombs);
    if (i == 0) return;
    Entity& bomb = bombs[i];
    bomb.active = 1;
    bomb.x = x;
    bomb.y = y;
    bomb.kind = kind;
    if (kind == fallingBomb) bomb.targetY = float(game.mouseY);
}

void updateBombs() {
    for (int i = 1; i <= bombsLast; ++i) {
        Entity& bomb = bombs[i];
        if (bomb.active == 0 || bomb.kind != fallingBomb) continue;
        updateBomb(bomb);
    }
}
