#pragma once
// The right button's bomb: falls onto the clicked row and explodes there.
void spawnBomb(float x, float y, int kind);
void updateBombs();
