// The platform display: whatever shows the visible page and collects input. Two of them
// exist, SDL (display_sdl.cpp) and headless (display_headless.cpp); openScreen picks the
// one selectDisplay chose, and screen.cpp and input.cpp call them through display.cpp.
// Every function is called from the game's thread.
#pragma once

#include "gfx/screen.h"

namespace display {

// Starts showing the open screen, full screen first when asked, else (or failing that)
// in a window. Returns false with a one-line cause in `error` when nothing could be shown.
bool start(bool fullScreen, const char*& error);
// Stops the display and waits until it no longer touches the screen or the input state.
void stop();
// The visible page changed (screen lock held): show it soon, within about a millisecond.
void wake();
// The pointer in page pixels (screen lock held); false when it cannot be reported, e.g. it
// lies outside a window. Full screen clamps to the page instead of failing.
bool pointer(int& x, int& y);
// Moves the system pointer to page pixel (x, y), already clamped to the page.
void movePointer(int x, int y);
// Shows or hides the system pointer over the display; called only on a change.
void showPointer(bool visible);

}  // namespace display

// The key-table entry (set-1 scan code) that an SDL scancode (a USB usage) sets, or -1.
int scanCodeForSdlKey(int sdlScancode);

// The same contract, once per platform; display.cpp switches between them.
namespace sdlDisplay {
bool start(bool fullScreen, const char*& error);
void stop();
void wake();
bool pointer(int& x, int& y);
void movePointer(int x, int y);
void showPointer(bool visible);
}  // namespace sdlDisplay

namespace headlessDisplay {
bool start(bool fullScreen, const char*& error);
void stop();
void wake();
bool pointer(int& x, int& y);
void movePointer(int x, int y);
void showPointer(bool visible);
}  // namespace headlessDisplay
