// Reading with a bound and writing in full, with the retries read() and write() ask for.
#include "sdl/whole_files.h"

#include <unistd.h>

#include <cerrno>

bool readUpTo(int fd, size_t largest, std::vector<uint8_t>& bytes) {
    uint8_t block[65536];
    while (bytes.size() <= largest) {
        const ssize_t got = read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0;
        bytes.insert(bytes.end(), block, block + got);
    }
    return true;
}

bool writeWhole(int fd, const void* bytes, size_t count) {
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t written = write(fd, at, count);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;  // nothing taken and no reason given
        if (written <= 0) return false;
        at += written;
        count -= size_t(written);
    }
    return true;
}
