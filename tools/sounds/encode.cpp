#include "encode.h"

#include <lame/lame.h>
#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

namespace synth {

namespace {

// Vorbis quality 0.4 (about 100 kbit/s mono) keeps the crack of a shot clean.
constexpr float vorbisQuality = 0.4f;
constexpr int mp3Kbps = 128;
constexpr int feedFrames = 1024;

bool saveBytes(const std::string& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void appendPage(std::string& bytes, const ogg_page& page) {
    bytes.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    bytes.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

// The whole Vorbis pipeline, owned in one place so every exit frees it.
struct VorbisEncoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool ready = false;

    explicit VorbisEncoder(uint32_t serial) {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
        if (vorbis_encode_init_vbr(&info, 1, sampleRate, vorbisQuality) != 0) return;
        vorbis_comment_add_tag(&comment, "TITLE", "crowdfire sound effect");
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, int(serial));
        ready = true;
    }
    ~VorbisEncoder() {
        if (ready) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }

    void writeHeaders(std::string& bytes) {
        ogg_packet id, comments, codebooks;
        vorbis_analysis_headerout(&dsp, &comment, &id, &comments, &codebooks);
        ogg_stream_packetin(&stream, &id);
        ogg_stream_packetin(&stream, &comments);
        ogg_stream_packetin(&stream, &codebooks);
        // The audio starts on a fresh page, as Ogg Vorbis requires.
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) appendPage(bytes, page);
    }

    void drain(std::string& bytes) {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) appendPage(bytes, page);
            }
        }
    }

    void finish(std::string& bytes) {
        vorbis_analysis_wrote(&dsp, 0);
        drain(bytes);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) appendPage(bytes, page);
    }
};

}  // namespace

bool writeOgg(const std::string& path, const Samples& s, uint32_t serial, std::string& error) {
    VorbisEncoder encoder(serial);
    if (!encoder.ready) {
        error = "the Vorbis encoder refused its settings";
        return false;
    }
    std::string bytes;
    encoder.writeHeaders(bytes);
    for (size_t start = 0; start < s.size(); start += feedFrames) {
        int count = int(std::min(s.size() - start, size_t(feedFrames)));
        float** buffer = vorbis_analysis_buffer(&encoder.dsp, count);
        std::copy_n(s.begin() + long(start), count, buffer[0]);
        vorbis_analysis_wrote(&encoder.dsp, count);
        encoder.drain(bytes);
    }
    encoder.finish(bytes);
    return saveBytes(path, bytes, error);
}

bool writeMp3(const std::string& path, const Samples& s, std::string& error) {
    lame_t lame = lame_init();
    if (lame == nullptr) {
        error = "cannot start the MP3 encoder";
        return false;
    }
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, mp3Kbps);
    lame_set_quality(lame, 2);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        error = "the MP3 encoder refused its settings";
        return false;
    }
    std::vector<unsigned char> out(s.size() * 5 / 4 + 7200 + 8192);
    int written = lame_encode_buffer_ieee_float(lame, s.data(), s.data(), int(s.size()), out.data(), int(out.size()));
    int flushed = written < 0 ? -1 : lame_encode_flush(lame, out.data() + written, int(out.size()) - written);
    lame_close(lame);
    if (written < 0 || flushed < 0) {
        error = "the MP3 encoder failed";
        return false;
    }
    return saveBytes(path, std::string(out.begin(), out.begin() + written + flushed), error);
}

bool writeWav(const std::string& path, const Samples& s, std::string& error) {
    auto put = [](std::string& b, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(char((v >> (8 * i)) & 0xFF));
    };
    uint32_t dataBytes = uint32_t(s.size() * 2);
    std::string b = "RIFF";
    put(b, 36 + dataBytes, 4);
    b += "WAVEfmt ";
    put(b, 16, 4);
    put(b, 1, 2);  // PCM
    put(b, 1, 2);  // mono
    put(b, sampleRate, 4);
    put(b, sampleRate * 2, 4);
    put(b, 2, 2);
    put(b, 16, 2);
    b += "data";
    put(b, dataBytes, 4);
    for (float v : s) {
        long q = std::lround(std::clamp(double(v), -1.0, 1.0) * 32767.0);
        put(b, uint32_t(int16_t(q)), 2);
    }
    return saveBytes(path, b, error);
}

}  // namespace synth
