// The desktop game: the command line first, so --help, --version and a mistyped option
// open no display and no sound device; then the remembered settings, and the game on SDL's
// display, with the sound device over SDL2_mixer linked beside it. A game played is kept as
// a replay; a replay named on the command line is read and checked before anything opens.
#include <cstdio>
#include <string>
#include <vector>

#include "game/replay_file.h"
#include "game/replays.h"
#include "game/startup.h"
#include "sdl/command_line.h"
#include "sdl/display_sdl.h"
#include "sdl/remembered_settings.h"
#include "sdl/replay_files.h"
#include "sdl/replay_keeping.h"
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

// Reads and surveys the replay to watch; false, once it has said why on stderr, when the
// file cannot play. A replay of another version is said and played all the same.
bool readReplayToWatch(const std::string& path, std::vector<uint8_t>& bytes) {
    std::string problem;
    if (!readReplayFile(path, bytes, problem)) {
        std::fprintf(stderr, "crowdfire: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    const ReplaySurvey survey = surveyReplay(bytes.data(), bytes.size());
    if (!survey.playable) {
        std::fprintf(stderr, "crowdfire: %s: %s\n", path.c_str(), survey.words);
        return false;
    }
    const ReplayNote note = replayVersionNote(survey);
    if (note.text[0]) std::fprintf(stderr, "crowdfire: %s: %s\n", path.c_str(), note.text);
    return true;
}

// Watching keeps no replay; the verdict is the program's last line and its status.
int watchReplay(const std::vector<uint8_t>& replay, GameStart start) {
    start.replayToWatch = replay;
    if (runGame(sdlBackend, start) != 0) return 1;
    const ReplayVerdict verdict = replayVerdict();
    std::printf("%s\n", verdict.line);
    return verdict.status;
}

int playGame(GameStart start) {
    start.keepReplay = keepReplayPiece;
    const int status = runGame(sdlBackend, start);
    finishKeepingReplay();
    return status;
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
    std::vector<uint8_t> replay;
    if (!choices.replayFile.empty() && !readReplayToWatch(choices.replayFile, replay)) return 1;
    const Settings run = settingsForThisRun(choices);
    startRemembering(run);
    const GameStart start = gameStartFor(run);
    const int status = choices.replayFile.empty() ? playGame(start) : watchReplay(replay, start);
    finishWritingAside();
    return status;
}
