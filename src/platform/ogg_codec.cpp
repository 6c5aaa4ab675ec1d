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
#include <ogg/ogg.h>
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

// The header checks both readings share: null (with the reason) for a file that does not open as a usable stream.
const vorbis_info* OpenUsable(OggVorbis_File& vf, MemSource& src, bool& opened) {
    opened = false;
    if (!src.data || src.size < 4 || std::memcmp(src.data, "OggS", 4) != 0) return Fail("not an Ogg file"), nullptr;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, kCallbacks) != 0) return Fail("not a Vorbis stream"), nullptr;
    opened = true;
    const vorbis_info* info = ov_info(&vf, -1);
    if (!info || info->channels < 1 || info->rate < 1000 || info->rate > 192000)
        return Fail("unsupported format"), nullptr;
    return info;
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The length in frames of a Vorbis file from its pages alone, without decoding: the last granule position of each
// link of a chain, summed. The rate of each link is read from its identification header; -1 when a link's rate
// differs from `rate` (the later links would play at the wrong speed).
int64_t PageLength(const uint8_t* data, size_t size, long rate) {
    constexpr int64_t kLongest = int64_t(192000) * kMaxSoundSeconds + 1; // more than any sound that is kept
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_page page;
    int64_t total = 0, last = 0;
    long serial = -1;
    bool sameRate = true;
    for (size_t fed = 0;;) {
        const int r = ogg_sync_pageout(&sync, &page);
        if (r < 0) continue; // bytes skipped to the next page
        if (r == 0) {
            if (fed == size) break;
            const size_t n = std::min<size_t>(size - fed, 16384);
            std::memcpy(ogg_sync_buffer(&sync, long(n)), data + fed, n);
            ogg_sync_wrote(&sync, long(n));
            fed += n;
            continue;
        }
        if (ogg_page_bos(&page)) { // a new link: its first page holds only the identification header
            total += last;
            last = 0;
            serial = ogg_page_serialno(&page);
            if (page.body_len >= 16 && std::memcmp(page.body, "\x01vorbis", 7) == 0 &&
                long(Le32(page.body + 12)) != rate)
                sameRate = false;
        } else if (ogg_page_serialno(&page) == serial && ogg_page_granulepos(&page) > last) {
            last = std::min<int64_t>(ogg_page_granulepos(&page), kLongest); // a wild position stays summable
        }
    }
    ogg_sync_clear(&sync);
    return sameRate ? total + last : -1;
}

} // namespace

SoundPtr Ogg_Decode(const uint8_t* data, size_t size) {
    MemSource src{data, size, 0};
    OggVorbis_File vf;
    bool opened = false;
    const vorbis_info* info = OpenUsable(vf, src, opened);
    struct Closer {
        OggVorbis_File* f;
        bool on;
        ~Closer() {
            if (on) ov_clear(f);
        }
    } closer{&vf, opened};
    if (!info) return nullptr;
    const int inChannels = info->channels;
    const int outChannels = OutChannels(inChannels);
    const size_t maxFrames = size_t(info->rate) * kMaxSoundSeconds;
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

SoundPtr Ogg_Load(std::shared_ptr<SoundStream> bytes, int streamSeconds) {
    if (!bytes) return nullptr;
    const FileBytes& file = bytes->file;
    MemSource src{file.data, file.size, 0};
    OggVorbis_File vf;
    bool opened = false;
    const vorbis_info* info = OpenUsable(vf, src, opened);
    const long rate = info ? info->rate : 0;
    const int channels = info ? OutChannels(info->channels) : 0;
    if (opened) ov_clear(&vf);
    if (!info) return nullptr;
    // Long files are measured by their pages and streamed; the voices report damage as they meet it.
    const int64_t frames = PageLength(file.data, file.size, rate);
    if (frames < 0) return Fail("links of a chained stream differ in sample rate");
    if (frames <= 0 || frames < int64_t(rate) * std::max(streamSeconds, 0)) return Ogg_Decode(file.data, file.size);
    if (frames > int64_t(rate) * kMaxSoundSeconds) return Fail("longer than the limit");
    auto sound = std::make_shared<Sound>();
    sound->rate = int(rate);
    sound->channels = channels;
    sound->streamFrames = size_t(frames);
    sound->stream = std::move(bytes);
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
        if (cur && cur->rate != sound_->rate) { // a link the page check missed (its first page damaged)
            Damaged("links of a chained stream differ in sample rate");
            failed_ = true;
            break;
        }
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
