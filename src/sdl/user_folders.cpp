// The one XDG rule behind every folder the desktop game writes the player's files into.
#include "sdl/user_folders.h"

#include <cstdlib>

namespace {

// A relative value is ignored, as the XDG rule asks: it would depend on where the game
// was started.
const char* absolutePathIn(const char* variable) {
    const char* value = std::getenv(variable);
    return value && value[0] == '/' ? value : nullptr;
}

// variable/own, else $HOME/underHome/own, else empty.
std::string userFolder(const char* variable, const char* underHome, const char* own) {
    if (const char* base = absolutePathIn(variable)) return std::string(base) + "/" + own;
    if (const char* home = absolutePathIn("HOME")) return std::string(home) + "/" + underHome + "/" + own;
    return {};
}

}  // namespace

std::string settingsFolder() { return userFolder("XDG_CONFIG_HOME", ".config", "crowdfire"); }

std::string screenshotFolder() { return userFolder("XDG_PICTURES_DIR", "Pictures", "crowdfire"); }

std::string replayFolder() { return userFolder("XDG_DATA_HOME", ".local/share", "crowdfire/replays"); }
