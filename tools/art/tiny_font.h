// A 3 x 5 pixel capital font of our own for the labels of the contact sheet.
#pragma once

#include <string>

#include "canvas.h"

// Draws text with its top-left corner at (x, y), each font pixel a scale x scale square,
// 4 font pixels from one letter to the next. Lower case is drawn as capitals; a
// character the font lacks leaves a gap.
void drawText(Canvas& canvas, int x, int y, const std::string& text, int scale, uint32_t colour);

// How wide drawText makes text, in canvas pixels.
int textWidth(const std::string& text, int scale);
