// The game's short sounds: toolkit click and alert, the game buttons' hover and click, and the effect set (swaps,
// cascade chimes, explosions, coins, fanfares...). Each is a small recipe over the synthesiser, listed in one
// table; all are 44.1 kHz mono 16-bit WAV, levelled to one loudness (a few kept softer on purpose) below a common
// peak. Called by generate.cpp.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "assetgen_audio/generate.h"
#include "assetlib/audio.h"
#include "assetlib/synth.h"

namespace {

using synth::Mono;
using synth::Stereo;

constexpr int kRate = 44100;
constexpr double kPi = 3.141592653589793;

double Hz(const char* note) { return synth::MidiFreq(synth::ParseNote(note)); }

// Noise through a band-pass whose centre glides from `from` to `to` Hz, under a rise-and-fall envelope.
Mono Whoosh(double seconds, double from, double to, double q, uint32_t seed) {
    Mono out(static_cast<size_t>(seconds * kRate));
    synth::Rng rng(seed);
    synth::Biquad bp = synth::Biquad::Bandpass(from, q, kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(out.size());
        if (i % 64 == 0) bp.Retune(synth::Biquad::Bandpass(from * std::pow(to / from, x), q, kRate));
        out[i] = static_cast<float>(std::sin(kPi * x) * std::sin(kPi * x)) * bp.Process(rng.Bipolar());
    }
    return out;
}

// A sine whose pitch glides exponentially, with an exponential fade (blips, bubbles, thumps).
Mono Glide(double seconds, double from, double to, double decay) {
    Mono out(static_cast<size_t>(seconds * kRate));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate, x = t / seconds;
        phase += synth::kTau * from * std::pow(to / from, x) / kRate;
        out[i] = static_cast<float>(std::sin(phase) * std::exp(-t / decay) * std::min(1.0, t / 0.003));
    }
    return out;
}

// A short filtered noise burst: cracks, clicks, skin slaps.
Mono Burst(double seconds, double centre, double q, double decay, uint32_t seed) {
    Mono out(static_cast<size_t>(seconds * kRate));
    synth::Rng rng(seed);
    synth::Biquad bp = synth::Biquad::Bandpass(centre, q, kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        out[i] = static_cast<float>(std::exp(-t / decay)) * bp.Process(rng.Bipolar());
    }
    return out;
}

// [SECTION] The recipes --------------------------------------------------------------------------------------------

Stereo ButtonClickToolkit() { // crisp, neutral: the editor's widgets
    Stereo b(kRate);
    b.Add(Burst(0.03, 3200, 2.0, 0.004, 1), 0, 1.0f, 0);
    b.Add(Glide(0.04, 1800, 1200, 0.008), 0, 0.5f, 0);
    return b;
}

Stereo MessageAlert() { // two soft chimes, a fourth apart
    Stereo b(kRate);
    b.Add(synth::Bell(Hz("A5"), 0.7, 0.8f, kRate), 0, 1.0f, 0);
    b.Add(synth::Bell(Hz("D6"), 0.8, 0.8f, kRate), 0.14, 1.0f, 0);
    return b;
}

Stereo BtnHover() { // a soft wooden tick
    Stereo b(kRate);
    b.Add(Burst(0.035, 1900, 4.0, 0.006, 2), 0, 1.0f, 0);
    b.Add(Glide(0.035, 1400, 1300, 0.01), 0, 0.25f, 0);
    return b;
}

Stereo BtnClick() { // a wooden knock with a small bright ring
    Stereo b(kRate);
    b.Add(Burst(0.06, 900, 2.5, 0.012, 3), 0, 1.0f, 0);
    b.Add(Glide(0.08, 420, 300, 0.02), 0, 0.6f, 0);
    b.Add(synth::Bell(Hz("E6"), 0.25, 0.5f, kRate), 0.01, 0.35f, 0);
    return b;
}

