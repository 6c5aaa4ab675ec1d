// Ogg Vorbis through vorbisfile, reading from memory with our own four stream callbacks: the whole-file decoder
// (sound.cpp, the Ogg fuzz target) and the stream voices that decode long music as it plays (mixer.cpp). Mono and
// stereo streams are kept; more channels keep the first two.
//
// [SECTION] Callbacks
// [SECTION] Whole-file decoder
// [SECTION] Streams
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vorbis/vorbisfile.h>

#include "platform/sound_codecs.h"
#include "platform/system.h"

// ---- [SECTION] Callbacks -----------------------------------------------------------------------------------------

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

int SeekCb(void* src, ogg_int64_t offset, int whence) {
    auto* m = static_cast<MemSource*>(src);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = ogg_int64_t(m->pos);
    else if (whence == SEEK_END)
        base = ogg_int64_t(m->size);
    else if (whence != SEEK_SET)
        return -1;
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > ogg_int64_t(m->size)) return -1;
    m->pos = size_t(to);
    return 0;
}

long TellCb(void* src) { return long(static_cast<MemSource*>(src)->pos); }

// ov_clear's close: the bytes belong to the caller, so closing only rewinds.
int CloseCb(void* src) {
    static_cast<MemSource*>(src)->pos = 0;
    return 0;
}

SoundPtr Fail(const char* why) {
    std::fprintf(stderr, "Ogg not loaded: %s\n", why);
    return nullptr;
}

constexpr int kMaxHoles = 64; // consecutive damaged spots tolerated before giving up

const ov_callbacks kCallbacks{ReadCb, SeekCb, CloseCb, TellCb};

// Channels to keep of a stream with `channels`: mono stays mono, everything else becomes stereo.
int OutChannels(int channels) { return channels >= 2 ? 2 : 1; }

} // namespace

// ---- [SECTION] Whole-file decoder --------------------------------------------------------------------------------

SoundPtr Ogg_Decode(const uint8_t* data, size_t size) {
    if (!data || size < 4 || std::memcmp(data, "OggS", 4) != 0) return Fail("not an Ogg file");
    MemSource src{data, size, 0};
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, kCallbacks) != 0) return Fail("not a Vorbis stream");
    struct Closer {
        OggVorbis_File* f;
        ~Closer() { ov_clear(f); }
    } closer{&vf};
    const vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->rate < 1000 || info->rate > 192000) return Fail("unsupported format");
    const int inChannels = info->channels;
    const int outChannels = OutChannels(inChannels);
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
        // A chained file may change its channel count between sections; follow the current one.
        const vorbis_info* cur = ov_info(&vf, -1);
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

// ---- [SECTION] Streams -------------------------------------------------------------------------------------------

SoundPtr Ogg_OpenStream(std::shared_ptr<SoundStream> bytes, int minSeconds) {
    if (!bytes || !bytes->file.data || bytes->file.size < 4 || std::memcmp(bytes->file.data, "OggS", 4) != 0)
        return nullptr;
    MemSource src{bytes->file.data, bytes->file.size, 0};
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, kCallbacks) != 0) return nullptr;
    const vorbis_info* info = ov_info(&vf, -1);
    const ogg_int64_t total = ov_pcm_total(&vf, -1);
    SoundPtr sound;
    if (info && info->channels >= 1 && info->rate >= 1000 && info->rate <= 192000 && total > 0 &&
        size_t(total) >= size_t(info->rate) * size_t(std::max(minSeconds, 0)) &&
        size_t(total) <= size_t(info->rate) * kMaxSoundSeconds) {
        sound = std::make_shared<Sound>();
        sound->rate = int(info->rate);
        sound->channels = OutChannels(info->channels);
        sound->streamFrames = size_t(total);
        sound->stream = std::move(bytes);
    }
    ov_clear(&vf);
    return sound;
}

