// Runs the audio generator's parts (music and effects) side by side, and levels their files. Called by main.cpp.
#include "assetgen_audio/generate.h"

#include <algorithm>
#include <cmath>
#include <future>

#include "loudness/loudness.h"

bool AudioGen_WriteAll(const std::string& outDir) {
    auto music = std::async(std::launch::async, Music_WriteAll, outDir);
    const bool sfx = Sfx_WriteAll(outDir);
    return music.get() && sfx;
}

double AudioGen_LevelTo(AudioBuffer& buffer, double lufs, float peakCap) {
    const auto measure = [&buffer] {
        if (buffer.channels == 2)
            return loudness::Measure(buffer.samples.data(), buffer.Frames(), buffer.rate).integrated;
        return loudness::MeasureDualMono(buffer.samples, buffer.rate).maxMomentary;
    };
    const double now = measure();
    const float peak = Audio_Peak(buffer);
    if (now <= loudness::kSilence || peak <= 0.0f) return now;
    const float gain = std::min(float(std::pow(10.0, (lufs - now) / 20.0)), peakCap / peak);
    for (float& v : buffer.samples)
        v *= gain;
    return measure();
}
