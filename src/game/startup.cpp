// Start-up: the game's memory reset, the screen opened, the artwork cut into the banks,
// the sound started, the opening crowd placed and the generator seeded.
#include "game/startup.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/crowd.h"
#include "game/frame_loop.h"
#include "game/game_files.h"
#include "game/game_state.h"
#include "game/numbers.h"
#include "game/people_sheet.h"
#include "gfx/clock.h"
#include "gfx/input.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "sound/sound.h"

namespace {

struct Cut {
    int slot;
    int x1, y1, x2, y2;
};

// Rectangles of the sprite sheet, corners included.
constexpr Cut spriteCuts[] = {
    {1, 0, 0, 16, 17},     // crosshair
    {2, 29, 0, 45, 17},    // firing overlay
    {3, 116, 0, 140, 25},  // blast frames 1 to 6: slot i + 2 at x = 29i + 87
    {4, 145, 0, 169, 25}, {5, 174, 0, 198, 25}, {6, 203, 0, 227, 25},
    {7, 232, 0, 256, 25}, {8, 261, 0, 285, 25}, {9, 60, 7, 68, 17},  // bomb
    {11, 5, 40, 21, 47},                                             // scorch mark
    {12, 30, 43, 36, 46},                                            // bomb shadow, close
    {13, 39, 43, 46, 45},                                            // bomb shadow, far
};

// Frame f of a people sheet, corners included, from the layout the art tool paints in.
Cut peopleFrameCut(int f) {
    const SheetRect r = peopleFrameRect(f);
    return Cut{f, r.left, r.top, r.left + r.width - 1, r.top + r.height - 1};
}

template <class Bank>
void cut(Bank& bank, int slot, const Cut& c) {
    grabImage(float(c.x1), float(c.y1), float(c.x2), float(c.y2), bankRow(bank, slot), bankEnd(bank));
}

// One line on stderr for every picture that could not be loaded, so that a game started
// away from its data says why it shows black instead of passing for a working one.
void reportMissingPictures(const std::string& names) {
    if (names.empty()) return;
    std::error_code ignored;
    std::string folder = std::filesystem::current_path(ignored).string();
    std::fprintf(stderr, "crowdfire: cannot load the pictures%s from %s; they stay black\n", names.c_str(),
                 folder.empty() ? "the current directory" : folder.c_str());
}

// Each bitmap is drawn over what the page already holds, so a missing file leaves the
// previous picture to be cut: the game goes on with black or stale images.
void loadArtwork() {
    std::string failed;
    auto load = [&failed](const std::string& name) {
        if (loadBitmap(name.c_str()) != resultOk) failed += " " + name;
    };
    for (int i = 0; i < 2; ++i) {
        load(backgroundPictures[i]);
        cut(backgroundBank, i + 1, Cut{i + 1, 0, 0, 319, 239});
    }
    load(spritesPicture);
    for (const Cut& c : spriteCuts) cut(spriteBank, c.slot, c);
    for (int sheet = firstManKind; sheet <= womanKind; ++sheet) {
        load(peopleSheetPictures[sheet - firstManKind]);
        int base = kindBlockSize * (sheet - 1);
        for (int f = 1; f <= peopleSheetFrameCount; ++f) cut(peopleBank, base + f, peopleFrameCut(f));
    }
    reportMissingPictures(failed);
}

// Without a sound device no sample is loaded and every slot stays 0: the game runs
// silently. A sample that fails to load leaves its own slot at 0 and nothing else.
void startSound(SoundStart soundStart) {
    if (soundStart == SoundStart::inBackground) {
        initSoundInBackground(gameSamples);
        return;
    }
    initSound(gameSamples);
}

// The opening crowd: people 1 to crowdCount placed as newcomers, the first 49 of them
// alive, each given a kind by a fourth draw.
void placeOpeningCrowd() {
    for (int i = 1; i <= game.crowdCount; ++i) {
        Entity& person = people[i];
        placeNewcomer(person);
        person.alive = i < 50 ? 1 : 0;
        person.kind = randomBelow(personKindCount) + firstManKind;
    }
}

}  // namespace

bool startUp(const DisplayBackend& backend, const GameStart& start, SoundStart soundStart) {
    // Everything as a fresh process has it, so tests and tools can start the game again.
    resetGameMemory();
    resetRandomGenerator();
    game.targetFps = 70;

    selectDisplay(backend);
    chooseWindowScale(start.windowScale);
    if (openScreen(320, 240, 24, 2, start.fullScreen ? 1 : 0, 0) != resultOk) return false;
    setPages(1, 0);
    setMouse(50, 50, 0);
    setPages(game.workPage, game.workPage ^ 1);
    loadArtwork();

    startSound(soundStart);

    game.crowdDirection = 1;
    game.crowdCount = 100;
    game.scrollX = 160;
    startSoundSettings(start.effectsLevel, start.musicLevel, start.muted);
    game.shakeFrames = 0;
    placeOpeningCrowd();
    // The opening crowd came from the unseeded generator, so it is the same on every
    // start; everything random from here on differs from run to run, unless the run names
    // its seed.
    uint32_t seed = start.seed ? *start.seed : seedFromNumber(timer());
    if (start.replayToWatch.empty()) beginRecording(seed, start.keepReplay);
    else seed = beginWatching(start.replayToWatch.data(), start.replayToWatch.size());
    seedRandom(seed);
    return true;
}

bool startGame(const DisplayBackend& backend, const GameStart& start) {
    if (startUp(backend, start, SoundStart::inBackground)) return true;
    // An invisible game that nothing can stop helps nobody: say why and leave.
    std::fprintf(stderr, "crowdfire: cannot open the screen: %s\n", screenError());
    return false;
}

void endGame() {
    endRecording();
    closeScreen();
}

int runGame(const DisplayBackend& backend, const GameStart& start) {
    if (!startGame(backend, start)) return 1;
    runFrameLoop();
    endGame();
    return 0;
}
