// The replay file's bytes: the encoder, the survey that checks a stranger's file, the
// cursor that reads it back, the checksum and the game's time in words.
#include "game/replay_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// "\x89cfrep\r\n": a first byte no text has, and a CR LF that a text-mode copy would change.
constexpr uint8_t replayMagic[8] = {0x89, 'c', 'f', 'r', 'e', 'p', '\r', '\n'};
constexpr uint8_t chunkTag = 'S', endTag = 'E';
// The header before the game's version, and the CRC after it.
constexpr size_t headerFixedBytes = 23, crcBytes = 4;

// ---- Bytes: little-endian integers and the zlib/PNG CRC-32 ---------------------------------

struct CrcTable {
    uint32_t entries[256];
};

constexpr CrcTable makeCrcTable() {
    CrcTable table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table.entries[n] = c;
    }
    return table;
}
constexpr CrcTable crcTable = makeCrcTable();

void putLittle(uint8_t* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = uint8_t(value >> (8 * i));
}
uint64_t getLittle(const uint8_t* in, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t(in[i]) << (8 * i);
    return value;
}
// The game's version is printable ASCII, so any reader can show it.
bool printableAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (text[i] < 0x20 || text[i] > 0x7E) return false;
    return true;
}
bool crcMatches(const uint8_t* data, size_t checkedBytes) {
    return replayChecksum(data, checkedBytes) == getLittle(data + checkedBytes, 4);
}

// ---- One frame: a flag byte, then the pointer's move in 0, 1, 2 or 4 bytes ------------------

constexpr uint8_t buttonBits = 0x07, scrollLeftBit = 0x08, scrollRightBit = 0x10, pointerOffBit = 0x20;
constexpr uint8_t moveBits = 0xC0;
enum PointerMove { moveNone, moveNibbles, moveBytes, movePosition };  // bits 6-7 of the flag byte
constexpr int moveLength[4] = {0, 1, 2, 4};

bool fits(int value, int lowest, int highest) { return value >= lowest && value <= highest; }
int nibble(int bits) { return bits >= 8 ? bits - 16 : bits; }

uint8_t pointerMove(int dx, int dy) {
    if (dx == 0 && dy == 0) return moveNone;
    if (fits(dx, -8, 7) && fits(dy, -8, 7)) return moveNibbles;
    if (fits(dx, -128, 127) && fits(dy, -128, 127)) return moveBytes;
    return movePosition;
}

// Writes one frame and moves the remembered position along; returns its bytes.
int encodeFrame(const FrameInput& input, int16_t& lastX, int16_t& lastY, uint8_t* out) {
    const uint8_t keys = (input.scrollLeft ? scrollLeftBit : 0) | (input.scrollRight ? scrollRightBit : 0);
    if (input.pointerOff) {  // no position and no buttons: the last position stays
        out[0] = keys | pointerOffBit;
        return 1;
    }
    const int dx = input.pointerX - lastX, dy = input.pointerY - lastY;
    const uint8_t move = pointerMove(dx, dy);
    out[0] = uint8_t(keys | (input.buttons & buttonBits) | move << 6);
    if (move == moveNibbles) out[1] = uint8_t((dx & 15) << 4 | (dy & 15));
    if (move == moveBytes) out[1] = uint8_t(dx), out[2] = uint8_t(dy);
    if (move == movePosition) {
        putLittle(out + 1, uint16_t(input.pointerX), 2);
        putLittle(out + 3, uint16_t(input.pointerY), 2);
    }
    lastX = input.pointerX;
    lastY = input.pointerY;
    return 1 + moveLength[move];
}

// The pointer after a frame's move, or false when the bytes cannot be a move the encoder
// wrote: a relative move never leaves the int16 range.
bool movePointer(const uint8_t* flagByte, int16_t& lastX, int16_t& lastY) {
    int x = lastX, y = lastY;
    switch (flagByte[0] >> 6) {
        case moveNibbles: x += nibble(flagByte[1] >> 4), y += nibble(flagByte[1] & 15); break;
        case moveBytes: x += int8_t(flagByte[1]), y += int8_t(flagByte[2]); break;
        case movePosition: x = int16_t(getLittle(flagByte + 1, 2)), y = int16_t(getLittle(flagByte + 3, 2)); break;
        default: break;
    }
    if (!fits(x, INT16_MIN, INT16_MAX) || !fits(y, INT16_MIN, INT16_MAX)) return false;
    lastX = int16_t(x);
    lastY = int16_t(y);
    return true;
}

