// The worst-case frame: both 2000-record pools full, 100 people walking on screen, 25
// blasts and 20 bombs in flight. The same starting state is put back before every
// frame, so each timed runFrame does the same work. The frame's own list of draws is
// then replayed through our putImage in every drawing form this processor has and
// through SDL_BlitSurface (colour key; blended images with SDL_BLENDMODE_BLEND and an
// alpha modulation, SDL's nearest equivalent).
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "bench/worst_case_frame.h"
#include "game/blasts.h"
#include "game/blood_drops.h"
#include "game/bombs.h"
#include "game/crowd.h"
#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/pixel_spans.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "sound/sound.h"

namespace {

struct Draw {
    float x, y;
    const uint32_t* image;
    int mode, opacity;
};

std::vector<Draw> recordedDraws;

// Hears every putImage while a frame is recorded (observeDraws).
void recordDraw(float x, float y, const uint32_t* image, int mode, int opacity) {
    recordedDraws.push_back({x, y, image, mode, opacity});
}

using Clock = std::chrono::steady_clock;

struct Spread {
    double median, low, high, fastest, slowest;
};

Spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const auto at = [&times](double q) { return times[std::size_t(q * double(times.size() - 1))]; };
    return {at(0.5), at(0.1), at(0.9), times.front(), times.back()};
}

void print(const char* what, const Spread& s) {
    std::printf("%-22s median %8.1f us   p10 %8.1f   p90 %8.1f   min %8.1f   max %8.1f\n", what, s.median, s.low,
                s.high, s.fastest, s.slowest);
}

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

Spread timeFrames(int frames) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        restoreWorstCase();
        const auto start = Clock::now();
        runFrame();
        times.push_back(microsecondsSince(start));
    }
    return spreadOf(times);
}

// putImage's rounding: halves away from zero.
int pagePixel(float v) { return v > 0 ? int(double(v) + 0.5) : int(double(v) - 0.5); }

SDL_Surface* surfaceOf(const uint32_t* image, bool keyedSurface) {
    const int width = int(image[0] & 0xFFFF) >> 3;
    const int height = int(image[0] >> 16);
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, std::max(width, 1), std::max(height, 1), 32, SDL_PIXELFORMAT_RGB888);
    for (int y = 0; y < height; ++y)
        std::copy(image + 1 + y * width, image + 1 + (y + 1) * width,
                  reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch));
    if (keyedSurface) SDL_SetColorKey(s, SDL_TRUE, 0xFF00FF);
    return s;
}

struct SdlDraw {
    SDL_Surface* surface;
    SDL_Rect where;
};

std::vector<SdlDraw> sdlDrawsOf(const std::vector<Draw>& draws) {
    std::map<std::pair<const uint32_t*, int>, SDL_Surface*> made;
    std::vector<SdlDraw> list;
    for (const Draw& d : draws) {
        SDL_Surface*& s = made[{d.image, d.mode * 1000 + d.opacity}];
        if (s == nullptr) {
            s = surfaceOf(d.image, d.mode != opaque);
            if (d.mode == blend) {
                SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
                SDL_SetSurfaceAlphaMod(s, Uint8(d.opacity));
            }
        }
        list.push_back({s, SDL_Rect{pagePixel(d.x), pagePixel(d.y), s->w, s->h}});
    }
    return list;
}

Spread timeOurDraws(const std::vector<Draw>& draws, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        for (const Draw& d : draws) putImage(d.x, d.y, d.image, d.mode, d.opacity);
        times.push_back(microsecondsSince(start));
    }
    return spreadOf(times);
}

Spread timeSdlDraws(std::vector<SdlDraw>& draws, int rounds) {
    SDL_Surface* page = SDL_CreateRGBSurfaceWithFormat(0, 320, 240, 32, SDL_PIXELFORMAT_RGB888);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        for (SdlDraw& d : draws) {
            SDL_Rect where = d.where;  // SDL clips the rectangle it is given
            SDL_BlitSurface(d.surface, nullptr, page, &where);
        }
        times.push_back(microsecondsSince(start));
    }
    SDL_FreeSurface(page);
    return spreadOf(times);
}

}  // namespace

int main(int argc, char** argv) {
    const char* runDir = argc > 1 ? argv[1] : CROWDFIRE_RUN_DIR;
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 2000;
    // "draws-only": replay the frame's draws with the best form and nothing else, for
    // counting instructions under callgrind.
    const bool drawsOnly = argc > 3 && std::strcmp(argv[3], "draws-only") == 0;
    if (chdir(runDir) != 0) {
        std::fprintf(stderr, "frame_bench: cannot enter %s\n", runDir);
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!startUp(headlessBackend)) {
        std::fprintf(stderr, "frame_bench: %s\n", screenError());
        return 1;
    }
    closeSound();  // no mixing thread competing for the processor; plays are skipped
    headlessSetActive(true);
    randomize(1);
    fillWorstCase();
    saveWorstCase();

    restoreWorstCase();
    observeDraws(recordDraw);
    runFrame();
    observeDraws(nullptr);
    std::printf("worst-case frame: %zu draws, %d frames timed\n", recordedDraws.size(), frames);
    if (drawsOnly) {
        setPages(0, 1);
        print(drawingFormName(bestDrawingForm()), timeOurDraws(recordedDraws, frames));
        closeScreen();
        return 0;
    }
    timeFrames(frames / 10);  // warm-up
    const Spread frame = timeFrames(frames);
    print("runFrame", frame);
    std::printf("frame budget at 70 fps: 14285.7 us; median frame uses %.3f of it\n", frame.median / 14285.7);
    // The browser build draws with the scalar form (its wasm has no SIMD): this is the
    // native figure to hold its worst-case frame against (bench/web_bench.mjs).
    useDrawingForm(DrawingForm::scalar);
    print("runFrame, scalar", timeFrames(frames));
    useDrawingForm(bestDrawingForm());

    // Drawn on a page not shown, as the game draws.
    setPages(0, 1);
    Spread forms[3] = {};
    for (DrawingForm form : {DrawingForm::scalar, DrawingForm::sse2, DrawingForm::avx2}) {
        if (!useDrawingForm(form)) continue;
        forms[int(form)] = timeOurDraws(recordedDraws, frames);
        char label[32];
        std::snprintf(label, sizeof label, "putImage, %s", drawingFormName(form));
        print(label, forms[int(form)]);
    }
    useDrawingForm(bestDrawingForm());
    std::vector<SdlDraw> sdlDraws = sdlDrawsOf(recordedDraws);
    const Spread sdl = timeSdlDraws(sdlDraws, frames);
    print("SDL_BlitSurface", sdl);
    const Spread& ours = forms[int(bestDrawingForm())];
    const Spread& scalar = forms[int(DrawingForm::scalar)];
    std::printf("our drawing time (%s) / SDL's: %.2f (medians), %.2f (fastest rounds)\n",
                drawingFormName(bestDrawingForm()), ours.median / sdl.median, ours.fastest / sdl.fastest);
    std::printf("our drawing time (%s) / scalar: %.2f (medians), %.2f (fastest rounds)\n",
                drawingFormName(bestDrawingForm()), ours.median / scalar.median, ours.fastest / scalar.fastest);
    closeScreen();
    return 0;
}
