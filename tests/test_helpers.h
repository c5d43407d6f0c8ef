// Reading the page a frame has drawn; the page itself is the scenario runner's
// lastDrawnPage, which this binary links.
#pragma once

#include <cstdint>

#include "scenario_runner.h"

inline uint32_t pixelAt(const uint32_t* page, int x, int y) { return page[y * 320 + x]; }
