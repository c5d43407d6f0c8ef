// Recording every game and watching a replay: the one place the game's input is taken from
// the player or from a file, and each second's state is recorded or held to the record.
#include "game/replays.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "game/game_keys.h"
#include "game/game_state.h"
#include "gfx/input.h"

#ifndef CROWDFIRE_VERSION
#define CROWDFIRE_VERSION "unknown"
#endif

namespace {

// Fast forward runs this many frames in a frame's time: a minute in under eight seconds.
constexpr int fastForwardFrames = 8;

struct Recording {
    ReplayKeeper keeper = nullptr;
    ReplayEncoder encoder = {};
};
Recording recording;

struct Watch {
    bool on = false;
    ReplaySurvey survey;
    ReplayCursor cursor = {};
    FrameInput chunk[replaySecondFrames];
    int chunkFrames = 0;
    int nextInChunk = 0;
    uint64_t checkpoint = 0;
    uint32_t framesPlayed = 0;
    bool leftRecord = false;
    uint32_t leftAtFrame = 0;  // the checkpoint that first differed
    // The viewer's keys, as read last tick: a key acts when it goes down.
    bool paused = false;
    bool pauseHeld = false;
    bool stepHeld = false;
    bool fast = false;
    char caption[64] = {};
};
Watch watch;

void keep(const uint8_t* bytes, int count) {
    if (recording.keeper && count > 0) recording.keeper(bytes, count);
}

int16_t pagePixel(int value) { return int16_t(value < -32768 ? -32768 : value > 32767 ? 32767 : value); }

// The player's input, as the platform has folded mouse, keys, touch and pads into it.
FrameInput readPlayerInput() {
    FrameInput input;
    input.scrollLeft = keyDown(scrollLeftKey) != 0;
    input.scrollRight = keyDown(scrollRightKey) != 0;
    int x = -1, y = -1, wheel = 0, buttons = -1;
    if (getMouse(x, y, wheel, buttons) != 0) {
        input.pointerOff = true;
        return input;
    }
    input.pointerX = pagePixel(x);
    input.pointerY = pagePixel(y);
    input.buttons = uint8_t(buttons & (leftButton | rightButton | middleButton));
    return input;
}

bool nextWatchedChunk() {
    watch.chunkFrames = readReplayChunk(watch.cursor, watch.chunk, watch.checkpoint);
    watch.nextInChunk = 0;
    return watch.chunkFrames > 0;
}

// A key that went down since the last tick.
bool pressed(bool& heldBefore, bool down) {
    const bool press = down && !heldBefore;
    heldBefore = down;
    return press;
}

}  // namespace

void beginRecording(uint32_t seed, ReplayKeeper keeper) {
    watch.on = false;
    recording = Recording{keeper, {}};
    if (!keeper) return;
    ReplayHeader header;
    header.seed = seed;
    header.recordedAt = int64_t(std::time(nullptr));
    std::snprintf(header.gameVersion, sizeof header.gameVersion, "%s", CROWDFIRE_VERSION);
    uint8_t bytes[maxReplayHeaderBytes];
    keep(bytes, encodeReplayHeader(header, bytes));
}

uint32_t beginWatching(const uint8_t* data, size_t size) {
    recording = Recording{};
    watch = Watch{};
    watch.on = true;
    watch.survey = surveyReplay(data, size);
    if (!watch.survey.playable) watch.survey.frames = 0;
    else watch.cursor = startReplayCursor(data, watch.survey);
    return watch.survey.header.seed;
}

FrameInput inputForFrame() {
    if (!watch.on) return readPlayerInput();
    if (watch.nextInChunk == watch.chunkFrames && !nextWatchedChunk()) return FrameInput{.pointerOff = true};
    return watch.chunk[watch.nextInChunk++];
}

void replayFrameDone(const FrameInput& input) {
    if (watch.on) {
        ++watch.framesPlayed;
        if (watch.nextInChunk < watch.chunkFrames || watch.leftRecord) return;
        if (gameStateHash() != watch.checkpoint) {
            watch.leftRecord = true;
            watch.leftAtFrame = watch.framesPlayed;
        }
        return;
    }
    if (!recording.keeper || !addReplayFrame(recording.encoder, input)) return;
    uint8_t bytes[maxReplayChunkBytes];
    keep(bytes, finishReplayChunk(recording.encoder, gameStateHash(), bytes));
}

void endRecording() {
    if (!recording.keeper) return;
    uint8_t chunk[maxReplayChunkBytes];
    keep(chunk, finishReplayChunk(recording.encoder, gameStateHash(), chunk));
    uint8_t end[replayEndBytes];
    keep(end, encodeReplayEnd(recording.encoder, end));
    recording = Recording{};
}

// ---- watching -------------------------------------------------------------------------------

bool watchingReplay() { return watch.on; }

bool replayOver() { return watch.on && watch.framesPlayed >= watch.survey.frames; }

void toggleReplayPause() { watch.paused = !watch.paused; }

int replayFramesThisTick() {
    if (!watch.on) return 1;
    const bool pauseDown = keyDown(pauseKey) != 0 || keyDown(pauseOtherKey) != 0;
    if (pressed(watch.pauseHeld, pauseDown)) toggleReplayPause();
    const bool step = pressed(watch.stepHeld, keyDown(stepKey) != 0);
    watch.fast = keyDown(fastForwardKey) != 0;
    if (replayOver()) return 0;
    const uint32_t left = watch.survey.frames - watch.framesPlayed;
    int frames = watch.paused ? (step ? 1 : 0) : watch.fast ? fastForwardFrames : 1;
    return left < uint32_t(frames) ? int(left) : frames;
}

const char* replayCaption() {
    const char* state = watch.paused ? " paused" : watch.fast ? " fast forward" : "";
    std::snprintf(watch.caption, sizeof watch.caption, "%s / %s%s", gameTime(watch.framesPlayed).text,
                  gameTime(watch.survey.frames).text, state);
    return watch.caption;
}

ReplayNote replayVersionNote(const ReplaySurvey& survey) {
    ReplayNote note = {};
    if (std::strcmp(survey.header.gameVersion, CROWDFIRE_VERSION) != 0)
        std::snprintf(note.text, sizeof note.text,
                      "recorded by crowdfire %s, played by %s: it may leave its recorded game",
                      survey.header.gameVersion, CROWDFIRE_VERSION);
    return note;
}

ReplayVerdict replayVerdict() {
    ReplayVerdict verdict = {};
    if (watch.leftRecord) {
        verdict.status = 3;
        std::snprintf(verdict.line, sizeof verdict.line, "replay: left the recorded game at %s (frame %u)",
                      gameTime(watch.leftAtFrame).text, watch.leftAtFrame);
        return verdict;
    }
    const GameTimeText played = gameTime(watch.framesPlayed);
    if (!replayOver()) {
        std::snprintf(verdict.line, sizeof verdict.line,
                      "replay: stopped at %s (frame %u) of %s, every checkpoint matched so far", played.text,
                      watch.framesPlayed, gameTime(watch.survey.frames).text);
        return verdict;
    }
    const bool whole = watch.survey.ending == replayClosed;
    std::snprintf(verdict.line, sizeof verdict.line, "replay: %u frames (%s), every checkpoint matched%s%s",
                  watch.framesPlayed, played.text, whole ? "" : "; ", whole ? "" : watch.survey.words);
    return verdict;
}
