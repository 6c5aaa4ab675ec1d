// WAV and Ogg Vorbis writers of the asset generators (see audio.h). Called by the audio generator; the Ogg side
// drives libvorbisenc with a fixed serial number so that a rerun writes the same bytes.
#include "assetlib/audio.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

int16_t ToPcm16(float v) {
    const float clipped = std::clamp(v, -1.0f, 1.0f);
    return static_cast<int16_t>(std::lround(clipped * 32767.0f));
}

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> Wav_Encode(const AudioBuffer& buffer) {
    const uint32_t channels = static_cast<uint32_t>(std::max(1, buffer.channels));
    const uint32_t dataBytes = static_cast<uint32_t>(buffer.Frames() * channels * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    const auto tag = [&out](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    PutLe(out, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    PutLe(out, 16, 4);                                                // chunk size
    PutLe(out, 1, 2);                                                 // PCM
    PutLe(out, channels, 2);                                          //
    PutLe(out, static_cast<uint32_t>(buffer.rate), 4);                // frames per second
    PutLe(out, static_cast<uint32_t>(buffer.rate) * channels * 2, 4); // bytes per second
    PutLe(out, channels * 2, 2);                                      // block align
    PutLe(out, 16, 2);                                                // bits per sample
    tag("data");
    PutLe(out, dataBytes, 4);
    const size_t count = buffer.Frames() * channels;
    for (size_t i = 0; i < count; ++i)
        PutLe(out, static_cast<uint16_t>(ToPcm16(buffer.samples[i])), 2);
    return out;
}

std::vector<uint8_t> Ogg_Encode(const AudioBuffer& buffer, float quality, int serial) {
    std::vector<uint8_t> out;
    const int channels = buffer.channels;
    if (channels < 1 || channels > 2 || buffer.rate <= 0) return out;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, buffer.rate, quality) != 0) {
        vorbis_info_clear(&info);
        std::fprintf(stderr, "vorbis encoder refused %d channels at %d Hz\n", channels, buffer.rate);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "Brisquel 2 asset generator");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page); // audio starts on a fresh page

    const size_t frames = buffer.Frames();
    constexpr size_t kChunk = 4096;
    bool finished = false;
    size_t pos = 0;
    while (!finished) {
        const size_t n = std::min(kChunk, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        } else {
            float** planes = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    planes[c][i] = std::clamp(buffer.samples[(pos + i) * channels + c], -1.0f, 1.0f);
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (n == 0 && !finished) {
            while (ogg_stream_flush(&stream, &page) != 0)
                AppendPage(out, page);
            finished = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

bool Audio_WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    if (f) f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
        std::fprintf(stderr, "failed writing %s\n", path.c_str());
        return false;
    }
    return true;
}

float Audio_Peak(const AudioBuffer& buffer) {
    float peak = 0.0f;
    for (const float v : buffer.samples)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

float Audio_Rms(const AudioBuffer& buffer) {
    if (buffer.samples.empty()) return 0.0f;
    double sum = 0.0;
    for (const float v : buffer.samples)
        sum += static_cast<double>(v) * v;
    return static_cast<float>(std::sqrt(sum / static_cast<double>(buffer.samples.size())));
}

void Audio_Normalize(AudioBuffer& buffer, float peak) {
    const float current = Audio_Peak(buffer);
    if (current <= 0.0f) return;
    const float gain = peak / current;
    for (float& v : buffer.samples)
        v *= gain;
}
