#pragma once
// The walking people: movement, wounds, death animations, respawning.

// Kinds of person (the `kind` slot of a people record): three men and a woman, each with
// a sheet of pictures of its own and a block of slots in the people bank.
constexpr int firstManKind = 1;
constexpr int secondManKind = 2;
constexpr int thirdManKind = 3;
constexpr int womanKind = 4;
constexpr int personKindCount = 4;

// How a living person moves (the `gait` slot).
constexpr int walking = 1;
constexpr int wounded = 2;  // hit in the legs: hops, crawls and bleeds

// How a person died (the `deathKind` slot), which picks the death animation. It is
// cleared back to notDying on every update of a living person.
constexpr int notDying = 0;
constexpr int torsoShot = 1;
constexpr int headShot = 2;
constexpr int finishedOff = 3;  // a wounded person shot again
constexpr int blownUp = 4;      // no animation: the bomb throws the body as a gib

struct Entity;

void updateCrowd();
// Brings back up to n people who are not alive, from record 1 up, as newcomers.
void spawnPeople(int n);
// A person walking in from off the left edge, at a random row and speed: three draws,
// x first, then y, then the speed. Leaves alive, kind, bleedTimer and groundY alone.
void placeNewcomer(Entity& person);
