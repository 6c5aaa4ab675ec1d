// RIFF WAVE decoder: PCM 8-bit (unsigned) and 16-bit (signed), mono or stereo, to 16-bit samples. Called by
// sound.cpp and the WAV fuzz target. Every chunk length is checked against the bytes actually present.
#include <cstdio>
#include <cstring>

#include "platform/system.h"
#include "platform/sound_codecs.h"

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

SoundPtr Fail(const char* why) {
    Log_Print(std::string("WAV not loaded: ") + why);
    return nullptr;
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

} // namespace

SoundPtr Wav_Decode(const uint8_t* data, size_t size) {
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return Fail("not a RIFF WAVE file");
    bool haveFormat = false;
    uint16_t channels = 0, bits = 0;
    uint32_t rate = 0;
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = data + pos;
        const size_t len = Le32(chunk + 4);
        const size_t avail = size - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (len < 16 || len > avail) return Fail("bad format chunk");
            uint16_t tag = Le16(chunk + 8);
            channels = Le16(chunk + 10);
            rate = Le32(chunk + 12);
            bits = Le16(chunk + 22);
            if (tag == kFormatExtensible && len >= 40) tag = Le16(chunk + 8 + 24); // sub-format GUID's first word
            if (tag != kFormatPcm) return Fail("not PCM");
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            pcm = chunk + 8;
            pcmBytes = len < avail ? len : avail; // a truncated data chunk plays what is there
            break;
        }
        if (len > avail) break;
        pos += 8 + len + (len & 1); // chunks are padded to even length
    }
    if (!haveFormat) return Fail("no format chunk");
    if (!pcm) return Fail("no data chunk");
    if (channels < 1 || channels > 2) return Fail("only mono and stereo are supported");
    if (bits != 8 && bits != 16) return Fail("only 8- and 16-bit samples are supported");
    if (rate < 1000 || rate > 192000) return Fail("unsupported sample rate");
    const size_t frameBytes = size_t(channels) * (bits / 8);
    const size_t frames = pcmBytes / frameBytes;
    if (frames > size_t(rate) * kMaxSoundSeconds) return Fail("longer than the limit");
    auto sound = std::make_shared<Sound>();
    sound->rate = int(rate);
    sound->channels = channels;
    sound->pcm.resize(frames * channels);
    for (size_t i = 0; i < sound->pcm.size(); ++i) {
        sound->pcm[i] = bits == 8 ? int16_t((int(pcm[i]) - 128) * 256) : int16_t(Le16(pcm + 2 * i));
    }
    return sound;
}
