// The asset generators' synthesiser (see synth.h): note renderers, filters and the stereo bus with its effects.
// Called by tools/assetgen_audio for the music, the ambience and every sound effect.
#include "assetlib/synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace synth {

namespace {

size_t ToFrames(double seconds, int rate) { return static_cast<size_t>(std::max(0.0, seconds) * rate + 0.5); }

// Saw with polyBLEP smoothing at the wrap, so high notes do not alias harshly. `phase` in 0..1.
float BlepSaw(double phase, double inc) {
    double v = 2.0 * phase - 1.0;
    if (phase < inc) {
        const double t = phase / inc;
        v -= t + t - t * t - 1.0;
    } else if (phase > 1.0 - inc) {
        const double t = (phase - 1.0) / inc;
        v -= t * t + t + t + 1.0;
    }
    return static_cast<float>(v);
}

// A fade to silence over the last `seconds` of a buffer.
void FadeTail(Mono& m, double seconds, int rate) {
    const size_t n = std::min(m.size(), ToFrames(seconds, rate));
    for (size_t i = 0; i < n; ++i)
        m[m.size() - n + i] *= static_cast<float>(n - i) / static_cast<float>(n);
}

} // namespace

// [SECTION] Pitch and noise ----------------------------------------------------------------------------------------

double MidiFreq(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

int ParseNote(std::string_view name) {
    if (name.empty()) return -1;
    static constexpr std::array<int, 7> kSteps = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const char letter = name[0];
    if (letter < 'A' || letter > 'G') return -1;
    int semis = kSteps[static_cast<size_t>(letter - 'A')];
    size_t i = 1;
    while (i < name.size() && (name[i] == '#' || name[i] == 'b'))
        semis += name[i++] == '#' ? 1 : -1;
    if (i >= name.size()) return -1;
    bool negative = false;
    if (name[i] == '-') negative = true, ++i;
    if (i >= name.size()) return -1;
    int octave = 0;
    for (; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        octave = octave * 10 + (name[i] - '0');
    }
    if (negative) octave = -octave;
    const int midi = (octave + 1) * 12 + semis;
    return midi >= 0 && midi <= 127 ? midi : -1;
}

uint32_t Rng::NextU32() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}
float Rng::Uniform() { return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f); }
float Rng::Bipolar() { return Uniform() * 2.0f - 1.0f; }

// [SECTION] Envelopes and filters ----------------------------------------------------------------------------------

float Adsr::At(float t, float held) const {
    const auto gated = [this](float x) {
        if (x < 0) return 0.0f;
        if (x < attack) return x / attack;
        if (x < attack + decay) return 1.0f - (1.0f - sustain) * (x - attack) / decay;
        return sustain;
    };
    if (t < held) return gated(t);
    const float from = gated(held);
    const float r = release > 0 ? (t - held) / release : 1.0f;
    return r >= 1.0f ? 0.0f : from * (1.0f - r) * (1.0f - r); // quadratic: a soft, natural release
}

Biquad Biquad::FromCoeffs(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad q;
    q.b0_ = static_cast<float>(b0 / a0);
    q.b1_ = static_cast<float>(b1 / a0);
    q.b2_ = static_cast<float>(b2 / a0);
    q.a1_ = static_cast<float>(a1 / a0);
    q.a2_ = static_cast<float>(a2 / a0);
    return q;
}

