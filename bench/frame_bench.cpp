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

#include "game/blasts.h"
#include "game/blood_drops.h"
#include "game/bombs.h"
#include "game/crowd.h"
#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/startup.h"
#include "gfx/headless.h"
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

struct Snapshot {
    EntityPool<peopleLast> people;
    EntityPool<blastsLast> blasts;
    EntityPool<bombsLast> bombs;
    EntityPool<bloodDropsLast> bloodDrops;
    EntityPool<gibsLast> gibs;
    GameState game;
};
Snapshot saved;

void save() { saved = {people, blasts, bombs, bloodDrops, gibs, game}; }
void restore() {
    people = saved.people;
    blasts = saved.blasts;
    bombs = saved.bombs;
    bloodDrops = saved.bloodDrops;
    gibs = saved.gibs;
    game = saved.game;
}

float between(int low, int high) { return float(low + std::rand() % (high - low + 1)); }

void fillPeople() {
    for (int i = 1; i <= 100; ++i) {
        Entity& p = people[i];
        p.alive = 1;
        p.gait = walking;
        p.x = between(160, 464);
        p.y = between(38, 217);
        p.vx = 0.3f;
        p.kind = firstManKind + i % personKindCount;
    }
}

// Half the drops still flying; one in fifty a blended scorch mark.
void fillBloodDrops() {
    for (int i = 1; i <= bloodDropsLast; ++i) {
        Entity& d = bloodDrops[i];
        const bool scorch = i % 50 == 0;
        d = Entity{};
        d.active = 1;
        d.x = between(150, 480);
        d.y = between(30, 230);
        d.kind = scorch ? scorchMarkDrop : i % 2 == 1 ? splashDrop : sprayDrop;
        d.imageIndex = scorch ? 11 : personImage(firstManKind + i % personKindCount, 1 + i % 9);
        d.vy = 0.2f;
        d.vx = 0.15f;
        d.groundY = i % 2 ? int(d.y) + 20 : int(d.y);
    }
}

// Chunks, thrown bodies and corpses, half of them flying, one in five thrown by a bomb.
void fillGibs() {
    for (int i = 1; i <= gibsLast; ++i) {
        Entity& g = gibs[i];
        g = Entity{};
        g.active = 1;
        g.x = between(150, 480);
        g.y = between(30, 230);
        g.kind = i % 3 == 0 ? corpseGib : i % 2 == 1 ? thrownBodyGib : chunkGib;
        const int frame = g.kind == chunkGib ? 13 : g.kind == thrownBodyGib ? 50 : 8;
        g.imageIndex = personImage(firstManKind + i % personKindCount, frame);
        g.flightMode = i % 5 == 0 ? thrownByBomb : ownFlight;
        g.vy = 0.4f;
        g.vx = -0.2f;
        g.groundY = i % 2 ? int(g.y) + 20 : 0;
    }
}

// Blasts at every step; bombs far above their target so that none explodes.
void fillBlastsAndBombs() {
    for (int i = 1; i <= blastsLast; ++i) {
        Entity& b = blasts[i];
        b.active = 1;
        b.kind = explosionBlast;
        b.x = between(150, 450);
        b.y = between(20, 200);
        b.animFrame = 1 + i % 6;
    }
    for (int i = 1; i <= bombsLast; ++i) {
        Entity& b = bombs[i];
        b.active = 1;
        b.kind = fallingBomb;
        b.x = between(170, 460);
        b.y = float(-100 + 4 * (i % 10));
        b.targetY = 200;
    }
}

void fillWorstCase() {
    std::srand(12345);
    game.scrollX = 160;
    fillPeople();
    fillBloodDrops();
    fillGibs();
    fillBlastsAndBombs();
    game.cycle5 = 1;  // blasts do not step in the timed frame
    headlessSetPointer(160, 120);
    headlessSetButtons(0);
}

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
        restore();
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
    save();

    restore();
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
