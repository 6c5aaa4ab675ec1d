// libFuzzer target for the WAV decoder: any bytes must give a sound or null, never a crash, hang or huge
// allocation. Built with BQ_FUZZ=ON (clang); CI runs it for a short time.
#include <cstddef>
#include <cstdint>

#include "platform/sound_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SoundPtr s = Wav_Decode(data, size);
    if (s && (s->channels < 1 || s->channels > 2 || s->pcm.size() % size_t(s->channels) != 0)) __builtin_trap();
    return 0;
}
