// The software mixer behind sound.h's channel functions: voices with volume, pan, rate (linear interpolation) and
// fades, summed in float and kept below full scale by a look-ahead limiter; streamed sounds are decoded here, just
// ahead of what is mixed. Mixer_Render runs on SDL's audio thread (sound.cpp) or directly in tests; every call here
// takes the one mixer lock.
//
// Sections: [voices] [mixing] [limiter] [channel calls]
#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_codecs.h"

struct Channel {
    SoundPtr sound;                  // what plays; held until the channel ends
    std::unique_ptr<OggVoice> voice; // decoder of a streamed sound
    double pos = 0;        // read position in source frames (fractional; a streamed sound counts on through loops)
    float volume = 1.0f;   // 0..1 (above 1 amplifies)
    float pan = 0.0f;      // -1 left .. 1 right
    float rate = 44100.0f; // source frames per second
    float depth = 0.0f;    // stored only: stereo has no depth
    float fade = 1.0f;     // fade gain 0..1 on top of the volume
    float fadeStep = 0.0f; // its change per output frame while a fade runs
    int fadeLeft = 0;      // output frames the fade still runs; a fade out ends the channel when they are done
    bool paused = false;   // cued and not yet resumed, or paused
    bool ended = false;    // finished or stopped: never sounds again
};

