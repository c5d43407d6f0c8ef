// Sound in the whole game: start-up loads every generated sample from the run directory,
// a click is heard, the sound keys set what the mixer plays at, and without a sound
// device the game plays on silently.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "sound/sound.h"

namespace {

// Starts the game from the run directory, where its artwork and Sound folder are.
class SoundInGame : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        std::filesystem::current_path(CROWDFIRE_RUN_DIR);
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        if (driver != nullptr) savedDriver_ = driver;
        headlessSetActive(true);
        headlessSetButtons(0);
    }
    void TearDown() override {
        headlessSetButtons(0);
        closeScreen();
        closeSound();
        setSoundMuted(false);
        if (savedDriver_.empty()) unsetenv("SDL_AUDIODRIVER");
        else setenv("SDL_AUDIODRIVER", savedDriver_.c_str(), 1);
        std::filesystem::current_path(home_);
    }
    // A click at a screen point for one frame, then the button let go.
    static void clickFrame(int buttons, int x, int y) {
        headlessSetPointer(x, y);
        headlessSetButtons(buttons);
        runFrame();
        headlessSetButtons(0);
    }
    std::filesystem::path home_;
    std::string savedDriver_;
};

TEST_F(SoundInGame, StartUpLoadsEverySampleAndAShotIsHeard) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(startUp(headlessBackend)) << screenError();
    ASSERT_EQ(soundReady, 1);
    EXPECT_EQ(soundBank[0], 0) << "slot 0 is never filled";
    for (int slot = 1; slot <= lastSampleSlot; ++slot) EXPECT_NE(soundBank[slot], 0) << "slot " << slot;

    runFrame();
    EXPECT_EQ(Mix_Playing(-1), 0) << "nothing plays until the player acts";
    clickFrame(leftButton, 160, 5);  // a shot into the sky
    EXPECT_EQ(game.fireCooldown, 20);
    EXPECT_GE(Mix_Playing(-1), 1) << "the shot is playing";
    EXPECT_EQ(Mix_MasterVolume(-1), 32) << "volume level 1: 63 of 255";
}

TEST_F(SoundInGame, WithoutADeviceTheGamePlaysOnSilently) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    ASSERT_TRUE(startUp(headlessBackend)) << screenError();
    EXPECT_EQ(soundReady, 0);
    for (int slot = 0; slot <= lastSampleSlot; ++slot) EXPECT_EQ(soundBank[slot], 0) << "no sample is loaded";

    // Shots and a bomb go on as ever: cooldowns run, the bomb falls, the crowd walks.
    float firstX = people[1].x;
    clickFrame(leftButton, 160, 5);
    EXPECT_EQ(game.fireCooldown, 20);
    for (int i = 0; i < 25; ++i) runFrame();
    clickFrame(rightButton, 160, 200);
    EXPECT_EQ(bombs[1].active, 1) << "the bomb drops without its whistle";
    for (int i = 0; i < 150; ++i) runFrame();
    EXPECT_EQ(bombs[1].active, 0) << "and explodes without its boom";
    EXPECT_GT(people[1].x, firstX) << "the crowd kept walking";
}

// One frame with the key held, then one with it let go.
void pressKey(int scanCode) {
    headlessSetKey(scanCode, true);
    runFrame();
    headlessSetKey(scanCode, false);
    runFrame();
}

// M mutes and unmutes, minus and equals (and the keypad's) step the effects' level from
// 1, once per press however long the key is held; the mixer follows at once.
TEST_F(SoundInGame, SoundKeysMuteAndStepTheVolumeOncePerPress) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(startUp(headlessBackend)) << screenError();
    ASSERT_EQ(soundReady, 1);
    runFrame();
    EXPECT_EQ(sfxVolumeLevel, 1);

    headlessSetKey(scanM, true);
    for (int i = 0; i < 10; ++i) runFrame();
    EXPECT_TRUE(soundMuted()) << "held for ten frames: muted once, not toggled ten times";
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
    headlessSetKey(scanM, false);
    runFrame();
    EXPECT_TRUE(soundMuted());
    pressKey(scanM);
    EXPECT_FALSE(soundMuted());
    EXPECT_EQ(Mix_MasterVolume(-1), 32) << "level 1 again: 63 of 255";

    pressKey(scanEquals);
    EXPECT_EQ(sfxVolumeLevel, 2);
    EXPECT_EQ(Mix_MasterVolume(-1), 63) << "126 of 255";
    for (int i = 0; i < 4; ++i) pressKey(scanKeypadPlus);
    EXPECT_EQ(sfxVolumeLevel, 4) << "the loudest of the five levels";
    EXPECT_EQ(Mix_MasterVolume(-1), 128);
    pressKey(scanMinus);
    EXPECT_EQ(sfxVolumeLevel, 3);
    for (int i = 0; i < 5; ++i) pressKey(scanKeypadMinus);
    EXPECT_EQ(sfxVolumeLevel, 0) << "the silent level";
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
}

}  // namespace
