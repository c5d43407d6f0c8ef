#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/replay_file.h"

namespace {

// A recorded game: its bytes, where each chunk starts and ends, and the frames before each
// chunk (with one more entry: all of them).
struct Recording {
    std::vector<uint8_t> bytes;
    std::vector<size_t> chunkStart, chunkEnd;
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
        recording.chunkStart.push_back(recording.bytes.size());
        recording.framesBefore.push_back(encoder.totalFrames - uint32_t(encoder.chunkFrames));
        append(recording.bytes, chunk,
               finishReplayChunk(encoder, checkpointOf(recording.chunkStart.size() - 1), chunk));
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

// What a cursor reads back: every frame, and the checkpoints in order.
struct Playback {
    std::vector<FrameInput> frames;
    std::vector<uint64_t> checkpoints;
};

Playback play(const uint8_t* data, const ReplaySurvey& survey) {
    Playback playback;
    ReplayCursor cursor = startReplayCursor(data, survey);
    FrameInput chunk[replaySecondFrames];
    uint64_t checkpoint = 0;
    while (int count = readReplayChunk(cursor, chunk, checkpoint)) {
        playback.frames.insert(playback.frames.end(), chunk, chunk + count);
        playback.checkpoints.push_back(checkpoint);
    }
    return playback;
}

// The playback is the recording's first `frames` frames and their seconds' checkpoints.
void expectPrefix(const Playback& playback, const std::vector<FrameInput>& recorded, uint32_t frames) {
    ASSERT_EQ(playback.frames.size(), frames);
    for (uint32_t i = 0; i < frames; ++i) ASSERT_TRUE(sameInput(playback.frames[i], recorded[i])) << "frame " << i;
    for (size_t k = 0; k < playback.checkpoints.size(); ++k) ASSERT_EQ(playback.checkpoints[k], checkpointOf(k));
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
    const Playback playback = play(recording.bytes.data(), survey);
    expectPrefix(playback, frames, 163);
    EXPECT_EQ(playback.checkpoints.size(), 3u);
    EXPECT_STREQ(gameTime((72 * 60 + 5) * 70 + 69).text, "72:05") << "minutes are not capped at 59";
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
        expectPrefix(play(recording.bytes.data(), survey), frames, whole);
    }
}

TEST(ReplayFile, AFlippedBitIsRefusedOrStopsPlayAtItsSecond) {
    const std::vector<FrameInput> frames = variedFrames();
    Recording recording = record(frames, true);
    const size_t endRecord = recording.chunkEnd.back();
    for (size_t at = 0; at < recording.bytes.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
            recording.bytes[at] ^= uint8_t(1 << bit);
            const ReplaySurvey survey = surveyReplay(recording.bytes.data(), recording.bytes.size());
            const Playback playback = play(recording.bytes.data(), survey);
            recording.bytes[at] ^= uint8_t(1 << bit);
            if (at < recording.headerBytes) {
                EXPECT_FALSE(survey.playable) << survey.words;
                continue;
            }
            size_t chunk = 0;
            while (chunk < recording.chunkEnd.size() && recording.chunkEnd[chunk] <= at) ++chunk;
            const uint32_t before = recording.framesBefore[chunk];
            ASSERT_TRUE(survey.playable);
            EXPECT_EQ(survey.frames, before) << survey.words;
            // A payload length made larger runs past the file's end, which is all a cut looks like.
            const size_t inChunk = at < endRecord ? at - recording.chunkStart[chunk] : 0;
            const bool inLength = inChunk == 2 || inChunk == 3;
            EXPECT_EQ(survey.ending, inLength && survey.ending == replayCutShort ? replayCutShort : replayDamaged);
            expectPrefix(playback, frames, before);
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
