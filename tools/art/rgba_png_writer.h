// Writes RGBA pictures as PNG files with nothing but the standard library: rows filtered
// and deflated as png_writer does, and no time or text chunks, so the same picture always
// gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels 0xAARRGGBB, top row first.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// False when the file cannot be written completely; error then says why.
bool writeRgbaPng(const std::string& path, const RgbaPicture& picture, std::string& error);
