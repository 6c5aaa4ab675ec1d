// Sound buffers and their writers for the asset generators: 16-bit PCM WAV (our own writer) and Ogg Vorbis through
// libvorbisenc, both deterministic (same samples in, same bytes out). Used by tools/assetgen_audio and its tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interleaved float samples, nominally in -1..1; the writers clip anything beyond.
struct AudioBuffer {
    int rate = 44100;           // samples per second per channel
    int channels = 2;           // 1 mono, 2 stereo (left, right)
    std::vector<float> samples; // interleaved, frames * channels values

    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    double Seconds() const { return rate > 0 ? static_cast<double>(Frames()) / rate : 0.0; }
};

constexpr int Ogg_DefaultSerial = 0x42513200; // fixed stream serial number: no randomness in the output
constexpr float Ogg_DefaultQuality = 0.2f;    // libvorbisenc VBR quality (-0.1..1); 0.2 is about 80 kbit/s stereo

// Converts to 16-bit little-endian PCM (rounded, clipped) inside a canonical RIFF/WAVE file.
std::vector<uint8_t> Wav_Encode(const AudioBuffer& buffer);
// Encodes as one logical Ogg Vorbis stream; the last page's granule position gives the exact frame count, so a
// decoder returns exactly buffer.Frames() frames (what makes a loop seamless). Empty on an encoder error.
std::vector<uint8_t> Ogg_Encode(const AudioBuffer& buffer, float quality = Ogg_DefaultQuality,
                                int serial = Ogg_DefaultSerial);

// Writes bytes to path, creating the missing parent folders. False with a line on stderr on failure.
bool Audio_WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Peak absolute sample and root-mean-square level of a buffer (all channels together).
float Audio_Peak(const AudioBuffer& buffer);
float Audio_Rms(const AudioBuffer& buffer);
// Scales the buffer so that its peak is `peak` (nothing happens to silence).
void Audio_Normalize(AudioBuffer& buffer, float peak);
