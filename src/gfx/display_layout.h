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
// The page pixel under window point (x, y). Full screen clamps to the page; a window
// answers false for a point off the picture.
bool pagePointFromWindow(const DisplayLayout& layout, int pageWidth, int pageHeight, bool fullScreen, int x, int y,
                         int& pageX, int& pageY);
// The window point at the centre of page pixel (x, y).
void windowPointFromPage(const DisplayLayout& layout, int pageX, int pageY, int& x, int& y);
// The whole factor for a window that fits the desktop with room to spare, at least 1.
int windowScaleFor(int desktopWidth, int desktopHeight, int pageWidth, int pageHeight);
// The executable's file name without its directory and without the part from the last dot.
std::string titleFromPath(const std::string& path);
