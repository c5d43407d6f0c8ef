// The SDL display. One thread, the display refresh thread, owns every SDL video call: it
// opens the window, shows the visible page, refreshes the key table and handles window
// events, then waits about 10 ms or until the game shows a new page. The game's thread
// only leaves requests (pointer moves, pointer visibility) for it under the screen lock.
#include <SDL.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sdl/display_sdl.h"

#include "gfx/display_layout.h"
#include "gfx/display_stats.h"
#include "gfx/input.h"
#include "gfx/pixel_scaling.h"
#include "gfx/screen_state.h"

namespace {

// Set-1 make codes of a PC keyboard and the SDL keys (USB usages) that set them. The
// extended keys share the entry of their keypad twin: Left and keypad 4 are both scanLeft.
struct KeyTie {
    SDL_Scancode key;
    uint8_t scanCode;
};

constexpr KeyTie keyTies[] = {
    {SDL_SCANCODE_ESCAPE, scanEscape},
    {SDL_SCANCODE_1, 0x02},
    {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_KP_ENTER, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_RCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},
    {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_KP_DIVIDE, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_PRINTSCREEN, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_RALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_PAUSE, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_HOME, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_UP, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_PAGEUP, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, scanLeft},
    {SDL_SCANCODE_LEFT, scanLeft},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, scanRight},
    {SDL_SCANCODE_RIGHT, scanRight},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_END, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_DOWN, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_PAGEDOWN, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_INSERT, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_DELETE, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_KP_EQUALS, 0x59},
    {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65},
    {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_F16, 0x67},
    {SDL_SCANCODE_F17, 0x68},
    {SDL_SCANCODE_F18, 0x69},
    {SDL_SCANCODE_F19, 0x6A},
    {SDL_SCANCODE_F20, 0x6B},
    {SDL_SCANCODE_F21, 0x6C},
    {SDL_SCANCODE_F22, 0x6D},
    {SDL_SCANCODE_F23, 0x6E},
    {SDL_SCANCODE_F24, 0x76},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73},
    {SDL_SCANCODE_INTERNATIONAL4, 0x79},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B},
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
};

// What the refresh thread owns. Only it touches the SDL objects. The picture goes out one
// of two ways: through an accelerated renderer where the machine has real graphics
// hardware, or else through the window's own surface, scaled by our own code (a software
// GL rasteriser would cost many times more than the scaling and pull in 56 MB).
struct Display {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool onSurface = false;
    SDL_Surface* surface = nullptr;  // the window surface as last drawn on; SDL replaces it on a resize
    std::vector<uint32_t> staging;   // scaled rows, for a window surface that is not 32-bit XRGB
    DrawingForm scalingForm = bestDrawingForm();
    DisplayLayout layout;
    int windowScale = 1;
    std::vector<uint32_t> shownRows;  // the visible page as last taken from the screen
    std::vector<uint8_t> changedRows;
    bool redraw = true;
    bool textureLost = false;  // the renderer was reset: build it again before drawing
    // Opened borderless over the desktop; full screen is asked for once the first picture
    // is up (see openDisplay).
    bool fullScreenPending = false;
    Uint64 openedAt = 0;  // SDL ticks
};
Display shown;

// Requests from the game's thread and the pointer as last seen; under the screen lock.
struct Requests {
    bool movePending = false;
    int moveX = 0, moveY = 0;
    long moveTicket = 0;  // counts the moves asked for
    bool cursorPending = false;
    bool cursorVisible = true;
    bool pointerInWindow = false;
    int pointerX = 0, pointerY = 0;  // window points
    DisplayLayout layout;
};
Requests requests;

std::thread refreshThread;
std::mutex signalMutex;
std::condition_variable signal;
bool wakeRequested = false;
bool stopRequested = false;
enum class Opening { pending, opened, failed } opening = Opening::pending;
std::string failure;
long movesDone = 0;                  // under signalMutex: moves carried out, for movePointer to wait on
long movesCarriedOut = 0;            // the refresh thread's own count
std::atomic<long> wakesFromGame{0};  // pages shown (and pointer requests): the game is alive
StallWatch stallWatch;               // the refresh thread's own