Stereo Swap() {
    Stereo b(kRate);
    b.Add(Whoosh(0.22, 500, 2400, 3.0, 4), 0, 1.0f, 0);
    return b;
}

Stereo SwapBack() {
    Stereo b(kRate);
    b.Add(Whoosh(0.16, 600, 2000, 3.0, 5), 0, 1.0f, 0);
    b.Add(Whoosh(0.18, 2000, 500, 3.0, 6), 0.15, 1.0f, 0);
    b.Add(Glide(0.15, 300, 200, 0.05), 0.15, 0.3f, 0);
    return b;
}

Stereo Select() {
    Stereo b(kRate);
    b.Add(synth::Harp(Hz("E6"), 0.2, 0.7f, 7, kRate), 0, 1.0f, 0);
    b.Add(Glide(0.06, 2600, 3000, 0.015), 0, 0.2f, 0);
    return b;
}

// Cascade chimes: each step starts higher, so a chain of matches climbs.
Stereo Match(int step) {
    static const char* const kNotes[3][3] = {{"C6", "E6", "G6"}, {"E6", "G6", "C7"}, {"G6", "C7", "E7"}};
    Stereo b(kRate);
    for (int i = 0; i < 3; ++i)
        b.Add(synth::Bell(Hz(kNotes[step][i]), 0.6, 0.7f - 0.1f * i, kRate), 0.05 * i, 1.0f, 0);
    b.Add(Whoosh(0.25, 4000, 9000, 2.0, 8 + static_cast<uint32_t>(step)), 0, 0.25f, 0);
    return b;
}

Stereo Explode() {
    Stereo b(kRate);
    Mono rumble(static_cast<size_t>(1.1 * kRate));
    synth::Rng rng(9);
    synth::OnePole lp(3150.0, kRate);
    for (size_t i = 0; i < rumble.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (i % 64 == 0) lp.SetCutoff(150.0 + 3000.0 * std::exp(-t * 8.0), kRate);
        rumble[i] = static_cast<float>(std::exp(-t * 3.5)) * lp.Process(rng.Bipolar());
    }
    b.Add(rumble, 0, 1.6f, 0);
    b.Add(Glide(0.7, 110, 40, 0.18), 0, 0.9f, 0);
    return b;
}

Stereo Rocket() {
    Stereo b(kRate);
    b.Add(Whoosh(0.8, 300, 4500, 1.5, 10), 0, 1.0f, 0);
    b.Add(Whoosh(0.8, 6000, 9000, 0.8, 11), 0, 0.3f, 0);
    b.Add(Glide(0.6, 200, 900, 0.3), 0.05, 0.25f, 0);
    return b;
}

Stereo Coin() {
    Stereo b(kRate);
    b.Add(synth::Bell(Hz("B6"), 0.12, 0.7f, kRate), 0, 1.0f, 0);
    b.Add(synth::Bell(Hz("E7"), 0.45, 0.8f, kRate), 0.07, 1.0f, 0);
    return b;
}

Stereo Bottle() { // a glass clink and a bubble
    Stereo b(kRate);
    b.Add(synth::Bell(Hz("F#7"), 0.25, 0.6f, kRate), 0, 0.8f, 0);
    b.Add(Glide(0.12, 400, 900, 0.05), 0.06, 0.6f, 0);
    b.Add(Glide(0.1, 500, 1100, 0.04), 0.17, 0.45f, 0);
    return b;
}

Stereo Freeze() { // icy shimmer: a high cluster over a hiss
    Stereo b(kRate);
    const char* const kNotes[] = {"B6", "D#7", "F#7", "A#7", "C#8"};
    for (int i = 0; i < 5; ++i)
        b.Add(synth::Bell(Hz(kNotes[i]), 0.7, 0.5f, kRate), 0.04 * i, 0.6f, 0);
    b.Add(Whoosh(0.8, 7000, 5000, 1.2, 12), 0, 0.5f, 0);
    return b;
}

