// Screenshots: F12 (or Print Screen, where the desktop leaves it to the game) keeps the
// picture on screen as a PNG in the player's pictures folder. The game's state is not
// touched: only the visible page is read.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Copies the picture on screen now (a memory copy, under the screen lock) and leaves the
// encoding and the file, in screenshotFolder() (user_folders.h), to the writing thread
// (write_aside.h). `scale` is the whole factor the file is enlarged by, the one the
// picture is shown at. Says on stdout where it went, or on stderr why it could not be saved.
void saveScreenshot(int scale);

// Writes a width x height page (0x00RRGGBB, top row first), each pixel made scale x scale,
// as a PNG in `folder` (made if missing), named by the local time `taken`; a name already
// taken gets -2, -3 ... after it, so no file is ever overwritten. Returns the file's path,
// or empty with the reason in `problem`.
std::string writeScreenshot(const std::vector<uint32_t>& page, int width, int height, int scale,
                            const std::string& folder, std::time_t taken, std::string& problem);