namespace {

// [voices] ---------------------------------------------------------------------------------------------------------

constexpr size_t kMaxVoices = 128; // channels mixed at once

// [limiter] constants: the mix never goes above kLimiterCeiling. When the sum of the voices would, the gain glides
// down over the look-ahead (the output is that much late, so the glide ends as the loud frame goes out), holds while
// it is needed and comes back with kLimiterRelease.
constexpr float kLimiterCeiling = 0.891f; // -1 dBFS
constexpr int kLimiterLookahead = kMixerLatencyFrames;
constexpr float kLimiterRelease = 0.999773f; // the cut kept per frame: exp(-1 / 100 ms at 44.1 kHz)

template <size_t N> constexpr std::array<float, N> Ones() {
    std::array<float, N> a{};
    a.fill(1.0f);
    return a;
}

// The limiter's state: the frames waiting to go out and the gains of the last look-ahead frames.
struct Limiter {
    std::array<float, 2 * kLimiterLookahead> delay{}; // input frames not yet out (ring, stereo)
    std::array<float, kLimiterLookahead + 1> want = Ones<kLimiterLookahead + 1>(); // gain each recent frame needs
    std::array<float, kLimiterLookahead> held = Ones<kLimiterLookahead>();         // held-and-released gains (ring)
    double heldSum = kLimiterLookahead; // sum of `held`: the gain out is their mean
    float wantMin = 1.0f;               // least of `want`, ...
    int wantMinAge = 0;                 // ... wanted this many frames ago
    float cut = 0.0f;                   // 1 - the held gain: the reduction, dying away after the loud frames
    float gain = 1.0f;                  // the gain of the last frame out
    int at = 0;                         // ring position of `delay` and `held` (0 .. look-ahead - 1)
    uint64_t frames = 0;                // frames limited since the reset (ring position of `want`)
};

// The mixer's state; the lock guards all of it.
struct MixerState {
    std::vector<ChannelPtr> channels; // voices being mixed (playing or paused)
    Limiter limiter;
};
std::mutex g_mixerMutex;
MixerState g_mixer;

ChannelPtr Start(const SoundPtr& sound, bool paused) {
    if (!sound || (sound->pcm.empty() && !sound->stream) || sound->channels < 1) return nullptr;
    auto ch = std::make_shared<Channel>();
    ch->sound = sound;
    if (sound->stream && !(ch->voice = OggVoice::Open(sound))) return nullptr;
    ch->rate = float(sound->rate);
    ch->paused = paused;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    if (g_mixer.channels.capacity() == 0) g_mixer.channels.reserve(kMaxVoices);
    // Without a device nothing renders, so voices would pile up: at the limit the oldest one-shot voice (or, if
    // every voice loops, the oldest voice) makes room.
    if (g_mixer.channels.size() >= kMaxVoices) {
        const auto isEnded = [](const ChannelPtr& c) { return c->ended; };
        g_mixer.channels.erase(std::remove_if(g_mixer.channels.begin(), g_mixer.channels.end(), isEnded),
                               g_mixer.channels.end());
    }
    if (g_mixer.channels.size() >= kMaxVoices) {
        auto victim = std::find_if(g_mixer.channels.begin(), g_mixer.channels.end(),
                                   [](const ChannelPtr& c) { return !c->sound->loop; });
        if (victim == g_mixer.channels.end()) victim = g_mixer.channels.begin();
        (*victim)->ended = true;
        g_mixer.channels.erase(victim);
    }
    g_mixer.channels.push_back(ch);
    return ch;
}

// [mixing] ---------------------------------------------------------------------------------------------------------

// The fade gain of the next frame; a finished fade out ends the channel.
inline float NextFade(Channel& ch) {
    if (ch.fadeLeft <= 0) return ch.fade;
    const float g = ch.fade;
    if (--ch.fadeLeft > 0) {
        ch.fade = std::clamp(ch.fade + ch.fadeStep, 0.0f, 1.0f);
    } else {
        ch.fade = ch.fadeStep > 0.0f ? 1.0f : 0.0f;
        ch.ended = ch.fade == 0.0f;
    }
    return g;
}

// Source sample of `channel` (0 or 1) at whole frame i, honouring loops (wraps) and the end (silence).
inline float SampleAt(const Sound& s, size_t frames, size_t i, int channel) {
    if (i >= frames) {
        if (!s.loop) return 0.0f;
        i %= frames;
    }
    const int c = s.channels == 1 ? 0 : channel;
    return float(s.pcm[i * size_t(s.channels) + size_t(c)]) * (1.0f / 32768.0f);
}

// Mixes a streamed channel into `out`: frames are decoded as the read position reaches them, and a loop simply goes
// on counting (the voice starts the file again without a gap). A stream that fails for good ends the channel.
void MixStream(Channel& ch, OggVoice& voice, float* out, int frames, float gainL, float gainR) {
    const Sound& s = *ch.sound;
    const double total = double(s.Frames());
    const double step = double(ch.rate) / double(kMixerRate);
    double pos = ch.pos;
    for (int f = 0; f < frames && !ch.ended; ++f) {
        if (!s.loop && pos >= total) {
            ch.ended = true;
            break;
        }
        const uint64_t i = uint64_t(pos);
        voice.Release(i);
        if (!voice.Ensure(i + 1)) {
            ch.ended = true;
            break;
        }
        const float t = float(pos - double(i));
        const float l = voice.Sample(i, 0) * (1 - t) + voice.Sample(i + 1, 0) * t;
        const float r = voice.Sample(i, 1) * (1 - t) + voice.Sample(i + 1, 1) * t;
        const float fade = NextFade(ch);
        out[2 * f] += l * gainL * fade;
        out[2 * f + 1] += r * gainR * fade;
        pos += step;
    }
    if (!ch.ended && !s.loop && pos >= total) ch.ended = true;
    ch.pos = pos;
}

// Mixes one channel into `out`; marks it ended when a one-shot sound runs out.
void MixChannel(Channel& ch, float* out, int frames) {
    const Sound& s = *ch.sound;
    const size_t total = s.Frames();
    const double step = double(ch.rate) / double(kMixerRate);
    const float vol = std::max(0.0f, ch.volume);
    const float gainL = vol * std::min(1.0f, 1.0f - ch.pan);
    const float gainR = vol * std::min(1.0f, 1.0f + ch.pan);
    if (ch.voice) {
        MixStream(ch, *ch.voice, out, frames, gainL, gainR);
        return;
    }
    double pos = ch.pos;
    for (int f = 0; f < frames && !ch.ended; ++f) {
        if (pos >= double(total)) {
            if (!s.loop) {
                ch.ended = true;
                break;
            }
            pos = std::fmod(pos, double(total));
        }
        const size_t i = size_t(pos);
        const float t = float(pos - double(i));
        const float l = SampleAt(s, total, i, 0) * (1 - t) + SampleAt(s, total, i + 1, 0) * t;
        const float r = SampleAt(s, total, i, 1) * (1 - t) + SampleAt(s, total, i + 1, 1) * t;
        const float fade = NextFade(ch);
        out[2 * f] += l * gainL * fade;
        out[2 * f + 1] += r * gainR * fade;
        pos += step;
    }
    if (!ch.ended && !s.loop && pos >= double(total)) ch.ended = true;
    ch.pos = pos;
}

// [limiter] --------------------------------------------------------------------------------------------------------

// Limits `frames` frames of `out` in place (each frame goes out kLimiterLookahead frames later). The gain a frame
// gets is the mean of the held gains of the look-ahead frames after it, and each of those is at most the least
// gain that any frame of the look-ahead before it needs: so every frame is at or below the ceiling, and the gain
// changes by glides over the look-ahead, never by a jump.
void Limit(Limiter& lim, float* out, int frames) {
    constexpr int kWindow = kLimiterLookahead + 1; // frames of `want` the held gain looks at
    for (int f = 0; f < frames; ++f) {
        float* frame = out + 2 * f;
        const float peak = std::max(std::fabs(frame[0]), std::fabs(frame[1]));
        const float want = peak > kLimiterCeiling ? kLimiterCeiling / peak : 1.0f;
        const size_t slot = size_t(lim.frames++ % kWindow);
        lim.want[slot] = want;
        if (want <= lim.wantMin) {
            lim.wantMin = want, lim.wantMinAge = 0;
        } else if (++lim.wantMinAge >= kWindow) { // the least one left the window: find the next
            lim.wantMin = 2.0f;
            for (int age = 0; age < kWindow; ++age) {
                const float w = lim.want[(slot + size_t(kWindow - age)) % kWindow];
                if (w < lim.wantMin) lim.wantMin = w, lim.wantMinAge = age;
            }
        }
        lim.cut = std::max(1.0f - lim.wantMin, lim.cut * kLimiterRelease);
        if (lim.cut < 1e-5f) lim.cut = 0.0f;
        const float held = 1.0f - lim.cut;
        const size_t at = size_t(lim.at);
        lim.heldSum += double(held) - double(lim.held[at]);
        lim.held[at] = held;
        lim.gain = float(lim.heldSum / kLimiterLookahead);
        const float l = lim.delay[2 * at], r = lim.delay[2 * at + 1];
        lim.delay[2 * at] = frame[0], lim.delay[2 * at + 1] = frame[1];
        frame[0] = l * lim.gain, frame[1] = r * lim.gain;
        if (++lim.at == kLimiterLookahead) { // once round the ring: the sum afresh, so no rounding piles up
            lim.at = 0;
            lim.heldSum = 0;
            for (const float h : lim.held)
                lim.heldSum += double(h);
        }
    }
}

} // namespace

