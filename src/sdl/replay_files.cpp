// Reading a replay file from the disk: at most maxReplayFileBytes of it, whatever it is.
#include "sdl/replay_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game/replay_file.h"

namespace {

bool refuse(std::string& problem, const std::string& why) {
    problem = why;
    return false;
}

}  // namespace

bool readReplayFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& problem) {
    bytes.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return refuse(problem, std::strerror(errno));
    struct stat about {};
    if (fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
        close(fd);
        return refuse(problem, "not a file");
    }
    // Read in blocks and stopped one byte past the limit, whatever the size says (a file
    // still growing): a stranger's file is never read further than that.
    const std::string tooLarge =
        "larger than any replay (" + std::to_string(maxReplayFileBytes >> 20) + " MiB at most)";
    if (uint64_t(about.st_size) > maxReplayFileBytes) {
        close(fd);
        return refuse(problem, tooLarge);
    }
    bytes.reserve(size_t(about.st_size));
    uint8_t block[65536];
    for (;;) {
        const ssize_t n = read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || bytes.size() + size_t(n) > maxReplayFileBytes) {
            const int error = errno;
            close(fd);
            if (n == 0) return true;
            bytes.clear();
            return refuse(problem, n < 0 ? std::strerror(error) : tooLarge);
        }
        bytes.insert(bytes.end(), block, block + n);
    }
}
