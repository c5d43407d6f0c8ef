// The settings file's text read and written back line by line, and the file itself read
// (never past 64 KiB) and replaced whole.
#include "sdl/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sdl/user_folders.h"
#include "sdl/whole_files.h"
#include "sdl/write_aside.h"

namespace {

constexpr std::string_view heading =
    "# crowdfire settings: the game rewrites this file when you change one, and keeps lines it does not know";

enum class Key { effects, mute, fullScreen, scale, count };
constexpr std::string_view keyNames[int(Key::count)] = {"effects", "mute", "fullscreen", "scale"};

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isPlainText(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 && c != '\t' && c != '\r') return false;
    return true;
}

// Quoted for a message; a long value is cut short.
std::string quoted(std::string_view text) {
    std::string out(1, '\'');
    out += text.substr(0, 40);
    out += text.size() > 40 ? "...'" : "'";
    return out;
}

// The setting a line names, or Key::count: blanks, comments, and anything else.
Key keyOfLine(std::string_view line) {
    line = trimmed(line);
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string_view::npos) return Key::count;
    const std::string_view name = trimmed(line.substr(0, equals));
    for (int k = 0; k < int(Key::count); ++k)
        if (name == keyNames[k]) return Key(k);
    return Key::count;
}

bool readWholeNumber(std::string_view text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6) return false;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high) return false;
    value = number;
    return true;
}

bool readYesNo(std::string_view text, bool& value) {
    const bool yes = text == "yes" || text == "true" || text == "on" || text == "1";
    const bool no = text == "no" || text == "false" || text == "off" || text == "0";
    if (yes || no) value = yes;
    return yes || no;
}

// Takes one "name = value" line into `settings`; an empty answer, or what is wrong with it.
std::string takeSetting(std::string_view line, Settings& settings) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return "not a 'name = value' line";
    const std::string_view name = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));
    switch (keyOfLine(line)) {
        case Key::effects:
            if (readWholeNumber(value, 0, 4, settings.effectsLevel)) return {};
            return "effects takes a level from 0 to 4, not " + quoted(value);
        case Key::mute:
            if (readYesNo(value, settings.muted)) return {};
            return "mute takes yes or no, not " + quoted(value);
        case Key::fullScreen:
            if (readYesNo(value, settings.fullScreen)) return {};
            return "fullscreen takes yes or no, not " + quoted(value);
        case Key::scale:
            if (value == "auto") {
                settings.windowScale = 0;
                return {};
            }
            if (readWholeNumber(value, 1, 16, settings.windowScale)) return {};
            return "scale takes auto or a whole number from 1 to 16, not " + quoted(value);
        case Key::count: break;
    }
    return "unknown setting " + quoted(name);
}

std::string valueText(const Settings& settings, Key key) {
    switch (key) {
        case Key::effects: return std::to_string(settings.effectsLevel);
        case Key::mute: return settings.muted ? "yes" : "no";
        case Key::fullScreen: return settings.fullScreen ? "yes" : "no";
        case Key::scale: return settings.windowScale > 0 ? std::to_string(settings.windowScale) : "auto";
        case Key::count: break;
    }
    return {};
}

std::string settingLine(const Settings& settings, Key key) {
    return std::string(keyNames[int(key)]) + " = " + valueText(settings, key);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

SettingsText readSettingsText(std::string_view text, std::vector<std::string>& complaints) {
    SettingsText read;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line == heading) continue;
        read.lines.emplace_back(line);
        const std::string_view content = trimmed(line);
        if (content.empty() || content[0] == '#') continue;
        const std::string wrong = isPlainText(line) ? takeSetting(content, read.settings) : "bytes that are not text";
        if (!wrong.empty()) complaints.push_back("line " + std::to_string(number) + ": " + wrong);
    }
    return read;
}

std::string settingsFileText(const Settings& settings, const std::vector<std::string>& lines) {
    std::string text = std::string(heading) + "\n";
    bool written[int(Key::count)] = {};
    for (const std::string& line : lines) {
        const Key key = keyOfLine(line);
        if (key == Key::count) {
            text += line + "\n";
        } else if (!written[int(key)]) {
            text += settingLine(settings, key) + "\n";
            written[int(key)] = true;
        }
    }
    for (int k = 0; k < int(Key::count); ++k)
        if (!written[k]) text += settingLine(settings, Key(k)) + "\n";
    return text;
}

std::string settingsFilePath() {
    const std::string folder = settingsFolder();
    return folder.empty() ? folder : folder + "/settings.conf";
}

bool readWholeFile(const std::string& path, std::string& text, std::string& problem) {
    text.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return true;  // no file, not even a folder for one
        problem = std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    const bool readable = readUpTo(fd, largestSettingsFile, bytes);
    if (!readable) problem = std::strerror(errno);
    close(fd);
    if (readable && bytes.size() <= largestSettingsFile) {
        text.assign(bytes.begin(), bytes.end());
        return true;
    }
    if (readable)
        problem = "larger than " + std::to_string(largestSettingsFile / 1024) + " KiB, far more than settings take";
    return false;
}

bool replaceFile(const std::string& path, const std::string& text, std::string& problem) {
    const std::string folder = folderOf(path);
    if (!makeFolders(folder, 0700)) {
        problem = "cannot make " + folder + ": " + std::strerror(errno);
        return false;
    }
    // Named for this process, so two games saving at once never write into one file.
    const std::string beside = path + ".new" + std::to_string(getpid());
    const int fd = open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = "cannot write in " + folder + ": " + std::strerror(errno);
        return false;
    }
    // The data reaches the disk before the rename makes it the file.
    bool done = writeWhole(fd, text.data(), text.size()) && fsync(fd) == 0;
    int error = errno;
    done = close(fd) == 0 && done;
    if (done && rename(beside.c_str(), path.c_str()) == 0) return true;
    if (done) error = errno;
    problem = "cannot write " + path + ": " + std::strerror(error);
    unlink(beside.c_str());
    return false;
}