Stereo Chain() { // metal links rattling
    Stereo b(kRate);
    const double kAt[] = {0.0, 0.05, 0.09, 0.16, 0.21};
    for (int i = 0; i < 5; ++i) {
        b.Add(Burst(0.15, 3500.0 + 700.0 * i, 12.0, 0.03, 20 + static_cast<uint32_t>(i)), kAt[i], 1.0f, 0);
        b.Add(synth::Bell(1900.0 + 310.0 * i, 0.15, 0.4f, kRate), kAt[i], 0.5f, 0);
    }
    return b;
}

Stereo Crate() { // wood cracking and falling apart
    Stereo b(kRate);
    b.Add(Burst(0.25, 700, 1.5, 0.04, 30), 0, 1.0f, 0);
    b.Add(Burst(0.2, 1300, 3.0, 0.03, 31), 0.05, 0.7f, 0);
    b.Add(Burst(0.2, 500, 3.0, 0.05, 32), 0.12, 0.6f, 0);
    b.Add(Glide(0.15, 180, 120, 0.05), 0, 0.5f, 0);
    return b;
}

Stereo Hammer() { // a heavy blow with an anvil ring
    Stereo b(kRate);
    b.Add(Glide(0.4, 140, 60, 0.09), 0, 1.0f, 0);
    b.Add(Burst(0.1, 1500, 1.2, 0.015, 40), 0, 0.8f, 0);
    b.Add(synth::Bell(Hz("A5"), 0.6, 0.6f, kRate), 0.005, 0.45f, 0);
    return b;
}

Stereo Life() { // a rising major harp arpeggio
    Stereo b(kRate);
    const char* const kNotes[] = {"C5", "E5", "G5", "C6", "E6"};
    for (int i = 0; i < 5; ++i)
        b.Add(synth::Harp(Hz(kNotes[i]), 0.6, 0.8f, 50 + static_cast<uint32_t>(i), kRate), 0.08 * i, 1.0f, 0);
    b.Add(synth::Bell(Hz("C7"), 0.6, 0.4f, kRate), 0.4, 0.5f, 0);
    return b;
}

Stereo LevelWin() { // a short fanfare: pick-up triplet, then a held chord
    Stereo b(kRate);
    const double kBeat = 0.13;
    b.Add(synth::Brass(Hz("G4"), kBeat * 0.9, 1.0f, kRate), 0, 1.0f, 0);
    b.Add(synth::Brass(Hz("C5"), kBeat * 0.9, 1.0f, kRate), kBeat, 1.0f, 0);
    b.Add(synth::Brass(Hz("E5"), kBeat * 0.9, 1.0f, kRate), 2 * kBeat, 1.0f, 0);
    for (const char* n : {"C5", "E5", "G5", "C6"})
        b.Add(synth::Brass(Hz(n), 0.9, 1.0f, kRate), 3 * kBeat, 0.7f, 0);
    b.Add(synth::FrameDrum(80.0, 0.9f, 60, kRate), 3 * kBeat, 0.8f, 0);
    for (int i = 0; i < 4; ++i)
        b.Add(synth::Bell(Hz(i % 2 ? "G7" : "E7"), 0.5, 0.4f, kRate), 3 * kBeat + 0.1 + 0.08 * i, 0.4f, 0);
    return b;
}

Stereo LevelLose() { // a falling, sighing line
    Stereo b(kRate);
    const char* const kNotes[] = {"G4", "F#4", "F4", "E4"};
    for (int i = 0; i < 4; ++i) {
        const double held = i == 3 ? 0.9 : 0.28;
        b.Add(synth::Flute(Hz(kNotes[i]), held, 0.8f, 70 + static_cast<uint32_t>(i), kRate), 0.32 * i, 1.0f, 0);
        b.Add(synth::StringPad(Hz(kNotes[i]) / 2, held, 0.8f, 80 + static_cast<uint32_t>(i), kRate), 0.32 * i, 0.8f, 0);
    }
    return b;
}

