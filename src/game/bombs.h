#pragma once
// The right button's bomb: falls onto the clicked row and explodes there.

// The one kind of bomb; records of any other kind are neither moved nor drawn.
constexpr int fallingBomb = 1;

void spawnBomb(float x, float y, int kind);
void updateBombs();