// Reads one frame of at most `left` bytes; returns its bytes, 0 when it is not a frame.
// An off frame decodes with position and buttons 0 (the game sees -1 for them anyway).
int decodeFrame(const uint8_t* at, size_t left, int16_t& lastX, int16_t& lastY, FrameInput& frame) {
    if (left < 1) return 0;
    const uint8_t flags = at[0];
    frame = FrameInput{};
    frame.scrollLeft = flags & scrollLeftBit;
    frame.scrollRight = flags & scrollRightBit;
    if (flags & pointerOffBit) {
        frame.pointerOff = true;
        return flags & (buttonBits | moveBits) ? 0 : 1;
    }
    const int length = 1 + moveLength[flags >> 6];
    if (left < size_t(length) || !movePointer(at, lastX, lastY)) return 0;
    frame.buttons = flags & buttonBits;
    frame.pointerX = lastX;
    frame.pointerY = lastY;
    return length;
}

// ---- One chunk: 'S', frames, payload length, payload, checkpoint, CRC ------------------------

enum ChunkCheck { chunkWhole, chunkCut, chunkBroken };
struct ChunkReading {
    ChunkCheck check;
    int frames;
    size_t bytes;
    uint64_t checkpoint;
};

// Decodes exactly `count` frames from exactly `payloadBytes` bytes.
bool decodePayload(const uint8_t* payload, size_t payloadBytes, int count, int16_t& lastX, int16_t& lastY,
                   FrameInput* frames) {
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        const int length = decodeFrame(payload + used, payloadBytes - used, lastX, lastY, frames[i]);
        if (length == 0) return false;
        used += size_t(length);
    }
    return used == payloadBytes;
}

// The chunk at `at` (its tag already seen), checked to the last bit; frames receives its inputs.
ChunkReading readChunk(const uint8_t* data, size_t size, size_t at, int16_t& lastX, int16_t& lastY,
                       FrameInput (&frames)[replaySecondFrames]) {
    if (size - at < 4) return ChunkReading{chunkCut, 0, 0, 0};
    const int count = data[at + 1];
    const size_t payloadBytes = getLittle(data + at + 2, 2);
    const size_t bytes = 16 + payloadBytes;
    if (count < 1 || count > replaySecondFrames || payloadBytes > size_t(maxChunkPayloadBytes))
        return ChunkReading{chunkBroken, 0, 0, 0};
    if (size - at < bytes) return ChunkReading{chunkCut, 0, 0, 0};
    if (!crcMatches(data + at, bytes - crcBytes) ||
        !decodePayload(data + at + 4, payloadBytes, count, lastX, lastY, frames))
        return ChunkReading{chunkBroken, 0, 0, 0};
    return ChunkReading{chunkWhole, count, bytes, getLittle(data + at + 4 + payloadBytes, 8)};
}

// ---- The survey's words ------------------------------------------------------------------------

[[gnu::format(printf, 2, 3)]] void say(ReplaySurvey& survey, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(survey.words, sizeof survey.words, format, arguments);
    va_end(arguments);
}

