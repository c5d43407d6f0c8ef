// The display side: page placement and pointer mapping, the key ties, and the real SDL
// display run under SDL's dummy video driver so its thread and the lock are exercised.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gfx/display.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "sdl/display_layout.h"
#include "sdl/display_sdl.h"

TEST(DisplayLayout, WholeScaleCentredWithBorders) {
    DisplayLayout full = layoutFor(1920, 1080, 1920, 1080, 320, 240);
    EXPECT_EQ(full.scale, 4);
    EXPECT_EQ(full.left, (1920 - 1280) / 2);
    EXPECT_EQ(full.top, (1080 - 960) / 2);
    DisplayLayout hiDpi = layoutFor(1280, 800, 2560, 1600, 320, 240);
    EXPECT_EQ(hiDpi.scale, 6) << "sized from real pixels, not points";
    EXPECT_EQ(hiDpi.left, (2560 - 1920) / 2);
    DisplayLayout tiny = layoutFor(200, 100, 200, 100, 320, 240);
    EXPECT_EQ(tiny.scale, 1) << "never zero";
}

TEST(DisplayLayout, PointerMapsThroughScaleAndBorders) {
    DisplayLayout full = layoutFor(1920, 1080, 1920, 1080, 320, 240);
    int x = -9, y = -9;
    ASSERT_TRUE(pagePointFromWindow(full, 320, 240, true, 320, 60, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(pagePointFromWindow(full, 320, 240, true, 320 + 4 * 50 + 3, 60 + 4 * 7, x, y));
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 7);
    ASSERT_TRUE(pagePointFromWindow(full, 320, 240, true, 5, 1079, x, y)) << "full screen clamps";
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 239);
    ASSERT_TRUE(pagePointFromWindow(full, 320, 240, true, 1919, 0, x, y));
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 0);

    DisplayLayout window = layoutFor(960, 720, 960, 720, 320, 240);
    EXPECT_FALSE(pagePointFromWindow(window, 320, 240, false, 960, 10, x, y)) << "a window fails off the picture";
    EXPECT_FALSE(pagePointFromWindow(window, 320, 240, false, -1, 10, x, y));
    ASSERT_TRUE(pagePointFromWindow(window, 320, 240, false, 959, 719, x, y));
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 239);

    DisplayLayout hiDpi = layoutFor(640, 480, 1280, 960, 320, 240);
    ASSERT_TRUE(pagePointFromWindow(hiDpi, 320, 240, false, 100, 50, x, y));
    EXPECT_EQ(x, 50) << "points are converted to pixels first";
    EXPECT_EQ(y, 25);
}

TEST(DisplayLayout, PointerPlacementRoundTrips) {
    for (auto layout : {layoutFor(1920, 1080, 1920, 1080, 320, 240), layoutFor(640, 480, 1280, 960, 320, 240),
                        layoutFor(1366, 768, 1366, 768, 320, 240)}) {
        for (int px : {0, 50, 319})
            for (int py : {0, 50, 239}) {
                int wx = 0, wy = 0, x = -1, y = -1;
                windowPointFromPage(layout, px, py, wx, wy);
                ASSERT_TRUE(pagePointFromWindow(layout, 320, 240, false, wx, wy, x, y));
                EXPECT_EQ(x, px);
                EXPECT_EQ(y, py);
            }
    }
}

TEST(DisplayLayout, WindowScaleAndTitle) {
    EXPECT_EQ(windowScaleFor(1920, 1050, 320, 240), 3);
    EXPECT_EQ(windowScaleFor(3840, 2160, 320, 240), 8);
    EXPECT_EQ(windowScaleFor(800, 600, 320, 240), 2);
    EXPECT_EQ(windowScaleFor(300, 200, 320, 240), 1);
    EXPECT_EQ(titleFromPath("/home/player/games/crowdfire"), "crowdfire");
    EXPECT_EQ(titleFromPath("/opt/crowd.fire/crowdfire.x86_64"), "crowdfire");
    EXPECT_EQ(titleFromPath("game.v2.exe"), "game.v2");
}

