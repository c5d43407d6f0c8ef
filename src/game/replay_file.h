// The replay file: the seed, the game's version and every frame's input, one second to a
// chunk, each second with a hash of the game's whole state after it. docs/replays.md holds
// the format byte by byte. Pure code: no game state, no I/O, no allocation; a replay comes
// from strangers, so the reader checks every byte before the game sees a frame of it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/frame_input.h"

// The game runs at 70 frames a second, and a chunk holds one second of them: checkpoints
// fall every 70 frames, and frame N lies in chunk N / 70.
constexpr int replaySecondFrames = 70;
// The format this code writes and reads. A file of a higher one is refused in words.
constexpr int replayFormatVersion = 1;
// The game's version ("1.0.0") is a name, not text to show at length: 32 characters is
// room for any release name and keeps the header small and fixed.
constexpr int maxGameVersionLength = 32;
// A frame takes 1 to 5 bytes (a flag byte and at most an absolute position), so a chunk's
// payload never needs more than this; a chunk claiming more is damaged.
constexpr int maxChunkPayloadBytes = replaySecondFrames * 5;
// The largest file a reader takes: some thirteen hours of busy play (a busy minute is near
// 10 KiB: bench/replay_size_bench), far beyond any real game, yet small enough that a
// browser holds it in memory and a link to it is still a link. Desktop and browser refuse
// larger files before loading them; the survey refuses them before reading a byte past
// the size.
constexpr size_t maxReplayFileBytes = size_t(8) << 20;

// The largest pieces the encoder writes, for the callers' fixed buffers.
constexpr int maxReplayHeaderBytes = 27 + maxGameVersionLength;
constexpr int maxReplayChunkBytes = 16 + maxChunkPayloadBytes;
constexpr int replayEndBytes = 9;

// What the header says besides the format.
struct ReplayHeader {
    uint32_t seed = 0;       // what the game seeds its generator with after placing the opening crowd
    int64_t recordedAt = 0;  // seconds since 1970-01-01 UTC, 0 when unknown
    char gameVersion[maxGameVersionLength + 1] = {};  // printable ASCII, 1 to 32 characters, NUL-ended
};

// ---- Writing --------------------------------------------------------------------------------
// The second being recorded: its frames already encoded, and where the pointer was, since a
// frame records its move from the one before. Start it zeroed ({}): the pointer is at (0, 0)
// before the first frame.
struct ReplayEncoder {
    uint8_t payload[maxChunkPayloadBytes];
    int payloadBytes;
    int chunkFrames;
    int16_t lastX, lastY;  // the last position recorded; frames with the pointer off keep it
    uint32_t totalFrames;  // frames in the finished chunks and the one being built
};

// Writes the header; returns its bytes, or 0 when the game's version is empty, too long or
// not printable ASCII (such a header could never be read back).
int encodeReplayHeader(const ReplayHeader& header, uint8_t (&out)[maxReplayHeaderBytes]);
// Records the input one frame reads. Returns true when this completes the second (70
// frames): the caller runs the frame, then finishes the chunk with the state's hash before
// adding the next frame. A full chunk takes no more frames (the frame is not recorded).
bool addReplayFrame(ReplayEncoder& encoder, const FrameInput& input);
// Closes the chunk being built with the hash of the game's state after its last frame;
// returns the chunk's bytes (0 when it holds no frame: there is nothing to write). Only the
// game's last chunk may hold fewer than 70 frames: finish a short one only when the game ends.
int finishReplayChunk(ReplayEncoder& encoder, uint64_t checkpoint, uint8_t (&out)[maxReplayChunkBytes]);
// The end record, written once the game has closed properly and its last chunk is finished.
int encodeReplayEnd(const ReplayEncoder& encoder, uint8_t (&out)[replayEndBytes]);

// ---- Reading --------------------------------------------------------------------------------
// How a playable file ends.
enum ReplayEnding {
    replayClosed,    // its end record: the game closed properly and every frame is here
    replayCutShort,  // it stops mid-chunk or with no end record: the game was killed or the copy truncated
    replayDamaged,   // a chunk or the end record failed its check: the seconds before it play
};

// What a survey found. words is one line for the player: why the file is refused, or how
// a playable one ends ("cut short at 1:23 (frame 5810): ...").
struct ReplaySurvey {
    bool playable = false;
    ReplayEnding ending = replayDamaged;  // when playable
    ReplayHeader header;
    uint32_t frames = 0;       // frames that play: those of the whole, checked chunks before anything wrong
    size_t playableBytes = 0;  // where those chunks end in the file
    char words[160] = {};
};

// Checks the header and walks every chunk, keeping nothing of them but counts.
ReplaySurvey surveyReplay(const uint8_t* data, size_t size);

// Reads back the chunks a survey vouched for, one second at a time. The bytes must stay as
// they were surveyed; each chunk is checked again as it is read all the same.
struct ReplayCursor {
    const uint8_t* data;
    size_t end;     // the survey's playableBytes
    size_t offset;  // the next chunk
    int16_t lastX, lastY;
};

ReplayCursor startReplayCursor(const uint8_t* data, const ReplaySurvey& survey);
// Decodes the next second into frames and its checkpoint; returns its frame count, 0 when
// the playable part is over.
int readReplayChunk(ReplayCursor& cursor, FrameInput (&frames)[replaySecondFrames], uint64_t& checkpoint);

// The CRC-32 (zlib's and PNG's) that closes the header, every chunk and the end record.
uint32_t replayChecksum(const uint8_t* data, size_t size);

// A frame count as the game's time, "M:SS" at 70 frames a second, the minutes not capped
// at 59 ("72:05"): for lines like "left the recorded game at 1:23 (frame 5810)".
struct GameTimeText {
    char text[16];
};
GameTimeText gameTime(uint32_t frames);
