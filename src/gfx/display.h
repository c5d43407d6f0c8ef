// The contract between the graphics layer and a platform (the desktop's src/sdl, the
// browser's src/web, the headless display here in gfx).
//
// A platform provides a DisplayBackend: start and stop showing the screen, show a new
// visible page, say where the pointer is on the page, move and show or hide the system
// pointer. The program picks one with selectDisplay before openScreen; screen.cpp and
// input.cpp call it through the display:: functions below. This layer knows no platform by
// name, so it builds without any of them.
//
// A platform may call, and include for it, only these public headers of gfx: this one (the
// page it shows, the off-page pointer rule), input.h (what the player does: keys, buttons,
// wheel, pads, the active flag), keys.h (the one table of keys), controller.h (a pad's
// reading), screen.h, clock.h and pixel_spans.h (the drawing forms, to convert a page).
// The state behind them (screen_state.h) is the graphics layer's own.
#pragma once

#include <cstdint>

// Every backend function is called from the game's thread.
struct DisplayBackend {
    // Starts showing the open screen, full screen first when asked, else (or failing that)
    // in a window `windowScale` times the page's size (0: the largest that fits; a display
    // with no windows takes no notice). Returns false with a one-line cause in `error` when
    // nothing could be shown.
    bool (*start)(bool fullScreen, int windowScale, const char*& error);
    // Stops the display and waits until it no longer touches the screen or the input state.
    void (*stop)();
    // The visible page changed (screen lock held): show it soon, within about a millisecond.
    void (*wake)();
    // The pointer in page pixels (screen lock held); false when it cannot be reported, e.g.
    // it lies outside a window. Full screen clamps to the page instead of failing.
    bool (*pointer)(int& x, int& y);
    // Moves the system pointer to page pixel (x, y), already clamped to the page.
    void (*movePointer)(int x, int y);
    // Shows or hides the system pointer over the display; called only on a change.
    void (*showPointer)(bool visible);
    // Shows a short line about the game where the platform can (the window's title, a line
    // on the page): a replay's time while it is watched. Called only on a change.
    void (*caption)(const char* text);
};

// The display the next openScreen starts. Until one is chosen openScreen fails and says so.
void selectDisplay(const DisplayBackend& backend);
// The window's size the next openScreen asks for, as a whole factor of the page; 0 (the
// default) for the largest that fits.
void chooseWindowScale(int scale);

// The chosen display's functions, for the screen and input code.
namespace display {
bool start(bool fullScreen, const char*& error);
void stop();
void wake();
bool pointer(int& x, int& y);
void movePointer(int x, int y);
void showPointer(bool visible);
void caption(const char* text);
}  // namespace display

// ---- What a platform may call to show the pages -----------------------------------------
// Under the screen lock: the display's own thread holds it while it takes a page, so the
// game cannot draw into the visible page meanwhile.

// The open screen's page size in pixels (0 x 0 with no screen open).
int screenWidth();
int screenHeight();
// The visible page, screenWidth() 32-bit words a row, top row first; null with no screen
// open or pages that are not 32-bit, which no display can show.
const uint32_t* visiblePage();
// The rows of the visible page the game changed since they were last taken: each copied to
// its place in `rows` (screenWidth() x screenHeight() words) and marked 1 in `changed`
// (screenHeight() flags; rows not changed are left as they are). False when none changed.
bool takeChangedPageRows(uint32_t* rows, uint8_t* changed);
// The whole visible page has been shown: no row of it is waiting any more.
void visiblePageShown();

// The one rule for a pointer off the page, which a platform has mapped to page pixel
// (x, y) of a width x height page: full screen holds it to the page's edge (the pointer
// cannot leave the picture there, only the border around it); a window cannot report it,
// as the pointer is over something else. True with (x, y) on the page.
bool pointerToPage(int& x, int& y, int width, int height, bool fullScreen);
