// libFuzzer target for the Ogg Vorbis reading (vorbisfile over memory): the whole-file decoder and the streamed
// sound with its voices. Any bytes must give a sound or null, and a stream any number of decoded frames, never a
// crash, hang or huge allocation. Built with BQ_FUZZ=ON (clang); CI runs it for a short time.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/sound_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SoundPtr s = Ogg_Decode(data, size);
    if (s && (s->channels < 1 || s->channels > 2 || s->pcm.size() % size_t(s->channels) != 0)) __builtin_trap();
    // The same bytes streamed (no length floor), looping: a few rings' worth of frames, as the mixer would ask.
    auto bytes = std::make_shared<SoundStream>();
    bytes->file.data = data;
    bytes->file.size = size;
    const SoundPtr streamed = Ogg_Load(bytes, 0);
    if (!streamed || !streamed->stream) return 0; // refused, or decoded whole as above
    if (streamed->channels < 1 || streamed->channels > 2 || streamed->Frames() == 0) __builtin_trap();
    streamed->loop = true;
    if (const std::unique_ptr<OggVoice> voice = OggVoice::Open(streamed)) {
        for (uint64_t frame = 0; frame < 4 * OggVoice::kRingFrames && voice->Ensure(frame + 1); frame += 97) {
            voice->Release(frame);
            if (voice->Sample(frame, 1) < -1.0f || voice->Sample(frame, 1) > 1.0f) __builtin_trap();
        }
    }
    return 0;
}
