// Ogg Vorbis decoder through vorbisfile, reading from memory as a plain stream (no seek or tell callbacks: the
// seekable path of vorbisfile leaks on some damaged chained files, and the game only ever decodes from the start).
// Called by sound.cpp and the Ogg fuzz target. Mono and stereo streams are kept; more channels keep the first two.
#include <cstdio>
#include <cstring>
#include <vorbis/vorbisfile.h>

#include "platform/system.h"
#include "platform/sound_codecs.h"

namespace {

struct MemSource {
    const uint8_t* data; // the whole file
    size_t size;         // bytes
    size_t pos;          // read position
};

size_t ReadCb(void* dst, size_t size, size_t count, void* src) {
    auto* m = static_cast<MemSource*>(src);
    if (size == 0 || count == 0) return 0;
    const size_t want = size * count;
    const size_t n = want < m->size - m->pos ? want : m->size - m->pos;
    std::memcpy(dst, m->data + m->pos, n);
    m->pos += n;
    return n / size;
}

// ov_clear's close: the bytes belong to the caller, so closing only rewinds.
int CloseCb(void* src) {
    static_cast<MemSource*>(src)->pos = 0;
    return 0;
}

SoundPtr Fail(const char* why) {
    Log_Print(std::string("Ogg not loaded: ") + why);
    return nullptr;
}

constexpr int kMaxHoles = 64; // consecutive damaged spots tolerated before giving up

} // namespace

SoundPtr Ogg_Decode(const uint8_t* data, size_t size) {
    if (!data || size < 4 || std::memcmp(data, "OggS", 4) != 0) return Fail("not an Ogg file");
    MemSource src{data, size, 0};
    const ov_callbacks callbacks{ReadCb, nullptr, CloseCb, nullptr};
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, callbacks) != 0) return Fail("not a Vorbis stream");
    struct Closer {
        OggVorbis_File* f;
        ~Closer() { ov_clear(f); }
    } closer{&vf};
    const vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->rate < 1000 || info->rate > 192000) return Fail("unsupported format");
    const int inChannels = info->channels;
    const int outChannels = inChannels >= 2 ? 2 : 1;
    const size_t maxFrames = size_t(info->rate) * kMaxSoundSeconds;
    auto sound = std::make_shared<Sound>();
    sound->rate = int(info->rate);
    sound->channels = outChannels;
    const ogg_int64_t total = ov_pcm_total(&vf, -1);
    if (total > 0 && size_t(total) <= maxFrames) sound->pcm.reserve(size_t(total) * outChannels);
    if (total > 0 && size_t(total) > maxFrames) return Fail("longer than the limit");
    char buf[8192];
    int section = 0, holes = 0;
    size_t frames = 0;
    for (;;) {
        const long got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) {
            if (++holes > kMaxHoles) return Fail("too damaged");
            continue;
        }
        if (got < 0) return Fail("damaged stream");
        holes = 0;
        // A chained file may change its channel count between sections; follow the current one. A change of rate
        // would play the later part at the wrong speed: such a file is refused.
        const vorbis_info* cur = ov_info(&vf, -1);
        if (cur && cur->rate != sound->rate) return Fail("links of a chained stream differ in sample rate");
        const int ch = cur && cur->channels > 0 ? cur->channels : inChannels;
        const size_t n = size_t(got) / (2 * size_t(ch));
        if (frames + n > maxFrames) return Fail("longer than the limit");
        const auto* s = reinterpret_cast<const int16_t*>(buf);
        for (size_t i = 0; i < n; ++i) {
            int16_t left, right;
            std::memcpy(&left, s + i * ch, 2);
            std::memcpy(&right, s + i * ch + (ch >= 2 ? 1 : 0), 2);
            sound->pcm.push_back(left);
            if (outChannels == 2) sound->pcm.push_back(right);
        }
        frames += n;
    }
    if (frames == 0) return Fail("no audio");
    return sound;
}