Stereo Magic() { // a sparkling upward sweep that echoes away
    Stereo b(kRate);
    const char* const kNotes[] = {"D6", "F#6", "A6", "C#7", "E7", "A7"};
    for (int i = 0; i < 6; ++i)
        b.Add(synth::Bell(Hz(kNotes[i]), 0.6, 0.6f, kRate), 0.07 * i, 0.7f, 0);
    b.Add(Whoosh(1.0, 1500, 8000, 1.5, 95), 0, 0.5f, 0);
    synth::Echo(b, 0.16, 0.35f, 0.4f, 0.03);
    return b;
}

// A soft glassy ping, played once per removed piece, 40 ms apart and each a little higher or lower: a quick swell
// instead of a hard strike and a short ring, so that fifteen in a row make a shimmer rather than a buzz. The
// octave and the twelfth above die away faster than the note.
Stereo Gem() {
    constexpr double kSeconds = 0.3, kSwell = 0.006;
    const double f = Hz("E6");
    struct Partial {
        double ratio, gain, decay;
    };
    static constexpr Partial kPartials[] = {{1.0, 1.0, 0.07}, {2.0, 0.35, 0.04}, {3.0, 0.12, 0.025}};
    Mono ping(static_cast<size_t>(kSeconds * kRate));
    for (size_t i = 0; i < ping.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double swell = t < kSwell ? std::pow(std::sin(kPi / 2 * t / kSwell), 2) : 1.0;
        double v = 0;
        for (const Partial& p : kPartials)
            v += p.gain * std::sin(synth::kTau * f * p.ratio * t) * std::exp(-t / p.decay);
        ping[i] = static_cast<float>(swell * v);
    }
    Stereo b(kRate);
    b.Add(ping, 0, 1.0f, 0);
    return b;
}

Stereo Spell() { // a deep swell rising into a bright bell chord
    Stereo b(kRate);
    b.Add(Whoosh(0.7, 200, 2400, 2.0, 97), 0, 0.8f, 0);
    b.Add(Glide(0.5, 110, 330, 0.4), 0, 0.5f, 0);
    const char* const kNotes[] = {"A5", "E6", "A6", "C#7"};
    for (int i = 0; i < 4; ++i)
        b.Add(synth::Bell(Hz(kNotes[i]), 0.8, 0.6f, kRate), 0.35 + 0.03 * i, 0.6f, 0);
    return b;
}

Stereo Buy() { // coins poured on a counter and a chime
    Stereo b(kRate);
    const char* const kNotes[] = {"B6", "E7", "G#6", "C#7", "E7"};
    for (int i = 0; i < 5; ++i)
        b.Add(synth::Bell(Hz(kNotes[i]), 0.15, 0.6f, kRate), 0.05 * i, 0.7f, 0);
    b.Add(synth::Bell(Hz("E6"), 0.8, 0.7f, kRate), 0.3, 0.8f, 0);
    b.Add(synth::Bell(Hz("B6"), 0.8, 0.5f, kRate), 0.3, 0.6f, 0);
    return b;
}

Stereo Gamble() { // a rattled box, then a bright ding
    Stereo b(kRate);
    for (int i = 0; i < 8; ++i)
        b.Add(Burst(0.04, 1800 + 200 * (i % 3), 4.0, 0.01, 120 + static_cast<uint32_t>(i)), 0.055 * i, 0.8f, 0);
    b.Add(synth::Bell(Hz("A6"), 0.7, 0.8f, kRate), 0.5, 1.0f, 0);
    b.Add(synth::Bell(Hz("E7"), 0.6, 0.5f, kRate), 0.52, 0.6f, 0);
    return b;
}

// The common level of the effects: the loudest 400 ms of each, played centred (BS.1770, LUFS), sits here, so that
// none stands out. In play, at the default volumes, the effects then come out about 4 LU above the music (see
// docs/audio.md for the measured figures). No sound peaks above kEffectPeak, whatever its loudness asks.
constexpr double kEffectLoudness = -16.5;
constexpr float kEffectPeak = 0.7f; // -3 dBFS