bool startsWith(const uint8_t* data, size_t size, const char* prefix, size_t length) {
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

// What a file that is not a replay most likely is, for the refusal; nullptr when unknown.
const char* otherKindOfFile(const uint8_t* data, size_t size) {
    if (startsWith(data, size, "\x89PNG", 4)) return "a PNG picture";
    if (startsWith(data, size, "\xFF\xD8\xFF", 3)) return "a JPEG picture";
    if (startsWith(data, size, "BM", 2)) return "a BMP picture";
    if (startsWith(data, size, "\x1F\x8B", 2)) return "a gzip file";
    if (startsWith(data, size, "PK\x03\x04", 4)) return "a ZIP archive";
    for (size_t i = 0; i < size && i < 8; ++i)
        if ((data[i] < 0x20 || data[i] > 0x7E) && data[i] != '\t' && data[i] != '\n' && data[i] != '\r') return nullptr;
    return "text";
}

// The magic, or why the file has none; false when refused.
bool checkMagic(const uint8_t* data, size_t size, ReplaySurvey& survey) {
    if (startsWith(data, size, reinterpret_cast<const char*>(replayMagic), 8)) return true;
    if (size < 8 && std::memcmp(data, replayMagic, size) == 0) {
        say(survey, "the header is cut short");
    } else if (startsWith(data, size,
                          "\x89"
                          "cfrep",
                          6)) {
        say(survey, "a replay whose line ends a text-mode copy changed: copy it again as a binary file");
    } else if (const char* kind = otherKindOfFile(data, size)) {
        say(survey, "not a replay: %s", kind);
    } else {
        say(survey, "not a replay");
    }
    return false;
}

// The header after the magic; returns its bytes, 0 when refused.
size_t readHeader(const uint8_t* data, size_t size, ReplaySurvey& survey) {
    if (size < 10) return say(survey, "the header is cut short"), 0;
    const int format = int(getLittle(data + 8, 2));
    if (format > replayFormatVersion)
        return say(survey, "made by a newer crowdfire: format %d, this one reads %d", format, replayFormatVersion), 0;
    if (size < headerFixedBytes) return say(survey, "the header is cut short"), 0;
    const size_t versionLength = data[22];
    const size_t headerBytes = headerFixedBytes + versionLength + crcBytes;
    if (size < headerBytes) return say(survey, "the header is cut short"), 0;
    const char* version = reinterpret_cast<const char*>(data + headerFixedBytes);
    if (format < 1 || versionLength < 1 || versionLength > maxGameVersionLength || !crcMatches(data, headerBytes - 4) ||
        !printableAscii(version, versionLength))
        return say(survey, "the header is damaged"), 0;
    survey.header.seed = uint32_t(getLittle(data + 10, 4));
    survey.header.recordedAt = int64_t(getLittle(data + 14, 8));
    std::memcpy(survey.header.gameVersion, version, versionLength);
    return headerBytes;
}

// How a playable file ends, in words.
void sayEnding(ReplaySurvey& survey, ReplayEnding ending, const char* problem) {
    survey.ending = ending;
    const GameTimeText time = gameTime(survey.frames);
    const char* before = survey.frames ? "what comes before plays" : "nothing before it to play";
    if (ending == replayClosed && survey.frames == 0) say(survey, "a game closed at its start: nothing to play");
    if (ending == replayClosed && survey.frames > 0)
        say(survey, "the whole game: %s (%u frames)", time.text, survey.frames);
    if (ending == replayCutShort)
        say(survey, "cut short at %s (frame %u): the game was killed or the copy truncated; %s", time.text,
            survey.frames, before);
    if (ending == replayDamaged)
        say(survey, "damaged at %s (frame %u): %s; %s", time.text, survey.frames, problem, before);
}

// The end record at `at`, the last thing in the file.
void readEnd(const uint8_t* data, size_t size, size_t at, ReplaySurvey& survey) {
    if (size - at < replayEndBytes) return sayEnding(survey, replayCutShort, "");
    if (!crcMatches(data + at, 5)) return sayEnding(survey, replayDamaged, "the end record fails its check");
    if (getLittle(data + at + 1, 4) != survey.frames)
        return sayEnding(survey, replayDamaged, "the end record counts other frames than the file holds");
    if (size - at > replayEndBytes) return sayEnding(survey, replayDamaged, "bytes follow the end record");
    sayEnding(survey, replayClosed, "");
}

// Every chunk from `at` on, until the end record, the end of the file or the first fault.
void walkChunks(const uint8_t* data, size_t size, size_t at, ReplaySurvey& survey) {
    FrameInput frames[replaySecondFrames];
    int16_t lastX = 0, lastY = 0;
    bool shortChunkSeen = false;
    for (;;) {
        survey.playableBytes = at;
        if (at == size) return sayEnding(survey, replayCutShort, "");
        if (data[at] == endTag) return readEnd(data, size, at, survey);
        if (data[at] != chunkTag) return sayEnding(survey, replayDamaged, "a record of no known kind");
        if (shortChunkSeen) return sayEnding(survey, replayDamaged, "a second follows a short last one");
        const ChunkReading chunk = readChunk(data, size, at, lastX, lastY, frames);
        if (chunk.check == chunkCut) return sayEnding(survey, replayCutShort, "");
        if (chunk.check == chunkBroken) return sayEnding(survey, replayDamaged, "a second fails its check");
        survey.frames += uint32_t(chunk.frames);
        shortChunkSeen = chunk.frames < replaySecondFrames;
        at += chunk.bytes;
    }
}

}  // namespace

// ---- Writing --------------------------------------------------------------------------------

