#include "bmp_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void putLittle(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// 14-byte file header and 40-byte information header; no colour table.
std::vector<uint8_t> bitmapHeader(int width, int height, uint32_t rowBytes) {
    std::vector<uint8_t> header;
    uint32_t pixelBytes = rowBytes * uint32_t(height);
    header.push_back('B');
    header.push_back('M');
    putLittle(header, 54 + pixelBytes, 4);  // file size
    putLittle(header, 0, 4);                // reserved
    putLittle(header, 54, 4);               // pixel data offset
    putLittle(header, 40, 4);               // information header size
    putLittle(header, uint32_t(width), 4);
    putLittle(header, uint32_t(height), 4);  // positive: rows stored bottom-up
    putLittle(header, 1, 2);                 // planes
    putLittle(header, 24, 2);                // bits per pixel
    putLittle(header, 0, 4);                 // no compression
    putLittle(header, pixelBytes, 4);
    putLittle(header, 2835, 4);  // 72 dots per inch, both ways
    putLittle(header, 2835, 4);
    putLittle(header, 0, 4);  // colours used
    putLittle(header, 0, 4);  // important colours
    return header;
}

}  // namespace

bool writeBitmap(const std::string& path, const Canvas& canvas, std::string& error) {
    uint32_t rowBytes = (uint32_t(canvas.width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes = bitmapHeader(canvas.width, canvas.height, rowBytes);
    for (int y = canvas.height - 1; y >= 0; --y) {
        size_t rowStart = bytes.size();
        for (int x = 0; x < canvas.width; ++x) {
            uint32_t pixel = pixelAt(canvas, x, y);
            bytes.push_back(uint8_t(pixel));
            bytes.push_back(uint8_t(pixel >> 8));
            bytes.push_back(uint8_t(pixel >> 16));
        }
        bytes.resize(rowStart + rowBytes, 0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = path + ": could not write the whole file";
        return false;
    }
    return true;
}
