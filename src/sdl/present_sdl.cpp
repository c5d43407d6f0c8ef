// The picture: the visible page as last taken from the screen, shown one of two ways.
// Through an accelerated renderer where the machine has real graphics hardware, or else
// through the window's own surface, scaled by our own code (a software GL rasteriser
// would cost many times more than the scaling and pull in 56 MB). Only the rows the game
// changed are sent on.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <vector>

#include "gfx/display.h"
#include "sdl/display_parts.h"
#include "sdl/display_stats.h"
#include "sdl/pixel_scaling.h"

namespace {

struct Picture {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool onSurface = false;
    SDL_Surface* surface = nullptr;  // the window surface as last drawn on; SDL replaces it on a resize
    std::vector<uint32_t> staging;   // scaled rows, for a window surface that is not 32-bit XRGB
    DrawingForm scalingForm = bestDrawingForm();
    DisplayLayout layout;
    DisplayLayout settledLayout;      // as of the last pass, under the lock
    std::vector<uint32_t> shownRows;  // the visible page as last taken from the screen
    std::vector<uint8_t> changedRows;
    bool redraw = true;
    bool textureLost = false;  // the renderer was reset: build it again before drawing
};
Picture picture;

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
    if (picture.texture) SDL_DestroyTexture(picture.texture);
    if (picture.renderer) SDL_DestroyRenderer(picture.renderer);
    picture.texture = nullptr;
    picture.renderer = nullptr;
}

// A renderer of the given kind and its streaming texture.
bool createRenderer(Uint32 kind) {
    // Nearest neighbour keeps the pixels square and sharp at every whole scale.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    picture.renderer = SDL_CreateRenderer(picture.window, -1, kind);
    if (!picture.renderer) return false;
    picture.texture = SDL_CreateTexture(picture.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                        screenWidth(), screenHeight());
    if (picture.texture) return true;
    destroyRenderer();
    return false;
}

void markEveryRowChanged() { std::fill(picture.changedRows.begin(), picture.changedRows.end(), uint8_t(1)); }

// After a reset the texture's contents, or the whole renderer, are gone: build them again
// and send every row. Until that succeeds nothing is drawn and every pass tries again.
void recoverTexture() {
    destroyRenderer();
    picture.textureLost = !createRenderer(SDL_RENDERER_ACCELERATED) && !createRenderer(SDL_RENDERER_SOFTWARE);
    markEveryRowChanged();
    picture.redraw = true;
}

// Finds the next run of changed rows at or after row y, marks them shown and leaves the
// run as rows first to y - 1. False when no changed row is left.
bool takeChangedRun(int& first, int& y) {
    while (y < screenHeight() && !picture.changedRows[size_t(y)]) ++y;
    if (y == screenHeight()) return false;
    first = y;
    while (y < screenHeight() && picture.changedRows[size_t(y)]) picture.changedRows[size_t(y++)] = 0;
    return true;
}

// On the window surface: scale the runs of changed rows into it and push just those bands
// to the screen. A new surface (after a resize or a switch between full screen and
// window) or a redraw request gets black borders and every row.
void presentOnSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(picture.window);
    if (!surface) {
        picture.redraw = true;  // try again next pass
        return;
    }
    if (surface != picture.surface || picture.redraw) {
        picture.surface = surface;
        measureLayout();
        markEveryRowChanged();
    }
    const DisplayLayout& l = picture.layout;
    const bool direct =
        surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    const int pictureWidth = screenWidth() * l.scale;
    if (!direct) picture.staging.resize(size_t(pictureWidth) * size_t(screenHeight()) * size_t(l.scale));
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    if (picture.redraw) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_Rect bands[32];
    int bandCount = 0;
    bool tooManyBands = false;
    for (int first = 0, y = 0; takeChangedRun(first, y);) {
        SDL_Rect band{l.left, l.top + first * l.scale, pictureWidth, (y - first) * l.scale};
        if (direct) {
            auto* topLeft = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                        size_t(l.top) * size_t(surface->pitch)) +
                            l.left;
            scalePageRows(picture.shownRows.data(), screenWidth(), first, y, {topLeft, surface->pitch / 4, l.scale},
                          picture.scalingForm);
        } else {
            scalePageRows(picture.shownRows.data(), screenWidth(), first, y,
                          {picture.staging.data(), pictureWidth, l.scale}, picture.scalingForm);
            const uint32_t* from = picture.staging.data() + size_t(band.y - l.top) * size_t(pictureWidth);
            auto* to = static_cast<uint8_t*>(surface->pixels) + size_t(band.y) * size_t(surface->pitch) +
                       size_t(band.x) * surface->format->BytesPerPixel;
            SDL_ConvertPixels(band.w, band.h, SDL_PIXELFORMAT_RGB888, from, pictureWidth * 4, surface->format->format,
                              to, surface->pitch);
        }
        if (bandCount < int(std::size(bands))) bands[bandCount++] = band;
        else tooManyBands = true;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (bandCount == 0 && !picture.redraw) return;
    if (picture.redraw || tooManyBands) SDL_UpdateWindowSurface(picture.window);
    else SDL_UpdateWindowSurfaceRects(picture.window, bands, bandCount);
    picture.redraw = false;
    displayStatsPresentEnds(picture.shownRows.data(), picture.shownRows.size());
}