std::string executableTitle() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "crowdfire";
    return titleFromPath(std::string(path, size_t(length)));
}

enum class DisplayPath { renderer, surface };

// A machine with a graphics processor has a DRI render node; without one, SDL's
// accelerated renderer would be OpenGL on a software rasteriser.
bool machineHasRenderNode() {
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", failure))
        if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
    return false;
}

// CROWDFIRE_DISPLAY_PATH=renderer or surface forces a path (for tests and measuring).
DisplayPath chosenDisplayPath() {
    const char* asked = std::getenv("CROWDFIRE_DISPLAY_PATH");
    if (asked && std::strcmp(asked, "renderer") == 0) return DisplayPath::renderer;
    if (asked && std::strcmp(asked, "surface") == 0) return DisplayPath::surface;
    return machineHasRenderNode() ? DisplayPath::renderer : DisplayPath::surface;
}

// An accelerated renderer may still be OpenGL drawn by the processor (Mesa's llvmpipe,
// softpipe, swrast): its GL renderer string says so. The renderer's context is current.
bool rendererIsHardware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !(info.flags & SDL_RENDERER_ACCELERATED)) return false;
    if (std::strncmp(info.name, "opengl", 6) != 0) return true;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned glRenderer = 0x1F01;
    const char* name = getString ? reinterpret_cast<const char*>(getString(glRenderer)) : nullptr;
    if (!name) return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(name, software)) return false;
    return true;
}

void destroyRenderer() {
    if (shown.texture) SDL_DestroyTexture(shown.texture);
    if (shown.renderer) SDL_DestroyRenderer(shown.renderer);
    shown.texture = nullptr;
    shown.renderer = nullptr;
}

// A renderer of the given kind and its streaming texture.
bool createRenderer(Uint32 kind) {
    // Nearest neighbour keeps the pixels square and sharp at every whole scale.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    shown.renderer = SDL_CreateRenderer(shown.window, -1, kind);
    if (!shown.renderer) return false;
    shown.texture = SDL_CreateTexture(shown.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, screen.width,
                                      screen.height);
    if (shown.texture) return true;
    destroyRenderer();
    return false;
}

bool createPresenter() {
    shown.onSurface = false;
    shown.surface = nullptr;
    DisplayPath path = chosenDisplayPath();
    if (path == DisplayPath::renderer && createRenderer(SDL_RENDERER_ACCELERATED)) {
        if (std::getenv("CROWDFIRE_DISPLAY_PATH") || rendererIsHardware(shown.renderer)) return true;
        destroyRenderer();  // software GL: the window surface is far cheaper
    }
    // Left to itself, SDL would open a hidden OpenGL window to decide how to back the
    // surface (loading the rasteriser we mean to avoid); the choice is made above.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_GetWindowSurface(shown.window)) {
        shown.onSurface = true;
        return true;
    }
    // A platform without window surfaces: any renderer at all, SDL's software one last.
    return createRenderer(SDL_RENDERER_ACCELERATED) || createRenderer(SDL_RENDERER_SOFTWARE);
}

void destroyWindow() {
    destroyRenderer();
    if (shown.window) SDL_DestroyWindow(shown.window);
    shown.window = nullptr;
    shown.onSurface = false;
    shown.surface = nullptr;
}

