// The application icons, drawn from the same painters as the game's sheets.
#pragma once

#include <string>

// Writes DIRECTORY/hicolor/SIZExSIZE/apps/APP_ID.png for sizes 32 to 256; false with
// the cause in error when a file cannot be written.
bool writeIcons(const std::string& directory, const std::string& appId, std::string& error);
// Writes the browser version's icons into DIRECTORY: favicon.png (32 pixels), icon-192.png
// and icon-512.png (the web app manifest's); false with the cause in error on failure.
bool writeWebIcons(const std::string& directory, std::string& error);