Biquad Biquad::Lowpass(double cutoff, double q, int rate) {
    const double w = kTau * std::min(cutoff, rate * 0.45) / rate, cw = std::cos(w), alpha = std::sin(w) / (2 * q);
    return FromCoeffs((1 - cw) / 2, 1 - cw, (1 - cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
}

Biquad Biquad::Highpass(double cutoff, double q, int rate) {
    const double w = kTau * std::min(cutoff, rate * 0.45) / rate, cw = std::cos(w), alpha = std::sin(w) / (2 * q);
    return FromCoeffs((1 + cw) / 2, -(1 + cw), (1 + cw) / 2, 1 + alpha, -2 * cw, 1 - alpha);
}

Biquad Biquad::Bandpass(double centre, double q, int rate) {
    const double w = kTau * std::min(centre, rate * 0.45) / rate, cw = std::cos(w), alpha = std::sin(w) / (2 * q);
    return FromCoeffs(alpha, 0, -alpha, 1 + alpha, -2 * cw, 1 - alpha);
}

void Biquad::Retune(const Biquad& shape) {
    b0_ = shape.b0_, b1_ = shape.b1_, b2_ = shape.b2_, a1_ = shape.a1_, a2_ = shape.a2_;
}

float Biquad::Process(float x) {
    const float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
    return y;
}

OnePole::OnePole(double cutoff, int rate) : a_(static_cast<float>(1.0 - std::exp(-kTau * cutoff / rate))) {}
void OnePole::SetCutoff(double cutoff, int rate) { a_ = static_cast<float>(1.0 - std::exp(-kTau * cutoff / rate)); }
float OnePole::Process(float x) { return z_ += a_ * (x - z_); }

// [SECTION] Note renderers -----------------------------------------------------------------------------------------

Mono Pluck(double freq, double held, double t60, float brightness, uint32_t seed, int rate) {
    const double damp = 0.15;
    const size_t length = ToFrames(std::min(held, t60) + damp, rate);
    Mono out(length, 0.0f);
    if (freq <= 0 || length == 0) return out;
    const double delay = std::max(2.0, rate / freq - 0.5); // the two-point average adds half a sample
    const size_t di = static_cast<size_t>(delay);
    const float frac = static_cast<float>(delay - static_cast<double>(di));
    const float gain = static_cast<float>(std::min(0.9995, std::pow(10.0, -3.0 / (t60 * freq))));
    Rng rng(seed);
    OnePole colour(200.0 + brightness * brightness * 9000.0, rate);
    // Excitation: one period of coloured noise with its mean removed (no thump of DC).
    Mono burst(di + 2);
    float mean = 0;
    for (float& v : burst)
        mean += v = colour.Process(rng.Bipolar());
    mean /= static_cast<float>(burst.size());
    for (size_t i = 0; i < burst.size() && i < length; ++i)
        out[i] = burst[i] - mean;
    const auto at = [&out](size_t i) { return out[i]; };
    for (size_t n = di + 2; n < length; ++n) {
        const float a = (1.0f - frac) * at(n - di) + frac * at(n - di - 1);
        const float b = (1.0f - frac) * at(n - di - 1) + frac * at(n - di - 2);
        out[n] = gain * 0.5f * (a + b);
    }
    FadeTail(out, damp, rate);
    return out;
}

Mono Lute(double freq, double held, float velocity, uint32_t seed, int rate) {
    Mono s = Pluck(freq, held, 1.2 + 200.0 / freq, 0.35f + 0.3f * velocity, seed, rate);
    Biquad body = Biquad::Bandpass(280.0, 0.9, rate);
    Biquad air = Biquad::Highpass(70.0, 0.7, rate);
    for (float& v : s)
        v = velocity * air.Process(0.8f * v + 0.6f * body.Process(v));
    return s;
}

Mono Harp(double freq, double held, float velocity, uint32_t seed, int rate) {
    Mono s = Pluck(freq, held, 2.5 + 400.0 / freq, 0.45f + 0.35f * velocity, seed, rate);
    Biquad air = Biquad::Highpass(60.0, 0.7, rate);
    // A touch of pure fundamental makes the string round, like gut rather than wire.
    double phase = 0;
    const double inc = kTau * freq / rate;
    for (size_t i = 0; i < s.size(); ++i, phase += inc) {
        const float env = std::exp(-static_cast<float>(i) / (rate * 1.2f));
        s[i] = velocity * air.Process(s[i] + 0.25f * env * static_cast<float>(std::sin(phase)) *
                                                 std::min(1.0f, static_cast<float>(i) / (0.004f * rate)));
    }
    return s;
}

Mono Bell(double freq, double length, float velocity, int rate) {
    struct Partial {
        double ratio;
        float amp;
        double decay; // seconds to 1/e
    };
    static constexpr std::array<Partial, 6> kPartials = {{{1.0, 1.0f, 1.6},
                                                          {2.0, 0.45f, 0.9},
                                                          {2.76, 0.35f, 0.6},
                                                          {4.07, 0.18f, 0.35},
                                                          {5.4, 0.1f, 0.22},
                                                          {0.5, 0.12f, 2.0}}};
    Mono out(ToFrames(length, rate), 0.0f);
    for (const Partial& p : kPartials) {
        const double f = freq * p.ratio;
        if (f > rate * 0.45) continue;
        const double inc = kTau * f / rate;
        const double k = 1.0 / (p.decay * rate);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] += p.amp * static_cast<float>(std::exp(-k * static_cast<double>(i)) *
                                                 std::sin(inc * static_cast<double>(i)));
    }
    const size_t attack = ToFrames(0.002, rate);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] *= 0.45f * velocity * (i < attack ? static_cast<float>(i) / static_cast<float>(attack) : 1.0f);
    FadeTail(out, 0.05, rate);
    return out;
}

