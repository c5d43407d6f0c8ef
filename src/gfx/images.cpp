// Cutting images from the work page and drawing them back onto it.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gfx/pixel_spans.h"
#include "gfx/screen.h"
#include "gfx/screen_state.h"

namespace {

enum class PixelRule { skip, copy, transparent, blend };

// The part of an image that lands on the view, as rows of the work page: false when
// nothing does. `firstPageRow` is the page row the first of them goes to.
bool clipToView(int x, int y, const uint32_t* image, int width, int height, PixelBlock& block, int& firstPageRow) {
    const int left = screen.viewX, top = screen.viewY;
    const int right = left + screen.viewWidth, bottom = top + screen.viewHeight;
    if (x + width <= left || x >= right || y + height <= top || y >= bottom) return false;
    const int pageX = std::max(x, left), pageY = std::max(y, top);
    block.page = screen.rowTable[pageY] + pageX;
    block.image = image + 1 + size_t(pageY - y) * size_t(width) + size_t(pageX - x);
    block.pageStride = screen.pitch / 4;  // the work page's rows lie one pitch apart
    block.imageStride = width;
    block.count = std::min(x + width, right) - pageX;
    block.rows = std::min(y + height, bottom) - pageY;
    firstPageRow = pageY;
    return true;
}

// Modes 2 to 5 and 7, and blending with a negative opacity, are not built: the game never
// asks for them, so they are refused rather than guessed at.
bool chooseRule(int mode, int opacity, PixelRule& rule, int& weight) {
    if (mode == transparent) rule = PixelRule::transparent;
    else if (mode == opaque || mode > 7) rule = PixelRule::copy;
    else if (mode != blend || opacity < 0) return false;
    else if (opacity == 0) rule = PixelRule::skip;
    else if ((opacity & 0xFF) == 0xFF) rule = PixelRule::transparent;
    else {
        // Only the low byte counts, so every colour byte stays within 0 to 255.
        rule = PixelRule::blend;
        weight = (opacity & 0xFF) + 1;
    }
    return true;
}

// The whole rectangle goes to the pixel rules in one call, so the rule and the drawing
// form are chosen once per image, not per row.
void drawBlock(const PixelBlock& block, PixelRule rule, int weight) {
    if (rule == PixelRule::transparent) transparentBlock(block);
    else if (rule == PixelRule::copy) copyBlock(block);
    else blendBlock(block, weight);
}

// Kept out of putImage, so that the usual case carries no lock on its way.
[[gnu::noinline]] void drawOnShownPage(const PixelBlock& block, PixelRule rule, int weight, int firstPageRow) {
    ScreenLockScope lock;
    drawBlock(block, rule, weight);
    std::memset(screen.dirty.get() + firstPageRow, 1, size_t(block.rows));
}

bool holdsWords(const uint32_t* destination, const uint32_t* destinationEnd, int64_t words) {
    auto start = reinterpret_cast<uintptr_t>(destination);
    auto end = reinterpret_cast<uintptr_t>(destinationEnd);
    return end >= start && int64_t((end - start) / sizeof(uint32_t)) >= words;
}

}  // namespace

static DrawObserver drawObserver = nullptr;

void observeDraws(DrawObserver observer) { drawObserver = observer; }

int putImage(float x, float y, const uint32_t* image, int mode, int opacity) {
    if (drawObserver) drawObserver(x, y, image, mode, opacity);
    if (!screen.open || screen.bytesPerPixel != 4 || image == nullptr) return resultInvalid;
    int px = 0, py = 0;
    if (!roundToPixel(x, px) || !roundToPixel(y, py)) return resultInvalid;
    px += screen.viewX;
    py += screen.viewY;
    uint32_t header = image[0];
    int bytesPerPixel = int(header & 7), width = int((header & 0xFFFF) >> 3), height = int(header >> 16);
    if (bytesPerPixel != 0 && bytesPerPixel != 4) return resultInvalid;
    PixelBlock block{};
    int firstPageRow = 0;
    if (width == 0 || height == 0 || !clipToView(px, py, image, width, height, block, firstPageRow)) return resultOk;
    PixelRule rule = PixelRule::skip;
    int weight = 0;
    if (!chooseRule(mode, opacity, rule, weight)) return resultInvalid;
    if (rule == PixelRule::skip) return resultOk;
    // The refresh thread reads only the visible page, and setPages takes the lock before it
    // shows another, so drawing on a page not shown needs no lock: the game's usual case.
    if (screen.workPage != screen.visiblePage) drawBlock(block, rule, weight);
    else drawOnShownPage(block, rule, weight, firstPageRow);
    return resultOk;
}

int grabImage(float x1, float y1, float x2, float y2, uint32_t* destination, const uint32_t* destinationEnd) {
    if (!screen.open || screen.bytesPerPixel != 4 || destination == nullptr) return resultInvalid;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!roundToPixel(x1, left) || !roundToPixel(y1, top) || !roundToPixel(x2, right) || !roundToPixel(y2, bottom))
        return resultInvalid;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    left += screen.viewX, right += screen.viewX, top += screen.viewY, bottom += screen.viewY;
    if (left < 0 || top < 0 || right > screen.width - 1 || bottom > screen.height - 1) return resultInvalid;
    int width = right - left + 1, height = bottom - top + 1;
    // The header has 13 bits for the width and 16 for the height.
    if (width > 8191 || height > 0xFFFF) return resultInvalid;
    if (!holdsWords(destination, destinationEnd, 1 + int64_t(width) * height)) return resultInvalid;
    destination[0] = imageHeader(width, height);
    ScreenLockScope lock;
    uint32_t* target = destination + 1;
    for (int y = top; y <= bottom; ++y, target += width) copySpan(target, screen.rowTable[y] + left, width);
    return resultOk;
}