// A window to be made full screen opens borderless over the whole desktop, so it already
// looks full screen before the window manager is asked (see openDisplay).
bool createWindow(bool fullScreen) {
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (fullScreen ? SDL_WINDOW_BORDERLESS : 0);
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screen.width * shown.windowScale,
                   screen.height * shown.windowScale};
    // Covering the desktop from its corner keeps full screen right even where no window
    // manager places the window.
    if (fullScreen) SDL_GetDisplayBounds(0, &place);
    shown.window = SDL_CreateWindow(executableTitle().c_str(), place.x, place.y, place.w, place.h, flags);
    if (shown.window && createPresenter()) {
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

bool openDisplay(bool fullScreen) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        // A driver asked for by name has SDL's own word for what went wrong.
        if (!SDL_getenv("SDL_VIDEODRIVER")) explainNoDisplay();
        return false;
    }
    if (!showsSomething()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_Rect desktop{0, 0, 1024, 768};
    SDL_GetDisplayUsableBounds(0, &desktop);
    shown.windowScale = windowScaleFor(desktop.w, desktop.h, screen.width, screen.height);
    shown.shownRows.assign(size_t(screen.width) * size_t(screen.height), 0);
    shown.changedRows.assign(size_t(screen.height), 1);
    // Asking SDL for full screen waits until the window manager has moved and resized the
    // window, up to 100 ms, all of it where there is no window manager or the window
    // already covers the desktop. That wait comes after the game's first picture instead
    // (enterFullScreenWhenShown); until then the borderless window covering the desktop
    // is full screen to the game.
    shown.fullScreenPending = fullScreen && createWindow(true);
    if (shown.fullScreenPending || createWindow(false)) {
        screen.fullScreen = shown.fullScreenPending;
        shown.openedAt = SDL_GetTicks64();
        return true;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
}

void closeDisplay() {
    destroyWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void measureLayout() {
    int windowWidth = 0, windowHeight = 0, outputWidth = 0, outputHeight = 0;
    SDL_GetWindowSize(shown.window, &windowWidth, &windowHeight);
    SDL_Surface* surface = shown.onSurface ? SDL_GetWindowSurface(shown.window) : nullptr;
    if (surface) {
        outputWidth = surface->w;
        outputHeight = surface->h;
    } else if (shown.onSurface || SDL_GetRendererOutputSize(shown.renderer, &outputWidth, &outputHeight) != 0) {
        outputWidth = windowWidth;
        outputHeight = windowHeight;
    }
    shown.layout = layoutFor(windowWidth, windowHeight, outputWidth, outputHeight, screen.width, screen.height);
}

// Under the lock: take the rows the game changed since the last pass, and clear their flags.
void takeDirtyRows() {
    if (screen.bytesPerPixel != 4) return;  // only 32-bit pages can be shown
    const uint32_t* page = pageStart(screen.visiblePage);
    size_t width = size_t(screen.width);
    for (int y = 0; y < screen.height; ++y) {
        if (!screen.dirty[y]) continue;
        std::memcpy(&shown.shownRows[size_t(y) * width], page + size_t(y) * width, width * sizeof(uint32_t));
        shown.changedRows[size_t(y)] = 1;
        screen.dirty[y] = 0;
    }
}

// After a reset the texture's contents, or the whole renderer, are gone: build them again
// and send every row. Until that succeeds nothing is drawn and every pass tries again.
void recoverTexture() {
    destroyRenderer();
    shown.textureLost = !createRenderer(SDL_RENDERER_ACCELERATED) && !createRenderer(SDL_RENDERER_SOFTWARE);
    std::fill(shown.changedRows.begin(), shown.changedRows.end(), uint8_t(1));
    shown.redraw = true;
}

// Outside the lock, on the window surface: scale the runs of changed rows into it and
// push just those bands to the screen. A new surface (after a resize or a switch between
// full screen and window) or a redraw request gets black borders and every row.
// Finds the next run of changed rows at or after row y, marks them shown and leaves the
// run as rows first to y - 1. False when no changed row is left.
bool takeChangedRun(int& first, int& y) {
    while (y < screen.height && !shown.changedRows[size_t(y)]) ++y;
    if (y == screen.height) return false;
    first = y;
    while (y < screen.height && shown.changedRows[size_t(y)]) shown.changedRows[size_t(y++)] = 0;
    return true;
}

void presentOnSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(shown.window);
    if (!surface) {
        shown.redraw = true;  // try again next pass
        return;
    }
    if (surface != shown.surface || shown.redraw) {
        shown.surface = surface;
        measureLayout();
        std::fill(shown.changedRows.begin(), shown.changedRows.end(), uint8_t(1));
    }
    const DisplayLayout& l = shown.layout;
    const bool direct =
        surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    const int pictureWidth = screen.width * l.scale;
    if (!direct) shown.staging.resize(size_t(pictureWidth) * size_t(screen.height) * size_t(l.scale));
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    if (shown.redraw) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_Rect bands[32];
    int bandCount = 0;
    bool tooManyBands = false;
    for (int first = 0, y = 0; takeChangedRun(first, y);) {
        SDL_Rect band{l.left, l.top + first * l.scale, pictureWidth, (y - first) * l.scale};
        if (direct) {
            auto* topLeft = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                        size_t(l.top) * size_t(surface->pitch)) +
                            l.left;
            scalePageRows(shown.shownRows.data(), screen.width, first, y, {topLeft, surface->pitch / 4, l.scale},
                          shown.scalingForm);
        } else {
            scalePageRows(shown.shownRows.data(), screen.width, first, y, {shown.staging.data(), pictureWidth, l.scale},
                          shown.scalingForm);
            const uint32_t* from = shown.staging.data() + size_t(band.y - l.top) * size_t(pictureWidth);
            auto* to = static_cast<uint8_t*>(surface->pixels) + size_t(band.y) * size_t(surface->pitch) +
                       size_t(band.x) * surface->format->BytesPerPixel;
            SDL_ConvertPixels(band.w, band.h, SDL_PIXELFORMAT_RGB888, from, pictureWidth * 4, surface->format->format,
                              to, surface->pitch);
        }
        if (bandCount < int(std::size(bands))) bands[bandCount++] = band;
        else tooManyBands = true;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (bandCount == 0 && !shown.redraw) return;
    if (shown.redraw || tooManyBands) SDL_UpdateWindowSurface(shown.window);
    else SDL_UpdateWindowSurfaceRects(shown.window, bands, bandCount);
    shown.redraw = false;
    displayStatsPresentEnds(shown.shownRows.data(), shown.shownRows.size());
}

// Outside the lock: push runs of changed rows to the texture and show the picture.
void presentPicture() {
    displayStatsPresentStarts();
    if (shown.onSurface) {
        presentOnSurface();
        return;
    }
    if (shown.textureLost) recoverTexture();
    if (shown.textureLost) return;
    bool any = false;
    for (int first = 0, y = 0; takeChangedRun(first, y);) {
        SDL_Rect rows{0, first, screen.width, y - first};
        SDL_UpdateTexture(shown.texture, &rows, &shown.shownRows[size_t(first) * size_t(screen.width)],
                          screen.width * 4);
        any = true;
    }
    if (!any && !shown.redraw) return;
    shown.redraw = false;
    measureLayout();
    const DisplayLayout& l = shown.layout;
    SDL_Rect picture{l.left, l.top, screen.width * l.scale, screen.height * l.scale};
    SDL_SetRenderDrawColor(shown.renderer, 0, 0, 0, 255);
    SDL_RenderClear(shown.renderer);
    SDL_RenderCopy(shown.renderer, shown.texture, nullptr, &picture);
    SDL_RenderPresent(shown.renderer);
    displayStatsPresentEnds(shown.shownRows.data(), shown.shownRows.size());
}

void refreshKeys() {
    if (!input.active) return;
    const Uint8* keyboard = SDL_GetKeyboardState(nullptr);
    uint8_t fresh[128] = {};
    for (const KeyTie& tie : keyTies)
        if (keyboard[tie.key]) fresh[tie.scanCode] = 1;
    std::memcpy(input.keyTable, fresh, sizeof fresh);
}

// The form the window really has decides the layout, the pointer grab and what getMouse
// does at the edges; under the lock.
void followWindowForm() {
    bool full = (SDL_GetWindowFlags(shown.window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowGrab(shown.window, full ? SDL_TRUE : SDL_FALSE);
    screen.fullScreen = full;
    measureLayout();
    shown.redraw = true;
}

// Full screen and window swap places; if the new form cannot be had, the old one stays.
// Where no window manager carries out the full-screen request, SDL reports full screen
// all the same while the window keeps its size, so the window first covers the desktop
// from its corner itself, as at start-up.
void toggleFullScreen() {
    shown.fullScreenPending = false;
    bool toFullScreen = !screen.fullScreen;
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
        SDL_SetWindowSize(shown.window, screen.width * shown.windowScale, screen.height * shown.windowScale);
        SDL_SetWindowPosition(shown.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    followWindowForm();
}

int buttonBit(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return leftButton;
        case SDL_BUTTON_RIGHT: return rightButton;
        case SDL_BUTTON_MIDDLE: return middleButton;
        default: return 0;
    }
}

void handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            input.active = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            releaseAllInput();
            break;
        case SDL_WINDOWEVENT_ENTER: requests.pointerInWindow = true; break;
        case SDL_WINDOWEVENT_LEAVE: requests.pointerInWindow = false; break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (input.active && !screen.fullScreen) toggleFullScreen();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: followWindowForm(); break;  // a window manager may change the form
        default: shown.redraw = true;  // exposed, resized, restored: draw the picture again
    }
}

// The key table follows the keyboard's state; a press is also noted until the game reads
// it, so a tap shorter than one refresh pass is not lost.
void handleKeyPress(const SDL_KeyboardEvent& key) {
    if (!input.active || key.repeat) return;
    if (key.keysym.sym == SDLK_RETURN && (key.keysym.mod & KMOD_ALT)) {
        toggleFullScreen();
        return;
    }
    int scanCode = scanCodeForSdlKey(key.keysym.scancode);
    if (scanCode >= 0) input.keysPressedUnread[scanCode] = 1;
}

// Closing the window (close box, Alt+F4, a quit request) is ignored: only Escape ends the game.
void handleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            input.buttons |= buttonBit(event.button.button);
            input.buttonsPressedUnread |= buttonBit(event.button.button);
            break;
        case SDL_MOUSEBUTTONUP: input.buttons &= ~buttonBit(event.button.button); break;
        case SDL_MOUSEWHEEL: {
            int turn = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            input.wheel += (turn > 0) - (turn < 0);
            break;
        }
        case SDL_MOUSEMOTION:
            requests.pointerInWindow = true;
            requests.pointerX = event.motion.x;
            requests.pointerY = event.motion.y;
            break;
        case SDL_KEYDOWN: handleKeyPress(event.key); break;
        case SDL_WINDOWEVENT: handleWindowEvent(event.window); break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET: shown.textureLost = !shown.onSurface; break;
        default: break;
    }
}

