// The crowd pass: people walking right and leaving at the edge, the wounded hopping,
// crawling and bleeding, the shot falling, and thirty newcomers when fewer than ten live.
#include "game/crowd.h"

#include "game/blood_drops.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/numbers.h"
#include "game/pool_helpers.h"
#include "sound/sound.h"

namespace {

constexpr double rightEdge = 649;
constexpr int respawnBelowAlive = 10;
constexpr int respawnCount = 30;
// Every wounded person leaves a pool of blood on this frame of the 400-frame cycle.
constexpr int bloodPoolCycle = 50;
constexpr double crawlSpeed = 0.03;

constexpr int finishedDeathFrame = 3;

// Frames of a kind block.
constexpr int torsoFallFrame = 5;
constexpr int torsoBodyFrame = 8;
constexpr int headFallFrame = 9;
constexpr int headBodyFrame = 12;
constexpr int hopFrame = 25;
constexpr int crawlFrameBefore = 24;  // crawling shows 24 + cycle2: 25 and 26
constexpr int finishedBodyFrame = 27;
constexpr int bledBodyFrame = 42;

void drawPerson(const Entity& person, int slot) {
    drawAtWorld(bankImage(peopleBank, slot), person.x, person.y, transparent);
}

// The body stays where the person lay and is drawn by the gibs pass from the next frame.
void bleedToDeath(Entity& person) {
    person.alive = 0;
    person.deathFrame = finishedDeathFrame;
    playSample(bledToDeathCry);
    const int body = personImage(person.kind, bledBodyFrame);
    spawnGib(person.x, person.y, thrownBodyGib, body, 0, 0);
    drawPerson(person, body);
}

// Up and forward under gravity; landing 6 pixels below the standing row spills two
// splashes of blood.
void hop(Entity& person) {
    person.y = float(double(person.y) - double(person.vy));
    if (double(person.y) >= person.groundY) {
        const int ground = roundToInt(double(person.y) + 10);
        spawnBloodDrop(float(double(person.x) + 2), float(double(person.y) + 5), splashDrop, person.kind, ground);
        spawnBloodDrop(float(double(person.x) + 4), float(double(person.y) + 5), splashDrop, person.kind, ground);
        playSample(splatSample);
    }
    person.vy = float(double(person.vy) - gravity);
    person.x = float(double(person.x) + double(person.vx));
    game.personFrame = personImage(person.kind, hopFrame);
}

// A wounded person bleeds, hops, then crawls; bleeding to death still lets the hop and
// crawl steps of this update run, but nothing draws the person again.
void updateWounded(Entity& person) {
    if (game.cycle400 == bloodPoolCycle)
        spawnBloodDrop(float(double(person.x) + 5), float(double(person.y) + 10), poolMarkDrop, person.kind,
                       roundToInt(double(person.y) + 10));
    person.bleedTimer -= 1;
    if (person.bleedTimer < 0) bleedToDeath(person);
    if (double(person.y) < person.groundY) hop(person);
    if (double(person.y) >= person.groundY) {
        person.x = float(double(person.x) + crawlSpeed);
        game.personFrame = personImage(person.kind, crawlFrameBefore + game.cycle2);
    }
}

// The fall shows the image of the step the person had reached before this frame; the
// last step hands the body to the gibs pass and still shows the last falling image.
void fallAfterShot(Entity& person, int fallFrame, int bodyFrame) {
    game.personFrame = personImage(person.kind, fallFrame + person.deathFrame);
    if (game.cycle15 == 2) person.deathFrame += 1;
    if (person.deathFrame == finishedDeathFrame) {
        spawnGib(person.x, person.y, corpseGib, personImage(person.kind, bodyFrame), 0, 0);
        drawPerson(person, game.personFrame);
    }
}

void runDeathAnimation(Entity& person) {
    switch (person.deathKind) {
        case torsoShot: fallAfterShot(person, torsoFallFrame, torsoBodyFrame); break;
        case headShot: fallAfterShot(person, headFallFrame, headBodyFrame); break;
        case finishedOff:
            person.deathFrame = finishedDeathFrame;
            spawnGib(person.x, person.y, corpseGib, personImage(person.kind, finishedBodyFrame), 0, 0);
            break;
        default: break;
    }
}

void updatePerson(Entity& person) {
    if (person.gait == walking) {
        person.x = float(double(person.x) + double(person.vx));
        game.personFrame = personImage(person.kind, game.cycle4);
    }
    if (person.gait == wounded) updateWounded(person);
}

bool showsPersonFrame(const Entity& person) {
    if (person.deathFrame >= finishedDeathFrame) return false;
    return person.alive == 1 || person.deathKind == torsoShot || person.deathKind == headShot;
}

// Removal at the right edge, the update, the death animation and the draw, in that order.
void visitPerson(int i) {
    Entity& person = people[i];
    if (double(person.x) > rightEdge) person.alive = 0;
    if (person.alive == 1) {
        game.aliveCount += 1;
        updatePerson(person);
        person.deathKind = notDying;
    }
    if (person.alive == 0 && person.deathFrame < finishedDeathFrame) runDeathAnimation(person);
    if (showsPersonFrame(person)) drawPerson(person, game.personFrame);
}

}  // namespace

void placeNewcomer(Entity& person) {
    person.x = float(randomBelow(300) - 320);
    person.y = float(randomBelow(180) + 38);
    person.deathFrame = 0;
    person.vx = float((randomBelow(2) + 3) / 10.0);
    person.gait = walking;
    person.vy = 0;
}

// Anyone not alive is taken, even a person still falling: that body is never left.
// kind, bleedTimer and groundY stay as they were.
void spawnPeople(int n) {
    int placed = 0;
    const int crowdCount = game.crowdCount;
    for (int j = 1; j <= crowdCount; ++j) {
        Entity& person = people[j];
        if (person.alive != 0) continue;
        placeNewcomer(person);
        person.alive = 1;
        if (++placed == n) return;
    }
}

void updateCrowd() {
    game.aliveCount = 0;
    const int crowdCount = game.crowdCount;
    for (int i = 1; i <= crowdCount; ++i) visitPerson(i);
    if (game.aliveCount < respawnBelowAlive) spawnPeople(respawnCount);
}
