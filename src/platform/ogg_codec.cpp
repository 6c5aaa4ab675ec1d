// Ogg Vorbis through vorbisfile, reading from memory as a plain stream (no seek or tell callbacks: the seekable path
// of vorbisfile leaks on some damaged chained files, and the game only ever reads from the start): the whole-file
// reading (sound.cpp, the Ogg fuzz target) and the stream voices that decode long music as it plays (mixer.cpp).
// Mono and stereo streams are kept; more channels keep the first two.
//
// [SECTION] Callbacks
// [SECTION] Whole-file reading
// [SECTION] Stream voices
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

const ov_callbacks kCallbacks{ReadCb, nullptr, CloseCb, nullptr}; // unseekable: read from the start only

// Channels to keep of a stream with `channels`: mono stays mono, everything else becomes stereo.
int OutChannels(int channels) { return channels >= 2 ? 2 : 1; }

} // namespace

// ---- [SECTION] Whole-file reading --------------------------------------------------------------------------------

namespace {

// The one pass through a whole Vorbis file, shared by the whole-file decoder and the loading of a streamed sound, so
// both accept and refuse the same files. The samples are kept until the file proves to be `streamSeconds` long or
// more (never when it is negative); from there on frames are only counted, and the sound comes back with empty pcm
// and `streamFrames` set, for the caller to stream. Null, with one diagnostic line, for anything unreadable.
SoundPtr ReadWhole(const uint8_t* data, size_t size, int streamSeconds) {
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
    const size_t streamFrom = streamSeconds < 0 ? SIZE_MAX : size_t(info->rate) * size_t(streamSeconds);
    auto sound = std::make_shared<Sound>();
    sound->rate = int(info->rate);
    sound->channels = outChannels;
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
        frames += n;
        if (frames >= streamFrom) {
            std::vector<int16_t>().swap(sound->pcm); // long enough to stream: count on without keeping samples
            continue;
        }
        const auto* s = reinterpret_cast<const int16_t*>(buf);
        for (size_t i = 0; i < n; ++i) {
            int16_t left, right;
            std::memcpy(&left, s + i * ch, 2);
            std::memcpy(&right, s + i * ch + (ch >= 2 ? 1 : 0), 2);
            sound->pcm.push_back(left);
            if (outChannels == 2) sound->pcm.push_back(right);
        }
    }
    if (frames == 0) return Fail("no audio");
    if (frames >= streamFrom) sound->streamFrames = frames;
    return sound;
}

} // namespace

SoundPtr Ogg_Decode(const uint8_t* data, size_t size) { return ReadWhole(data, size, -1); }

SoundPtr Ogg_Load(std::shared_ptr<SoundStream> bytes, int streamSeconds) {
    if (!bytes) return nullptr;
    SoundPtr sound = ReadWhole(bytes->file.data, bytes->file.size, streamSeconds);
    if (sound && sound->streamFrames > 0) sound->stream = std::move(bytes);
    return sound;
}

// ---- [SECTION] Stream voices -------------------------------------------------------------------------------------

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
    if (!sound_->stream->warned.exchange(true)) Log_Print(std::string("Ogg stream damaged: ") + why);
}

// The file is read as a plain stream, so a loop opens it again from its first byte (ov_clear's close rewinds).
bool OggVoice::Reopen() {
    ov_clear(&impl_->vf);
    impl_->src.pos = 0;
    impl_->open = ov_open_callbacks(&impl_->src, &impl_->vf, nullptr, 0, kCallbacks) == 0;
    return impl_->open;
}

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
