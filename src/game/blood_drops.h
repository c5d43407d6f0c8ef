#pragma once
// Blood on the ground and scorch marks: sprays and splashes fly a short arc and lie
// where they land, pool marks and scorch marks lie still. Never freed.
void spawnBloodDrop(float x, float y, int kind, int imageSelector, int groundY);
void updateBloodDrops();
