// Opt-in measurements of the SDL display, for scripts/measure-display.sh. Set
// CROWDFIRE_DISPLAY_STATS to a file name and the refresh thread times each present and
// notes when the first picture with anything on it reached the screen; the file is
// rewritten every few seconds by the writing thread (write_aside.h). Unset (as players
// run the game), every call is one test of a flag.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the environment once, when the display opens.
void displayStatsOpen();
// Which way the pictures are shown ("renderer" or "surface"), for the file.
void displayStatsPath(const char* path);
void displayStatsPresentStarts();
// page, pixels: what the present showed; the first one not all black is the first picture.
void displayStatsPresentEnds(const uint32_t* page, size_t pixels);
// Has the file written once more, as the display closes: it is there once
// finishWritingAside() has returned.
void displayStatsClose();
bool displayStatsWanted();
