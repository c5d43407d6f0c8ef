// Writes a canvas as the game reads bitmaps: 24-bit, uncompressed, rows bottom-up.
#pragma once

#include <string>

#include "canvas.h"

// False when the file cannot be written completely; error then says why.
bool writeBitmap(const std::string& path, const Canvas& canvas, std::string& error);
