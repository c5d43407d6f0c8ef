// A plain picture in memory and the few drawing steps the artwork needs. Everything is
// whole-number arithmetic and an own small random generator, so the generator writes
// the same bytes on every machine and every run.
#pragma once

#include <cstdint>
#include <vector>

// Pixels are 0x00RRGGBB, top row first, like the game's pages.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Transparent areas of every sheet: the game skips this colour when it draws.
constexpr uint32_t keyColour = 0xFF00FF;

Canvas makeCanvas(int width, int height, uint32_t fill);
bool insideCanvas(const Canvas& canvas, int x, int y);
// Off-canvas writes are ignored and off-canvas reads give the key colour, so shapes
// may overhang the edge without any caller checking.
void setPixel(Canvas& canvas, int x, int y, uint32_t colour);
uint32_t pixelAt(const Canvas& canvas, int x, int y);
void fillRect(Canvas& canvas, int x, int y, int width, int height, uint32_t colour);
// Filled ellipse centred at (cx, cy) with half-axes rx, ry, all in quarter pixels so a
// shape can be centred between two pixels.
void fillEllipseQuarter(Canvas& canvas, int cx4, int cy4, int rx4, int ry4, uint32_t colour);
// Copies a rectangle of one canvas into another at (toX, toY).
void copyRect(const Canvas& from, int x, int y, int width, int height, Canvas& to, int toX, int toY);

// Colour arithmetic on 0x00RRGGBB.
uint32_t rgb(int red, int green, int blue);
// a + (b - a) * weight / 256 per channel; weight 0 gives a, 256 gives b.
uint32_t mixColour(uint32_t a, uint32_t b, int weight);
// Adds delta to each channel, clamped to 0..255.
uint32_t shadeColour(uint32_t colour, int delta);

// xorshift32: tiny, fast and the same everywhere.
struct ArtRandom {
    uint32_t state;
};
ArtRandom seedArtRandom(uint32_t seed);
uint32_t nextRandom(ArtRandom& random);
// A whole number from 0 to n - 1 (n > 0).
int randomBelowArt(ArtRandom& random, int n);
// A whole number from -spread to +spread.
int randomSpread(ArtRandom& random, int spread);

// Smooth value noise from 0 to 255 over a lattice of cell pixels (x, y >= 0): soft
// patches of light and shade for grass and gravel.
int valueNoise(uint32_t seed, int x, int y, int cell);
