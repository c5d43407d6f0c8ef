// The desktop's replay files: reading one a player names (bounded, and said in words when it
// cannot be read).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads the replay at `path` whole. False with one line in `problem` (without the path) when
// it is missing, not a file, unreadable or larger than any replay can be (maxReplayFileBytes):
// a file from a stranger is never read past that limit.
bool readReplayFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& problem);