struct OggVoice::Impl {
    MemSource src{};     // this voice's read position in the shared bytes
    OggVorbis_File vf{}; // the decoder
    bool open = false;   // vf needs ov_clear
};

std::unique_ptr<OggVoice> OggVoice::Open(const SoundPtr& sound) {
    if (!sound || !sound->stream) return nullptr;
    std::unique_ptr<OggVoice> v(new OggVoice);
    v->sound_ = sound;
    v->impl_ = std::make_unique<Impl>();
    v->impl_->src = MemSource{sound->stream->file.data, sound->stream->file.size, 0};
    if (ov_open_callbacks(&v->impl_->src, &v->impl_->vf, nullptr, 0, kCallbacks) != 0) {
        v->Damaged("not a Vorbis stream");
        return nullptr;
    }
    v->impl_->open = true;
    v->ring_.assign(kRingFrames * size_t(sound->channels), 0);
    return v;
}

OggVoice::~OggVoice() {
    if (impl_ && impl_->open) ov_clear(&impl_->vf);
}

void OggVoice::Damaged(const char* why) {
    if (!sound_->stream->warned.exchange(true)) Sys_Print(Str_FromUtf8(std::string("Ogg stream damaged: ") + why));
}

bool OggVoice::Reopen() { return ov_pcm_seek(&impl_->vf, 0) == 0; }

bool OggVoice::Ensure(uint64_t last) {
    const int outChannels = sound_->channels;
    char buf[4096];
    int holes = 0, section = 0;
    while (!failed_ && !ended_ && decoded_ <= last) {
        const uint64_t held = decoded_ > released_ ? decoded_ - released_ : 0;
        if (held >= kRingFrames) break; // asked further ahead than the ring reaches
        const vorbis_info* cur = ov_info(&impl_->vf, -1);
        const int ch = cur && cur->channels > 0 ? cur->channels : outChannels;
        const size_t frameBytes = 2 * size_t(ch);
        const size_t want = std::min(sizeof buf / frameBytes, size_t(kRingFrames - held)) * frameBytes;
        if (want == 0) {
            failed_ = true; // more channels than a read can hold
            break;
        }
        const long got = ov_read(&impl_->vf, buf, int(want), 0, 2, 1, &section);
        if (got == 0) { // the end of the file
            if (!sound_->loop) {
                ended_ = true;
            } else if (decoded_ == passStart_ || !Reopen()) {
                Damaged("no audio to loop");
                failed_ = true;
            } else {
                passStart_ = decoded_;
            }
            continue;
        }
        if (got == OV_HOLE) {
            Damaged("a damaged page was skipped");
            if (++holes > kMaxHoles) failed_ = true;
            continue;
        }
        if (got < 0) { // the rest of this pass is lost: a loop starts again, a one-shot sound ends here
            Damaged("the stream cannot be decoded further");
            if (sound_->loop && decoded_ > passStart_ && Reopen())
                passStart_ = decoded_;
            else
                failed_ = true;
            continue;
        }
        holes = 0;
        const size_t n = size_t(got) / frameBytes;
        const auto* s = reinterpret_cast<const int16_t*>(buf);
        for (size_t i = 0; i < n; ++i, ++decoded_) {
            int16_t* d = ring_.data() + size_t(decoded_ % kRingFrames) * size_t(outChannels);
            std::memcpy(&d[0], s + i * size_t(ch), 2);
            if (outChannels == 2) std::memcpy(&d[1], s + i * size_t(ch) + (ch >= 2 ? 1 : 0), 2);
        }
    }
    return !failed_;
}

float OggVoice::Sample(uint64_t n, int channel) const {
    if (n >= decoded_ || decoded_ - n > kRingFrames) return 0.0f;
    const int c = sound_->channels == 1 ? 0 : channel;
    return float(ring_[size_t(n % kRingFrames) * size_t(sound_->channels) + size_t(c)]) * (1.0f / 32768.0f);
}
