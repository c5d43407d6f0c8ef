// Routes the display contract to the backend chosen by selectDisplay. The one running is
// kept apart from the one chosen, so choosing another while a screen is open changes
// nothing until the next openScreen.
#include "gfx/display.h"

static const DisplayBackend* chosenBackend = nullptr;
static const DisplayBackend* runningBackend = nullptr;

void selectDisplay(const DisplayBackend& backend) { chosenBackend = &backend; }

namespace display {

bool start(bool fullScreen, const char*& error) {
    runningBackend = chosenBackend;
    if (!runningBackend) {
        error = "no display was chosen (selectDisplay) before opening the screen";
        return false;
    }
    return runningBackend->start(fullScreen, error);
}

void stop() { runningBackend->stop(); }
void wake() { runningBackend->wake(); }
bool pointer(int& x, int& y) { return runningBackend->pointer(x, y); }
void movePointer(int x, int y) { runningBackend->movePointer(x, y); }
void showPointer(bool visible) { runningBackend->showPointer(visible); }

}  // namespace display
