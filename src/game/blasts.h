#pragma once
// Explosion animations: six images, advanced once every five frames.
void spawnBlast(float x, float y, int kind);
void updateBlasts();
