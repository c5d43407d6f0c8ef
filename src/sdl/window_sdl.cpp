// The window: opened borderless over the desktop when the game wants full screen (full
// screen proper is asked for once the first picture is up), or as a window a whole
// factor of the page in size; Alt+Enter and the window manager switch between the two.
#include <unistd.h>

#include <cstring>
#include <string>

#include "gfx/display.h"
#include "gfx/input.h"
#include "gfx/screen.h"
#include "sdl/display_parts.h"
#include "sdl/display_sdl.h"
#include "sdl/remembered_settings.h"
#include "sdl/sdl_parts.h"

namespace {

struct Window {
    SDL_Window* window = nullptr;
    int windowScale = 1;  // the page's size in a window, as a whole factor
    // Opened borderless over the desktop; full screen is asked for once the first picture
    // is up (see openDisplay).
    bool fullScreenPending = false;
    // The form the game is shown in now (the borderless window counts as full screen):
    // what the pointer's edges and the stall watch go by.
    bool fullScreen = false;
    Uint64 openedAt = 0;  // SDL ticks
};
Window shown;

std::string executableTitle() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "crowdfire";
    return titleFromPath(std::string(path, size_t(length)));
}

void destroyWindow() {
    destroyPresenter();
    if (shown.window) SDL_DestroyWindow(shown.window);
    shown.window = nullptr;
}

// A window to be made full screen opens borderless over the whole desktop, so it already
// looks full screen before the window manager is asked (see openDisplay).
bool createWindow(bool fullScreen) {
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (fullScreen ? SDL_WINDOW_BORDERLESS : 0);
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screenWidth() * shown.windowScale,
                   screenHeight() * shown.windowScale};
    // Covering the desktop from its corner keeps full screen right even where no window
    // manager places the window.
    if (fullScreen) SDL_GetDisplayBounds(0, &place);
    shown.window = SDL_CreateWindow(executableTitle().c_str(), place.x, place.y, place.w, place.h, flags);
    if (shown.window && createPresenter(shown.window)) {
        // Full screen keeps the pointer inside, so aiming at an edge never leaves the game.
        SDL_SetWindowGrab(shown.window, fullScreen ? SDL_TRUE : SDL_FALSE);
        return true;
    }
    destroyWindow();
    return false;
}

// Names the display that could not be opened, or says that none is named: a DISPLAY
// that points at a dead server must not read like a missing one.
void explainNoDisplay() {
    std::string named;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = SDL_getenv(variable);
        if (!value || !*value) continue;
        named += (named.empty() ? "" : " or ") + std::string(variable) + "=" + value;
    }
    if (named.empty()) SDL_SetError("no display to show the game on: neither DISPLAY nor WAYLAND_DISPLAY is set");
    else SDL_SetError("cannot open the display %s", named.c_str());
}

// SDL falls back on drivers that show nothing when there is no display at all. A game no
// one can see, and so no one can stop with Escape, helps nobody: such a driver is only
// taken when asked for by name (as the tests do with SDL_VIDEODRIVER=dummy).
bool showsSomething() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) return true;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked && std::strstr(asked, driver)) return true;
    explainNoDisplay();
    return false;
}

// The form the window really has decides the layout, the pointer grab and what getMouse
// does at the edges; under the lock.
void followWindowForm() {
    bool full = (SDL_GetWindowFlags(shown.window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowGrab(shown.window, full ? SDL_TRUE : SDL_FALSE);
    shown.fullScreen = full;
    measureLayout();
    redrawPicture();
}

}  // namespace

bool openDisplay(bool fullScreen, int windowScale) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!openSdlPart(SDL_INIT_VIDEO)) {
        // A driver asked for by name has SDL's own word for what went wrong.
        if (!SDL_getenv("SDL_VIDEODRIVER")) explainNoDisplay();
        return false;
    }
    if (!showsSomething()) {
        closeSdlPart(SDL_INIT_VIDEO);
        return false;
    }
    SDL_Rect desktop{0, 0, 1024, 768};
    SDL_GetDisplayUsableBounds(0, &desktop);
    shown.windowScale =
        windowScale > 0 ? windowScale : windowScaleFor(desktop.w, desktop.h, screenWidth(), screenHeight());
    // Asking SDL for full screen waits until the window manager has moved and resized the
    // window, up to 100 ms, all of it where there is no window manager or the window
    // already covers the desktop. That wait comes after the game's first picture instead
    // (enterFullScreenWhenShown); until then the borderless window covering the desktop
    // is full screen to the game.
    shown.fullScreenPending = fullScreen && createWindow(true);
    if (shown.fullScreenPending || createWindow(false)) {
        shown.fullScreen = shown.fullScreenPending;
        shown.openedAt = SDL_GetTicks64();
        return true;
    }
    closeSdlPart(SDL_INIT_VIDEO);
    return false;
}

void closeDisplay() {
    destroyWindow();
    closeSdlPart(SDL_INIT_VIDEO);
}

SDL_Window* gameWindow() { return shown.window; }

bool windowIsFullScreen() { return shown.fullScreen; }

// Where no window manager carries out the full-screen request, SDL reports full screen
// all the same while the window keeps its size, so the window first covers the desktop
// from its corner itself, as at start-up.
void toggleFullScreen() {
    shown.fullScreenPending = false;
    bool toFullScreen = !shown.fullScreen;
    if (toFullScreen) {
        SDL_Rect desktop;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(shown.window), &desktop) == 0) {
            SDL_SetWindowPosition(shown.window, desktop.x, desktop.y);
            SDL_SetWindowSize(shown.window, desktop.w, desktop.h);
        }
    }
    Uint32 wanted = toFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    if (SDL_SetWindowFullscreen(shown.window, wanted) != 0)
        SDL_SetWindowFullscreen(shown.window, toFullScreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if ((SDL_GetWindowFlags(shown.window) & SDL_WINDOW_FULLSCREEN) == 0) {
        SDL_SetWindowBordered(shown.window, SDL_TRUE);  // it opened borderless
        SDL_SetWindowSize(shown.window, screenWidth() * shown.windowScale, screenHeight() * shown.windowScale);
        SDL_SetWindowPosition(shown.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    followWindowForm();
}

// Once the game's first picture is on the window (any pixel not black), or after a second
// if the game shows only black. Where full screen cannot be had, the game goes on in a window.
void enterFullScreenWhenShown() {
    if (!shown.fullScreenPending) return;
    if (!pictureIsUp() && SDL_GetTicks64() < shown.openedAt + 1000) return;
    shown.fullScreenPending = false;
    const bool entered = SDL_SetWindowFullscreen(shown.window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    ScreenLockScope lock;
    if (!entered) toggleFullScreen();  // the game believes it full screen: this gives the window
    else followWindowForm();
}

void handleWindowFormEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (inputActive() && !shown.fullScreen) switchFormForPlayer();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: followWindowForm(); break;  // a window manager may change the form
        default: redrawPicture();  // exposed, resized, restored: draw the picture again
    }
}

void switchFormForPlayer() {
    toggleFullScreen();
    noticeFullScreenChoice(shown.fullScreen);
}