Mono Flute(double freq, double held, float velocity, uint32_t seed, int rate) {
    const Adsr env{0.06f, 0.12f, 0.85f, 0.14f};
    Mono out(ToFrames(held + env.release, rate), 0.0f);
    Rng rng(seed);
    Biquad breath = Biquad::Bandpass(freq * 2.0, 2.0, rate);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / rate;
        const float vibDepth = std::clamp((t - 0.25f) / 0.4f, 0.0f, 1.0f) * 0.0045f;
        const double f = freq * (1.0 + vibDepth * std::sin(kTau * 5.2 * t));
        phase += kTau * f / rate;
        const float a = env.At(t, static_cast<float>(held));
        const float tone =
            static_cast<float>(std::sin(phase) + 0.22 * std::sin(2 * phase + 0.3) + 0.07 * std::sin(3 * phase + 0.6));
        const float chiff = t < 0.05f ? (0.05f - t) * 8.0f : 0.0f; // breath at the onset
        out[i] = velocity * a * (0.42f * tone + (0.06f + chiff) * breath.Process(rng.Bipolar()));
    }
    return out;
}

Mono StringPad(double freq, double held, float velocity, uint32_t seed, int rate) {
    const Adsr env{0.45f, 0.3f, 0.85f, 0.9f};
    Mono out(ToFrames(held + env.release, rate), 0.0f);
    static constexpr std::array<double, 3> kDetune = {-0.0035, 0.0, 0.004};
    Rng rng(seed);
    std::array<double, 3> phase{};
    for (double& p : phase)
        p = rng.Uniform();
    Biquad lp = Biquad::Lowpass(std::min(freq * 3.5, 3200.0), 0.6, rate);
    Biquad lp2 = Biquad::Lowpass(std::min(freq * 5.0, 4200.0), 0.6, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / rate;
        float s = 0;
        for (size_t v = 0; v < kDetune.size(); ++v) {
            const double inc = freq * (1.0 + kDetune[v] + 0.0015 * std::sin(kTau * (0.3 + 0.1 * v) * t)) / rate;
            phase[v] += inc;
            phase[v] -= std::floor(phase[v]);
            s += BlepSaw(phase[v], inc);
        }
        out[i] = 0.16f * velocity * env.At(t, static_cast<float>(held)) * lp2.Process(lp.Process(s));
    }
    return out;
}

Mono Brass(double freq, double held, float velocity, int rate) {
    const Adsr env{0.03f, 0.15f, 0.75f, 0.25f};
    Mono out(ToFrames(held + env.release, rate), 0.0f);
    double p1 = 0, p2 = 0.3;
    const double inc1 = freq / rate, inc2 = freq * 1.004 / rate;
    float z1 = 0, z2 = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / rate;
        const float e = env.At(t, static_cast<float>(held));
        p1 += inc1, p2 += inc2;
        p1 -= std::floor(p1), p2 -= std::floor(p2);
        const float raw = BlepSaw(p1, inc1) + BlepSaw(p2, inc2);
        // Two one-pole stages whose cutoff follows the envelope: bright while loud, like a real horn.
        const float cutoff = static_cast<float>(freq) * (2.0f + 5.0f * e);
        const float a = 1.0f - std::exp(-static_cast<float>(kTau) * cutoff / rate);
        z1 += a * (e * raw - z1);
        z2 += a * (z1 - z2);
        out[i] = 0.35f * velocity * z2;
    }
    return out;
}

