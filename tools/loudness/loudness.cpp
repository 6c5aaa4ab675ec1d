// BS.1770 loudness: the K-weighting pre-filter (a high shelf and a high-pass), mean square per 100 ms step, and
// the blocks, windows and gates built from those steps. See loudness.h.
#include "loudness/loudness.h"

#include <algorithm>
#include <cmath>

namespace loudness {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kBlockGate = -70.0;    // absolute gate of integrated loudness, LUFS
constexpr double kRelativeGate = -10.0; // relative gate, LU below the absolutely gated mean

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double Process(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
};

// The two stages of the K-weighting filter at any rate (the standard gives 48 kHz coefficients; these are the
// analogue prototypes they come from).
Biquad Shelf(int rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(kPi * f0 / rate), vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416), a0 = 1.0 + k / q + k * k;
    return Biquad{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                  2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}
Biquad HighPass(int rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(kPi * f0 / rate), a0 = 1.0 + k / q + k * k;
    return Biquad{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double Lufs(double meanSquare) { return meanSquare > 0 ? -0.691 + 10.0 * std::log10(meanSquare) : kSilence; }

// `at(i, c)` gives sample c (0 left, 1 right) of frame i.
template <class At> Figures Run(size_t frames, int rate, At at) {
    Figures f;
    const size_t step = size_t(rate) / 10; // 100 ms
    const size_t steps = std::max<size_t>((frames + step - 1) / step, 4);
    std::vector<double> energy(steps, 0.0); // K-weighted sum of both channels' squares per step
    Biquad shelf[2] = {Shelf(rate), Shelf(rate)}, hp[2] = {HighPass(rate), HighPass(rate)};
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            const double x = at(i, c);
            f.peak = std::max(f.peak, std::fabs(x));
            if (std::fabs(x) >= 32767.0 / 32768.0) ++f.fullScale;
            const double y = hp[c].Process(shelf[c].Process(x));
            energy[i / step] += y * y;
        }
    const auto window = [&](size_t first, size_t n) {
        double sum = 0;
        for (size_t s = first; s < first + n; ++s)
            sum += energy[s];
        return sum / double(n * step);
    };
    std::vector<double> blocks; // mean square of each 400 ms block, 100 ms apart
    for (size_t s = 0; s + 4 <= steps; ++s) {
        blocks.push_back(window(s, 4));
        f.maxMomentary = std::max(f.maxMomentary, Lufs(blocks.back()));
    }
    for (size_t s = 0; s + 30 <= steps; ++s)
        f.maxShortTerm = std::max(f.maxShortTerm, Lufs(window(s, 30)));
    const auto gatedMean = [&](double gate) {
        double sum = 0;
        size_t n = 0;
        for (const double b : blocks)
            if (Lufs(b) > gate) sum += b, ++n;
        return n ? sum / double(n) : 0.0;
    };
    const double relative = Lufs(gatedMean(kBlockGate)) + kRelativeGate;
    f.integrated = Lufs(gatedMean(std::max(kBlockGate, relative)));
    return f;
}

} // namespace

Figures Measure(const float* stereo, size_t frames, int rate) {
    return Run(frames, rate, [stereo](size_t i, int c) { return double(stereo[2 * i + size_t(c)]); });
}

Figures MeasureDualMono(const std::vector<float>& mono, int rate) {
    return Run(mono.size(), rate, [&mono](size_t i, int) { return double(mono[i]); });
}

} // namespace loudness
