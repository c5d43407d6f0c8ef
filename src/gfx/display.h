// The platform display: whatever shows the visible page and collects input. Each platform
// fills in one DisplayBackend (the headless one in display_headless.cpp, SDL's in
// sdl/display_sdl.cpp); the program picks one with selectDisplay before openScreen, and
// screen.cpp and input.cpp call it through the display:: functions in display.cpp. This
// layer knows no platform by name, so it builds without any of them.
// Every function is called from the game's thread.
#pragma once

struct DisplayBackend {
    // Starts showing the open screen, full screen first when asked, else (or failing that)
    // in a window. Returns false with a one-line cause in `error` when nothing could be shown.
    bool (*start)(bool fullScreen, const char*& error);
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
};

// The display the next openScreen starts. Until one is chosen openScreen fails and says so.
void selectDisplay(const DisplayBackend& backend);

// The chosen display's functions, for the screen and input code.
namespace display {
bool start(bool fullScreen, const char*& error);
void stop();
void wake();
bool pointer(int& x, int& y);
void movePointer(int x, int y);
void showPointer(bool visible);
}  // namespace display