Mono Bass(double freq, double held, float velocity, int rate) {
    const Adsr env{0.08f, 0.2f, 0.8f, 0.35f};
    Mono out(ToFrames(held + env.release, rate), 0.0f);
    Biquad lp = Biquad::Lowpass(freq * 3.0, 0.7, rate);
    double phase = 0;
    const double inc = freq / rate;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / rate;
        phase += inc;
        phase -= std::floor(phase);
        const float tri = static_cast<float>(phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase);
        const float sine = static_cast<float>(std::sin(kTau * phase));
        out[i] = 0.5f * velocity * env.At(t, static_cast<float>(held)) * lp.Process(0.6f * sine + 0.5f * tri);
    }
    return out;
}

Mono FrameDrum(double pitch, float velocity, uint32_t seed, int rate) {
    Mono out(ToFrames(0.45, rate), 0.0f);
    Rng rng(seed);
    Biquad slap = Biquad::Bandpass(pitch * 6.0, 1.2, rate);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = pitch * (1.0 + 0.9 * std::exp(-t * 40.0));
        phase += kTau * f / rate;
        const float body = static_cast<float>(std::sin(phase) * std::exp(-t * 9.0));
        const float skin = slap.Process(rng.Bipolar()) * static_cast<float>(std::exp(-t * 60.0));
        out[i] = velocity * (0.8f * body + 0.5f * skin) * std::min(1.0f, static_cast<float>(i) / 20.0f);
    }
    return out;
}

Mono Shaker(float velocity, double length, uint32_t seed, int rate) {
    Mono out(ToFrames(length, rate), 0.0f);
    Rng rng(seed);
    Biquad hp = Biquad::Highpass(5000.0, 0.7, rate);
    Biquad j1 = Biquad::Bandpass(7200.0, 12.0, rate);
    Biquad j2 = Biquad::Bandpass(9100.0, 12.0, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const float env = static_cast<float>(std::min(1.0, t / 0.004) * std::exp(-t * 5.0 / length));
        const float n = rng.Bipolar();
        out[i] = velocity * env * (0.35f * hp.Process(n) + 1.2f * (j1.Process(n) + j2.Process(n)));
    }
    FadeTail(out, 0.01, rate);
    return out;
}

// [SECTION] Stereo bus ---------------------------------------------------------------------------------------------

void Stereo::Add(const Mono& sound, double start, float gain, float pan) {
    const size_t at = ToFrames(start, rate);
    if (at + sound.size() > left.size()) {
        left.resize(at + sound.size(), 0.0f);
        right.resize(at + sound.size(), 0.0f);
    }
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kTau / 8.0; // 0..pi/2
    const float gl = gain * static_cast<float>(std::cos(angle) * std::sqrt(2.0));
    const float gr = gain * static_cast<float>(std::sin(angle) * std::sqrt(2.0));
    for (size_t i = 0; i < sound.size(); ++i) {
        left[at + i] += gl * sound[i];
        right[at + i] += gr * sound[i];
    }
}

void Stereo::AddBus(const Stereo& other, float gain) {
    if (other.Frames() > Frames()) {
        left.resize(other.Frames(), 0.0f);
        right.resize(other.Frames(), 0.0f);
    }
    for (size_t i = 0; i < other.Frames(); ++i) {
        left[i] += gain * other.left[i];
        right[i] += gain * other.right[i];
    }
}

void Echo(Stereo& bus, double delay, float feedback, float wet, double spread) {
    const size_t dl = std::max<size_t>(1, ToFrames(delay, bus.rate));
    const size_t dr = std::max<size_t>(1, ToFrames(delay + spread, bus.rate));
    // Room for the repeats until they fall below -60 dB (at most eight of them).
    const float fb = std::clamp(feedback, 0.0f, 0.95f);
    const int repeats = fb > 0.0f ? std::min(8, 1 + static_cast<int>(std::log(0.001) / std::log(fb))) : 1;
    const size_t frames = bus.Frames() + std::max(dl, dr) * static_cast<size_t>(repeats);
    bus.left.resize(frames, 0.0f);
    bus.right.resize(frames, 0.0f);
    for (int side = 0; side < 2; ++side) {
        Mono& ch = side == 0 ? bus.left : bus.right;
        const size_t d = side == 0 ? dl : dr;
        Mono line(ch.size(), 0.0f); // the echo signal alone
        for (size_t i = d; i < ch.size(); ++i)
            line[i] = ch[i - d] + fb * line[i - d];
        for (size_t i = 0; i < ch.size(); ++i)
            ch[i] += wet * line[i];
    }
}