// SDL scancodes are USB usage ids: Escape 41, Right 79, Left 80, keypad 4 is 92, keypad 6 is 94.
// The watch leaves full screen once per stall and returns only to a player still there.
TEST(DisplayLayout, StallWatchLeavesOnceAndReturnsToAnActivePlayer) {
    StallWatch watch{5, 10.0, false};
    EXPECT_EQ(watchForStall(watch, 5, 11.9, true, true), StallStep::none);
    EXPECT_EQ(watchForStall(watch, 5, 12.0, false, true), StallStep::none) << "a window has nothing to give back";
    EXPECT_EQ(watchForStall(watch, 5, 12.0, true, true), StallStep::leaveFullScreen);
    EXPECT_EQ(watchForStall(watch, 5, 20.0, true, true), StallStep::none) << "full screen asked for again";
    EXPECT_EQ(watchForStall(watch, 6, 20.1, true, true), StallStep::none) << "already full screen";
    EXPECT_EQ(watchForStall(watch, 6, 22.1, true, true), StallStep::leaveFullScreen) << "a second stall";
    EXPECT_EQ(watchForStall(watch, 7, 22.2, false, true), StallStep::returnToFullScreen);
    EXPECT_EQ(watchForStall(watch, 7, 24.2, true, true), StallStep::leaveFullScreen);
    EXPECT_EQ(watchForStall(watch, 8, 24.3, false, false), StallStep::none) << "the player went elsewhere";
    EXPECT_EQ(watchForStall(watch, 9, 24.4, false, true), StallStep::none) << "and came back to a window";
}

TEST(KeyTies, ArrowsShareTheirKeypadEntries) {
    EXPECT_EQ(scanCodeForUsage(41), 1);
    EXPECT_EQ(scanCodeForUsage(80), 75);
    EXPECT_EQ(scanCodeForUsage(92), 75);
    EXPECT_EQ(scanCodeForUsage(79), 77);
    EXPECT_EQ(scanCodeForUsage(94), 77);
    EXPECT_EQ(scanCodeForUsage(4), 0x1E) << "A";
    EXPECT_EQ(scanCodeForUsage(44), 0x39) << "space";
    EXPECT_EQ(scanCodeForUsage(40), 0x1C) << "Enter";
    EXPECT_EQ(scanCodeForUsage(88), 0x1C) << "keypad Enter";
    EXPECT_EQ(scanCodeForUsage(0), -1);
    // Every ordinary key from A (4) to keypad period (99) sets some entry, and all of them
    // stay inside the 128-entry table.
    for (int usage = 4; usage <= 99; ++usage) {
        int code = scanCodeForUsage(usage);
        EXPECT_GT(code, 0) << "usage " << usage;
        EXPECT_LT(code, 128) << "usage " << usage;
    }
}

namespace {
bool waitUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool noRowDirty() {
    lockScreen();
    const uint8_t* dirty = dirtyFlags();
    bool clean = std::accumulate(dirty, dirty + 240, 0) == 0;
    unlockScreen();
    return clean;
}
}  // namespace

TEST(SdlDisplay, OpensShowsPagesMovesThePointerAndCloses) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    selectDisplay(sdlBackend);
    ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk) << screenError();
    std::vector<uint32_t> image(1 + 16 * 16, 0x00FF8040);
    image[0] = imageHeader(16, 16);
    setPages(1, 0);
    for (int frame = 0; frame < 20; ++frame) {
        int work = frame % 2;
        setPages(work, 1 - work);
        clearScreen();
        putImage(float(frame * 10), 100, image.data(), transparent, -1);
    }
    EXPECT_TRUE(waitUntil(noRowDirty)) << "the refresh thread takes every changed row";

    setMouse(50, 60, 0);
    int x = 0, y = 0, wheel = 0, buttons = 0;
    ASSERT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(keyDown(scanEscape), 0);

    lockScreen();
    setMouse(10, 10, 1);  // must not wait for a thread that needs the held lock
    putImage(0, 0, image.data(), opaque, -1);
    unlockScreen();

    closeScreen();
    EXPECT_EQ(pagePixels(0), nullptr);
    ASSERT_EQ(openScreen(320, 240, 24, 2, 0, 0), resultOk) << "opens again, in a window: " << screenError();
    setPages(0, 1);
    EXPECT_TRUE(waitUntil(noRowDirty));
    closeScreen();
}

