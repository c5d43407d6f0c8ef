// Shared by the artwork tests: a bitmap reader of their own (independent of both the
// generator and the graphics layer), the rectangles the game cuts from each file, and
// a few pixel questions.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/game_files.h"

namespace art_test {

// Every picture the game loads (game/game_files.h), so that the art tool is held to write
// each of them.
inline std::vector<const char*> artFiles() {
    std::vector<const char*> names(std::begin(backgroundPictures), std::end(backgroundPictures));
    names.push_back(spritesPicture);
    names.insert(names.end(), std::begin(peopleSheetPictures), std::end(peopleSheetPictures));
    return names;
}

inline std::string runPath(const std::string& name) { return std::string(CROWDFIRE_RUN_DIR) + "/" + name; }

inline std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t little(const std::vector<uint8_t>& b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b.at(at + size_t(i));
    return v;
}

struct Bitmap {
    std::string problem;  // empty when the file is what the game reads
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads a 24-bit uncompressed bottom-up BMP, saying what is wrong with anything else.
inline Bitmap readBitmap(const std::string& path) {
    Bitmap bmp;
    std::vector<uint8_t> b = fileBytes(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return bmp.problem = path + ": not a BMP file", bmp;
    int32_t width = int32_t(little(b, 18, 4)), height = int32_t(little(b, 22, 4));
    uint32_t offset = little(b, 10, 4), rowBytes = (uint32_t(width) * 3 + 3) / 4 * 4;
    if (little(b, 14, 4) != 40) bmp.problem = "information header is not 40 bytes";
    else if (little(b, 28, 2) != 24 || little(b, 30, 4) != 0) bmp.problem = "not 24-bit uncompressed";
    else if (width <= 0 || height <= 0) bmp.problem = "rows are not stored bottom-up";
    else if (little(b, 26, 2) != 1) bmp.problem = "planes is not 1";
    else if (little(b, 2, 4) != b.size()) bmp.problem = "file size field disagrees with the file";
    else if (size_t(offset) + size_t(rowBytes) * size_t(height) != b.size()) bmp.problem = "pixel data size is wrong";
    if (!bmp.problem.empty()) return bmp.problem = path + ": " + bmp.problem, bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        size_t row = offset + size_t(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x)
            bmp.pixels[size_t(y) * size_t(width) + size_t(x)] = little(b, row + 3 * size_t(x), 3);
        for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad)
            if (b[row + pad] != 0) bmp.problem = path + ": row padding is not zero";
    }
    return bmp;
}

struct Rect {
    int x1, y1, x2, y2;  // corners included, as the game cuts
    int width() const { return x2 - x1 + 1; }
    int height() const { return y2 - y1 + 1; }
};

// The sprite sheet's cuts: slot and rectangle.
struct SpriteCut {
    int slot;
    Rect rect;
};
inline const SpriteCut spriteCuts[] = {
    {1, {0, 0, 16, 17}},    {2, {29, 0, 45, 17}},   {3, {116, 0, 140, 25}}, {4, {145, 0, 169, 25}},
    {5, {174, 0, 198, 25}}, {6, {203, 0, 227, 25}}, {7, {232, 0, 256, 25}}, {8, {261, 0, 285, 25}},
    {9, {60, 7, 68, 17}},   {11, {5, 40, 21, 47}},  {12, {30, 43, 36, 46}}, {13, {39, 43, 46, 45}},
};

// Frame f (1 to 53) of a people sheet.
inline Rect peopleFrame(int f) {
    auto body = [](int x, int y) { return Rect{x, y, x + 15, y + 12}; };
    auto chip = [](int x, int y) { return Rect{x, y, x + 3, y + 3}; };
    if (f <= 12) return body(20 * f - 20, 0);
    if (f <= 24) return chip(20 * (f - 13), 25);
    if (f == 25) return body(20, 48);
    if (f == 26) return body(40, 48);
    if (f == 27) return body(0, 48);
    if (f <= 37) return body(20 * (f - 25), 48);
    if (f <= 41) return chip(20 * (f - 37), 73);
    if (f <= 48) return body(100 + 20 * (f - 42), 72);
    const int lastRow[] = {0, 20, 40, -1, 80, 100};  // frames 49 to 53; 52 skips a place
    return body(lastRow[f - 49 + (f >= 52 ? 1 : 0)], 96);
}

constexpr uint32_t key = 0xFF00FF;
inline int red(uint32_t p) { return int(p >> 16 & 0xFF); }
inline int green(uint32_t p) { return int(p >> 8 & 0xFF); }
inline int blue(uint32_t p) { return int(p & 0xFF); }
inline int brightness(uint32_t p) { return (red(p) * 3 + green(p) * 6 + blue(p)) / 10; }
// Blood: clearly red, not skin or orange.
inline bool bloodRed(uint32_t p) { return red(p) > 80 && red(p) > 2 * green(p) + 20 && red(p) > 2 * blue(p) + 20; }

// Counts the picture's pixels (not key colour) of a rectangle, optionally within
// columns and rows relative to its corner.
inline int opaqueCount(const Bitmap& bmp, const Rect& r, int col0 = 0, int col1 = 99, int row0 = 0, int row1 = 99) {
    int n = 0;
    for (int y = r.y1; y <= r.y2; ++y)
        for (int x = r.x1; x <= r.x2; ++x) {
            int col = x - r.x1, row = y - r.y1;
            if (col >= col0 && col <= col1 && row >= row0 && row <= row1 && bmp.at(x, y) != key) ++n;
        }
    return n;
}

}  // namespace art_test
