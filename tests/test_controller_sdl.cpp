// Game controllers on the desktop: a virtual pad (SDL's virtual joystick, opened as a game
// controller) driven while the whole game runs on the SDL display under the dummy video
// driver. The stick moves the crosshair by the mapping's pixels, the trigger draws blood
// where it points, pads come and go mid-game, and a press of Back held for a second (never
// a Back held since the start) ends the game with status 0;
// and the sound keys, through SDL's key events, set what the sound layer plays at.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/startup.h"
#include "gfx/controller.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "gfx/screen_state.h"
#include "sdl/display_sdl.h"
#include "sound/sound.h"
#include "test_art_files.h"
#include "test_fixtures.h"

namespace {

// One virtual pad with a game controller's axes and buttons, in SDL's own order.
class VirtualPad {
public:
    void attach() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "crowdfire test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(index);
        ASSERT_NE(joystick_, nullptr) << SDL_GetError();
    }
    void detach() {
        if (!joystick_) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
    }
    void axis(SDL_GameControllerAxis which, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, which, value); }
    // A virtual pad's trigger is a whole joystick axis, at rest at its lowest value.
    void trigger(SDL_GameControllerAxis which, bool pulled) { axis(which, pulled ? 32767 : -32768); }
    void button(SDL_GameControllerButton which, bool down) { SDL_JoystickSetVirtualButton(joystick_, which, down); }
    ~VirtualPad() { detach(); }

private:
    SDL_Joystick* joystick_ = nullptr;
};

// The pads as the display last read them, taken under the lock.
ControllerReading padsRead() {
    ScreenLockScope lock;
    return input.controller;
}

bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void runFrames(int count) {
    for (int i = 0; i < count; ++i) runFrame();
}

int bloodAround(int x, int y) {
    const uint32_t* page = lastDrawnPage();
    int blood = 0;
    for (int py = std::max(0, y - 12); py <= std::min(239, y + 16); ++py)
        for (int px = std::max(0, x - 12); px <= std::min(319, x + 12); ++px)
            blood += art_test::bloodRed(page[py * 320 + px]);
    return blood;
}

// The game from its run directory on the SDL display, with SDL's dummy video and audio
// drivers. The dummy video driver never gives its window the keyboard focus, and SDL
// drops a pad's input for a program without focus unless told otherwise, as a test may
// through the environment; the game's own rule (input.active) still applies.
class SdlController : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        std::filesystem::current_path(CROWDFIRE_RUN_DIR);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        // The virtual pads need the joystick subsystem on this thread, before the display's
        // thread starts opening its own.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    }
    void TearDown() override {
        closeScreen();
        closeSound();
        pad_.detach();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        std::filesystem::current_path(home_);
    }
    // Frames with the pad at rest until the crosshair stays put: the warp start-up asks for
    // has arrived and the mouse is still.
    void settle() {
        runFrames(3);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        runFrames(3);
    }
    VirtualPad pad_;
    std::filesystem::path home_;
};

}  // namespace

TEST_F(SdlController, StickMovesTheCrosshairAndTheTriggerDrawsBloodWhereItPoints) {
    pad_.attach();  // plugged in before the game starts
    ASSERT_TRUE(startUp(sdlBackend)) << screenError();
    // A stick resting a hair off centre, deep in the dead zone: seen once the game has the pad.
    pad_.axis(SDL_CONTROLLER_AXIS_LEFTY, 1);
    ASSERT_TRUE(waitUntil([] { return padsRead().leftY != 0; })) << "the game never opened the pad";
    settle();
    const int startX = game.mouseX, startY = game.mouseY;
    EXPECT_EQ(startX, 50) << "the crosshair where start-up put the pointer";

    // Full tilt right: 320/35 px a frame, 91 pixels in 10 frames. Half tilt down, 0.3 past
    // the dead zone of 0.75 to full tilt: 0.4 squared of that, 1.46 px a frame, 29 pixels
    // in 20 frames.
    pad_.axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    ASSERT_TRUE(waitUntil([] { return padsRead().leftX == 1.0f; }));
    runFrames(10);
    EXPECT_EQ(game.mouseX, startX + 91);
    EXPECT_EQ(game.mouseY, startY);
    pad_.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    pad_.axis(SDL_CONTROLLER_AXIS_LEFTY, 16384);
    ASSERT_TRUE(waitUntil([] { return padsRead().leftX == 0 && padsRead().leftY > 0.49f; }));
    runFrames(20);
    EXPECT_EQ(game.mouseX, startX + 91);
    EXPECT_EQ(game.mouseY, startY + 29);
    pad_.axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    ASSERT_TRUE(waitUntil([] { return padsRead().leftY == 0; }));
    settle();
    const int aimX = game.mouseX, aimY = game.mouseY;
    EXPECT_EQ(aimX, startX + 91) << "the stick at rest leaves the crosshair, and the pointer, where it is";
    EXPECT_EQ(aimY, startY + 29);

    // Somebody walking into the crosshair's line of fire, chest high. Start-up seeded the
    // generator from the clock; a fixed seed gives the shot the same spray on every run (from
    // one seed to another the blood that lands near the crosshair ranges from 5 to 24 pixels).
    randomize(1);
    placeWalker(1, float(aimX + game.scrollX - 6), float(aimY - 6));
    runFrame();
    const int bloodBefore = bloodAround(aimX, aimY);
    pad_.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, true);
    ASSERT_TRUE(waitUntil([] { return padsRead().rightTrigger == 1.0f; }));
    runFrame();
    EXPECT_EQ(game.fireCooldown, 20) << "the trigger fired";
    EXPECT_EQ(people[1].alive, 0) << "the shot hit the person under the crosshair";
    pad_.trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, false);
    ASSERT_TRUE(waitUntil([] { return padsRead().rightTrigger == 0; }));
    runFrames(30);
    EXPECT_GE(bloodAround(aimX, aimY), bloodBefore + 6) << "blood on the ground where the crosshair was";

    // The mouse moves (SDL reports a warp as the mouse's motion): it has the crosshair.
    setMouse(200, 40, -1);
    runFrame();
    EXPECT_EQ(game.mouseX, 200);
    EXPECT_EQ(game.mouseY, 40);
}

