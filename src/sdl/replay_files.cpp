// Reading a replay file from the disk: at most maxReplayFileBytes of it, whatever it is.
#include "sdl/replay_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game/replay_file.h"
#include "sdl/whole_files.h"

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
    // The size said first, and the read bounded whatever the size says (a file still
    // growing): a stranger's file is never read far past the limit.
    const std::string tooLarge =
        "larger than any replay (" + std::to_string(maxReplayFileBytes >> 20) + " MiB at most)";
    if (uint64_t(about.st_size) > maxReplayFileBytes) {
        close(fd);
        return refuse(problem, tooLarge);
    }
    bytes.reserve(size_t(about.st_size));
    const bool readable = readUpTo(fd, maxReplayFileBytes, bytes);
    const int error = errno;
    close(fd);
    if (readable && bytes.size() <= maxReplayFileBytes) return true;
    bytes.clear();
    return refuse(problem, readable ? tooLarge : std::strerror(error));
}
