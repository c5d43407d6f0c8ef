// The player's settings remembered between runs: read once at start, written aside when
// the player changes one.
#include "sdl/remembered_settings.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "sdl/write_aside.h"
#include "sound/sound_device.h"

namespace {

// Written by the game's and the display's threads, under the lock.
struct Remembered {
    std::mutex lock;
    bool watching = false;
    bool mayWrite = false;  // false when the file could not be read, or there is no home
    std::string path;
    SettingsText file;           // the settings to write and the file's other lines
    bool fullScreenSeen = true;  // the form the game had when last looked at
};
Remembered remembered;

// What the game ran with when last told, so only a setting the player moved goes into the file.
struct SoundSeen {
    int effectsLevel = -1;
    bool muted = false;
};
SoundSeen soundSeen;

// Only the writing thread touches it.
bool failureSaid = false;

void writeFile(const std::string& path, const std::string& text) {
    std::string problem;
    if (replaceFile(path, text, problem) || failureSaid) return;
    std::fprintf(stderr, "crowdfire: cannot save the settings (%s); the game goes on without them\n", problem.c_str());
    failureSaid = true;
}

// Under the lock.
void saveLater() {
    if (remembered.mayWrite)
        writeAside([path = remembered.path, text = settingsFileText(remembered.file.settings, remembered.file.lines)] {
            writeFile(path, text);
        });
}

}  // namespace

Settings recallSettings() {
    std::lock_guard<std::mutex> guard(remembered.lock);
    remembered.path = settingsFilePath();
    remembered.file = SettingsText{};
    remembered.mayWrite = false;
    if (remembered.path.empty()) {
        std::fprintf(stderr, "crowdfire: neither XDG_CONFIG_HOME nor HOME is set; settings are not remembered\n");
        return remembered.file.settings;
    }
    std::string text, problem;
    if (!readWholeFile(remembered.path, text, problem)) {
        std::fprintf(stderr, "crowdfire: cannot read %s (%s); playing with the default settings\n",
                     remembered.path.c_str(), problem.c_str());
        return remembered.file.settings;
    }
    std::vector<std::string> complaints;
    remembered.file = readSettingsText(text, complaints);
    for (const std::string& complaint : complaints)
        std::fprintf(stderr, "crowdfire: %s, %s; ignored\n", remembered.path.c_str(), complaint.c_str());
    remembered.mayWrite = true;
    return remembered.file.settings;
}

void startRemembering(const Settings& now) {
    std::lock_guard<std::mutex> guard(remembered.lock);
    remembered.fullScreenSeen = now.fullScreen;
    remembered.watching = true;
    soundSeen = SoundSeen{now.effectsLevel, now.muted};
}

// The sound layer tells of the player's changes, on the game's thread.
void soundSettingsChanged(int effectsLevel, bool muted) {
    std::lock_guard<std::mutex> guard(remembered.lock);
    if (!remembered.watching) return;
    if (effectsLevel != soundSeen.effectsLevel) remembered.file.settings.effectsLevel = effectsLevel;
    if (muted != soundSeen.muted) remembered.file.settings.muted = muted;
    soundSeen = SoundSeen{effectsLevel, muted};
    saveLater();
}

void noticeFullScreenChoice(bool fullScreen) {
    std::lock_guard<std::mutex> guard(remembered.lock);
    if (!remembered.watching || fullScreen == remembered.fullScreenSeen) return;
    remembered.fullScreenSeen = fullScreen;
    remembered.file.settings.fullScreen = fullScreen;
    saveLater();
}
