// make_replays DIR: writes the fuzzer's seed replays (tests/fuzz/corpus/replay) into DIR:
// whole games of busy play, one every move kind and key, a game with no frame, and the
// kinds of broken file a player may hand the game: killed, truncated, damaged, newer.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/replay/replay_maker.h"

namespace {

// The pointer stepped by every move size the format tells apart, at both ends of each,
// with off frames between and every button and arrow bit.
std::vector<FrameInput> everyMove() {
    const int steps[] = {0, 7, -8, 8, -9, 127, -128, 128, -129, 32767, -32768};
    std::vector<FrameInput> frames;
    int x = 0;
    for (int i = 0; i < 75; ++i) {
        FrameInput frame;
        frame.pointerOff = i % 7 == 6;
        x = int16_t(x + steps[i % 11]);
        frame.pointerX = frame.pointerOff ? 0 : int16_t(x);
        frame.pointerY = frame.pointerOff ? 0 : int16_t(-x);
        frame.buttons = frame.pointerOff ? 0 : uint8_t(i % 8);
        frame.scrollLeft = i & 8;
        frame.scrollRight = i & 16;
        frames.push_back(frame);
    }
    return frames;
}

bool write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file) std::fclose(file);
    if (!written) std::fprintf(stderr, "make_replays: cannot write %s\n", path.c_str());
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_replays DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::vector<uint8_t> busy = recordReplay(busyPlay(230, 1), true);
    std::vector<uint8_t> damaged = busy, newer = recordReplay(busyPlay(70, 3), true);
    damaged[busy.size() / 2] ^= 0x10;  // a bit flipped in the middle of the second second
    newer[8] = 2;
    const bool ok =
        write(dir + "busy_3s.replay", busy) && write(dir + "every_move.replay", recordReplay(everyMove(), true)) &&
        write(dir + "killed_2s.replay", recordReplay(busyPlay(140, 2), false)) &&
        write(dir + "no_frames.replay", recordReplay({}, true)) &&
        write(dir + "cut_mid_second.replay", std::vector<uint8_t>(busy.begin(), busy.begin() + busy.size() / 2)) &&
        write(dir + "damaged_second.replay", damaged) && write(dir + "newer_format.replay", newer);
    return ok ? 0 : 1;
}
