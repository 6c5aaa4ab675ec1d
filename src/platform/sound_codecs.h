// Private to the platform: the WAV and Ogg Vorbis decoders over bytes in memory. Called by sound.cpp
// (Sound_Decode) and by the fuzz targets; no audio device needed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sound.h"

// Both return null, with a reason on stderr, for anything they cannot read, and refuse sounds longer than
// kMaxSoundSeconds before decoding more than that.
SoundPtr Wav_Decode(const uint8_t* data, size_t size);
SoundPtr Ogg_Decode(const uint8_t* data, size_t size);