// Events first, then the game's requests, so a pointer move is not undone by an older
// motion event still in the queue.
void carryOutRequests() {
    if (requests.cursorPending) {
        SDL_ShowCursor(requests.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
        requests.cursorPending = false;
    }
    if (!requests.movePending) return;
    int x = 0, y = 0;
    windowPointFromPage(shown.layout, requests.moveX, requests.moveY, x, y);
    SDL_WarpMouseInWindow(shown.window, x, y);
    movesCarriedOut = requests.moveTicket;
    requests.pointerInWindow = true;
    requests.pointerX = x;
    requests.pointerY = y;
    requests.movePending = false;
}

// A game that shows no new page for a while gets the desktop back for its player (see
// StallWatch); called under the lock, after the events.
void watchTheGame() {
    double now = double(SDL_GetTicks64()) / 1000.0;
    if (watchForStall(stallWatch, wakesFromGame.load(), now, screen.fullScreen, input.active) != StallStep::none)
        toggleFullScreen();
}

void refreshPass() {
    {
        ScreenLockScope lock;
        takeDirtyRows();
        SDL_Event event;
        while (SDL_PollEvent(&event)) handleEvent(event);
        watchTheGame();
        refreshKeys();
        if (shown.redraw) measureLayout();
        requests.layout = shown.layout;
        carryOutRequests();
    }
    presentPicture();
}

// The switch to full screen that opening put off: once the game's first picture is on the
// window (any pixel not black), or after a second if the game shows only black. It may
// wait on the window manager, so it runs outside the screen lock and the game goes on.
// Where full screen cannot be had, the game goes on in a window.
void enterFullScreenWhenShown() {
    if (!shown.fullScreenPending) return;
    const bool pictureUp =
        std::any_of(shown.shownRows.begin(), shown.shownRows.end(), [](uint32_t p) { return p != 0; });
    if (!pictureUp && SDL_GetTicks64() < shown.openedAt + 1000) return;
    shown.fullScreenPending = false;
    const bool entered = SDL_SetWindowFullscreen(shown.window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    ScreenLockScope lock;
    if (!entered) toggleFullScreen();  // the game believes it full screen: this gives the window
    else followWindowForm();
}

void reportOpening(Opening result) {
    std::lock_guard<std::mutex> guard(signalMutex);
    opening = result;
    if (result == Opening::failed) failure = SDL_GetError();
    signal.notify_all();
}

// Sleeps about 10 ms, less when the game shows a new page or wants the pointer moved.
// Returns false when the display is to stop.
bool waitForWork() {
    std::unique_lock<std::mutex> guard(signalMutex);
    movesDone = movesCarriedOut;
    signal.notify_all();
    signal.wait_for(guard, std::chrono::milliseconds(10), [] { return wakeRequested || stopRequested; });
    wakeRequested = false;
    return !stopRequested;
}

void refreshLoop(bool fullScreen) {
    pthread_setname_np(pthread_self(), "display");
    displayStatsOpen();
    if (!openDisplay(fullScreen)) {
        reportOpening(Opening::failed);
        return;
    }
    displayStatsPath(shown.onSurface ? "surface" : "renderer");
    {
        ScreenLockScope lock;
        measureLayout();
    }
    stallWatch = StallWatch{wakesFromGame.load(), double(SDL_GetTicks64()) / 1000.0, false};
    reportOpening(Opening::opened);
    do {
        refreshPass();
        enterFullScreenWhenShown();
    } while (waitForWork());
    displayStatsClose();
    closeDisplay();
}

}  // namespace

namespace sdlDisplay {

bool start(bool fullScreen, const char*& error) {
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        opening = Opening::pending;
        stopRequested = wakeRequested = false;
        movesDone = 0;
    }
    movesCarriedOut = 0;
    requests = Requests{};
    shown.redraw = true;
    shown.textureLost = false;
    refreshThread = std::thread(refreshLoop, fullScreen);
    std::unique_lock<std::mutex> guard(signalMutex);
    signal.wait(guard, [] { return opening != Opening::pending; });
    if (opening == Opening::opened) return true;
    guard.unlock();
    refreshThread.join();
    error = failure.c_str();
    return false;
}

void stop() {
    if (!refreshThread.joinable()) return;
    // Xlib ends the process from the refresh thread when the X server goes away, and the
    // screen is then closed at exit on that same thread: it cannot wait for itself.
    if (refreshThread.get_id() == std::this_thread::get_id()) {
        refreshThread.detach();
        return;
    }
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        stopRequested = true;
    }
    signal.notify_all();
    refreshThread.join();
}