int encodeReplayHeader(const ReplayHeader& header, uint8_t (&out)[maxReplayHeaderBytes]) {
    const size_t versionLength = strnlen(header.gameVersion, sizeof header.gameVersion);
    if (versionLength < 1 || versionLength > maxGameVersionLength || !printableAscii(header.gameVersion, versionLength))
        return 0;
    std::memcpy(out, replayMagic, 8);
    putLittle(out + 8, replayFormatVersion, 2);
    putLittle(out + 10, header.seed, 4);
    putLittle(out + 14, uint64_t(header.recordedAt), 8);
    out[22] = uint8_t(versionLength);
    std::memcpy(out + headerFixedBytes, header.gameVersion, versionLength);
    const size_t checked = headerFixedBytes + versionLength;
    putLittle(out + checked, replayChecksum(out, checked), 4);
    return int(checked + crcBytes);
}

bool addReplayFrame(ReplayEncoder& encoder, const FrameInput& input) {
    if (encoder.chunkFrames == replaySecondFrames) return false;
    encoder.payloadBytes += encodeFrame(input, encoder.lastX, encoder.lastY, encoder.payload + encoder.payloadBytes);
    ++encoder.totalFrames;
    return ++encoder.chunkFrames == replaySecondFrames;
}

int finishReplayChunk(ReplayEncoder& encoder, uint64_t checkpoint, uint8_t (&out)[maxReplayChunkBytes]) {
    if (encoder.chunkFrames == 0) return 0;
    const size_t payloadBytes = size_t(encoder.payloadBytes);
    out[0] = chunkTag;
    out[1] = uint8_t(encoder.chunkFrames);
    putLittle(out + 2, payloadBytes, 2);
    std::memcpy(out + 4, encoder.payload, payloadBytes);
    putLittle(out + 4 + payloadBytes, checkpoint, 8);
    putLittle(out + 12 + payloadBytes, replayChecksum(out, 12 + payloadBytes), 4);
    encoder.chunkFrames = 0;
    encoder.payloadBytes = 0;
    return int(16 + payloadBytes);
}

int encodeReplayEnd(const ReplayEncoder& encoder, uint8_t (&out)[replayEndBytes]) {
    out[0] = endTag;
    putLittle(out + 1, encoder.totalFrames, 4);
    putLittle(out + 5, replayChecksum(out, 5), 4);
    return replayEndBytes;
}

// ---- Reading --------------------------------------------------------------------------------

ReplaySurvey surveyReplay(const uint8_t* data, size_t size) {
    ReplaySurvey survey;
    if (size == 0) return say(survey, "the file is empty"), survey;
    if (size > maxReplayFileBytes)
        return say(survey, "too large: %zu bytes, where a replay holds at most %zu", size, maxReplayFileBytes), survey;
    if (!checkMagic(data, size, survey)) return survey;
    const size_t headerBytes = readHeader(data, size, survey);
    if (headerBytes == 0) return survey;
    survey.playable = true;
    walkChunks(data, size, headerBytes, survey);
    return survey;
}

ReplayCursor startReplayCursor(const uint8_t* data, const ReplaySurvey& survey) {
    const size_t headerBytes = headerFixedBytes + std::strlen(survey.header.gameVersion) + crcBytes;
    if (!survey.playable) return ReplayCursor{data, 0, 0, 0, 0};
    return ReplayCursor{data, survey.playableBytes, headerBytes, 0, 0};
}

int readReplayChunk(ReplayCursor& cursor, FrameInput (&frames)[replaySecondFrames], uint64_t& checkpoint) {
    if (cursor.offset >= cursor.end || cursor.data[cursor.offset] != chunkTag) return 0;
    const ChunkReading chunk = readChunk(cursor.data, cursor.end, cursor.offset, cursor.lastX, cursor.lastY, frames);
    if (chunk.check != chunkWhole) {  // the bytes changed since the survey: stop here
        cursor.offset = cursor.end;
        return 0;
    }
    checkpoint = chunk.checkpoint;
    cursor.offset += chunk.bytes;
    return chunk.frames;
}

uint32_t replayChecksum(const uint8_t* data, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = crcTable.entries[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

GameTimeText gameTime(uint32_t frames) {
    GameTimeText time;
    const uint32_t seconds = frames / replaySecondFrames;
    std::snprintf(time.text, sizeof time.text, "%u:%02u", seconds / 60, seconds % 60);
    return time;
}
