// Files the desktop game writes while it plays (the settings, screenshots, the display's
// opt-in measurements) are written on a thread of their own, one after the other, so
// neither the game's thread nor the display's ever waits on a disk.
#pragma once

#include <sys/types.h>
#include <functional>
#include <string>

// Queues `job` for the writing thread, which starts with the first job.
void writeAside(std::function<void()> job);
// Runs whatever is queued and stops the thread; the game calls it as it ends, so a setting
// changed just before Escape is saved all the same.
void finishWritingAside();

// Makes `folder` and every missing folder on the way to it (as mkdir -p), each new one with
// `mode`; false with errno set when one cannot be made.
bool makeFolders(const std::string& folder, mode_t mode);
