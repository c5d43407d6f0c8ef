#include "sdl/desktop_game.h"

#include <cstdio>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/screen.h"
#include "sdl/display_sdl.h"
#include "sdl/remembered_settings.h"
#include "sdl/write_aside.h"
#include "sound/sound.h"

namespace {

bool openFullScreen = true;

// The game opens its screen asking for full screen; this run's form is decided here.
bool startInChosenForm(bool, const char*& error) { return sdlBackend.start(openFullScreen, error); }

// The game's thread wakes the display once a frame, after it has read the sound keys: the
// effects level and the mute are looked at there, on the thread that owns them.
void wakeAndNotice() {
    sdlBackend.wake();
    noticeSoundSettings(sfxVolumeLevel, soundMuted());
}

const DisplayBackend rememberingBackend = {startInChosenForm,  sdlBackend.stop,        wakeAndNotice,
                                           sdlBackend.pointer, sdlBackend.movePointer, sdlBackend.showPointer};

Settings settingsForThisRun(const RunChoices& choices) {
    Settings run = recallSettings();
    if (choices.form != RunChoices::Form::remembered) run.fullScreen = choices.form == RunChoices::Form::fullScreen;
    if (choices.windowScale > 0) run.windowScale = choices.windowScale;
    if (choices.effectsLevel >= 0) run.effectsLevel = choices.effectsLevel;
    if (choices.mute) run.muted = true;
    return run;
}

}  // namespace

int playDesktopGame(const RunChoices& choices) {
    const Settings run = settingsForThisRun(choices);
    openFullScreen = run.fullScreen;
    chooseWindowScale(run.windowScale);
    setSoundMuted(run.muted);  // start-up keeps the mute as it finds it
    if (!startUp(rememberingBackend, SoundStart::inBackground)) {
        std::fprintf(stderr, "crowdfire: cannot open the screen: %s\n", screenError());
        return 1;
    }
    setVolumeLevels(run.effectsLevel, musicVolumeLevel);  // start-up set the default level
    applyVolumes();
    startRemembering(run);
    runFrameLoop();
    closeScreen();
    finishWritingAside();
    return 0;
}
