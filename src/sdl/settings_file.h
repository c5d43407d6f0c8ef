// The settings the desktop game remembers between runs, and the small text file they live
// in: "name = value" lines under a comment line. Plain C++ and POSIX, no SDL.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sound/sound.h"

struct Settings {
    int effectsLevel = defaultEffectsLevel;  // 0 (silent) to 4, as minus and equals step it
    bool muted = false;
    bool fullScreen = true;
    int windowScale = 0;  // the window's size as a whole factor of the page; 0: the largest that fits
};

// A settings file as read: its values, and its lines (all but the heading) to write back.
struct SettingsText {
    Settings settings;
    std::vector<std::string> lines;
};

// Reads a settings file's text. Every line the game cannot take (not "name = value", a
// name it does not know, a value out of range, bytes that are not text) is described in
// `complaints`, one entry a line ("line 3: ..."), and its setting keeps its default.
SettingsText readSettingsText(std::string_view text, std::vector<std::string>& complaints);

// The file's text for `settings`: the heading, then the lines as read with each known
// setting given its value where it stood (a repeated one only once), lines the game does
// not know as they were, and the settings the lines lacked at the end.
std::string settingsFileText(const Settings& settings, const std::vector<std::string>& lines);

// settings.conf in settingsFolder() (user_folders.h); empty when there is no such folder.
std::string settingsFilePath();

// A settings file is a few hundred bytes: one larger than this is no settings file, and
// reading it is refused before it fills the memory.
constexpr size_t largestSettingsFile = 64 * 1024;

// Reads the whole file. A missing file (or folder) is no problem (true, empty text); false
// with the reason in `problem` for one that exists but cannot be read, or is larger than
// largestSettingsFile.
bool readWholeFile(const std::string& path, std::string& text, std::string& problem);

// Writes `text` beside `path` and renames it over `path`, so a crash or a full disk leaves
// either the old file or the new one, never half of one. Makes the folder first if need
// be. False with the reason in `problem`.
bool replaceFile(const std::string& path, const std::string& text, std::string& problem);
