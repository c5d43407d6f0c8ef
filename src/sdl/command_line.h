// The desktop game's command line, GNU style (getopt_long): what a player may ask for one
// run. Plain C++, no SDL: nothing is opened before the whole line has been read.
#pragma once

#include <string>

// What one run was asked for; unset choices are taken from the remembered settings.
struct RunChoices {
    enum class Form { remembered, window, fullScreen };
    Form form = Form::remembered;
    int windowScale = -1;    // -1: as remembered; otherwise 1 and up
    int effectsLevel = -1;   // -1: as remembered; otherwise 0 to 4
    bool mute = false;       // true: silent for this run
    std::string replayFile;  // a replay to watch instead of a game to play; empty: play
};

enum class CommandLineVerdict { play, help, version, refused };

// Reads argv. For refused, `refusal` is the one line to print (without the program's name
// or a newline), naming what was wrong.
CommandLineVerdict readCommandLine(int argc, char** argv, RunChoices& choices, std::string& refusal);

// What --help and --version print.
const char* helpText();
const char* versionText();
