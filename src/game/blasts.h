#pragma once
// Explosion animations: six images, advanced once every five frames.

// The one kind of blast; the kind is stored but every blast looks the same.
constexpr int explosionBlast = 1;

void spawnBlast(float x, float y, int kind);
void updateBlasts();
