// The scene: a town park seen from a little above. The top rows are the distance (sky,
// roofs, a line of trees, the park wall), everything below row 40 is flat ground the
// crowd walks on: lawns in mown stripes, a paved promenade, a round plaza with a pool,
// gravel paths, flower beds and lamp bases. Colours stay muted so that small people,
// red blood and dark bodies read clearly on every part of it.
#include <algorithm>
#include <cstdlib>

#include "art.h"

namespace {

constexpr int sceneWidth = 2 * sheetWidth;
constexpr int horizonRow = 26;  // where the sky meets the roofs
constexpr int wallTop = 34;     // the park wall: rows 34 to 39
constexpr int groundTop = 40;   // everything from here down is walkable ground
constexpr int promenadeTop = 118;
constexpr int promenadeBottom = 146;
constexpr int plazaX = 320, plazaY = 132;

uint32_t noiseShade(uint32_t colour, uint32_t seed, int x, int y, int cell, int strength) {
    int n = valueNoise(seed, x, y, cell) - 128;
    return shadeColour(colour, n * strength / 128);
}

void paintSky(Canvas& scene) {
    const uint32_t top = rgb(120, 164, 206), low = rgb(206, 222, 228);
    for (int y = 0; y < horizonRow + 8; ++y) {
        uint32_t row = mixColour(top, low, y * 256 / (horizonRow + 8));
        for (int x = 0; x < sceneWidth; ++x) {
            // Soft clouds: broad noise, only its brightest parts show.
            int cloud = valueNoise(11, x, y * 3, 24) - 150;
            uint32_t colour = cloud > 0 ? mixColour(row, rgb(244, 246, 248), std::min(cloud * 3, 200)) : row;
            setPixel(scene, x, y, colour);
        }
    }
}

// A house front with a roof, windows lit by the sky; far ones fade into the haze.
void paintHouse(Canvas& scene, int left, int width, int height, uint32_t wall, ArtRandom& random) {
    int base = wallTop - 2, top = base - height;
    uint32_t roof = mixColour(wall, rgb(90, 70, 70), 120);
    fillRect(scene, left, top, width, height, wall);
    bool pitched = randomBelowArt(random, 3) != 0;
    // A pitched roof narrows by a pixel each side per row, up to half its width.
    for (int rise = 1; pitched && rise <= width / 4; ++rise)
        fillRect(scene, left - 1 + 2 * rise, top - rise, width + 2 - 4 * rise, 1, roof);
    if (pitched) fillRect(scene, left - 1, top, width + 2, 1, shadeColour(roof, -16));
    if (!pitched) fillRect(scene, left - 1, top - 1, width + 2, 2, shadeColour(wall, -24));
    uint32_t window = mixColour(wall, rgb(200, 214, 224), 150);
    for (int wy = top + 3; wy < base - 3; wy += 5)
        for (int wx = left + 2; wx + 2 < left + width - 1; wx += 4) fillRect(scene, wx, wy, 2, 2, window);
}

void paintSkyline(Canvas& scene) {
    ArtRandom random = seedArtRandom(2026);
    const uint32_t walls[] = {rgb(168, 150, 134), rgb(150, 152, 160), rgb(176, 162, 140), rgb(140, 128, 122)};
    for (int x = -8; x < sceneWidth + 8;) {
        int width = 14 + randomBelowArt(random, 22), height = 9 + randomBelowArt(random, 14);
        uint32_t wall = mixColour(walls[randomBelowArt(random, 4)], rgb(190, 206, 216), 90);
        paintHouse(scene, x, width, height, wall, random);
        x += width + randomBelowArt(random, 3);
    }
    // A clock tower just off the middle, so the two halves do not look alike.
    fillRect(scene, 402, 4, 10, 30, rgb(160, 150, 140));
    for (int step = 0; step < 6; ++step) fillRect(scene, 402 + step, 4 - step, 10 - 2 * step, 1, rgb(110, 100, 104));
    fillEllipseQuarter(scene, 4 * 407, 4 * 11, 10, 10, rgb(226, 222, 206));
}

void paintTreeLine(Canvas& scene) {
    ArtRandom random = seedArtRandom(77);
    const uint32_t leaves = rgb(78, 104, 68);
    for (int x = -10; x < sceneWidth + 10; x += 7 + randomBelowArt(random, 8)) {
        int radius = 16 + randomBelowArt(random, 16), top = 20 + randomBelowArt(random, 8);
        uint32_t tint = shadeColour(leaves, randomSpread(random, 10));
        fillEllipseQuarter(scene, 4 * x, 4 * (top + radius / 4), 4 * radius / 3 + 8, radius, tint);
    }
    for (int y = 14; y < wallTop; ++y)
        for (int x = 0; x < sceneWidth; ++x) {
            uint32_t here = pixelAt(scene, x, y);
            if (((here >> 8) & 0xFF) > ((here >> 16) & 0xFF) + 16)  // leaves only
                setPixel(scene, x, y, noiseShade(here, 5, x, y, 3, 12));
        }
}

// Hedge over a low stone wall, with the wall's shadow on the first row of ground.
void paintParkWall(Canvas& scene) {
    for (int x = 0; x < sceneWidth; ++x) {
        for (int y = wallTop - 3; y < wallTop + 1; ++y)
            setPixel(scene, x, y, noiseShade(rgb(64, 92, 58), 9, x, y, 2, 14));
        int stone = (x / 9 + (x % 9 == 0 ? 1 : 0)) % 2;
        setPixel(scene, x, wallTop + 1, rgb(204, 196, 176));
        for (int y = wallTop + 2; y < groundTop; ++y)
            setPixel(scene, x, y,
                     x % 9 == 0 ? rgb(128, 120, 104) : shadeColour(rgb(176, 168, 148), stone * 6 - y + wallTop));
    }
}

void paintLawn(Canvas& scene) {
    const uint32_t grass = rgb(112, 142, 80);
    for (int y = groundTop; y < sheetHeight; ++y) {
        // Mown stripes, a little darker and richer towards the viewer.
        int stripe = ((y - groundTop) / 14) % 2 == 0 ? 3 : -3;
        uint32_t row = shadeColour(mixColour(rgb(128, 152, 96), grass, (y - groundTop) * 256 / 200), stripe);
        for (int x = 0; x < sceneWidth; ++x) {
            uint32_t colour = noiseShade(row, 3, x, y, 10, 9);
            colour = noiseShade(colour, 4, x, y, 2, 5);
            // Now and then a daisy: pale, tiny, never red, so it cannot pass for blood.
            uint32_t hash = (uint32_t(x) * 2246822519u) ^ (uint32_t(y) * 3266489917u);
            hash ^= hash >> 13;
            hash *= 668265263u;
            if ((hash >> 20) % 600 == 0) colour = (hash & 1) ? rgb(236, 234, 220) : rgb(226, 212, 120);
            setPixel(scene, x, y, colour);
        }
    }
}

// Gravel: pale, finely speckled.
uint32_t gravelAt(int x, int y) {
    uint32_t base = noiseShade(rgb(190, 176, 142), 21, x, y, 8, 6);
    uint32_t hash = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u;
    return shadeColour(base, int(hash >> 7 & 15) - 8);
}

// Flagstones a little smaller than a person, laid in staggered courses, each a slightly
// different tint, in soft joints of mortar.
uint32_t pavingAt(int x, int y) {
    const int stoneWidth = 10, stoneHeight = 6;
    int row = y / stoneHeight, shifted = x + (row % 2) * (stoneWidth / 2);
    int column = shifted / stoneWidth;
    bool joint = shifted % stoneWidth == 0 || y % stoneHeight == 0;
    uint32_t hash = uint32_t(column) * 2654435761u ^ uint32_t(row) * 40503u;
    uint32_t stone = shadeColour(rgb(172, 166, 154), int(hash >> 9 & 11) - 5);
    return joint ? rgb(150, 144, 133) : noiseShade(stone, 31, x, y, 3, 3);
}

void paintGroundStrip(Canvas& scene) {
    for (int y = groundTop; y < groundTop + 6; ++y)
        for (int x = 0; x < sceneWidth; ++x)
            setPixel(scene, x, y, shadeColour(gravelAt(x, y), y == groundTop ? -22 : 0));
    for (int x = 0; x < sceneWidth; ++x) setPixel(scene, x, groundTop + 6, rgb(150, 146, 130));
}

void paintPromenade(Canvas& scene) {
    for (int y = promenadeTop; y <= promenadeBottom; ++y)
        for (int x = 0; x < sceneWidth; ++x) setPixel(scene, x, y, pavingAt(x, y));
    for (int x = 0; x < sceneWidth; ++x) {
        setPixel(scene, x, promenadeTop - 1, rgb(196, 190, 176));
        setPixel(scene, x, promenadeBottom + 1, rgb(120, 116, 104));
    }
}

// A gravel path along a quadratic curve, stamped as overlapping discs; its edge is a
// thin darker line where the gravel meets the grass.
void paintPath(Canvas& scene, int x0, int y0, int x1, int y1, int x2, int y2, int halfWidth) {
    const int steps = 256;
    for (int pass = 0; pass < 2; ++pass) {
        int radius = 4 * halfWidth + (pass == 0 ? 4 : 0);
        for (int s = 0; s <= steps; ++s) {
            int a = (steps - s) * (steps - s), b = 2 * s * (steps - s), c = s * s;
            int cx4 = 4 * (a * x0 + b * x1 + c * x2) / (steps * steps);
            int cy4 = 4 * (a * y0 + b * y1 + c * y2) / (steps * steps);
            fillEllipseQuarter(scene, cx4, cy4, radius, radius * 3 / 4, pass == 0 ? rgb(120, 130, 88) : 1);
        }
    }
    // Pass two left the marker colour 1: turn it into gravel.
    for (size_t i = 0; i < scene.pixels.size(); ++i)
        if (scene.pixels[i] == 1) scene.pixels[i] = gravelAt(int(i % sceneWidth), int(i / sceneWidth));
}

// The round plaza where the promenade widens, with a compass rose laid in its paving.
void paintPlaza(Canvas& scene) {
    const int rx = 76, ry = 46;
    for (int y = plazaY - ry - 2; y <= plazaY + ry + 2; ++y)
        for (int x = plazaX - rx - 2; x <= plazaX + rx + 2; ++x) {
            int dx = x - plazaX, dy = (y - plazaY) * rx / ry;
            int distance2 = dx * dx + dy * dy;
            if (distance2 > (rx + 2) * (rx + 2)) continue;
            if (distance2 > rx * rx) {
                setPixel(scene, x, y, rgb(196, 190, 176));
                continue;
            }
            int ring = (distance2 * 8) / (rx * rx);  // concentric courses of stone
            uint32_t stone = shadeColour(pavingAt(x, y), ring % 2 == 0 ? 4 : -2);
            setPixel(scene, x, y, stone);
        }
    // Compass rose: two crossed diamonds in terracotta and cream.
    for (int y = plazaY - 22; y <= plazaY + 22; ++y)
        for (int x = plazaX - 36; x <= plazaX + 36; ++x) {
            int dx = std::abs(x - plazaX), dy = std::abs(y - plazaY) * 36 / 22;
            bool longPoint = dx * 6 + dy <= 36 || dy * 6 + dx <= 36;
            bool shortPoint = dx + dy <= 14;
            if (shortPoint) setPixel(scene, x, y, rgb(212, 200, 168));
            else if (longPoint)
                setPixel(scene, x, y, (x < plazaX) == (y < plazaY) ? rgb(170, 112, 84) : rgb(150, 96, 72));
        }
    fillEllipseQuarter(scene, 4 * plazaX + 2, 4 * plazaY + 2, 10, 8, rgb(120, 110, 96));
}

// A bed of low plants: calm foliage in two soft greens, and blooms gathered in clumps of
// one colour each, from a small palette of pale yellow, white and lavender (nothing red,
// so no flower can pass for blood), with plenty of leaf between the clumps so blood and
// bodies stay readable on top.
void paintFlowerBed(Canvas& scene, int cx, int cy, int rx, int ry, uint32_t seed) {
    const uint32_t soil = rgb(96, 78, 60), leaf = rgb(78, 108, 62), leafShade = rgb(66, 94, 54);
    fillEllipseQuarter(scene, 4 * cx, 4 * cy, 4 * rx + 6, 4 * ry + 6, rgb(150, 146, 130));  // kerb
    fillEllipseQuarter(scene, 4 * cx, 4 * cy, 4 * rx, 4 * ry, soil);
    fillEllipseQuarter(scene, 4 * cx, 4 * cy, 4 * rx - 6, 4 * ry - 6, leaf);
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x)
            if (pixelAt(scene, x, y) == leaf && valueNoise(seed + 40, x, y * 2, 4) < 110)
                setPixel(scene, x, y, leafShade);
    const uint32_t petals[] = {rgb(232, 214, 118), rgb(236, 234, 224), rgb(182, 160, 206)};
    ArtRandom random = seedArtRandom(seed);
    int clumps = rx * ry / 14;
    for (int clump = 0; clump < clumps; ++clump) {
        int x0 = cx + randomSpread(random, rx - 2), y0 = cy + randomSpread(random, ry - 2);
        uint32_t petal = petals[randomBelowArt(random, 3)];
        int blooms = 3 + randomBelowArt(random, 3);
        for (int bloom = 0; bloom < blooms; ++bloom) {
            int x = x0 + randomSpread(random, 2), y = y0 + randomSpread(random, 1);
            if (pixelAt(scene, x, y) != leaf && pixelAt(scene, x, y) != leafShade) continue;
            // A bloom is two petals side by side, the second a touch darker: round, not a dot.
            setPixel(scene, x, y, petal);
            uint32_t next = pixelAt(scene, x + 1, y);
            if (next == leaf || next == leafShade) setPixel(scene, x + 1, y, shadeColour(petal, -26));
        }
    }
}

