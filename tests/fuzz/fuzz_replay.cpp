// libFuzzer target: the replay reader on any bytes at all. Besides the sanitizers' checks:
// the survey always has words; what it calls playable, the cursor reads back to the frame,
// in seconds of 70 but the last, with no frame the encoder could not have written; the
// playable part alone surveys the same; and the frames written again by the encoder read
// back the same, with their checkpoints, in no more bytes than the file spent on them.
// Each input is read twice: as it is, and with its checksums mended, so that the fuzzer
// reaches the frame decoder behind them and does not stop at the first CRC.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/replay_file.h"

namespace {

[[noreturn]] void broken(const char* what, const ReplaySurvey& survey) {
    std::fprintf(stderr, "fuzz_replay: %s (survey: %s)\n", what, survey.words);
    std::abort();
}

struct Second {
    int count;
    FrameInput frames[replaySecondFrames];
    uint64_t checkpoint;
};

bool sameInput(const FrameInput& a, const FrameInput& b) {
    return a.pointerOff == b.pointerOff && a.pointerX == b.pointerX && a.pointerY == b.pointerY &&
           a.buttons == b.buttons && a.scrollLeft == b.scrollLeft && a.scrollRight == b.scrollRight;
}

// Every second the cursor gives, each frame held to what the encoder can write.
std::vector<Second> readBack(const uint8_t* data, const ReplaySurvey& survey) {
    std::vector<Second> seconds;
    ReplayCursor cursor = startReplayCursor(data, survey);
    Second second{};
    while ((second.count = readReplayChunk(cursor, second.frames, second.checkpoint)) > 0) {
        if (!seconds.empty() && seconds.back().count != replaySecondFrames)
            broken("a second after a short one", survey);
        for (int i = 0; i < second.count; ++i) {
            const FrameInput& f = second.frames[i];
            if (f.buttons > 7 || (f.pointerOff && (f.buttons || f.pointerX || f.pointerY)))
                broken("a frame the encoder cannot write", survey);
        }
        seconds.push_back(second);
    }
    return seconds;
}

uint32_t framesIn(const std::vector<Second>& seconds) {
    uint32_t frames = 0;
    for (const Second& second : seconds) frames += uint32_t(second.count);
    return frames;
}

void append(std::vector<uint8_t>& file, const uint8_t* bytes, int count) {
    file.insert(file.end(), bytes, bytes + count);
}

// The same header, seconds and checkpoints written again, closed by an end record.
std::vector<uint8_t> writeAgain(const ReplaySurvey& survey, const std::vector<Second>& seconds) {
    uint8_t header[maxReplayHeaderBytes], chunk[maxReplayChunkBytes], end[replayEndBytes];
    std::vector<uint8_t> file;
    append(file, header, encodeReplayHeader(survey.header, header));
    ReplayEncoder encoder{};
    for (const Second& second : seconds) {
        for (int i = 0; i < second.count; ++i) addReplayFrame(encoder, second.frames[i]);
        append(file, chunk, finishReplayChunk(encoder, second.checkpoint, chunk));
    }
    append(file, end, encodeReplayEnd(encoder, end));
    return file;
}

void checkWrittenAgain(const ReplaySurvey& survey, const std::vector<Second>& seconds) {
    const std::vector<uint8_t> again = writeAgain(survey, seconds);
    if (again.size() - replayEndBytes > survey.playableBytes) broken("the encoder spent more bytes", survey);
    const ReplaySurvey againSurvey = surveyReplay(again.data(), again.size());
    if (!againSurvey.playable || againSurvey.ending != replayClosed || againSurvey.frames != survey.frames)
        broken("the frames written again do not survey whole", againSurvey);
    if (againSurvey.header.seed != survey.header.seed || againSurvey.header.recordedAt != survey.header.recordedAt ||
        std::strcmp(againSurvey.header.gameVersion, survey.header.gameVersion) != 0)
        broken("the header written again reads differently", againSurvey);
    const std::vector<Second> againSeconds = readBack(again.data(), againSurvey);
    if (againSeconds.size() != seconds.size()) broken("the seconds written again are other seconds", survey);
    for (size_t k = 0; k < seconds.size(); ++k) {
        if (againSeconds[k].count != seconds[k].count || againSeconds[k].checkpoint != seconds[k].checkpoint)
            broken("a second written again reads differently", survey);
        for (int i = 0; i < seconds[k].count; ++i)
            if (!sameInput(againSeconds[k].frames[i], seconds[k].frames[i]))
                broken("a frame written again reads differently", survey);
    }
}

void mendChecksum(std::vector<uint8_t>& file, size_t at, size_t checkedBytes) {
    const uint32_t checksum = replayChecksum(file.data() + at, checkedBytes);
    for (int i = 0; i < 4; ++i) file[at + checkedBytes + size_t(i)] = uint8_t(checksum >> (8 * i));
}

// The header's, every whole chunk's and the end record's CRC made right, wherever the
// lengths in the file say they are.
void mendChecksums(std::vector<uint8_t>& file) {
    if (file.size() < 23 || file.size() < size_t(27 + file[22])) return;
    size_t at = size_t(27 + file[22]);
    mendChecksum(file, 0, at - 4);
    while (file.size() - at >= 4 && file[at] == 'S') {
        const size_t bytes = 16 + size_t(file[at + 2] | file[at + 3] << 8);
        if (file.size() - at < bytes) return;
        mendChecksum(file, at, bytes - 4);
        at += bytes;
    }
    if (file.size() - at >= replayEndBytes && file[at] == 'E') mendChecksum(file, at, 5);
}

void checkFile(const uint8_t* data, size_t size) {
    const ReplaySurvey survey = surveyReplay(data, size);
    if (survey.words[0] == '\0' || std::memchr(survey.words, 0, sizeof survey.words) == nullptr)
        broken("a survey without words", survey);
    if (!survey.playable) {
        if (survey.frames != 0) broken("frames in a refused file", survey);
        return;
    }
    if (survey.playableBytes > size) broken("playable bytes past the end", survey);
    const std::vector<Second> seconds = readBack(data, survey);
    if (framesIn(seconds) != survey.frames) broken("the cursor read other frames than the survey counted", survey);
    // The playable part alone is the same game, cut short after its last whole second.
    const ReplaySurvey part = surveyReplay(data, survey.playableBytes);
    if (!part.playable || part.ending != replayCutShort || part.frames != survey.frames)
        broken("the playable part alone surveys differently", part);
    checkWrittenAgain(survey, seconds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkFile(data, size);
    std::vector<uint8_t> mended(data, data + size);
    mendChecksums(mended);
    if (size > 0 && std::memcmp(mended.data(), data, size) != 0) checkFile(mended.data(), size);
    return 0;
}
