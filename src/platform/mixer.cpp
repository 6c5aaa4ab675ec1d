// The software mixer behind sound.h's channel functions: voices with volume, pan and rate (linear interpolation),
// summed in float and clamped; streamed sounds are decoded here, just ahead of what is mixed. Mixer_Render runs on
// SDL's audio thread (sound.cpp) or directly in tests; every call here takes the one mixer lock.
#include <algorithm>
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
    bool paused = false;   // cued and not yet resumed, or paused
    bool ended = false;    // finished or stopped: never sounds again
};

namespace {

constexpr size_t kMaxVoices = 128;       // channels mixed at once
std::mutex g_mixerMutex;                 // guards every Channel and g_mixerChannels
std::vector<ChannelPtr> g_mixerChannels; // voices being mixed (playing or paused)

ChannelPtr Start(const SoundPtr& sound, bool paused) {
    if (!sound || (sound->pcm.empty() && !sound->stream) || sound->channels < 1) return nullptr;
    auto ch = std::make_shared<Channel>();
    ch->sound = sound;
    if (sound->stream && !(ch->voice = OggVoice::Open(sound))) return nullptr;
    ch->rate = float(sound->rate);
    ch->paused = paused;
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    if (g_mixerChannels.capacity() == 0) g_mixerChannels.reserve(kMaxVoices);
    // Without a device nothing renders, so voices would pile up: at the limit the oldest one-shot voice (or, if
    // every voice loops, the oldest voice) makes room.
    if (g_mixerChannels.size() >= kMaxVoices) {
        const auto isEnded = [](const ChannelPtr& c) { return c->ended; };
        g_mixerChannels.erase(std::remove_if(g_mixerChannels.begin(), g_mixerChannels.end(), isEnded),
                              g_mixerChannels.end());
    }
    if (g_mixerChannels.size() >= kMaxVoices) {
        auto victim = std::find_if(g_mixerChannels.begin(), g_mixerChannels.end(),
                                   [](const ChannelPtr& c) { return !c->sound->loop; });
        if (victim == g_mixerChannels.end()) victim = g_mixerChannels.begin();
        (*victim)->ended = true;
        g_mixerChannels.erase(victim);
    }
    g_mixerChannels.push_back(ch);
    return ch;
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
    for (int f = 0; f < frames; ++f) {
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
        out[2 * f] += l * gainL;
        out[2 * f + 1] += r * gainR;
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
    for (int f = 0; f < frames; ++f) {
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
        out[2 * f] += l * gainL;
        out[2 * f + 1] += r * gainR;
        pos += step;
    }
    if (!ch.ended && !s.loop && pos >= double(total)) ch.ended = true;
    ch.pos = pos;
}

} // namespace

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
    for (const ChannelPtr& ch : g_mixerChannels)
        if (!ch->ended && !ch->paused) MixChannel(*ch, out, frames);
    // Drop ended voices in place (no allocation on the audio thread).
    g_mixerChannels.erase(
        std::remove_if(g_mixerChannels.begin(), g_mixerChannels.end(), [](const ChannelPtr& c) { return c->ended; }),
        g_mixerChannels.end());
    for (size_t i = 0; i < 2 * size_t(frames); ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Mixer_StopAll() {
    std::vector<ChannelPtr> old;
    {
        std::lock_guard<std::mutex> lock(g_mixerMutex);
        for (const ChannelPtr& ch : g_mixerChannels)
            ch->ended = true;
        old.swap(g_mixerChannels);
    }
}

int Mixer_ActiveChannels() {
    std::lock_guard<std::mutex> lock(g_mixerMutex);
    return int(
        std::count_if(g_mixerChannels.begin(), g_mixerChannels.end(), [](const ChannelPtr& c) { return !c->ended; }));
}
