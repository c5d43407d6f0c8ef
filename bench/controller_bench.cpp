// What game controllers cost the desktop game's start-up. The game opens SDL's
// game-controller subsystem on its display thread only once its first picture is up, so
// start-up to the first picture is the same with or without pads (scripts/measure-display.sh
// measures it without). This measures the rest, in a fresh process:
//   - opening the subsystem as the game does, with no pad, or with PADS virtual pads (SDL's
//     virtual joysticks, opened as game controllers) plugged in beforehand;
//   - with pads, the game's own start-up from RUN_DIR, paced at 70 frames a second: launch
//     to the first picture, and the first picture to the pads' reading reaching the game.
// Uses the X display when DISPLAY is set (e.g. under Xvfb), else SDL's dummy video driver.
//   build/controller_bench RUN_DIR [PADS]      (one start per run: run it a few times)
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/screen.h"
#include "gfx/screen_state.h"
#include "sdl/display_sdl.h"
#include "sdl/write_aside.h"

namespace {

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double msSince(double startMs) { return nowMs() - startMs; }

// Each pad rests its left stick a hair off centre, deep in the dead zone, so that the
// game's reading shows when the pads have reached it.
std::vector<SDL_Joystick*> plugInPads(int count) {
    std::vector<SDL_Joystick*> pads;
    for (int i = 0; i < count; ++i) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "controller_bench pad";
        SDL_Joystick* pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        if (pad) SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 1);
        if (pad) pads.push_back(pad);
    }
    return pads;
}

bool padsReachedTheGame() {
    ScreenLockScope lock;
    return input.controller.leftY != 0;
}

// The first picture as the display's statistics record it (CLOCK_REALTIME, ns).
double firstPictureMs(const std::string& statsFile) {
    std::ifstream in(statsFile);
    const std::string key = "first_picture_realtime_ns ";
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1e6;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: controller_bench RUN_DIR [PADS]\n");
        return 2;
    }
    const int padCount = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "dummy", 0);
    // A display with no window manager may never give the window the keyboard focus,
    // without which SDL holds back a pad's input.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);

    // Opening the game-controller subsystem opens the joystick layer under it (SDL's mapping
    // database and the machine's devices) and then its own; the virtual pads can only be
    // plugged in between the two, so the two are timed apart.
    const double joystickStart = nowMs();
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    const double joystickLayer = msSince(joystickStart);
    std::vector<SDL_Joystick*> pads = plugInPads(padCount);
    const double controllerStart = nowMs();
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    const double controllerLayer = msSince(controllerStart);
    std::printf(
        "opening SDL's game controllers with %d pad(s) plugged in: %.2f ms (the joystick layer %.2f ms, the "
        "game-controller layer %.2f ms)\n",
        padCount, joystickLayer + controllerLayer, joystickLayer, controllerLayer);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // the pads are announced again to the game
    if (padCount == 0) return 0;

    const std::string statsFile = "/tmp/controller_bench_stats_" + std::to_string(getpid());
    setenv("CROWDFIRE_DISPLAY_STATS", statsFile.c_str(), 1);
    if (chdir(argv[1]) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const double started = nowMs();
    if (!startUp(sdlBackend, GameStart{}, SoundStart::inBackground)) {
        std::fprintf(stderr, "controller_bench: %s\n", screenError());
        return 1;
    }
    double reached = 0;
    for (int frame = 0; frame < 350 && reached == 0; ++frame) {
        runFrame();
        if (padsReachedTheGame()) reached = nowMs();
        std::this_thread::sleep_for(std::chrono::microseconds(14286));
    }
    closeScreen();
    finishWritingAside();  // the display's last measurements reach the file
    const double firstPicture = firstPictureMs(statsFile);
    std::remove(statsFile.c_str());
    std::printf("the game's start-up to its first picture: %.1f ms\n", firstPicture - started);
    if (reached == 0) std::printf("the pads never reached the game in 5 s\n");
    else std::printf("the first picture to the pads' reading in the game: %.1f ms\n", reached - firstPicture);
    for (SDL_Joystick* pad : pads) SDL_JoystickClose(pad);
    return 0;
}
