#include "rgba_png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

#include "png_writer.h"

namespace {

std::array<uint32_t, 256> crcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

uint32_t crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = crcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void putBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char((value >> shift) & 0xFF));
}

void putChunk(std::string& out, const char* type, const std::string& data) {
    putBigEndian(out, uint32_t(data.size()));
    std::string typed = std::string(type) + data;
    out += typed;
    putBigEndian(out, crc32(typed));
}

// Each row filtered "up" (minus the row above) where it repeats the row above, as the
// enlarged icons do, else "sub" (minus the same channel one pixel to the left): flat and
// repeated areas become runs of zeros for the run-length deflate of png_writer.
std::vector<uint8_t> filteredRows(const RgbaPicture& picture) {
    std::vector<uint8_t> rows;
    rows.reserve(size_t(picture.height) * (1 + size_t(picture.width) * 4));
    const auto rowStart = [&](int y) { return picture.pixels.begin() + std::ptrdiff_t(y) * picture.width; };
    for (int y = 0; y < picture.height; ++y) {
        const bool repeats = y > 0 && std::equal(rowStart(y), rowStart(y) + picture.width, rowStart(y - 1));
        rows.push_back(repeats ? 2 : 1);
        uint32_t left = 0;
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            for (int shift : {16, 8, 0, 24})  // R, G, B, A
                rows.push_back(repeats ? 0 : uint8_t((p >> shift) - (left >> shift)));
            left = p;
        }
    }
    return rows;
}

}  // namespace

bool writeRgbaPng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    std::string header;
    putBigEndian(header, uint32_t(picture.width));
    putBigEndian(header, uint32_t(picture.height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    std::string file = "\x89PNG\r\n\x1a\n";
    putChunk(file, "IHDR", header);
    const std::vector<uint8_t> deflated = deflatePngRows(filteredRows(picture));
    putChunk(file, "IDAT", std::string(deflated.begin(), deflated.end()));
    putChunk(file, "IEND", "");

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        error = "cannot create " + path;
        return false;
    }
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    written = std::fclose(out) == 0 && written;
    if (!written) error = "cannot write " + path;
    return written;
}
