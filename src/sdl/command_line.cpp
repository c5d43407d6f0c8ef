// The desktop game's command line read with getopt_long, and the words of --help and
// --version.
#include "sdl/command_line.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef CROWDFIRE_VERSION
#define CROWDFIRE_VERSION "unknown"
#endif

namespace {

constexpr int maxWindowScale = 16;  // 5120 x 3840: beyond any screen sold today

const option longOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"window", no_argument, nullptr, 'w'},
    {"fullscreen", no_argument, nullptr, 'f'},
    {"scale", required_argument, nullptr, 's'},
    {"effects", required_argument, nullptr, 'e'},
    {"mute", no_argument, nullptr, 'm'},
    {"replay", required_argument, nullptr, 'r'},
    {nullptr, 0, nullptr, 0},
};
// The leading colon makes getopt tell a missing value (':') from an unknown option ('?').
constexpr const char* shortOptions = ":hVwfs:e:mr:";

const char* longNameOf(int shortName) {
    for (const option& o : longOptions)
        if (o.name && o.val == shortName) return o.name;
    return "";
}

// A whole number from low to high, the whole text of it and nothing else.
bool readWholeNumber(const char* text, int low, int high, int& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || number < low || number > high) return false;
    value = int(number);
    return true;
}

// What getopt just stumbled on, as the player typed it.
std::string offendingWord(char** argv, int shortName) {
    if (shortName == 0 || std::strncmp(argv[optind - 1], "--", 2) == 0) return argv[optind - 1];
    return std::string("-") + char(shortName);
}

std::string refusalFor(int result, char** argv) {
    const std::string word = offendingWord(argv, optopt);
    if (result == ':') return "option '" + word + "' needs a value";
    if (optopt != 0 && word.find('=') != std::string::npos)
        return "option '--" + std::string(longNameOf(optopt)) + "' takes no value";
    return "unknown option '" + word + "'";
}

}  // namespace

CommandLineVerdict readCommandLine(int argc, char** argv, RunChoices& choices, std::string& refusal) {
    choices = RunChoices{};
    opterr = 0;  // the refusals are ours, one line each
    optind = 0;  // glibc: start afresh, so the line can be read more than once (tests)
    bool help = false, version = false;
    for (;;) {
        const int result = getopt_long(argc, argv, shortOptions, longOptions, nullptr);
        if (result == -1) break;
        switch (result) {
            case 'h': help = true; break;
            case 'V': version = true; break;
            case 'w': choices.form = RunChoices::Form::window; break;
            case 'f': choices.form = RunChoices::Form::fullScreen; break;
            case 'm': choices.mute = true; break;
            case 'r':
                if (*optarg) {
                    choices.replayFile = optarg;
                    break;
                }
                refusal = "--replay takes the path of a replay file";
                return CommandLineVerdict::refused;
            case 's':
                if (readWholeNumber(optarg, 1, maxWindowScale, choices.windowScale)) break;
                refusal = "--scale takes a whole number from 1 to 16, not '" + std::string(optarg) + "'";
                return CommandLineVerdict::refused;
            case 'e':
                if (readWholeNumber(optarg, 0, 4, choices.effectsLevel)) break;
                refusal = "--effects takes a level from 0 to 4, not '" + std::string(optarg) + "'";
                return CommandLineVerdict::refused;
            default: refusal = refusalFor(result, argv); return CommandLineVerdict::refused;
        }
    }
    if (optind < argc) {
        refusal = "unexpected argument '" + std::string(argv[optind]) + "'";
        return CommandLineVerdict::refused;
    }
    if (help) return CommandLineVerdict::help;
    return version ? CommandLineVerdict::version : CommandLineVerdict::play;
}

const char* helpText() {
    return "Usage: crowdfire [OPTION]...\n"
           "Shoot and bomb a crowd walking across a town square. Escape ends the game.\n"
           "\n"
           "  -w, --window       play in a window this time\n"
           "  -f, --fullscreen   play full screen this time\n"
           "  -s, --scale=N      make the window N times the game's 320 x 240 (1 to 16)\n"
           "  -e, --effects=N    effects volume for this run, 0 (silent) to 4\n"
           "  -m, --mute         start with the sound muted\n"
           "  -r, --replay=FILE  watch a replay instead of playing: Space or P pauses, the\n"
           "                     full stop steps a frame while paused, F held runs it fast,\n"
           "                     Escape stops it\n"
           "  -h, --help         show this help and leave\n"
           "  -V, --version      show the version and leave\n"
           "\n"
           "Options hold for one run. The effects level (minus and equals), the mute (M) and\n"
           "full screen or window (Alt+Enter) are remembered in\n"
           "$XDG_CONFIG_HOME/crowdfire/settings.conf (~/.config/crowdfire/ when unset).\n"
           "F12 saves a screenshot in $XDG_PICTURES_DIR/crowdfire/ (else ~/Pictures/crowdfire/).\n"
           "Every game is kept as a replay in $XDG_DATA_HOME/crowdfire/replays/\n"
           "(~/.local/share/crowdfire/replays/ when unset), the newest 100 of them; a game\n"
           "that is killed keeps every second up to its last. A replay that was cut short\n"
           "or damaged plays as far as it holds.\n"
           "\n"
           "Exit status: 0 when the game ends with Escape, or a replay ends or is stopped\n"
           "with every second as it was recorded; 1 when the game cannot start or the\n"
           "replay cannot be played; 2 for a command line it does not understand; 3 when a\n"
           "replay left its recorded game (one from another version may).\n";
}

const char* versionText() { return "crowdfire " CROWDFIRE_VERSION "\n"; }
