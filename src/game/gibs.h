#pragma once
// Chunks, thrown bodies and corpses. Never freed; a bomb can throw them again.
void spawnGib(float x, float y, int kind, int imageSelector, int groundY, int direction);
void updateGibs();
