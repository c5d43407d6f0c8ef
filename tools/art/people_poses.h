// The poses of a person, drawn as letters: one letter per pixel, one string per row,
// facing right. The letters name parts, not colours, so one pose serves every kind of
// person; the sheet painter gives each letter the colour of that kind (people.cpp).
//
//   .  nothing (key colour)       H G  hair, hair in shadow     w  long hair (the woman)
//   C  cap brim (kind 2)          S s  skin, skin in shadow     E  eye
//   T t  top, top in shadow       L    trousers / dress         W  skirt hem (the woman)
//   l k  lower leg, near and far  K    shoes                    R r  blood, dark blood
//   M  flesh                      B    bone
//
// A standing figure keeps its head in rows 0 to 4, its torso in rows 5 to 9 and its legs
// in rows 10 to 12, inside columns 2 to 10 around column 6: where the gun tests its hits.
#pragma once

// figureWidth, figureHeight and chipSize: the frames of the sheet layout.
#include "game/people_sheet.h"

struct FigurePose {
    const char* rows[figureHeight];
};

struct ChipPose {
    const char* rows[chipSize];
};

enum PoseName {
    walkStrideA, walkPassA, walkStrideB, walkPassB,
    torsoHit, torsoFalling, torsoLanding, torsoBody,
    headHit, headKneeling, headFalling, headBody,
    crawlReach, crawlPull, finishedBody, bledBody,
    thrownBody, landedBody,
    poseCount
};

enum ChipName {
    fleshChip, scalpChip, clothChip,
    bloodDrop, bloodBlob, splashStar, splashStreak, splashRing, splashCrescent, bloodPool, bloodPair,
    bloodSmear, bloodSpeck, bloodTrail, splashFan, bloodDrip,
    chipCount
};

extern const FigurePose figurePoses[poseCount];
extern const ChipPose chipPoses[chipCount];
