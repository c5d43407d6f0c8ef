#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/replay_file.h"

namespace {

// A recorded game: its bytes, where each chunk ends, and the frames before each chunk
// (with one more entry: all of them).
struct Recording {
    std::vector<uint8_t> bytes;
    std::vector<size_t> chunkEnd;
    std::vector<uint32_t> framesBefore;
    size_t headerBytes = 0;
};

uint64_t checkpointOf(size_t chunk) { return 0x9E3779B97F4A7C15ull * (chunk + 1); }

void append(std::vector<uint8_t>& bytes, const uint8_t* piece, int length) {
    bytes.insert(bytes.end(), piece, piece + length);
}

Recording record(const std::vector<FrameInput>& frames, bool closed) {
    Recording recording;
    ReplayHeader header{0xDEADBEEFu, -1234567890123ll, "1.0.0"};
    uint8_t headerBytes[maxReplayHeaderBytes], chunk[maxReplayChunkBytes], end[replayEndBytes];
    recording.headerBytes = size_t(encodeReplayHeader(header, headerBytes));
    append(recording.bytes, headerBytes, int(recording.headerBytes));
    ReplayEncoder encoder{};
    auto finish = [&] {
        recording.framesBefore.push_back(encoder.totalFrames - uint32_t(encoder.chunkFrames));
        append(recording.bytes, chunk, finishReplayChunk(encoder, checkpointOf(recording.chunkEnd.size()), chunk));
        recording.chunkEnd.push_back(recording.bytes.size());
    };
    for (const FrameInput& frame : frames)
        if (addReplayFrame(encoder, frame)) finish();
    if (encoder.chunkFrames > 0) finish();
    recording.framesBefore.push_back(encoder.totalFrames);
    if (closed) append(recording.bytes, end, encodeReplayEnd(encoder, end));
    return recording;
}

// Every move kind at its edges (nibble -8..7, byte -128..127, absolute int16 ends), off
// frames between moves with stray fields the encoder must drop, all button and key bits:
// two full seconds and a short last one.
std::vector<FrameInput> variedFrames() {
    const int16_t steps[][2] = {{0, 0},      {7, -8},  {-8, 7},   {8, 0},     {0, -9},     {127, -128},
                                {-128, 127}, {128, 0}, {0, -129}, {32767, 0}, {-32767, 0}, {0, 32767}};
    std::vector<FrameInput> frames;
    int x = 0, y = 0;
    for (int i = 0; frames.size() < 163; ++i) {
        FrameInput frame;
        frame.scrollLeft = i & 1;
        frame.scrollRight = i & 2;
        if (i % 5 == 4) {
            frame.pointerOff = true;
            frame.pointerX = 77, frame.buttons = 3;  // not recorded: read back as 0
        } else {
            x = i == 40 ? -32768 : i == 41 ? 32767 : int16_t(x + steps[i % 12][0]);  // wraps round the int16 range
            y = i == 40 ? 32767 : i == 41 ? -32768 : int16_t(y + steps[i % 12][1]);
            frame.pointerX = int16_t(x), frame.pointerY = int16_t(y), frame.buttons = uint8_t(i % 8);
        }
        frames.push_back(frame);
    }
    return frames;
}

bool sameInput(const FrameInput& a, const FrameInput& b) {
    if (a.pointerOff != b.pointerOff || a.scrollLeft != b.scrollLeft || a.scrollRight != b.scrollRight) return false;
    return a.pointerOff || (a.pointerX == b.pointerX && a.pointerY == b.pointerY && a.buttons == b.buttons);
}

// The cursor plays back exactly the recording's first `frames` frames, with their seconds' checkpoints.
void expectPlaysFirst(const uint8_t* data, const ReplaySurvey& survey, const std::vector<FrameInput>& recorded,
                      uint32_t frames) {
    ReplayCursor cursor = startReplayCursor(data, survey);
    FrameInput chunk[replaySecondFrames];
    uint64_t checkpoint = 0;
    uint32_t played = 0;
    for (size_t second = 0; int count = readReplayChunk(cursor, chunk, checkpoint); ++second) {
        ASSERT_EQ(checkpoint, checkpointOf(second));
        for (int i = 0; i < count; ++i, ++played)
            ASSERT_TRUE(played < frames && sameInput(chunk[i], recorded[played])) << "frame " << played;
    }
    EXPECT_EQ(played, frames);
}

std::string wordsOf(const std::vector<uint8_t>& bytes) { return surveyReplay(bytes.data(), bytes.size()).words; }

}  // namespace