struct Recipe {
    const char* path; // archive path
    Stereo (*make)(); //
    float reverb;     // wet level of a small room (0 = dry)
    float level;      // LU against kEffectLoudness (0 for most; soft ticks and the per-piece gem lower)
};

const Recipe kRecipes[] = {
    {"Button_Click.wav", ButtonClickToolkit, 0.0f, -4.0f},
    {"Message_Alert.wav", MessageAlert, 0.2f, 0.0f},
    {"sounds/btn_hover.wav", BtnHover, 0.0f, -10.0f},
    {"sounds/btn_click.wav", BtnClick, 0.1f, -4.0f},
    {"sounds/sfx_swap.wav", Swap, 0.0f, -2.0f},
    {"sounds/sfx_swap_back.wav", SwapBack, 0.0f, -2.0f},
    {"sounds/sfx_select.wav", Select, 0.15f, -2.0f},
    {"sounds/sfx_match1.wav", [] { return Match(0); }, 0.3f, 0.0f},
    {"sounds/sfx_match2.wav", [] { return Match(1); }, 0.3f, 0.0f},
    {"sounds/sfx_match3.wav", [] { return Match(2); }, 0.3f, 0.0f},
    {"sounds/sfx_explode.wav", Explode, 0.25f, 0.0f},
    {"sounds/sfx_rocket.wav", Rocket, 0.15f, 0.0f},
    {"sounds/sfx_coin.wav", Coin, 0.2f, 0.0f},
    {"sounds/sfx_bottle.wav", Bottle, 0.2f, 0.0f},
    {"sounds/sfx_freeze.wav", Freeze, 0.3f, 0.0f},
    {"sounds/sfx_chain.wav", Chain, 0.15f, 0.0f},
    {"sounds/sfx_crate.wav", Crate, 0.15f, 0.0f},
    {"sounds/sfx_hammer.wav", Hammer, 0.2f, 0.0f},
    {"sounds/sfx_life.wav", Life, 0.3f, 0.0f},
    {"sounds/sfx_levelwin.wav", LevelWin, 0.35f, 0.0f},
    {"sounds/sfx_levellose.wav", LevelLose, 0.35f, 0.0f},
    {"sounds/sfx_magic.wav", Magic, 0.35f, 0.0f},
    {"sounds/sfx_gem.wav", Gem, 0.1f, -6.0f}, // one per removed piece: a clear of ten rings about as loud as one
    {"sounds/sfx_spell.wav", Spell, 0.35f, 0.0f},
    {"sounds/sfx_buy.wav", Buy, 0.2f, 0.0f},
    {"sounds/sfx_gamble.wav", Gamble, 0.2f, 0.0f},
};

} // namespace

bool Sfx_WriteAll(const std::string& outDir) {
    bool ok = true;
    for (const Recipe& r : kRecipes) {
        Stereo bus = r.make();
        if (r.reverb > 0) {
            synth::Reverb(bus, 0.45f, 0.5f, r.reverb);
            // Trim the reverb's silent overrun: stop 10 ms after the level falls below -60 dB for good.
            size_t end = bus.Frames();
            while (end > 0 && std::fabs(bus.left[end - 1]) + std::fabs(bus.right[end - 1]) < 2e-3f)
                --end;
            bus.left.resize(std::min(bus.Frames(), end + kRate / 100));
            bus.right.resize(bus.left.size());
        }
        synth::FadeEdges(bus, 0.0005, 0.01);
        AudioBuffer buffer = synth::ToMonoBuffer(bus);
        AudioGen_LevelTo(buffer, kEffectLoudness + r.level, kEffectPeak);
        ok = Audio_WriteFile(outDir + "/" + r.path, Wav_Encode(buffer)) && ok;
    }
    return ok;
}
