#include "canvas.h"

#include <algorithm>

Canvas makeCanvas(int width, int height, uint32_t fill) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(size_t(width) * size_t(height), fill);
    return canvas;
}

bool insideCanvas(const Canvas& canvas, int x, int y) {
    return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height;
}

void setPixel(Canvas& canvas, int x, int y, uint32_t colour) {
    if (insideCanvas(canvas, x, y)) canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)] = colour;
}

uint32_t pixelAt(const Canvas& canvas, int x, int y) {
    if (!insideCanvas(canvas, x, y)) return keyColour;
    return canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)];
}

void fillRect(Canvas& canvas, int x, int y, int width, int height, uint32_t colour) {
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) setPixel(canvas, column, row, colour);
}

void fillEllipseQuarter(Canvas& canvas, int cx4, int cy4, int rx4, int ry4, uint32_t colour) {
    if (rx4 <= 0 || ry4 <= 0) return;
    int left = (cx4 - rx4) / 4 - 1, right = (cx4 + rx4) / 4 + 1;
    int top = (cy4 - ry4) / 4 - 1, bottom = (cy4 + ry4) / 4 + 1;
    int64_t rx2 = int64_t(rx4) * rx4, ry2 = int64_t(ry4) * ry4;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            // Pixel centres are at quarter coordinates 4x + 2.
            int64_t dx = 4 * x + 2 - cx4, dy = 4 * y + 2 - cy4;
            if (dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2) setPixel(canvas, x, y, colour);
        }
    }
}

void copyRect(const Canvas& from, int x, int y, int width, int height, Canvas& to, int toX, int toY) {
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            setPixel(to, toX + column, toY + row, pixelAt(from, x + column, y + row));
}

uint32_t rgb(int red, int green, int blue) {
    auto clamp = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
    return clamp(red) << 16 | clamp(green) << 8 | clamp(blue);
}

static int channel(uint32_t colour, int shift) { return int(colour >> shift & 0xFF); }

uint32_t mixColour(uint32_t a, uint32_t b, int weight) {
    auto mix = [&](int shift) {
        int ca = channel(a, shift), cb = channel(b, shift);
        return ca + (cb - ca) * weight / 256;
    };
    return rgb(mix(16), mix(8), mix(0));
}

uint32_t shadeColour(uint32_t colour, int delta) {
    return rgb(channel(colour, 16) + delta, channel(colour, 8) + delta, channel(colour, 0) + delta);
}

ArtRandom seedArtRandom(uint32_t seed) { return ArtRandom{seed == 0 ? 0x9E3779B9u : seed}; }

uint32_t nextRandom(ArtRandom& random) {
    uint32_t s = random.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    random.state = s;
    return s;
}

int randomBelowArt(ArtRandom& random, int n) { return int(nextRandom(random) % uint32_t(n)); }

int randomSpread(ArtRandom& random, int spread) { return randomBelowArt(random, 2 * spread + 1) - spread; }

// A fixed hash of a lattice point: the noise is a pure function of its arguments.
static int latticeValue(uint32_t seed, int x, int y) {
    uint32_t h = seed ^ (uint32_t(x) * 0x27D4EB2Du) ^ (uint32_t(y) * 0x165667B1u);
    h ^= h >> 15;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return int(h & 0xFF);
}

// Smoothstep weight on 0..cell, scaled to 0..256.
static int smoothWeight(int t, int cell) {
    int64_t u = int64_t(t) * 256 / cell;
    return int(u * u * (3 * 256 - 2 * u) / (256 * 256));
}

int valueNoise(uint32_t seed, int x, int y, int cell) {
    int gx = x / cell, gy = y / cell;
    int wx = smoothWeight(x % cell, cell), wy = smoothWeight(y % cell, cell);
    int top = latticeValue(seed, gx, gy) * (256 - wx) + latticeValue(seed, gx + 1, gy) * wx;
    int bottom = latticeValue(seed, gx, gy + 1) * (256 - wx) + latticeValue(seed, gx + 1, gy + 1) * wx;
    return (top / 256 * (256 - wy) + bottom / 256 * wy) / 256;
}
