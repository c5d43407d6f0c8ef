#include "rgba_png_writer.h"

#include <array>
#include <cstdio>

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

uint32_t adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
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

// The zlib stream of the raw scanlines, in stored blocks of at most 65535 bytes.
std::string storedZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    size_t at = 0;
    do {
        size_t length = std::min<size_t>(65535, raw.size() - at);
        bool last = at + length == raw.size();
        out.push_back(char(last ? 1 : 0));
        out.push_back(char(length & 0xFF));
        out.push_back(char(length >> 8));
        out.push_back(char(~length & 0xFF));
        out.push_back(char((~length >> 8) & 0xFF));
        out.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    putBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

bool writeRgbaPng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    std::string raw;
    raw.reserve(size_t(picture.height) * (1 + size_t(picture.width) * 4));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < picture.width; ++x) {
            uint32_t p = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
            for (int shift : {16, 8, 0, 24}) raw.push_back(char((p >> shift) & 0xFF));  // R, G, B, A
        }
    }
    std::string header;
    putBigEndian(header, uint32_t(picture.width));
    putBigEndian(header, uint32_t(picture.height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter set, no interlace
    std::string file = "\x89PNG\r\n\x1a\n";
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", storedZlib(raw));
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
