// The desktop game: the command line first, so --help, --version and a mistyped option
// open no display and no sound device; then the remembered settings, and the game on SDL's
// display, with the sound device over SDL2_mixer linked beside it.
#include <cstdio>
#include <string>

#include "game/startup.h"
#include "sdl/command_line.h"
#include "sdl/display_sdl.h"
#include "sdl/remembered_settings.h"
#include "sdl/write_aside.h"

namespace {

// What the command line asks for holds for this run; the rest is as remembered.
Settings settingsForThisRun(const RunChoices& choices) {
    Settings run = recallSettings();
    if (choices.form != RunChoices::Form::remembered) run.fullScreen = choices.form == RunChoices::Form::fullScreen;
    if (choices.windowScale > 0) run.windowScale = choices.windowScale;
    if (choices.effectsLevel >= 0) run.effectsLevel = choices.effectsLevel;
    if (choices.mute) run.muted = true;
    return run;
}

GameStart gameStartFor(const Settings& run) {
    GameStart start;
    start.fullScreen = run.fullScreen;
    start.windowScale = run.windowScale;
    start.effectsLevel = run.effectsLevel;
    start.muted = run.muted;
    return start;
}

}  // namespace

int main(int argc, char** argv) {
    RunChoices choices;
    std::string refusal;
    switch (readCommandLine(argc, argv, choices, refusal)) {
        case CommandLineVerdict::help: std::fputs(helpText(), stdout); return 0;
        case CommandLineVerdict::version: std::fputs(versionText(), stdout); return 0;
        case CommandLineVerdict::refused:
            std::fprintf(stderr, "crowdfire: %s (try 'crowdfire --help')\n", refusal.c_str());
            return 2;
        case CommandLineVerdict::play: break;
    }
    const Settings run = settingsForThisRun(choices);
    startRemembering(run);
    const int status = runGame(sdlBackend, gameStartFor(run));
    finishWritingAside();
    return status;
}
