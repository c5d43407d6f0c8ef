// Where the page sits in the window: the whole factor it is scaled by, its black borders,
// and the page pixel under a window point.
#include "sdl/display_layout.h"

#include <algorithm>
#include <cmath>

#include "gfx/display.h"

DisplayLayout layoutFor(int windowWidth, int windowHeight, int outputWidth, int outputHeight, int pageWidth,
                        int pageHeight) {
    DisplayLayout layout;
    layout.windowWidth = std::max(1, windowWidth);
    layout.windowHeight = std::max(1, windowHeight);
    layout.outputWidth = std::max(1, outputWidth);
    layout.outputHeight = std::max(1, outputHeight);
    // An output smaller than the page still shows it at 1:1, cut at the edges.
    layout.scale = std::max(1, std::min(layout.outputWidth / pageWidth, layout.outputHeight / pageHeight));
    layout.left = (layout.outputWidth - pageWidth * layout.scale) / 2;
    layout.top = (layout.outputHeight - pageHeight * layout.scale) / 2;
    return layout;
}

static int pageCoordinate(int point, int pointsAcross, int pixelsAcross, int border, int scale) {
    double pixel = std::floor(double(point) * pixelsAcross / pointsAcross);
    return int(std::floor((pixel - border) / scale));
}

bool pagePointFromWindow(const DisplayLayout& layout, int pageWidth, int pageHeight, bool fullScreen, int x, int y,
                         int& pageX, int& pageY) {
    int px = pageCoordinate(x, layout.windowWidth, layout.outputWidth, layout.left, layout.scale);
    int py = pageCoordinate(y, layout.windowHeight, layout.outputHeight, layout.top, layout.scale);
    if (!pointerToPage(px, py, pageWidth, pageHeight, fullScreen)) return false;
    pageX = px;
    pageY = py;
    return true;
}

void windowPointFromPage(const DisplayLayout& layout, int pageX, int pageY, int& x, int& y) {
    double outputX = layout.left + (pageX + 0.5) * layout.scale;
    double outputY = layout.top + (pageY + 0.5) * layout.scale;
    x = int(std::floor(outputX * layout.windowWidth / layout.outputWidth));
    y = int(std::floor(outputY * layout.windowHeight / layout.outputHeight));
}

int windowScaleFor(int desktopWidth, int desktopHeight, int pageWidth, int pageHeight) {
    // Nine tenths leaves room for the title bar and panels.
    int across = desktopWidth * 9 / 10 / pageWidth;
    int down = desktopHeight * 9 / 10 / pageHeight;
    return std::max(1, std::min(across, down));
}

std::string titleFromPath(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    size_t dot = name.find_last_of('.');
    // A leading dot is the whole name, not an extension.
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

StallStep watchForStall(StallWatch& watch, long pagesShown, double now, bool fullScreen, bool active) {
    if (pagesShown != watch.pagesSeen) {
        watch.pagesSeen = pagesShown;
        watch.lastPageAt = now;
        bool back = watch.leftForStall && !fullScreen && active;
        watch.leftForStall = false;
        return back ? StallStep::returnToFullScreen : StallStep::none;
    }
    // Once per stall: a player who goes full screen again during it is not overruled.
    if (!fullScreen || watch.leftForStall || now - watch.lastPageAt < stallSeconds) return StallStep::none;
    watch.leftForStall = true;
    return StallStep::leaveFullScreen;
}
