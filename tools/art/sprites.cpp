// The sprite sheet: crosshair and firing overlay (both centred on pixel (8, 8) of their
// cut, where the pointer is), six blast frames from flash to smoke, the falling bomb,
// the scorch mark and the two bomb shadows. Shadows and scorch are drawn blended by the
// game, so they are plain dark shapes.
#include <algorithm>
#include <cstdlib>

#include "art.h"

namespace {

struct Spot {
    int x, y;
};

constexpr Spot crosshairAt{0, 0}, overlayAt{29, 0}, bombAt{60, 7};
constexpr Spot scorchAt{5, 40}, closeShadowAt{30, 43}, farShadowAt{39, 43};
constexpr int blastWidth = 25, blastHeight = 26;

Spot blastAt(int frame) { return Spot{29 * frame + 87, 0}; }

int distanceSquared(int dx, int dy) { return dx * dx + dy * dy; }

// A light ring with a dark outline inside and out, four ticks beyond it and a dot in
// the middle: it stays visible on sky, grass, stone and blood alike.
void paintCrosshair(Canvas& sheet) {
    const uint32_t light = rgb(250, 246, 226), dark = rgb(24, 22, 20);
    for (int dy = -8; dy <= 9; ++dy)
        for (int dx = -8; dx <= 8; ++dx) {
            int d2 = distanceSquared(dx, dy);
            bool onAxis = dx == 0 || dy == 0;
            int along = std::abs(dx) + std::abs(dy);
            uint32_t colour = keyColour;
            if (d2 >= 21 && d2 <= 32) colour = light;
            else if ((d2 >= 13 && d2 <= 20) || (d2 >= 33 && d2 <= 44)) colour = dark;
            if (onAxis && along >= 6 && along <= 8) colour = light;
            else if (along >= 6 && along <= 8 && (std::abs(dx) == 1 || std::abs(dy) == 1) && colour == keyColour)
                colour = dark;
            if (along == 0) colour = light;
            else if (along == 1) colour = dark;
            setPixel(sheet, crosshairAt.x + 8 + dx, crosshairAt.y + 8 + dy, colour);
        }
}

// Muzzle flash: a ring of sparks around the aim point, hot yellow-white on the inside
// and orange at the tips. Everything within 4 pixels of the aim point stays clear (a
// hole 7 pixels across), so the victim's reaction shows through the flash.
void paintFiringOverlay(Canvas& sheet) {
    constexpr int clearBelow2 = 16;  // squared radius of the hollow centre
    for (int dy = -8; dy <= 8; ++dy)
        for (int dx = -8; dx <= 8; ++dx) {
            int ax = std::abs(dx), ay = std::abs(dy), d2 = distanceSquared(dx, dy);
            if (d2 < clearBelow2 || d2 > 64) continue;
            // Eight sparks on the axes and diagonals, and a broken inner rim between them.
            bool axisSpark = (ax == 0 || ay == 0) && d2 <= 64;
            bool diagonalSpark = ax == ay && d2 <= 32;
            bool rim = d2 <= 25 && (ax + ay) % 2 == 1;
            if (!axisSpark && !diagonalSpark && !rim) continue;
            int heat = 256 - std::min(256, (d2 - clearBelow2) * 256 / 48);
            uint32_t colour = mixColour(rgb(236, 104, 28), rgb(255, 246, 190), heat);
            setPixel(sheet, overlayAt.x + 8 + dx, overlayAt.y + 8 + dy, colour);
        }
}

// One blast frame: rings of colour by distance from the centre, their edges broken by
// noise so that no two frames look like simple discs.
struct BlastLook {
    int radius;  // outer edge, in pixels
    uint32_t core, middle, edge;
    int coreShare, middleShare;  // of the radius, in 256ths
    int holes;                   // 0 solid, higher lets more background show through (smoke)
    int ragged;                  // how far noise moves the edge, in 16ths of a pixel per 128
};

void paintBlastFrame(Canvas& sheet, int frame, const BlastLook& look) {
    Spot at = blastAt(frame);
    int cx = blastWidth / 2, cy = blastHeight / 2;
    for (int y = 0; y < blastHeight; ++y)
        for (int x = 0; x < blastWidth; ++x) {
            int wobble = valueNoise(uint32_t(100 + frame), x + 40, y + 40, 4) - 128;
            int d16 = 0;
            {
                int d2 = distanceSquared(x - cx, y - cy) * 256;
                while ((d16 + 1) * (d16 + 1) <= d2) ++d16;  // 16 * distance
            }
            d16 += wobble * look.ragged / 16;
            int r16 = look.radius * 16;
            if (d16 > r16) continue;
            int grain = valueNoise(uint32_t(200 + frame), x, y, 2);
            if (look.holes > 0 && grain < look.holes * d16 / r16) continue;
            uint32_t colour = look.edge;
            if (d16 < r16 * look.coreShare / 256) colour = look.core;
            else if (d16 < r16 * look.middleShare / 256) colour = look.middle;
            setPixel(sheet, at.x + x, at.y + y, shadeColour(colour, (grain - 128) / 10));
        }
}

// The first frame is one solid flash disc, 11 pixels in radius and one yellow out to its
// edge: the five blasts of a bomb sit 20 pixels apart in a square with one in the
// middle, so their first frames overlap into a single big flash without inner rims.
void paintBlasts(Canvas& sheet) {
    const BlastLook looks[6] = {
        {11, rgb(255, 250, 214), rgb(255, 222, 104), rgb(255, 222, 104), 70, 256, 0, 1},
        {11, rgb(255, 248, 200), rgb(255, 200, 70), rgb(236, 120, 30), 80, 180, 0, 3},
        {11, rgb(255, 214, 90), rgb(236, 120, 30), rgb(170, 50, 24), 70, 160, 0, 3},
        {12, rgb(226, 110, 36), rgb(150, 52, 30), rgb(86, 70, 62), 40, 130, 40, 3},
        {12, rgb(120, 70, 50), rgb(96, 88, 84), rgb(128, 122, 116), 30, 140, 110, 3},
        {12, rgb(150, 146, 140), rgb(160, 156, 150), rgb(176, 172, 166), 0, 120, 190, 3},
    };
    for (int frame = 1; frame <= 6; ++frame) paintBlastFrame(sheet, frame, looks[frame - 1]);
    // Embers glowing in the smoke.
    const Spot embers[] = {{6, 9}, {15, 7}, {11, 17}, {18, 15}, {8, 14}};
    for (const Spot& e : embers)
        if (pixelAt(sheet, blastAt(5).x + e.x, e.y) != keyColour)
            setPixel(sheet, blastAt(5).x + e.x, e.y, rgb(250, 150, 50));
}

// The bomb falls nose down: tail fins on top, a fat olive body, a dark nose.
void paintBomb(Canvas& sheet) {
    static const char* rows[11] = {
        "FfF...FfF", ".FfF.FfF.", "..FfFfF..", "..dBBBd..", ".dYYYYYd.", ".dBlBBBd.",
        ".dBlBBBd.", ".dBlBBBd.", "..dBBBd..", "...dNd...", "....N....",
    };
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 9; ++x) {
            uint32_t colour = keyColour;
            switch (rows[y][x]) {
                case 'F': colour = rgb(70, 74, 70); break;
                case 'f': colour = rgb(120, 124, 118); break;
                case 'B': colour = rgb(84, 94, 60); break;
                case 'l': colour = rgb(140, 152, 104); break;
                case 'd': colour = rgb(40, 44, 30); break;
                case 'Y': colour = rgb(200, 170, 60); break;
                case 'N': colour = rgb(30, 30, 28); break;
                default: break;
            }
            setPixel(sheet, bombAt.x + x, bombAt.y + y, colour);
        }
}