namespace {
void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

SDL_Event buttonEvent(Uint32 type, Uint8 button) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    return e;
}
SDL_Event wheelEvent(int turn) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = turn;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return e;
}
SDL_Event windowEvent(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}
SDL_Event motionEvent(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

struct Mouse {
    int result, x, y, wheel, buttons;
};
Mouse readMouse() {
    Mouse m{};
    m.result = getMouse(m.x, m.y, m.wheel, m.buttons);
    return m;
}
}  // namespace

// Events are posted into SDL's queue (SDL_PushEvent may be called from any thread) and the
// refresh thread handles them as it would the window system's own.
TEST(SdlDisplay, WindowEventsReachTheGame) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    selectDisplay(sdlBackend);
    ASSERT_EQ(openScreen(320, 240, 24, 2, 0, 0), resultOk) << screenError();
    setMouse(100, 100, -1);
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE));
    push(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT));
    push(wheelEvent(1));
    push(wheelEvent(3));
    push(wheelEvent(-1));
    EXPECT_TRUE(waitUntil([] { return readMouse().wheel == 1; })) << "one step per wheel event: +1 +1 -1";
    EXPECT_EQ(readMouse().buttons, leftButton | middleButton);

    // A tap shorter than a refresh pass still reaches the game, once.
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    push(escape);
    EXPECT_TRUE(waitUntil([] { return keyDown(scanEscape) == -1; }));
    EXPECT_EQ(keyDown(scanEscape), 0) << "seen once; the keyboard itself holds nothing down";
    push(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
    push(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE));
    push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    push(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT));
    EXPECT_TRUE(waitUntil([] { return readMouse().buttons == 2; })) << "a quick right click";
    EXPECT_TRUE(waitUntil([] { return readMouse().buttons == 0; })) << "and read once";

    // Asking to close changes nothing: the display keeps handling events.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    push(windowEvent(SDL_WINDOWEVENT_CLOSE));
    push(wheelEvent(1));
    EXPECT_TRUE(waitUntil([] { return readMouse().wheel == 2; }));
    EXPECT_NE(pagePixels(0), nullptr);

    push(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_TRUE(waitUntil([] { return readMouse().result != 0; })) << "an inactive window reports no pointer";
    EXPECT_EQ(readMouse().buttons, -1);
    push(windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_TRUE(waitUntil([] { return readMouse().result == 0; }));
    EXPECT_EQ(readMouse().buttons, 0) << "buttons held before are forgotten";

    // In a window a pointer off the picture cannot be reported.
    push(motionEvent(-40, -40));
    EXPECT_TRUE(waitUntil([] { return readMouse().result != 0; }));
    push(windowEvent(SDL_WINDOWEVENT_LEAVE));
    push(motionEvent(1, 1));
    EXPECT_TRUE(waitUntil([] { return readMouse().result == 0; }));

    // A reset renderer is built again and the display goes on showing pages.
    SDL_Event reset{};
    reset.type = SDL_RENDER_DEVICE_RESET;
    push(reset);
    push(wheelEvent(1));
    EXPECT_TRUE(waitUntil([] { return readMouse().wheel == 3; }));
    setPages(1, 1);
    EXPECT_TRUE(waitUntil(noRowDirty));
    setPages(0, 0);
    EXPECT_TRUE(waitUntil(noRowDirty));

    // Alt+Enter makes it full screen, where the pointer stops at the edges instead.
    SDL_Event altEnter{};
    altEnter.type = SDL_KEYDOWN;
    altEnter.key.keysym.sym = SDLK_RETURN;
    altEnter.key.keysym.mod = KMOD_LALT;
    push(altEnter);
    push(motionEvent(-40, 100000));
    EXPECT_TRUE(waitUntil([] {
        Mouse m = readMouse();
        return m.result == 0 && m.x == 0 && m.y == 239;
    })) << "full screen clamps to the page";
    closeScreen();
}

TEST(SdlDisplay, NoDisplayMeansResultOneAndACause) {
    const char* before = std::getenv("SDL_VIDEODRIVER");
    std::string saved = before ? before : "";
    setenv("SDL_VIDEODRIVER", "no-such-video-driver", 1);
    selectDisplay(sdlBackend);
    EXPECT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultInvalid);
    EXPECT_STRNE(screenError(), "");
    EXPECT_EQ(pagePixels(0), nullptr) << "no screen is left behind";
    int x = 0, y = 0, wheel = 0, buttons = 0;
    EXPECT_NE(getMouse(x, y, wheel, buttons), 0);
    if (before) setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_VIDEODRIVER");
}

