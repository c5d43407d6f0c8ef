// Where the page sits in a display and how pointer positions map between the two. No
// platform calls: the SDL display feeds it sizes, the tests feed it numbers.
#pragma once

#include <string>

struct DisplayLayout {
    int windowWidth = 1, windowHeight = 1;  // window system units (points)
    int outputWidth = 1, outputHeight = 1;  // real pixels; more than points on HiDPI screens
    int scale = 1;                          // whole factor from page pixels to output pixels
    int left = 0, top = 0;                  // black border before the picture, output pixels
};

// The page scaled by the largest whole factor that fits the output, centred.
DisplayLayout layoutFor(int windowWidth, int windowHeight, int outputWidth, int outputHeight, int pageWidth,
                        int pageHeight);
// The page pixel under window point (x, y), held to the off-page pointer rule
// (gfx/display.h's pointerToPage).
bool pagePointFromWindow(const DisplayLayout& layout, int pageWidth, int pageHeight, bool fullScreen, int x, int y,
                         int& pageX, int& pageY);
// The window point at the centre of page pixel (x, y).
void windowPointFromPage(const DisplayLayout& layout, int pageX, int pageY, int& x, int& y);
// The whole factor for a window that fits the desktop with room to spare, at least 1.
int windowScaleFor(int desktopWidth, int desktopHeight, int pageWidth, int pageHeight);
// The executable's file name without its directory and without the part from the last dot.
std::string titleFromPath(const std::string& path);

// The stall watch. Only the game's thread reads Escape, so a game that stops showing
// pages (a slow disk, a swapping machine, a bug) would hold the desktop hostage in a
// full-screen window with the pointer confined. After stallSeconds without a new page
// the display leaves full screen and frees the pointer; the game itself goes on. When
// pages come again and the player is still in the game's window (it has the focus), the
// display goes back to full screen, the form the player had; a player who has gone to
// another window keeps the desktop, and Alt+Enter brings full screen back.
constexpr double stallSeconds = 2.0;

struct StallWatch {
    long pagesSeen = 0;
    double lastPageAt = 0;      // seconds, any clock
    bool leftForStall = false;  // full screen was left for the stall now going on
};

enum class StallStep { none, leaveFullScreen, returnToFullScreen };

// One look per refresh pass: pagesShown counts the pages the game has shown so far.
StallStep watchForStall(StallWatch& watch, long pagesShown, double now, bool fullScreen, bool active);
