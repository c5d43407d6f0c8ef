// Writes pictures as PNG files with nothing but the standard library: 8-bit RGB or RGBA,
// rows filtered so that flat and repeated areas become zeros, the image data deflated with
// the fixed Huffman code and runs of repeated bytes (enough to keep the contact sheet and
// the icons small, far simpler than a general compressor), and no time or text chunks, so
// the same picture always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

// Pixels 0xAARRGGBB, top row first: the icons, where the key colour is transparent.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// False when the file cannot be written completely; error then says why. A canvas is
// written as RGB, a picture as RGBA.
bool writePng(const std::string& path, const Canvas& canvas, std::string& error);
bool writeRgbaPng(const std::string& path, const RgbaPicture& picture, std::string& error);
