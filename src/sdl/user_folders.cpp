// The one XDG rule behind every folder the desktop game writes the player's files into,
// and the one way the files it makes there by itself are named.
#include "sdl/user_folders.h"

#include <fcntl.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* namePrefix = "crowdfire-";
constexpr const char* stampForm = "%Y-%m-%d_%H-%M-%S";
constexpr const char* stampShape = "dddd-dd-dd_dd-dd-dd";  // d: a digit; else itself
constexpr int maxNamesPerSecond = 99;                      // -2 to -99 after a name already taken

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

bool hasStampShape(const std::string& text) {
    if (text.size() != std::strlen(stampShape)) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (stampShape[i] == 'd' ? !digit : text[i] != stampShape[i]) return false;
    }
    return true;
}

// "" is 1; "-2" to "-99" as written by createTimeNamedFile (no leading zero); else 0.
int nameNumber(const std::string& text) {
    if (text.empty()) return 1;
    if (text.size() < 2 || text.size() > 3 || text[0] != '-' || text[1] == '0') return 0;
    for (size_t i = 1; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    const int number = std::atoi(text.c_str() + 1);
    return number >= 2 ? number : 0;
}

}  // namespace

std::string settingsFolder() { return userFolder("XDG_CONFIG_HOME", ".config", "crowdfire"); }

std::string screenshotFolder() { return userFolder("XDG_PICTURES_DIR", "Pictures", "crowdfire"); }

std::string replayFolder() { return userFolder("XDG_DATA_HOME", ".local/share", "crowdfire/replays"); }

int createTimeNamedFile(const std::string& folder, std::time_t taken, const char* extension, std::string& path) {
    std::tm local{};
    localtime_r(&taken, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, stampForm, &local);
    for (int n = 1; n <= maxNamesPerSecond; ++n) {
        path = folder + "/" + namePrefix + stamp;
        if (n > 1) {
            path += '-';  // appended apart: GCC 12 at -O3 warns of a false overlap in "-" + string
            path += std::to_string(n);
        }
        path += extension;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

std::optional<TimeNamedPlace> timeNamedPlace(const std::string& name, const char* extension) {
    const size_t prefix = std::strlen(namePrefix), stampLength = std::strlen(stampShape);
    const size_t ending = std::strlen(extension);
    if (name.size() < prefix + stampLength + ending || name.compare(0, prefix, namePrefix) != 0 ||
        name.compare(name.size() - ending, ending, extension) != 0)
        return std::nullopt;
    const std::string stamp = name.substr(prefix, stampLength);
    const int number = nameNumber(name.substr(prefix + stampLength, name.size() - prefix - stampLength - ending));
    if (!hasStampShape(stamp) || number == 0) return std::nullopt;
    return TimeNamedPlace{stamp, number};
}
