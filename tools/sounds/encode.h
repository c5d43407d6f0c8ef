// Writing sounds as the game's files: Ogg Vorbis, MP3, and plain WAV for listening.
// Fixed encoder settings and stream serial numbers, so the same samples always give
// the same bytes. Each returns false with `error` set when the file cannot be written.
#pragma once

#include <cstdint>
#include <string>

#include "synth.h"

namespace synth {

bool writeOgg(const std::string& path, const Samples& s, uint32_t serial, std::string& error);
bool writeMp3(const std::string& path, const Samples& s, std::string& error);
bool writeWav(const std::string& path, const Samples& s, std::string& error);

}  // namespace synth
