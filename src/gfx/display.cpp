// Routes the display contract to the backend chosen by selectDisplay. The one running is
// kept apart from the one chosen, so choosing another while a screen is open changes
// nothing until the next openScreen.
#include "gfx/display.h"

#include <algorithm>
#include <cstring>

#include "gfx/screen_state.h"

static const DisplayBackend* chosenBackend = nullptr;
static const DisplayBackend* runningBackend = nullptr;
static int chosenWindowScale = 0;

void selectDisplay(const DisplayBackend& backend) { chosenBackend = &backend; }
void chooseWindowScale(int scale) { chosenWindowScale = scale; }

namespace display {

bool start(bool fullScreen, const char*& error) {
    runningBackend = chosenBackend;
    if (!runningBackend) {
        error = "no display was chosen (selectDisplay) before opening the screen";
        return false;
    }
    return runningBackend->start(fullScreen, chosenWindowScale, error);
}

void stop() { runningBackend->stop(); }
void wake() { runningBackend->wake(); }
bool pointer(int& x, int& y) { return runningBackend->pointer(x, y); }
void movePointer(int x, int y) { runningBackend->movePointer(x, y); }
void showPointer(bool visible) { runningBackend->showPointer(visible); }
void caption(const char* text) { runningBackend->caption(text); }

}  // namespace display

// ---- showing the pages ------------------------------------------------------------------------

int screenWidth() { return screen.open ? screen.width : 0; }
int screenHeight() { return screen.open ? screen.height : 0; }

const uint32_t* visiblePage() {
    if (!screen.open || screen.bytesPerPixel != 4) return nullptr;
    return pageStart(screen.visiblePage);
}

bool takeChangedPageRows(uint32_t* rows, uint8_t* changed) {
    const uint32_t* page = visiblePage();
    if (page == nullptr) return false;
    const size_t width = size_t(screen.width);
    bool any = false;
    for (int y = 0; y < screen.height; ++y) {
        if (!screen.dirty[y]) continue;
        std::memcpy(rows + size_t(y) * width, page + size_t(y) * width, width * sizeof(uint32_t));
        changed[y] = 1;
        screen.dirty[y] = 0;
        any = true;
    }
    return any;
}

void visiblePageShown() {
    if (screen.open) std::memset(screen.dirty.get(), 0, size_t(screen.height));
}

bool pointerToPage(int& x, int& y, int width, int height, bool fullScreen) {
    if (fullScreen) {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return true;
    }
    return x >= 0 && y >= 0 && x < width && y < height;
}