// Charred ground with a ragged rim; the game lays it down at 160 of 255.
void paintScorch(Canvas& sheet) {
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 17; ++x) {
            int dx = 2 * x - 16, dy = (2 * y - 7) * 17 / 8;
            int d2 = dx * dx + dy * dy;  // 0 at the centre, 289 at the rim
            int rim = 289 - valueNoise(55, x * 3, y * 3, 4) / 2;
            if (d2 > rim) continue;
            uint32_t colour = d2 < 120 ? rgb(20, 16, 12) : rgb(46, 36, 26);
            setPixel(sheet, scorchAt.x + x, scorchAt.y + y, shadeColour(colour, valueNoise(56, x, y, 2) / 32 - 4));
        }
}

void paintShadow(Canvas& sheet, Spot at, int width, int height, uint32_t colour) {
    fillEllipseQuarter(sheet, 4 * at.x + 2 * width, 4 * at.y + 2 * height, 2 * width + 1, 2 * height + 1, colour);
}

}  // namespace

Canvas paintSpriteSheet() {
    Canvas sheet = makeCanvas(sheetWidth, sheetHeight, keyColour);
    paintCrosshair(sheet);
    paintFiringOverlay(sheet);
    paintBlasts(sheet);
    paintBomb(sheet);
    paintScorch(sheet);
    paintShadow(sheet, closeShadowAt, 7, 4, rgb(16, 16, 14));
    paintShadow(sheet, farShadowAt, 8, 3, rgb(40, 40, 36));
    return sheet;
}