void wake() {
    wakesFromGame.fetch_add(1);
    {
        std::lock_guard<std::mutex> guard(signalMutex);
        wakeRequested = true;
    }
    signal.notify_all();
}

bool pointer(int& x, int& y) {
    if (!requests.pointerInWindow && !screen.fullScreen) return false;
    return pagePointFromWindow(requests.layout, screen.width, screen.height, screen.fullScreen, requests.pointerX,
                               requests.pointerY, x, y);
}

// Waits for the refresh thread to move the pointer, so the next getMouse sees it there;
// not when the caller holds the screen lock, which the refresh thread needs first.
void movePointer(int x, int y) {
    long ticket = 0;
    {
        ScreenLockScope lock;
        requests.movePending = true;
        requests.moveX = x;
        requests.moveY = y;
        ticket = ++requests.moveTicket;
    }
    wake();
    if (screenLockHeldHere()) return;
    std::unique_lock<std::mutex> guard(signalMutex);
    signal.wait_for(guard, std::chrono::milliseconds(500), [ticket] { return movesDone >= ticket || stopRequested; });
}

void showPointer(bool visible) {
    ScreenLockScope lock;
    requests.cursorPending = true;
    requests.cursorVisible = visible;
    wake();
}

}  // namespace sdlDisplay

const DisplayBackend sdlBackend = {"SDL",
                                   sdlDisplay::start,
                                   sdlDisplay::stop,
                                   sdlDisplay::wake,
                                   sdlDisplay::pointer,
                                   sdlDisplay::movePointer,
                                   sdlDisplay::showPointer};

int scanCodeForSdlKey(int sdlScancode) {
    for (const KeyTie& tie : keyTies)
        if (int(tie.key) == sdlScancode) return tie.scanCode;
    return -1;
}
