// The two loops every file the desktop game keeps goes through: a read that never goes
// past a limit (a stranger's replay, a settings file grown huge) and a write that goes on
// until every byte is in the kernel's hands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Appends what `fd` holds to `bytes`, stopping a block past `largest`, so a huge file, or
// one still growing, is never read whole: `bytes` longer than `largest` means too large.
// False with errno set when a read fails.
bool readUpTo(int fd, size_t largest, std::vector<uint8_t>& bytes);

// Writes all `count` bytes, again after an interruption or a part taken. False with errno
// set when the disk refuses.
bool writeWhole(int fd, const void* bytes, size_t count);
