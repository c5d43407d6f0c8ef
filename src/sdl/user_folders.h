// Where the desktop game keeps the player's files, by the XDG rule every desktop follows:
// the folder a variable names wins when it is set to an absolute path, else its usual
// place under $HOME, else there is no folder (an empty string) and nothing is kept. And
// the one naming rule of the files a game makes there by itself (screenshots, replays).
#pragma once

#include <ctime>
#include <optional>
#include <string>

// $XDG_CONFIG_HOME/crowdfire, else ~/.config/crowdfire: the settings file's folder.
std::string settingsFolder();
// $XDG_PICTURES_DIR/crowdfire, else ~/Pictures/crowdfire: screenshots.
std::string screenshotFolder();
// $XDG_DATA_HOME/crowdfire/replays, else ~/.local/share/crowdfire/replays: recorded games.
std::string replayFolder();

// Creates a new file in `folder` (which must exist) named for the local time `taken`:
// crowdfire-YYYY-MM-DD_HH-MM-SS`extension`, and when that name is taken -2, -3 ... -99
// after the time, so no file is ever overwritten. Returns its descriptor, or -1 with errno
// set; `path` is the last name tried.
int createTimeNamedFile(const std::string& folder, std::time_t taken, const char* extension, std::string& path);

// Where a file named by createTimeNamedFile stands among the others: its time as named,
// then its number (1 for none, then 2 to 99). Nothing for any other name.
struct TimeNamedPlace {
    std::string stamp;
    int number;
    auto operator<=>(const TimeNamedPlace&) const = default;
};
std::optional<TimeNamedPlace> timeNamedPlace(const std::string& name, const char* extension);
