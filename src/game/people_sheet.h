// The layout of a people sheet: the rectangle of each of its 53 frames. Start-up cuts the
// people images from these rectangles and the art tool paints its figures into them, so
// both read this one table. Only constants: the art tool includes it without the game.
#pragma once

constexpr int peopleSheetFrameCount = 53;
// A figure frame holds a whole person; a chip frame a small piece or a drop of blood.
constexpr int figureWidth = 16, figureHeight = 13, chipSize = 4;

// Frames 13 to 24 and 38 to 41 are chips, every other frame a figure.
constexpr bool isChipFrame(int f) { return (f >= 13 && f <= 24) || (f >= 38 && f <= 41); }

struct SheetRect {
    int left, top, width, height;
};

// Where frame f (1 to 53) lies on the sheet. Frames 25 to 27 are not in left-to-right
// order, 38 to 41 start at x = 20, and 52 skips a place.
constexpr SheetRect peopleFrameRect(int f) {
    const auto at = [f](int left, int top) {
        return isChipFrame(f) ? SheetRect{left, top, chipSize, chipSize}
                              : SheetRect{left, top, figureWidth, figureHeight};
    };
    if (f <= 12) return at(20 * f - 20, 0);
    if (f <= 24) return at(20 * (f - 13), 25);
    if (f == 25) return at(20, 48);
    if (f == 26) return at(40, 48);
    if (f == 27) return at(0, 48);
    if (f <= 37) return at(20 * (f - 25), 48);
    if (f <= 41) return at(20 * (f - 37), 73);
    if (f <= 48) return at(100 + 20 * (f - 42), 72);
    if (f == 49) return at(0, 96);
    if (f == 50) return at(20, 96);
    if (f == 51) return at(40, 96);
    if (f == 52) return at(80, 96);
    return at(100, 96);
}
