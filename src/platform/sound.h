// Sounds and channels: WAV and Ogg Vorbis decoding at load time (long Ogg files streamed while they play) and a
// software mixer that SDL's audio thread runs (44100 Hz stereo). Used by the runtime's sound and music manager and
// the toolkit; implemented in sound.cpp (device, loading), mixer.cpp (mixing), wav_codec.cpp and ogg_codec.cpp
// (decoders, streaming).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/strings.h"

struct SoundStream; // the compressed bytes of a streamed sound (platform internals)

// A sound: interleaved 16-bit PCM at its own rate, one or two channels, either decoded whole (`pcm`) or, for long
// Ogg Vorbis files, streamed (`stream`; `pcm` stays empty and each channel decodes just ahead of what it plays).
struct Sound {
    int rate = 44100;                          // frames per second
    int channels = 1;                          // 1 or 2
    bool loop = false;                         // set by load flag 1: plays until stopped
    std::vector<int16_t> pcm;                  // interleaved samples, frames * channels (decoded sounds)
    std::shared_ptr<const SoundStream> stream; // set for a streamed sound
    size_t streamFrames = 0;                   // frames of a streamed sound
    size_t Frames() const { return stream ? streamFrames : channels > 0 ? pcm.size() / size_t(channels) : 0; }
};
struct Channel; // a playing voice (mixer internals)
using SoundPtr = std::shared_ptr<Sound>;
using ChannelPtr = std::shared_ptr<Channel>;

enum SoundFlags { SOUND_LOOP = 1 };
constexpr int kMixerRate = 44100;       // output frames per second
constexpr int kMaxSoundSeconds = 600;   // longer sounds are refused (bounded memory)
constexpr int kStreamMinSeconds = 5;    // Ogg files at least this long are streamed, shorter ones decoded whole
constexpr int kMixerLatencyFrames = 88; // 2 ms: the limiter's look-ahead, by which everything mixed sounds late

// Opens the audio device. No device (or SDL audio failing) is not an error for the game: it returns false and the
// mixer keeps working without output, so everything can still be played, stopped and asked about.
bool Audio_Init();
void Audio_Shutdown();
bool Audio_HasDevice();

// Loads a WAV (PCM 8/16-bit, mono/stereo) or Ogg Vorbis file from any path ("incbin::" included). Flag 1: loop.
// An Ogg file of kStreamMinSeconds or more is streamed: only its compressed bytes are held (embedded files in
// place), and each channel decodes it through a small ring buffer on the mixer's thread.
// Missing data gives null (the caller reports it); truncated, corrupt or over-long data null with a diagnostic line.
SoundPtr Sound_Load(const Str& path, int flags = 0);
// Decodes bytes already in memory (the type is told by its header: "RIFF" or "OggS").
SoundPtr Sound_Decode(const uint8_t* data, size_t size, int flags = 0);

// Starts the sound on a new channel at full volume, centred, at its own rate. Null sound -> null channel.
ChannelPtr Sound_Play(const SoundPtr& sound);
// Same, but paused until Channel_Resume.
ChannelPtr Sound_Cue(const SoundPtr& sound);
// Every Channel_ function accepts a null channel and then does nothing (Channel_Playing answers false).
void Channel_SetVolume(const ChannelPtr& ch, float volume); // 0..1 (negative -> 0)
void Channel_SetPan(const ChannelPtr& ch, float pan);       // -1 left .. 0 centre .. 1 right
void Channel_SetRate(const ChannelPtr& ch, float hz);       // playback rate in frames per second (resampled)
// Stored only: stereo output has no depth, so it has no audible effect.
void Channel_SetDepth(const ChannelPtr& ch, float depth);
// Fades: the channel's sound rises from silence over `ms` milliseconds, or falls to silence over them and then
// ends (a paused channel, or one with less than a frame to fade, ends at once). Applied on top of the volume.
void Channel_FadeIn(const ChannelPtr& ch, float ms);
void Channel_FadeOut(const ChannelPtr& ch, float ms);
void Channel_Pause(const ChannelPtr& ch);
void Channel_Resume(const ChannelPtr& ch);
void Channel_Stop(const ChannelPtr& ch); // silent at once; the channel is finished
// True while the channel is started or cued and has neither finished nor been stopped.
bool Channel_Playing(const ChannelPtr& ch);

// Mixes every active channel into `frames` interleaved stereo frames, kMixerLatencyFrames late. When the sum would
// go above -1 dBFS a limiter glides the gain down over those frames (and back up over about a second afterwards),
// so no stack of sounds ever reaches full scale. This is what the audio thread runs; tests call it directly without
// a device.
void Mixer_Render(float* interleavedStereo, int frames);
// The limiter's gain of the last frame put out: 1 while nothing needs limiting.
float Mixer_LimiterGain();
// Stops and forgets every channel and what waits in the limiter (tests, shutdown).
void Mixer_StopAll();
// Number of channels currently mixed (playing or cued).
int Mixer_ActiveChannels();
