// The desktop game: the command line first, so --help, --version and a mistyped option
// open no display and no sound device; then SDL's display, and the sound device over
// SDL2_mixer linked beside it.
#include <cstdio>
#include <string>

#include "sdl/command_line.h"
#include "sdl/desktop_game.h"

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
    return playDesktopGame(choices);
}
