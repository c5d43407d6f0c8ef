#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const Bytes& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void putBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

// Deflate's bit order: fields from the lowest bit up, Huffman codes from their top bit.
struct BitWriter {
    Bytes& out;
    uint32_t buffer = 0;
    int count = 0;
    void put(uint32_t bits, int n) {
        buffer |= bits << count;
        count += n;
        while (count >= 8) {
            out.push_back(uint8_t(buffer));
            buffer >>= 8;
            count -= 8;
        }
    }
    void putCode(uint32_t code, int n) {
        uint32_t reversed = 0;
        for (int i = 0; i < n; ++i) reversed |= ((code >> i) & 1) << (n - 1 - i);
        put(reversed, n);
    }
    void flush() {
        if (count > 0) out.push_back(uint8_t(buffer));
        buffer = 0;
        count = 0;
    }
};

// The fixed literal/length code of deflate (RFC 1951, 3.2.6).
void putSymbol(BitWriter& bits, int symbol) {
    if (symbol < 144) bits.putCode(uint32_t(0x30 + symbol), 8);
    else if (symbol < 256) bits.putCode(uint32_t(0x190 + symbol - 144), 9);
    else if (symbol < 280) bits.putCode(uint32_t(symbol - 256), 7);
    else bits.putCode(uint32_t(0xC0 + symbol - 280), 8);
}

// A copy of the byte just before, length 3 to 258: distance 1 is distance code 0.
void putRepeat(BitWriter& bits, int length) {
    static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int code = 28;
    while (base[code] > length) --code;
    putSymbol(bits, 257 + code);
    bits.put(uint32_t(length - base[code]), extra[code]);
    bits.putCode(0, 5);
}

// The zlib stream of filtered rows: one block of deflate's fixed code, each byte a
// literal or part of a run repeating the byte before it.
Bytes deflateRows(const Bytes& data) {
    Bytes out = {0x78, 0x01};
    BitWriter bits{out};
    bits.put(1, 1);  // the last block
    bits.put(1, 2);  // fixed Huffman codes
    for (size_t i = 0; i < data.size();) {
        size_t run = 0;
        if (i > 0)
            while (run < 258 && i + run < data.size() && data[i + run] == data[i - 1]) ++run;
        if (run >= 3) {
            putRepeat(bits, int(run));
            i += run;
        } else {
            putSymbol(bits, data[i]);
            ++i;
        }
    }
    putSymbol(bits, 256);
    bits.flush();
    putBigEndian(out, adler32(data));
    return out;
}

// Filter "up" (each byte minus the one above) for a row that repeats the row above, as
// the enlarged pictures and icons do, else "sub" (minus the same channel one pixel to the
// left): either way flat and repeated areas become runs of zeros. The channels are taken
// from each 0xAARRGGBB pixel in the file's order, R, G, B and, with alpha, A.
Bytes filteredRows(const std::vector<uint32_t>& pixels, int width, int height, bool alpha) {
    constexpr int channelShifts[4] = {16, 8, 0, 24};
    const int channels = alpha ? 4 : 3;
    Bytes rows;
    rows.reserve(size_t(height) * (1 + size_t(channels) * size_t(width)));
    auto rowStart = [&](int y) { return pixels.begin() + std::ptrdiff_t(y) * width; };
    for (int y = 0; y < height; ++y) {
        const bool repeats = y > 0 && std::equal(rowStart(y), rowStart(y) + width, rowStart(y - 1));
        rows.push_back(repeats ? 2 : 1);
        uint32_t left = 0;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[size_t(y) * size_t(width) + size_t(x)];
            for (int c = 0; c < channels; ++c) {
                const int shift = channelShifts[c];
                rows.push_back(repeats ? 0 : uint8_t((pixel >> shift) - (left >> shift)));
            }
            left = pixel;
        }
    }
    return rows;
}

void putChunk(Bytes& file, const char* type, const Bytes& data) {
    putBigEndian(file, uint32_t(data.size()));
    size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    putBigEndian(file, crc32(file.data() + start, file.size() - start));
}

bool writePngFile(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height, bool alpha,
                  std::string& error) {
    Bytes header;
    putBigEndian(header, uint32_t(width));
    putBigEndian(header, uint32_t(height));
    const uint8_t colourType = alpha ? 6 : 2;               // RGBA or RGB
    header.insert(header.end(), {8, colourType, 0, 0, 0});  // 8 bits, deflate, adaptive filters, no interlace
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", deflateRows(filteredRows(pixels, width, height, alpha)));
    putChunk(file, "IEND", {});
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return error = "cannot open " + path + " for writing", false;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    written = std::fclose(out) == 0 && written;
    if (!written) error = "cannot write all of " + path;
    return written;
}

}  // namespace

bool writePng(const std::string& path, const Canvas& canvas, std::string& error) {
    return writePngFile(path, canvas.pixels, canvas.width, canvas.height, false, error);
}

bool writeRgbaPng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    return writePngFile(path, picture.pixels, picture.width, picture.height, true, error);
}