// With no display SDL would quietly pick a driver that shows nothing; the game must say so
// instead of running where no one can see it or press Escape.
TEST(SdlDisplay, InvisibleDriversAreOnlyTakenWhenAskedFor) {
    const char* names[] = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* value = std::getenv(names[i]);
        had[i] = value != nullptr;
        saved[i] = value ? value : "";
        unsetenv(names[i]);
    }
    selectDisplay(sdlBackend);
    int result = openScreen(320, 240, 24, 2, 1, 0);
    std::string cause = screenError();
    closeScreen();
    for (int i = 0; i < 3; ++i)
        if (had[i]) setenv(names[i], saved[i].c_str(), 1);
    // Only a machine with a console display (SDL's KMSDRM driver) may really open one here.
    if (result == resultOk && access("/dev/dri", F_OK) == 0) GTEST_SKIP() << "a console display opened";
    EXPECT_EQ(result, resultInvalid) << "opened with no display to show it on";
    EXPECT_NE(cause, "");
}

// Only the game's thread reads Escape: a game that has shown no page for two seconds
// gives the desktop back (no full screen, no confined pointer), and takes full screen
// again once it shows pages, its window still having the focus.
TEST(SdlDisplay, StalledGameLeavesFullScreenUntilPagesComeAgain) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    selectDisplay(sdlBackend);
    ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk) << screenError();
    int frame = 0;
    auto playing = [&frame] {  // one frame's page, then whether the pointer can be read
        setPages(frame % 2, 1 - frame % 2);
        ++frame;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return readMouse().result == 0;
    };
    push(motionEvent(-40, -40));  // off the picture: full screen clamps, a window cannot say
    EXPECT_TRUE(waitUntil(playing)) << "opens full screen";
    auto lastPage = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitUntil([] { return readMouse().result != 0; })) << "a stalled game gives up full screen";
    EXPECT_GE(std::chrono::steady_clock::now() - lastPage, std::chrono::milliseconds(1900)) << "left too soon";
    EXPECT_TRUE(waitUntil(playing)) << "pages again, full screen again";
    closeScreen();
}

// The environment variables named, restored when the test ends.
struct SavedEnvironment {
    explicit SavedEnvironment(std::vector<std::string> names) : names(std::move(names)) {
        for (const std::string& name : this->names) {
            const char* value = std::getenv(name.c_str());
            values.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name.c_str());
        }
    }
    ~SavedEnvironment() {
        for (size_t i = 0; i < names.size(); ++i)
            if (values[i]) setenv(names[i].c_str(), values[i]->c_str(), 1);
            else unsetenv(names[i].c_str());
    }
    std::vector<std::string> names;
    std::vector<std::optional<std::string>> values;
};

// A DISPLAY that names a server that is not there: the cause names that display rather
// than asking whether DISPLAY is set.
TEST(SdlDisplay, DeadDisplayIsNamed) {
    SavedEnvironment saved({"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"});
    int number = 1999;
    while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) --number;
    std::string dead = ":" + std::to_string(number);
    setenv("DISPLAY", dead.c_str(), 1);
    selectDisplay(sdlBackend);
    int result = openScreen(320, 240, 24, 2, 1, 0);
    std::string cause = screenError();
    closeScreen();
    if (result == resultOk && access("/dev/dri", F_OK) == 0) GTEST_SKIP() << "a console display opened";
    EXPECT_EQ(result, resultInvalid);
    EXPECT_NE(cause.find("DISPLAY=" + dead), std::string::npos) << cause;
}