// The flat foot of a lamp post, the post itself long gone: a dark iron disc.
void paintLampBase(Canvas& scene, int x, int y) {
    fillEllipseQuarter(scene, 4 * x + 2, 4 * y + 2, 11, 8, rgb(70, 72, 74));
    fillEllipseQuarter(scene, 4 * x + 2, 4 * y + 2, 6, 4, rgb(110, 112, 114));
}

}  // namespace

Canvas paintScene() {
    Canvas scene = makeCanvas(sceneWidth, sheetHeight, 0);
    paintSky(scene);
    paintSkyline(scene);
    paintTreeLine(scene);
    paintLawn(scene);
    paintPath(scene, 290, 96, 250, 60, 180, 40, 5);
    paintPath(scene, 352, 168, 400, 206, 470, 246, 6);
    paintPath(scene, 70, 40, 96, 84, 40, 118, 5);
    paintPath(scene, 586, 148, 620, 190, 590, 246, 5);
    // The gravel walk and the wall come after the paths, so that the paths end cleanly
    // under them.
    paintGroundStrip(scene);
    paintParkWall(scene);
    paintPromenade(scene);
    paintPlaza(scene);
    paintFlowerBed(scene, 112, 80, 34, 12, 1);
    paintFlowerBed(scene, 520, 82, 30, 11, 2);
    paintFlowerBed(scene, 160, 192, 42, 14, 3);
    paintFlowerBed(scene, 540, 200, 34, 13, 4);
    paintFlowerBed(scene, 250, 214, 12, 8, 5);
    for (int x = 40; x < sceneWidth; x += 80) {
        if (std::abs(x - plazaX) < 80) continue;
        paintLampBase(scene, x, promenadeTop - 4);
        paintLampBase(scene, x, promenadeBottom + 4);
    }
    return scene;
}
