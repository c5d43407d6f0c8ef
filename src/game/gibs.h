#pragma once
// Chunks, thrown bodies and corpses. Never freed; a bomb can throw them again.

// Kinds of gib (the `kind` slot). Chunks and thrown bodies fly their own arc when they are
// spawned; corpses lie where the person fell. There is no kind 3.
constexpr int chunkGib = 1;       // a piece knocked off by a head shot
constexpr int thrownBodyGib = 2;  // a body thrown by a bomb, or one that bled to death
constexpr int corpseGib = 4;      // the body a finished death animation leaves

// How a gib is moving (the `flightMode` slot).
constexpr int ownFlight = 1;     // the arc it was spawned with, if its kind flies
constexpr int thrownByBomb = 2;  // thrown again by a bomb, whatever its kind

// imageSelector is the person's kind for a chunk (its image is one of that kind's three
// chunks, drawn at random), otherwise the people-bank slot of the body. direction (1
// right, -1 left) sends a thrown body away from the bomb.
void spawnGib(float x, float y, int kind, int imageSelector, int groundY, int direction);
void updateGibs();
