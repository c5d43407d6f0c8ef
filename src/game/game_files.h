// Every picture and sound file the game reads, named once: start-up loads them by these
// names, the art and sound tools write them, and the browser's packs and the install carry
// them. Only constants: the tools include it without the game.
//
// CMake reads the names too (cmake/GameFiles.cmake takes every quoted name ending in .BMP,
// .ogg or .mp3 from this file), so write each file's name here once, in quotes, and never
// in a comment.
#pragma once

#include <iterator>

#include "game/crowd.h"
#include "sound/sound.h"

// The scene's two halves, left then right: background slots 1 and 2.
constexpr const char* backgroundPictures[] = {"BACKG11a24.BMP", "BACKG12a24.BMP"};
// The crosshair, the firing overlay, the blast frames, the bomb, its scorch mark and shadows.
constexpr const char* spritesPicture = "sprites124.BMP";
// One sheet of people per person kind, firstManKind first.
constexpr const char* peopleSheetPictures[] = {"stooge124.BMP", "stooge224.BMP", "stooge324.BMP", "stooge424.BMP"};
static_assert(std::size(peopleSheetPictures) == personKindCount);

// The samples by soundBank slot, in the order start-up loads them.
constexpr SampleFile gameSamples[] = {
    {shotSample, "Sound/shot.ogg", loadModeDefault},
    {equipSample, "Sound/equip.mp3", loadModeDefault},
    {manHeadShotCry, "Sound/death3.ogg", loadModeDefault},
    {manTorsoCry2, "Sound/death1.ogg", loadModeDefault},
    {manTorsoCry1, "Sound/death2.ogg", loadModeDefault},
    {gorySample, "Sound/mushy1.ogg", loadMode16BitMonoSigned},
    {splatSample, "Sound/mushy2.ogg", loadMode16BitMonoSigned},
    {manWoundCry, "Sound/wound.ogg", loadMode16BitMonoSigned},
    {manFinishedCry, "Sound/death4.ogg", loadMode16BitMonoSigned},
    {bledToDeathCry, "Sound/death5.ogg", loadMode16BitMonoSigned},
    {explosionSample, "Sound/explosion.ogg", loadMode16BitMonoSigned},
    {bombFallSample, "Sound/bomb_fall.ogg", loadMode16BitMonoSigned},
    {womanWoundCry, "Sound/women_wound.ogg", loadMode16BitMonoSigned},
    {womanTorsoCry1, "Sound/women_death1.ogg", loadMode16BitMonoSigned},
    {womanTorsoCry2, "Sound/women_death2.ogg", loadMode16BitMonoSigned},
    {womanFinishedCry, "Sound/women_death3.ogg", loadMode16BitMonoSigned},
    {womanHeadShotCry, "Sound/women_death4.ogg", loadMode16BitMonoSigned},
};
static_assert(std::size(gameSamples) == lastSampleSlot, "one file for every slot");
