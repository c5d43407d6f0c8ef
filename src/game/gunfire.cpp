// The left button's shot: which zone of whom it hits (head, torso, legs or a wounded
// person finished off), and the blood and cries that follow.
#include "game/gunfire.h"

#include <cmath>

#include "game/blood_drops.h"
#include "game/crowd.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/numbers.h"
#include "game/pool_helpers.h"
#include "sound/sound.h"

namespace {

// The shot must fall strictly within 5 pixels of the person's centre line, x + 6.
constexpr double centreLine = 6;
constexpr double halfWidth = 5;
constexpr int bleedUpdates = 2000;

constexpr Offset headSprays[3] = {{5, 2}, {6, 5}, {6, 4}};
constexpr Offset bodySprays[3] = {{6, 2}, {7, 5}, {5, 4}};
constexpr Offset lyingSprays[3] = {{6, 9}, {7, 8}, {5, 10}};
constexpr double woundDrifts[3] = {0.1, 0.15, 0.2};

bool isWoman(const Entity& person) { return person.kind == womanKind; }

int byKind(const Entity& person, int manSample, int womanSample) { return isWoman(person) ? womanSample : manSample; }

// Three sprays from where the bullet went in, falling to just below the feet.
void spray(const Entity& person, const Offset (&offsets)[3]) {
    const double px = person.x;
    const double py = person.y;
    for (const Offset& o : offsets)
        spawnBloodDrop(float(px + o.dx), float(py + o.dy), sprayDrop, person.kind, roundToInt(py + 11));
}

void startDying(Entity& person, int deathKind) {
    person.deathFrame = 0;
    person.deathKind = deathKind;
    person.alive = 0;
}

void hitHead(Entity& person) {
    playSample(byKind(person, manHeadShotCry, womanHeadShotCry));
    playSample(gorySample);
    spray(person, headSprays);
    spawnGib(float(double(person.x) + 6), person.y, chunkGib, person.kind, roundToInt(double(person.y) + 11), 0);
    startDying(person, headShot);
}

// The cry is chosen by a draw even when nobody will hear it.
void hitTorso(Entity& person) {
    const int cry = randomBelow(2);
    if (cry == 0) playSample(byKind(person, manTorsoCry1, womanTorsoCry1));
    if (cry == 1) playSample(byKind(person, manTorsoCry2, womanTorsoCry2));
    playSample(gorySample);
    spray(person, bodySprays);
    startDying(person, torsoShot);
}

// The person jumps up and falls 6 pixels below where they stood, drifting on in the
// crowd's direction: two draws, the upward speed first.
void hitLegs(Entity& person) {
    spray(person, bodySprays);
    person.gait = wounded;
    person.bleedTimer = bleedUpdates;
    playSample(byKind(person, manWoundCry, womanWoundCry));
    person.groundY = roundToInt(double(person.y) + 6);
    person.vy = float((randomBelow(2) + 1) / 10.0);
    person.vx = float(game.crowdDirection * woundDrifts[randomBelow(3)]);
}

void finishOff(Entity& person) {
    spray(person, lyingSprays);
    person.alive = 0;
    person.deathFrame = 0;
    person.deathKind = finishedOff;
    playSample(byKind(person, manFinishedCry, womanFinishedCry));
}

bool inZone(double d, double lowest, bool lowestIncluded, double below) {
    return (lowestIncluded ? d >= lowest : d > lowest) && d < below;
}

// Each zone is tested on its own; with y a whole number they cannot overlap. A leg
// wound leaves the person alive, but the same shot never finishes them.
void shootPerson(Entity& person) {
    const auto rowsBelowTop = [&person] { return double(game.mouseY) - double(person.y); };
    if (person.gait == walking) {
        if (inZone(rowsBelowTop(), 0, true, 5)) hitHead(person);
        if (inZone(rowsBelowTop(), 4, false, 10)) hitTorso(person);
        if (inZone(rowsBelowTop(), 9, false, 12)) hitLegs(person);
    } else if (person.gait == wounded && double(person.y) >= person.groundY && inZone(rowsBelowTop(), 7, false, 12)) {
        finishOff(person);
    }
}

// The shake moves the picture, not the people: the test uses y as it is.
bool underCrosshair(const Entity& person) {
    return std::fabs(double(person.x) + centreLine - game.scrollX - game.mouseX) < halfWidth;
}

}  // namespace

void fireGun() {
    game.fireCooldown = fireCooldownFrames;
    playSample(shotSample);
    const int crowdCount = game.crowdCount;
    for (int i = 1; i <= crowdCount; ++i) {
        Entity& person = people[i];
        if (person.alive == 1 && underCrosshair(person)) shootPerson(person);
    }
}
