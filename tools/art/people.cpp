// The people sheets: one figure painter that turns the letter poses of people_poses.cpp
// into pixels with the colours of one kind of person, placed at the rectangles the game
// cuts. Kinds 1 to 3 are men (tall and thin with brown hair and a blue shirt; broad in a
// green cap and a rust jacket; short with bushy fair hair, a white shirt and a satchel),
// kind 4 a woman with long auburn hair in a purple dress.
#include "art.h"
#include "game/crowd.h"
#include "people_poses.h"

namespace {

struct Palette {
    uint32_t hair, hairShade, cap, skin, skinShade, eye;
    uint32_t top, topShade, lower, lowerLeg, farLeg, shoes;
    bool longHair;  // shows the 'w' and 'W' letters
};

constexpr uint32_t bloodBright = 0xA81010, bloodDark = 0x6C0808, flesh = 0xC0504A, bone = 0xE8E0C8;
constexpr uint32_t satchel = 0x6E7040, satchelShade = 0x50522C;

Palette paletteOf(int kind) {
    switch (kind) {
        case firstManKind:
            return {0x5A3A22, 0x3E2816, keyColour, 0xE0B090, 0xB88A6C, 0x201810, 0x3A62B0,
                    0x28488A, 0x45474F, 0x45474F,  0x303238, 0x2A2420, false};
        case secondManKind:
            return {0x2E5A3A, 0x1E4028, 0x1E4028, 0xA87050, 0x86563C, 0x1A1210, 0xB8642A,
                    0x8C4A1E, 0x2E3450, 0x2E3450, 0x20243A, 0x1E1A18, false};
        case thirdManKind:
            return {0xDCC070, 0xB89C50, keyColour, 0xF0C8A8, 0xC8A084, 0x2A2018, 0xE8E4DA,
                    0xB4B0A6, 0x4C6C9C, 0x4C6C9C,  0x3A5478, 0x5A3A24, false};
        default:
            return {0x8A3A1E, 0x642814, keyColour, 0xEDBE9C, 0xC89A7C, 0x2A1810, 0x84408E,
                    0x62306C, 0x84408E, 0xEDBE9C,  0xC89A7C, 0x4A1A1A, true};
    }
}

// What a body burnt by a blast looks like: the same shapes in soot and embers.
Palette charred(const Palette& p) {
    Palette c = p;
    c.hair = c.hairShade = c.cap = 0x1A1614;
    c.skin = 0x4A3A30;
    c.skinShade = c.eye = 0x2A201A;
    c.top = 0x3A3430;
    c.topShade = 0x26221E;
    c.lower = c.lowerLeg = 0x2E2A26;
    c.farLeg = c.shoes = 0x1A1816;
    return c;
}

uint32_t letterColour(char letter, const Palette& p) {
    switch (letter) {
        case 'H': return p.hair;
        case 'G': return p.hairShade;
        case 'w': return p.longHair ? p.hair : keyColour;
        case 'C': return p.cap;
        case 'S': return p.skin;
        case 's': return p.skinShade;
        case 'E': return p.eye;
        case 'T': return p.top;
        case 't': return p.topShade;
        case 'L': return p.lower;
        case 'W': return p.longHair ? p.lower : keyColour;
        case 'l': return p.lowerLeg;
        case 'k': return p.farLeg;
        case 'K': return p.shoes;
        case 'R': return bloodBright;
        case 'r': return bloodDark;
        case 'M': return flesh;
        case 'B': return bone;
        case 'P': return satchel;
        case 'p': return satchelShade;
        default: return keyColour;
    }
}

void paintLetters(Canvas& sheet, int left, int top, const char* const* rows, int width, int height,
                  const Palette& palette, bool mirrored) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char letter = rows[y][mirrored ? width - 1 - x : x];
            setPixel(sheet, left + x, top + y, letterColour(letter, palette));
        }
}

struct Origin {
    int x, y;
};

// Top-left corner of frame f (1 to 53) on a people sheet, where the game cuts it.
Origin frameOrigin(int f) {
    const SheetRect r = peopleFrameRect(f);
    return {r.left, r.top};
}

// The walk: frames 1 to 4 face right, 28 to 31 are the same steps facing left.
constexpr int walkFrames[walkSteps] = {1, 2, 3, 4}, mirroredWalkFrames[walkSteps] = {28, 29, 30, 31};

// What each other figure frame shows. The frames the game draws come first; the others
// are variants (facing left, burnt) so that every sheet is complete.
struct FigureRecipe {
    int frame;
    PoseName pose;
    bool mirrored;
    bool burnt;
};

constexpr FigureRecipe figureRecipes[] = {
    {5, torsoHit, false, false},     {6, torsoFalling, false, false},  {7, torsoLanding, false, false},
    {8, torsoBody, false, false},    {9, headHit, false, false},       {10, headKneeling, false, false},
    {11, headFalling, false, false}, {12, headBody, false, false},     {25, crawlReach, false, false},
    {26, crawlPull, false, false},   {27, finishedBody, false, false}, {42, bledBody, false, false},
    {50, thrownBody, false, false},  {51, landedBody, false, false},   {32, crawlReach, true, false},
    {33, crawlPull, true, false},    {34, torsoBody, true, false},     {35, headBody, true, false},
    {36, finishedBody, true, false}, {37, bledBody, true, false},      {43, torsoBody, false, true},
    {44, headBody, false, true},     {45, finishedBody, false, true},  {46, bledBody, false, true},
    {47, thrownBody, false, true},   {48, landedBody, false, true},    {49, thrownBody, true, false},
    {52, landedBody, true, false},   {53, landedBody, true, true},
};

// Frames 13 to 15 are chunks knocked off by a head shot, 16 to 24 blood (18 to 21 are
// the splashes of things landing), 38 to 41 more blood.
constexpr ChipName chipRecipes[] = {
    fleshChip,  scalpChip,  clothChip,                                                 // 13 to 15
    bloodDrop,  bloodBlob,  splashBurst, splashStreak, splashScatter, splashCrescent,  // 16 to 21
    bloodPool,  bloodPair,  bloodSmear,                                                // 22 to 24
    bloodSpeck, bloodFlick, splashFan,   bloodDrip,                                    // 38 to 41
};

ChipName chipOfFrame(int f) { return chipRecipes[f <= 24 ? f - 13 : f - 38 + 12]; }

}  // namespace

Canvas paintPeopleSheet(int kind) {
    Canvas sheet = makeCanvas(sheetWidth, sheetHeight, keyColour);
    Palette palette = paletteOf(kind);
    for (int step = 0; step < walkSteps; ++step) {
        const FigurePose& pose = walkPoses[kind - 1][step];
        for (bool mirrored : {false, true}) {
            Origin at = frameOrigin(mirrored ? mirroredWalkFrames[step] : walkFrames[step]);
            paintLetters(sheet, at.x, at.y, pose.rows, figureWidth, figureHeight, palette, mirrored);
        }
    }
    for (const FigureRecipe& recipe : figureRecipes) {
        Origin at = frameOrigin(recipe.frame);
        paintLetters(sheet, at.x, at.y, figurePoses[recipe.pose].rows, figureWidth, figureHeight,
                     recipe.burnt ? charred(palette) : palette, recipe.mirrored);
    }
    for (int f = 1; f <= peopleSheetFrameCount; ++f) {
        if (!isChipFrame(f)) continue;
        Origin at = frameOrigin(f);
        paintLetters(sheet, at.x, at.y, chipPoses[chipOfFrame(f)].rows, chipSize, chipSize, palette, false);
    }
    return sheet;
}
