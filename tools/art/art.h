// The painters of the game's seven bitmaps. Each fills a 320 x 240 canvas (the scene
// two of them, side by side) so that no pixel of an earlier file can show through a cut.
#pragma once

#include "canvas.h"
#include "game/crowd.h"

constexpr int sheetWidth = 320;
constexpr int sheetHeight = 240;

// The whole 640 x 240 scene; its left and right halves are the two background files,
// so they join without a seam.
Canvas paintScene();

// Crosshair, firing overlay, blasts, bomb, scorch mark and shadows on the key colour.
Canvas paintSpriteSheet();

// The 53 frames of one kind of person (1 to 3 men, 4 the woman) on the key colour.
Canvas paintPeopleSheet(int kind);

// One picture of every cut of every sheet, enlarged and numbered, for reviewing the art:
// the scene, the sprite sheet and the four people sheets (people[0] is kind 1).
Canvas paintContactSheet(const Canvas& scene, const Canvas& sprites, const Canvas (&people)[personKindCount]);
