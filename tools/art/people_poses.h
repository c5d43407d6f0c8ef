// The poses of a person, drawn as letters: one letter per pixel, one string per row,
// facing right. The letters name parts, not colours, so one pose serves every kind of
// person; the sheet painter gives each letter the colour of that kind (people.cpp).
//
//   .  nothing (key colour)       H G  hair, hair in shadow     w  long hair (the woman)
//   C  cap brim (kind 2)          S s  skin, skin in shadow     E  eye
//   T t  top, top in shadow       L    trousers / dress         W  skirt hem (the woman)
//   l k  lower leg, near and far  K    shoes                    R r  blood, dark blood
//   M  flesh                      B    bone                      P p  satchel (kind 3)
//
// A standing figure keeps its head in rows 0 to 4, its torso in rows 5 to 9 and its legs
// in rows 10 to 12, inside columns 2 to 10 around column 6: where the gun tests its hits.
// Each kind walks in its own shape (walkPoses); the falls, bodies and crawl are shared.
#pragma once

#include "game/crowd.h"

// figureWidth, figureHeight and chipSize: the frames of the sheet layout.
#include "game/people_sheet.h"

struct FigurePose {
    const char* rows[figureHeight];
};

struct ChipPose {
    const char* rows[chipSize];
};

// A walker moves 1.5 to 2 pixels between two steps of its walk, so a planted foot moves
// back 2 pixels per step: strides are 4 pixels from heel to heel, never wider.
constexpr int walkSteps = 4;

enum PoseName {
    torsoHit,
    torsoFalling,
    torsoLanding,
    torsoBody,
    headHit,
    headKneeling,
    headFalling,
    headBody,
    crawlReach,
    crawlPull,
    finishedBody,
    bledBody,
    thrownBody,
    landedBody,
    poseCount
};

enum ChipName {
    fleshChip,
    scalpChip,
    clothChip,
    bloodDrop,
    bloodBlob,
    splashBurst,
    splashStreak,
    splashScatter,
    splashCrescent,
    bloodPool,
    bloodPair,
    bloodSmear,
    bloodSpeck,
    bloodFlick,
    splashFan,
    bloodDrip,
    chipCount
};

extern const FigurePose walkPoses[personKindCount][walkSteps];
extern const FigurePose figurePoses[poseCount];
extern const ChipPose chipPoses[chipCount];
