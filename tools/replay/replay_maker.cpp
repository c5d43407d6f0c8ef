#include "tools/replay/replay_maker.h"

#include <algorithm>
#include <cstdlib>

#include "game/replay_file.h"

namespace {

constexpr int pageWidth = 320, pageHeight = 240;

// splitmix64: written out here so every compiler and library gives the same play.
struct Dice {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int low, int high) { return low + int(next() % uint64_t(high - low + 1)); }
};

// Countdowns to the next turn, flick, button change, bomb, arrow and trip off the page.
struct BusyPlayer {
    Dice dice;
    int x = 160, y = 120, speedX = 0, speedY = 0;
    int turnIn = 0, flickIn = 60;
    int leftIn = 0;  // frames until the left button changes
    bool leftDown = false;
    int bombIn = 300, bombFor = 0;
    int arrowIn = 400, arrowFor = 0;
    bool arrowLeft = false;
    int offIn = 1500, offFor = 0;
};

// A bounce off the page's edge, like a player who keeps the crosshair on the crowd.
void keepOnPage(int& position, int& speed, int size) {
    if (position < 0) position = -position, speed = std::abs(speed);
    if (position >= size) position = 2 * (size - 1) - position, speed = -std::abs(speed);
}

// Sixteen directions, a thousand times their cosine and sine: whole numbers, so the play
// does not hang on a library's sin and cos.
constexpr int directions[16][2] = {{1000, 0},   {924, 383},  {707, 707},  {383, 924},   {0, 1000},    {-383, 924},
                                   {-707, 707}, {-924, 383}, {-1000, 0},  {-924, -383}, {-707, -707}, {-383, -924},
                                   {0, -1000},  {383, -924}, {707, -707}, {924, -383}};

void sweep(BusyPlayer& p) {
    if (--p.turnIn <= 0) {  // a new direction at 1 to 12 px a frame
        const int speed = p.dice.between(1, 12), direction = p.dice.between(0, 15);
        p.speedX = speed * directions[direction][0] / 1000;
        p.speedY = speed * directions[direction][1] / 1000;
        p.turnIn = p.dice.between(8, 40);
    }
    // A hand never holds a speed exactly: a pixel either way on each axis.
    int jumpX = p.speedX + p.dice.between(-1, 1), jumpY = p.speedY + p.dice.between(-1, 1);
    if (--p.flickIn <= 0) {  // a flick onto another part of the crowd
        jumpX = p.dice.between(40, 150) * (p.x < pageWidth / 2 ? 1 : -1);
        jumpY = p.dice.between(-60, 60);
        p.flickIn = p.dice.between(50, 90);
    }
    p.x += jumpX;
    p.y += jumpY;
    keepOnPage(p.x, p.speedX, pageWidth);
    keepOnPage(p.y, p.speedY, pageHeight);
}

// Held for a burst, or clicked, then let go for a moment.
void pressLeft(BusyPlayer& p) {
    if (--p.leftIn > 0) return;
    p.leftDown = !p.leftDown;
    const bool click = p.dice.between(0, 2) == 0;
    p.leftIn = p.leftDown ? (click ? p.dice.between(3, 6) : p.dice.between(20, 140)) : p.dice.between(2, 12);
}

FrameInput nextFrame(BusyPlayer& p) {
    sweep(p);
    pressLeft(p);
    if (--p.bombIn <= 0) p.bombFor = 3, p.bombIn = p.dice.between(250, 500);
    if (--p.arrowIn <= 0)
        p.arrowFor = p.dice.between(35, 140), p.arrowIn = p.dice.between(300, 700), p.arrowLeft = p.dice.next() & 1;
    if (--p.offIn <= 0) p.offFor = p.dice.between(10, 40), p.offIn = p.dice.between(1200, 2400);
    FrameInput frame;
    frame.pointerX = int16_t(p.x);
    frame.pointerY = int16_t(p.y);
    frame.buttons = p.bombFor-- > 0 ? 2 : p.leftDown ? 1 : 0;  // a bomb drops with the right button alone
    frame.pointerOff = p.offFor-- > 0;
    if (frame.pointerOff) frame.buttons = 0, frame.pointerX = frame.pointerY = 0;
    const bool arrow = p.arrowFor-- > 0;
    frame.scrollLeft = arrow && p.arrowLeft;
    frame.scrollRight = arrow && !p.arrowLeft;
    return frame;
}

// No game ran, so a second's checkpoint is a number that differs from second to second.
uint64_t standInCheckpoint(const ReplayEncoder& encoder) { return encoder.totalFrames * 0x9E3779B97F4A7C15ull; }

void append(std::vector<uint8_t>& file, const uint8_t* bytes, int count) {
    file.insert(file.end(), bytes, bytes + count);
}

}  // namespace

std::vector<FrameInput> busyPlay(int frames, uint64_t seed) {
    BusyPlayer player{Dice{seed}};
    std::vector<FrameInput> play;
    for (int i = 0; i < frames; ++i) play.push_back(nextFrame(player));
    return play;
}

std::vector<uint8_t> recordReplay(const std::vector<FrameInput>& frames, bool closed) {
    uint8_t header[maxReplayHeaderBytes], chunk[maxReplayChunkBytes], end[replayEndBytes];
    std::vector<uint8_t> file;
    append(file, header, encodeReplayHeader(ReplayHeader{20240601u, 1717200000, "1.0.0"}, header));
    ReplayEncoder encoder{};
    for (const FrameInput& frame : frames)
        if (addReplayFrame(encoder, frame))
            append(file, chunk, finishReplayChunk(encoder, standInCheckpoint(encoder), chunk));
    append(file, chunk, finishReplayChunk(encoder, standInCheckpoint(encoder), chunk));
    if (closed) append(file, end, encodeReplayEnd(encoder, end));
    return file;
}