TEST_F(SdlController, PadsPluggedInAndPulledOutMidGameDoNoHarm) {
    ASSERT_TRUE(startUp(sdlBackend)) << screenError();
    settle();
    for (int round = 0; round < 2; ++round) {
        pad_.attach();
        pad_.axis(SDL_CONTROLLER_AXIS_RIGHTX, -32768);
        pad_.trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, true);
        ASSERT_TRUE(waitUntil([] { return padsRead().rightX == -1.0f && padsRead().leftTrigger == 1.0f; }))
            << "round " << round;
        runFrame();
        EXPECT_EQ(game.mouseButtons, rightButton) << "the left trigger holds the bomb button";
        const int x = game.mouseX;
        // Pulled out with the stick pushed and the trigger held: nothing stays held.
        pad_.detach();
        ASSERT_TRUE(waitUntil([] { return padsRead().leftTrigger == 0 && padsRead().rightX == 0; }));
        runFrames(5);
        EXPECT_EQ(game.mouseButtons, 0);
        EXPECT_EQ(game.mouseX, x) << "the crosshair stays where the pad left it";
    }
}

// runGame, the player's whole program, on the SDL display: a pad already holding Back when
// the game starts (a stuck button) does not end it; let go and pressed again, held for a
// second, it does, and the program's status is 0.
TEST_F(SdlController, BackEndsTheGameOnlyFromAPressDuringIt) {
    pad_.attach();
    pad_.button(SDL_CONTROLLER_BUTTON_BACK, true);
    constexpr int pressedAgainAfterMs = 1800;
    // Should Back never end it, Escape does, a while later, and the test fails instead of hanging.
    bool escaped = false;
    std::jthread player([this, &escaped](std::stop_token stop) {
        const auto wait = [&stop](int ms) {
            for (int i = 0; i < ms / 10 && !stop.stop_requested(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return !stop.stop_requested();
        };
        if (!wait(pressedAgainAfterMs - 100)) return;
        pad_.button(SDL_CONTROLLER_BUTTON_BACK, false);
        if (!wait(100)) return;
        pad_.button(SDL_CONTROLLER_BUTTON_BACK, true);
        if (!wait(20000)) return;
        escaped = true;
        SDL_Event escape{};
        escape.type = SDL_KEYDOWN;
        escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
        SDL_PushEvent(&escape);
    });
    const auto started = std::chrono::steady_clock::now();
    const int status = runGame(sdlBackend, GameStart{});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    player.request_stop();
    player.join();
    EXPECT_FALSE(escaped) << "Back pressed and held did not end the game";
    EXPECT_EQ(status, 0);
    EXPECT_GE(seconds, pressedAgainAfterMs / 1000.0 + 1.0) << "the stuck Back ended it, or a press did at once";
}

// The sound keys through SDL's own key events: what the sound layer plays at follows.
TEST_F(SdlController, SoundKeysReachTheSoundLayer) {
    ASSERT_TRUE(startUp(sdlBackend)) << screenError();
    ASSERT_EQ(soundReady, 1);
    runFrame();
    const auto press = [](SDL_Scancode key, int scanCode) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.scancode = key;
        SDL_PushEvent(&event);
        ASSERT_TRUE(waitUntil([scanCode] {
            ScreenLockScope lock;
            return input.keysPressedUnread[scanCode] != 0;
        }));
        runFrame();
        runFrame();
    };
    press(SDL_SCANCODE_M, scanM);
    EXPECT_TRUE(soundMuted());
    press(SDL_SCANCODE_M, scanM);
    EXPECT_FALSE(soundMuted());
    press(SDL_SCANCODE_EQUALS, scanEquals);
    press(SDL_SCANCODE_KP_PLUS, scanKeypadPlus);
    EXPECT_EQ(sfxVolumeLevel, 3);
    press(SDL_SCANCODE_MINUS, scanMinus);
    press(SDL_SCANCODE_KP_MINUS, scanKeypadMinus);
    press(SDL_SCANCODE_KP_MINUS, scanKeypadMinus);
    EXPECT_EQ(sfxVolumeLevel, 0);
}
