// Tests of the loudness meter (tools/loudness): the BS.1770 reference tone, the gates that keep pauses out of the
// integrated figure, a short sound's loudest 400 ms, and the count of full-scale samples.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "loudness/loudness.h"

namespace {

constexpr int kRate = 44100;

// Interleaved stereo: a 997 Hz sine of `amp` on both sides for `seconds`, then `silence` seconds of nothing.
std::vector<float> Tone(float amp, double seconds, double silence = 0) {
    std::vector<float> s(size_t((seconds + silence) * kRate) * 2, 0.0f);
    for (size_t i = 0; i < size_t(seconds * kRate); ++i)
        s[2 * i] = s[2 * i + 1] = amp * float(std::sin(2 * M_PI * 997.0 * double(i) / kRate));
    return s;
}

loudness::Figures Meter(const std::vector<float>& s) { return loudness::Measure(s.data(), s.size() / 2, kRate); }

} // namespace

TEST(Loudness, ReferenceToneGatesAndShortSounds) {
    // The standard's reference: a full-scale 1 kHz sine reads -3.01 LUFS on one channel, so 0 on two.
    const loudness::Figures full = Meter(Tone(1.0f, 5));
    EXPECT_NEAR(full.integrated, 0.0, 0.1);
    EXPECT_NEAR(full.maxMomentary, 0.0, 0.1);
    EXPECT_NEAR(full.maxShortTerm, 0.0, 0.1);
    EXPECT_NEAR(Meter(Tone(0.1f, 5)).integrated, -20.0, 0.1);
    // Pauses do not count: ten seconds of silence after the tone leave its integrated loudness where it was, and a
    // quiet stretch 20 dB down falls under the relative gate.
    EXPECT_NEAR(Meter(Tone(0.1f, 5, 10)).integrated, -20.0, 0.2); // the blocks across the end count a little
    std::vector<float> loudThenQuiet = Tone(0.1f, 5);
    const std::vector<float> quiet = Tone(0.01f, 5);
    loudThenQuiet.insert(loudThenQuiet.end(), quiet.begin(), quiet.end());
    EXPECT_NEAR(Meter(loudThenQuiet).integrated, -20.0, 0.2);
    // A 0.1 s blip is measured over a 400 ms block: a quarter of the energy, 6 dB down. Played as a centred mono
    // sound it is the same on both sides.
    std::vector<float> mono(size_t(kRate / 10));
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.1f * float(std::sin(2 * M_PI * 997.0 * double(i) / kRate));
    EXPECT_NEAR(loudness::MeasureDualMono(mono, kRate).maxMomentary, -26.0, 0.2);
    EXPECT_EQ(Meter(std::vector<float>(kRate * 2, 0.0f)).integrated, loudness::kSilence);
}

TEST(Loudness, FullScaleSamplesAreCounted) {
    std::vector<float> s = Tone(0.5f, 1);
    EXPECT_EQ(Meter(s).fullScale, 0u);
    s[100] = 1.0f, s[101] = -1.0f, s[102] = 32767.0f / 32768.0f, s[103] = 0.9999f;
    const loudness::Figures f = Meter(s);
    EXPECT_EQ(f.fullScale, 3u);
    EXPECT_FLOAT_EQ(float(f.peak), 1.0f);
}
