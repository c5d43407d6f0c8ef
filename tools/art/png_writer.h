// Writes a canvas as a PNG file with nothing but the standard library: 8-bit RGB, rows
// filtered so that flat and repeated areas become zeros, the image data deflated with
// the fixed Huffman code and runs of repeated bytes (enough to keep the contact sheet
// small, far simpler than a general compressor).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

// False when the file cannot be written completely; error then says why.
bool writePng(const std::string& path, const Canvas& canvas, std::string& error);

// The zlib stream of already filtered PNG rows, deflated that way (the RGBA writer's too).
std::vector<uint8_t> deflatePngRows(const std::vector<uint8_t>& rows);