// [channel calls] --------------------------------------------------------------------------------------------------

ChannelPtr Sound_Play(const SoundPtr& sound) { return Start(sound, false); }
ChannelPtr Sound_Cue(const SoundPtr& sound) { return Start(sound, true); }

void Channel_SetVolume(const ChannelPtr& ch, float volume) {
    if (!ch || !std::isfinite(volume)) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->volume = std::max(0.0f, volume);
}

void Channel_SetPan(const ChannelPtr& ch, float pan) {
    if (!ch || !std::isfinite(pan)) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->pan = std::clamp(pan, -1.0f, 1.0f);
}

void Channel_SetRate(const ChannelPtr& ch, float hz) {
    if (!ch || !std::isfinite(hz) || hz <= 0) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->rate = std::min(hz, float(kMixerRate) * 16.0f);
}

void Channel_SetDepth(const ChannelPtr& ch, float depth) {
    if (!ch) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->depth = depth;
}

void Channel_FadeIn(const ChannelPtr& ch, float ms) {
    if (!ch || !std::isfinite(ms)) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    const int frames = int(std::lround(std::clamp(ms, 0.0f, 60000.0f) * float(kMixerRate) / 1000.0f));
    ch->fade = frames > 0 ? 0.0f : 1.0f;
    ch->fadeStep = frames > 0 ? 1.0f / float(frames) : 0.0f;
    ch->fadeLeft = frames;
}

void Channel_FadeOut(const ChannelPtr& ch, float ms) {
    if (!ch || !std::isfinite(ms)) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    const int frames = int(std::lround(std::clamp(ms, 0.0f, 60000.0f) * float(kMixerRate) / 1000.0f));
    if (frames < 1 || ch->paused) { // nothing to hear fading: gone at once
        ch->ended = true;
        return;
    }
    ch->fadeStep = -ch->fade / float(frames);
    ch->fadeLeft = frames;
}

void Channel_Pause(const ChannelPtr& ch) {
    if (!ch) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->paused = true;
}

void Channel_Resume(const ChannelPtr& ch) {
    if (!ch) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->paused = false;
}

void Channel_Stop(const ChannelPtr& ch) {
    if (!ch) return;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    ch->ended = true;
}

bool Channel_Playing(const ChannelPtr& ch) {
    if (!ch) return false;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    return !ch->ended;
}

void Mixer_Render(float* out, int frames) {
    if (!out || frames <= 0) return;
    std::fill(out, out + 2 * size_t(frames), 0.0f);
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    for (const ChannelPtr& ch : g_mixer.channels)
        if (!ch->ended && !ch->paused) MixChannel(*ch, out, frames);
    // Drop ended voices in place (no allocation on the audio thread).
    g_mixer.channels.erase(
        std::remove_if(g_mixer.channels.begin(), g_mixer.channels.end(), [](const ChannelPtr& c) { return c->ended; }),
        g_mixer.channels.end());
    Limit(g_mixer.limiter, out, frames);
}

float Mixer_LimiterGain() {
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    return g_mixer.limiter.gain;
}

void Mixer_StopAll() {
    std::vector<ChannelPtr> old;
    {
        std::lock_guard<std::mutex> lock(g_mixerMutex);
        for (const ChannelPtr& ch : g_mixer.channels)
            ch->ended = true;
        old.swap(g_mixer.channels);
        g_mixer.limiter = Limiter{};
    }
}

int Mixer_ActiveChannels() {
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    return int(
        std::count_if(g_mixer.channels.begin(), g_mixer.channels.end(), [](const ChannelPtr& c) { return !c->ended; }));
}
