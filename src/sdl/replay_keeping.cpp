// The replay file of the game being played, written on the writing thread: opened with the
// first piece, each piece appended with write() as it comes (in the kernel's hands at once,
// so a kill -9 loses only the second being played), closed when the game ends.
#include "sdl/replay_keeping.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include "sdl/user_folders.h"
#include "sdl/whole_files.h"
#include "sdl/write_aside.h"

namespace {

constexpr const char* replayExtension = ".cfreplay";

// The file being written; only the writing thread touches it.
struct ReplayOnDisk {
    int fd = -1;
    bool givenUp = false;  // said once; the rest of the game is not kept
    std::string path;
};
ReplayOnDisk onDisk;

void giveUp(const std::string& why) {
    if (onDisk.fd >= 0) close(onDisk.fd);
    onDisk.fd = -1;
    onDisk.givenUp = true;
    std::fprintf(stderr, "crowdfire: cannot keep the replay (%s); the game goes on without it\n", why.c_str());
}

// The folder holds the new replay already, so it counts among the newest kept.
void letOldReplaysGo(const std::string& folder) {
    // Read without exceptions: one thrown on the writing thread would end the game.
    std::error_code unreadable;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator entry(folder, unreadable), end; !unreadable && entry != end;
         entry.increment(unreadable))
        names.push_back(entry->path().filename().string());
    for (const std::string& name : replaysToLetGo(names, replaysKept)) unlink((folder + "/" + name).c_str());
}

bool openReplayFile() {
    const std::string folder = replayFolder();
    if (folder.empty()) {
        giveUp("neither XDG_DATA_HOME nor HOME is set");
        return false;
    }
    // Private, as the XDG rule asks of a data folder the game makes.
    if (!makeFolders(folder, 0700)) {
        giveUp("cannot make " + folder + ": " + std::strerror(errno));
        return false;
    }
    onDisk.fd = createTimeNamedFile(folder, std::time(nullptr), replayExtension, onDisk.path);
    if (onDisk.fd < 0) {
        giveUp("cannot create " + onDisk.path + ": " + std::strerror(errno));
        return false;
    }
    letOldReplaysGo(folder);
    return true;
}

void appendPiece(const std::vector<uint8_t>& piece) {
    if (onDisk.givenUp || (onDisk.fd < 0 && !openReplayFile())) return;
    if (!writeWhole(onDisk.fd, piece.data(), piece.size())) giveUp(onDisk.path + ": " + std::strerror(errno));
}

void closeReplayFile() {
    if (onDisk.fd < 0) return;
    const int fd = std::exchange(onDisk.fd, -1);
    if (close(fd) != 0) giveUp(onDisk.path + ": " + std::strerror(errno));
}

}  // namespace

void keepReplayPiece(const uint8_t* bytes, int count) {
    // A piece a second at most: its copy, and the queued job holding it, are all the game's
    // thread allocates for its replay.
    writeAside([piece = std::vector<uint8_t>(bytes, bytes + count)] { appendPiece(piece); });
}

void finishKeepingReplay() { writeAside(closeReplayFile); }

std::vector<std::string> replaysToLetGo(const std::vector<std::string>& names, size_t keep) {
    std::vector<std::pair<TimeNamedPlace, std::string>> replays;
    for (const std::string& name : names)
        if (const auto place = timeNamedPlace(name, replayExtension)) replays.emplace_back(*place, name);
    if (replays.size() <= keep) return {};
    std::sort(replays.begin(), replays.end());
    std::vector<std::string> oldest;
    for (size_t i = 0; i + keep < replays.size(); ++i) oldest.push_back(replays[i].second);
    return oldest;
}
