#pragma once
// Blood on the ground and scorch marks: sprays and splashes fly a short arc and lie
// where they land, pool marks and scorch marks lie still. Never freed.

// Kinds of blood drop (the `kind` slot). There is no kind 3.
constexpr int sprayDrop = 1;        // from a wound
constexpr int splashDrop = 2;       // where something lands
constexpr int poolMarkDrop = 4;     // under a wounded person
constexpr int scorchMarkDrop = 10;  // where a bomb went off

// imageSelector is the bleeding person's kind, or for a scorch mark its sprite slot.
void spawnBloodDrop(float x, float y, int kind, int imageSelector, int groundY);
void updateBloodDrops();
