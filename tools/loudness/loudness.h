// Loudness as ITU-R BS.1770 defines it (K-weighted, in LUFS): momentary (400 ms blocks), short-term (3 s) and
// gated integrated loudness of a stereo float signal, for the sound generator's levels and the measuring tool
// tools/loudness. Plain arithmetic, no allocation beyond the block list.
#pragma once

#include <cstddef>
#include <vector>

namespace loudness {

constexpr double kSilence = -200.0; // LUFS reported for silence (or a signal too short to measure)

struct Figures {
    double integrated = kSilence;   // gated integrated loudness, LUFS
    double maxMomentary = kSilence; // loudest 400 ms block, LUFS
    double maxShortTerm = kSilence; // loudest 3 s window, LUFS
    double peak = 0;                // largest sample magnitude, 0..
    size_t fullScale = 0;           // samples at full scale (a 16-bit output's largest value or more)
};

// Measures interleaved stereo at `rate` frames per second. A signal shorter than one block is measured as if
// padded with silence to 400 ms, so a short click still has a loudness.
Figures Measure(const float* interleavedStereo, size_t frames, int rate);
// Same for a mono signal played on both sides at full gain (as the game's mixer plays a centred mono sound).
Figures MeasureDualMono(const std::vector<float>& mono, int rate);

} // namespace loudness
