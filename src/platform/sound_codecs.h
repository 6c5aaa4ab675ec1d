// Private to the platform: the WAV and Ogg Vorbis decoders over bytes in memory and the Ogg stream voices. Called
// by sound.cpp (loading), mixer.cpp (voices) and the fuzz targets; no audio device needed.
#pragma once

#include <cstddef>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound.h"
#include "platform/stream.h"

// Both return null, with a diagnostic line, for anything they cannot read, and refuse sounds longer than
// kMaxSoundSeconds before decoding more than that.
SoundPtr Wav_Decode(const uint8_t* data, size_t size);
SoundPtr Ogg_Decode(const uint8_t* data, size_t size);

// The compressed bytes of a streamed sound, shared by every channel playing it.
struct SoundStream {
    FileBytes file;                          // the Ogg file
    mutable std::atomic<bool> warned{false}; // damage was reported once; later channels stay quiet about it
};

// An Ogg file as a sound: when its pages say it lasts `streamSeconds` or more (and more than nothing), streamed over
// the bytes (no samples kept; the length from the pages, without decoding), else decoded whole by Ogg_Decode. Both
// refuse a chain whose links differ in rate and anything over kMaxSoundSeconds, with a diagnostic line.
SoundPtr Ogg_Load(std::shared_ptr<SoundStream> bytes, int streamSeconds);

// One channel's decoder of a streamed sound: vorbisfile over the shared bytes and a ring of decoded frames.
// Frames are numbered from the start of the first play and go on counting through loops. Used under the mixer's
// lock only.
class OggVoice {
  public:
    static constexpr size_t kRingFrames = 8192; // decoded frames held: about 0.19 s at 44.1 kHz

    // Null (with a diagnostic line) when the bytes do not open.
    static std::unique_ptr<OggVoice> Open(const SoundPtr& sound);
    ~OggVoice();
    OggVoice(const OggVoice&) = delete;
    OggVoice& operator=(const OggVoice&) = delete;

    // Decodes until frame `last` is in the ring (a loop goes on from the start without a gap); false when the
    // stream failed for good. Past the end of a one-shot sound nothing is decoded and the frames read as silence.
    bool Ensure(uint64_t last);
    // Sample of frame `n`, channel 0 or 1, in -1..1; 0 outside what the ring holds.
    float Sample(uint64_t n, int channel) const;
    // Frames before `first` are no longer needed; the ring may reuse their place.
    void Release(uint64_t first) { released_ = first > released_ ? first : released_; }

  private:
    OggVoice() = default;
    bool Reopen(); // back to the start of the stream for the next loop
    void Damaged(const char* why);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    SoundPtr sound_;            // the sound (and its bytes) while the voice lives
    std::vector<int16_t> ring_; // kRingFrames * channels samples
    uint64_t decoded_ = 0;      // frames decoded so far (the next frame's number)
    uint64_t released_ = 0;     // frames below this may be overwritten
    uint64_t passStart_ = 0;    // number of the first frame of the current pass through the file
    bool ended_ = false;        // a one-shot sound reached its end
    bool failed_ = false;       // damaged beyond going on
};
