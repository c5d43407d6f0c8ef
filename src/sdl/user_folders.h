// Where the desktop game keeps the player's files, by the XDG rule every desktop follows:
// the folder a variable names wins when it is set to an absolute path, else its usual
// place under $HOME, else there is no folder (an empty string) and nothing is kept.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/crowdfire, else ~/.config/crowdfire: the settings file's folder.
std::string settingsFolder();
// $XDG_PICTURES_DIR/crowdfire, else ~/Pictures/crowdfire: screenshots.
std::string screenshotFolder();
// $XDG_DATA_HOME/crowdfire/replays, else ~/.local/share/crowdfire/replays: recorded games.
std::string replayFolder();