// Through the renderer: push runs of changed rows to the texture and show the picture.
void presentThroughRenderer() {
    if (picture.textureLost) recoverTexture();
    if (picture.textureLost) return;
    bool any = false;
    for (int first = 0, y = 0; takeChangedRun(first, y);) {
        SDL_Rect rows{0, first, screenWidth(), y - first};
        SDL_UpdateTexture(picture.texture, &rows, &picture.shownRows[size_t(first) * size_t(screenWidth())],
                          screenWidth() * 4);
        any = true;
    }
    if (!any && !picture.redraw) return;
    picture.redraw = false;
    measureLayout();
    const DisplayLayout& l = picture.layout;
    SDL_Rect placed{l.left, l.top, screenWidth() * l.scale, screenHeight() * l.scale};
    SDL_SetRenderDrawColor(picture.renderer, 0, 0, 0, 255);
    SDL_RenderClear(picture.renderer);
    SDL_RenderCopy(picture.renderer, picture.texture, nullptr, &placed);
    SDL_RenderPresent(picture.renderer);
    displayStatsPresentEnds(picture.shownRows.data(), picture.shownRows.size());
}

}  // namespace

bool createPresenter(SDL_Window* window) {
    picture.window = window;
    picture.onSurface = false;
    picture.surface = nullptr;
    picture.shownRows.assign(size_t(screenWidth()) * size_t(screenHeight()), 0);
    picture.changedRows.assign(size_t(screenHeight()), 1);
    picture.redraw = true;
    picture.textureLost = false;
    if (chosenDisplayPath() == DisplayPath::renderer && createRenderer(SDL_RENDERER_ACCELERATED)) {
        if (std::getenv("CROWDFIRE_DISPLAY_PATH") || rendererIsHardware(picture.renderer)) return true;
        destroyRenderer();  // software GL: the window surface is far cheaper
    }
    // Left to itself, SDL would open a hidden OpenGL window to decide how to back the
    // surface (loading the rasteriser we mean to avoid); the choice is made above.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_GetWindowSurface(window)) {
        picture.onSurface = true;
        return true;
    }
    // A platform without window surfaces: any renderer at all, SDL's software one last.
    return createRenderer(SDL_RENDERER_ACCELERATED) || createRenderer(SDL_RENDERER_SOFTWARE);
}

void destroyPresenter() {
    destroyRenderer();
    picture.onSurface = false;
    picture.surface = nullptr;
    picture.window = nullptr;
}

const char* presentingPath() { return picture.onSurface ? "surface" : "renderer"; }

void redrawPicture() { picture.redraw = true; }

void measureLayout() {
    int windowWidth = 0, windowHeight = 0, outputWidth = 0, outputHeight = 0;
    SDL_GetWindowSize(picture.window, &windowWidth, &windowHeight);
    SDL_Surface* surface = picture.onSurface ? SDL_GetWindowSurface(picture.window) : nullptr;
    if (surface) {
        outputWidth = surface->w;
        outputHeight = surface->h;
    } else if (picture.onSurface || SDL_GetRendererOutputSize(picture.renderer, &outputWidth, &outputHeight) != 0) {
        outputWidth = windowWidth;
        outputHeight = windowHeight;
    }
    picture.layout = layoutFor(windowWidth, windowHeight, outputWidth, outputHeight, screenWidth(), screenHeight());
}

void settleLayout() {
    if (picture.redraw) measureLayout();
    picture.settledLayout = picture.layout;
}

const DisplayLayout& pictureLayout() { return picture.settledLayout; }

void takeChangedRows() { takeChangedPageRows(picture.shownRows.data(), picture.changedRows.data()); }

void presentPicture() {
    displayStatsPresentStarts();
    if (picture.onSurface) presentOnSurface();
    else presentThroughRenderer();
}

bool pictureIsUp() {
    return std::any_of(picture.shownRows.begin(), picture.shownRows.end(), [](uint32_t p) { return p != 0; });
}

void presenterReset() { picture.textureLost = !picture.onSurface; }