TEST(ReplayFile, RoundTripOfEveryKindOfFrame) {
    const std::vector<FrameInput> frames = variedFrames();
    const Recording recording = record(frames, true);
    const ReplaySurvey survey = surveyReplay(recording.bytes.data(), recording.bytes.size());
    ASSERT_TRUE(survey.playable) << survey.words;
    EXPECT_EQ(survey.ending, replayClosed);
    EXPECT_EQ(survey.frames, 163u);
    EXPECT_STREQ(survey.words, "the whole game: 0:02 (163 frames)");
    EXPECT_EQ(survey.header.seed, 0xDEADBEEFu);
    EXPECT_EQ(survey.header.recordedAt, -1234567890123ll);
    EXPECT_STREQ(survey.header.gameVersion, "1.0.0");
    expectPlaysFirst(recording.bytes.data(), survey, frames, 163);
    EXPECT_STREQ(gameTime((72 * 60 + 5) * 70 + 69).text, "72:05") << "minutes are not capped at 59";
}

// The bytes of docs/replays.md, checksums from zlib: a change that reads back what it
// writes can still break every replay already shared.
TEST(ReplayFile, TheBytesAreTheDocumentedOnes) {
    uint8_t header[maxReplayHeaderBytes], chunk[maxReplayChunkBytes], end[replayEndBytes];
    std::vector<uint8_t> bytes;
    append(bytes, header, encodeReplayHeader(ReplayHeader{0x04030201u, 0x65A1B2C3, "1.0"}, header));
    ReplayEncoder encoder{};
    addReplayFrame(encoder, FrameInput{false, 3, -2, 1, false, true});       // nibbles, left button, right arrow
    addReplayFrame(encoder, FrameInput{true, 50, 50, 1, true, false});       // off, left arrow
    addReplayFrame(encoder, FrameInput{false, 103, -7, 4, false, false});    // two bytes, from where it was
    addReplayFrame(encoder, FrameInput{false, -300, 200, 3, false, false});  // a position
    addReplayFrame(encoder, FrameInput{false, -300, 200, 0, false, false});  // still
    append(bytes, chunk, finishReplayChunk(encoder, 0x0123456789ABCDEFull, chunk));
    append(bytes, end, encodeReplayEnd(encoder, end));
    const std::vector<uint8_t> documented = {
        0x89, 'c',  'f',  'r',  'e',  'p',  '\r', '\n', 1,    0,    1,    2,    3,    4,    0xC3,
        0xB2, 0xA1, 0x65, 0,    0,    0,    0,    3,    '1',  '.',  '0',  0xE1, 0x01, 0xCB, 0x27,  // header
        'S',  5,    12,   0,    0x51, 0x3E, 0x28, 0x84, 0x64, 0xFB, 0xC3, 0xD4, 0xFE, 0xC8, 0x00,
        0x00, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01, 0xE1, 0x4C, 0xB6, 0x75,  // a second of 5 frames
        'E',  5,    0,    0,    0,    0x16, 0xD0, 0xEF, 0x61};
    EXPECT_EQ(bytes, documented);
    EXPECT_EQ(replayChecksum(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
}

TEST(ReplayFile, TruncationKeepsTheWholeSecondsBeforeTheCut) {
    const std::vector<FrameInput> frames = variedFrames();
    const Recording recording = record(frames, true);
    for (size_t cut = 0; cut < recording.bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const ReplaySurvey survey = surveyReplay(recording.bytes.data(), cut);
        if (cut < recording.headerBytes) {
            EXPECT_FALSE(survey.playable);
            EXPECT_STREQ(survey.words, cut == 0 ? "the file is empty" : "the header is cut short");
            continue;
        }
        uint32_t whole = 0;
        for (size_t k = 0; k < recording.chunkEnd.size(); ++k)
            if (recording.chunkEnd[k] <= cut) whole = recording.framesBefore[k + 1];
        ASSERT_TRUE(survey.playable);
        EXPECT_EQ(survey.ending, replayCutShort) << survey.words;
        EXPECT_EQ(survey.frames, whole);
        expectPlaysFirst(recording.bytes.data(), survey, frames, whole);
    }
}

TEST(ReplayFile, AFlippedBitIsRefusedOrStopsPlayAtItsSecond) {
    const std::vector<FrameInput> frames = variedFrames();
    const Recording recording = record(frames, true);
    std::vector<uint8_t> bytes = recording.bytes;
    for (size_t at = 0; at < bytes.size(); ++at) {
        size_t chunk = 0;  // the chunk the byte is in (the last index: the end record)
        while (chunk < recording.chunkEnd.size() && recording.chunkEnd[chunk] <= at) ++chunk;
        const size_t inChunk = at - (chunk ? recording.chunkEnd[chunk - 1] : recording.headerBytes);
        // A payload length made larger runs past the file's end, which is all a cut looks like.
        const bool inLength = chunk < recording.chunkEnd.size() && (inChunk == 2 || inChunk == 3);
        const uint32_t before = at < recording.headerBytes ? 0 : recording.framesBefore[chunk];
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
            bytes[at] ^= uint8_t(1 << bit);
            const ReplaySurvey survey = surveyReplay(bytes.data(), bytes.size());
            EXPECT_EQ(survey.playable, at >= recording.headerBytes) << survey.words;
            EXPECT_EQ(survey.frames, before) << survey.words;
            EXPECT_TRUE(!survey.playable || survey.ending == replayDamaged ||
                        (inLength && survey.ending == replayCutShort))
                << survey.words;
            expectPlaysFirst(bytes.data(), survey, frames, before);
            bytes[at] ^= uint8_t(1 << bit);
        }
    }
}

TEST(ReplayFile, RefusalsAndEmptyGamesInWords) {
    const Recording recording = record(variedFrames(), true);
    std::vector<uint8_t> bytes = recording.bytes;
    EXPECT_EQ(wordsOf({}), "the file is empty");
    EXPECT_EQ(wordsOf({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}), "not a replay: a PNG picture");
    EXPECT_EQ(wordsOf({'#', 'r', 'e', 'p', 'l', 'a', 'y', '='}), "not a replay: text");
    EXPECT_EQ(wordsOf({0, 1, 2, 3, 4, 5, 6, 7, 8}), "not a replay");
    bytes.erase(bytes.begin() + 6);  // a text-mode copy turned the CR LF into LF
    EXPECT_EQ(wordsOf(bytes), "a replay whose line ends a text-mode copy changed: copy it again as a binary file");
    bytes = recording.bytes;
    bytes[8] = 2;  // whatever else a newer format changes, the version stands where it stands
    EXPECT_EQ(wordsOf(bytes), "made by a newer crowdfire: format 2, this one reads 1");

    // The size limit holds at the byte: the largest file is read, one byte more is not.
    bytes = recording.bytes;
    bytes.resize(maxReplayFileBytes + 1, 'S');
    EXPECT_EQ(wordsOf(bytes), "too large: 8388609 bytes, where a replay holds at most 8388608");
    EXPECT_TRUE(surveyReplay(bytes.data(), maxReplayFileBytes).playable);

    // No whole second: plays nothing, and says why.
    const Recording empty = record({}, true);
    EXPECT_EQ(wordsOf(empty.bytes), "a game closed at its start: nothing to play");
    const ReplaySurvey header = surveyReplay(empty.bytes.data(), empty.headerBytes);
    EXPECT_TRUE(header.playable);
    EXPECT_EQ(header.frames, 0u);
    EXPECT_STREQ(header.words,
                 "cut short at 0:00 (frame 0): the game was killed or the copy truncated; nothing before it to play");
}

TEST(ReplayFile, OnlyTheLastSecondMayBeShortAndNothingFollowsTheEnd) {
    // A chunk finished early in the middle of a game would shift every later checkpoint.
    ReplayEncoder encoder{};
    uint8_t header[maxReplayHeaderBytes], chunk[maxReplayChunkBytes];
    std::vector<uint8_t> bytes;
    append(bytes, header, encodeReplayHeader(ReplayHeader{1, 0, "1.0.0"}, header));
    for (int second = 0; second < 2; ++second) {
        for (int i = 0; i < 10; ++i) addReplayFrame(encoder, FrameInput{});
        append(bytes, chunk, finishReplayChunk(encoder, 0, chunk));
    }
    EXPECT_EQ(wordsOf(bytes), "damaged at 0:00 (frame 10): a second follows a short last one; what comes before plays");

    bytes = record(variedFrames(), true).bytes;
    bytes.push_back(0);
    const ReplaySurvey survey = surveyReplay(bytes.data(), bytes.size());
    EXPECT_EQ(survey.ending, replayDamaged);
    EXPECT_EQ(survey.frames, 163u) << "every second still plays";
}
