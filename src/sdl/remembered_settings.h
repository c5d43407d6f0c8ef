// The settings file at work: read once at start, written back (aside, see write_aside.h)
// whenever the player changes a setting it holds.
#pragma once

#include "sdl/settings_file.h"

// Reads the player's settings file. Each line it cannot take is named once on stderr and
// its setting keeps its default; an unreadable file gives the defaults and is never
// written over. Nothing is written here.
Settings recallSettings();

// From here on, a change the player makes is written to the file: `now` is what the game
// runs with (the command line may differ from the file), so only a setting that moves from
// it is taken into the file, beside what the file already held.
void startRemembering(const Settings& now);
// The effects level and the mute the player sets in the game reach the file through the
// sound layer's soundSettingsChanged (sound/sound_device.h), which never waits on the disk.
// The player switched between full screen and a window (on the display's thread).
void noticeFullScreenChoice(bool fullScreen);