namespace {

// Freeverb-style comb with a damped feedback path.
struct Comb {
    Mono buf;
    size_t pos = 0;
    float store = 0;
    float Process(float x, float feedback, float damp) {
        const float y = buf[pos];
        store = y * (1 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        pos = (pos + 1) % buf.size();
        return y;
    }
};

struct AllPass {
    Mono buf;
    size_t pos = 0;
    float Process(float x) {
        const float b = buf[pos];
        buf[pos] = x + b * 0.5f;
        pos = (pos + 1) % buf.size();
        return b - x;
    }
};

} // namespace

void Reverb(Stereo& bus, float room, float damp, float wet) {
    static constexpr std::array<int, 8> kCombs = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr std::array<int, 4> kAllPasses = {556, 441, 341, 225};
    const double scale = bus.rate / 44100.0;
    const float feedback = 0.7f + 0.28f * std::clamp(room, 0.0f, 1.0f);
    const float d = 0.4f * std::clamp(damp, 0.0f, 1.0f);
    // Room for the tail, then both sides read the same dry mono input.
    const size_t frames = bus.Frames() + static_cast<size_t>(bus.rate) * 3;
    bus.left.resize(frames, 0.0f);
    bus.right.resize(frames, 0.0f);
    Mono input(frames);
    for (size_t i = 0; i < frames; ++i)
        input[i] = 0.015f * (bus.left[i] + bus.right[i]);
    for (int side = 0; side < 2; ++side) {
        const int spread = side == 0 ? 0 : 23; // slightly different rooms left and right: width
        std::array<Comb, 8> combs;
        std::array<AllPass, 4> passes;
        for (size_t i = 0; i < combs.size(); ++i)
            combs[i].buf.assign(static_cast<size_t>((kCombs[i] + spread) * scale), 0.0f);
        for (size_t i = 0; i < passes.size(); ++i)
            passes[i].buf.assign(static_cast<size_t>((kAllPasses[i] + spread) * scale), 0.0f);
        Mono& ch = side == 0 ? bus.left : bus.right;
        for (size_t i = 0; i < frames; ++i) {
            float s = 0;
            for (Comb& c : combs)
                s += c.Process(input[i], feedback, d);
            for (AllPass& p : passes)
                s = p.Process(s);
            ch[i] += wet * s;
        }
    }
}

void FoldLoop(Stereo& bus, size_t frames) {
    if (bus.Frames() < frames) {
        bus.left.resize(frames, 0.0f);
        bus.right.resize(frames, 0.0f);
    }
    for (size_t i = frames; i < bus.Frames(); ++i) {
        bus.left[(i - frames) % frames] += bus.left[i];
        bus.right[(i - frames) % frames] += bus.right[i];
    }
    bus.left.resize(frames);
    bus.right.resize(frames);
}

void FadeEdges(Stereo& bus, double fadeIn, double fadeOut) {
    const size_t n = bus.Frames();
    const size_t in = std::min(n, ToFrames(fadeIn, bus.rate));
    const size_t out = std::min(n, ToFrames(fadeOut, bus.rate));
    for (size_t i = 0; i < in; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(in);
        bus.left[i] *= g, bus.right[i] *= g;
    }
    for (size_t i = 0; i < out; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(out);
        bus.left[n - 1 - i] *= g, bus.right[n - 1 - i] *= g;
    }
}

AudioBuffer ToBuffer(const Stereo& bus) {
    AudioBuffer b;
    b.rate = bus.rate;
    b.channels = 2;
    b.samples.resize(bus.Frames() * 2);
    for (size_t i = 0; i < bus.Frames(); ++i)
        b.samples[2 * i] = bus.left[i], b.samples[2 * i + 1] = bus.right[i];
    return b;
}

AudioBuffer ToMonoBuffer(const Stereo& bus) {
    AudioBuffer b;
    b.rate = bus.rate;
    b.channels = 1;
    b.samples.resize(bus.Frames());
    for (size_t i = 0; i < bus.Frames(); ++i)
        b.samples[i] = 0.5f * (bus.left[i] + bus.right[i]);
    return b;
}

} // namespace synth
