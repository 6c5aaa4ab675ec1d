// A small synthesiser for the asset generators: pitches, a deterministic noise source, envelopes, filters, note
// renderers (plucked lute and harp strings, bells, flute, string pad, drums) and a stereo bus with pan, echo and
// reverb. Everything is plain arithmetic on float buffers, so the same call gives the same samples on every run.
// Used by tools/assetgen_audio (music, ambience, sound effects).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "assetlib/audio.h"

namespace synth {

constexpr double kTau = 6.283185307179586;
using Mono = std::vector<float>; // one channel of samples at the bus rate

// [SECTION] Pitch and noise ----------------------------------------------------------------------------------------

double MidiFreq(double midi); // frequency in Hz of a MIDI note number (69 = A4 = 440 Hz)
// Parses a note name such as "C4", "F#3", "Bb5" (octave 4 holds middle C = 60). -1 when it is no note name.
int ParseNote(std::string_view name);

// xorshift32 noise: same seed, same sequence, on every platform.
class Rng {
  public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    uint32_t NextU32();
    float Uniform(); // 0..1
    float Bipolar(); // -1..1
  private:
    uint32_t state_;
};

// [SECTION] Envelopes and filters ----------------------------------------------------------------------------------

// Attack, decay and release in seconds, sustain level 0..1. The gate stays open for `held` seconds.
struct Adsr {
    float attack = 0.01f, decay = 0.1f, sustain = 0.7f, release = 0.2f;
    float At(float t, float held) const; // level at t seconds after the note starts
};

// Two-pole filter (RBJ cookbook biquad), direct form I.
class Biquad {
  public:
    static Biquad Lowpass(double cutoff, double q, int rate);
    static Biquad Highpass(double cutoff, double q, int rate);
    static Biquad Bandpass(double centre, double q, int rate); // 0 dB peak gain
    static Biquad FromCoeffs(double b0, double b1, double b2, double a0, double a1, double a2);
    // Takes the response of `shape` but keeps this filter's memory: a sweep retunes without a click.
    void Retune(const Biquad& shape);
    float Process(float x);

  private:
    float b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One-pole low-pass smoothing (for darkening a plucked string or noise).
class OnePole {
  public:
    OnePole(double cutoff, int rate);
    void SetCutoff(double cutoff, int rate); // keeps the filter's memory
    float Process(float x);

  private:
    float a_ = 0, z_ = 0;
};

// [SECTION] Note renderers: each returns the whole note, its release included ----------------------------------------

// Karplus–Strong string. `t60` seconds to fade by 60 dB, `brightness` 0..1 colours the pluck, `held` seconds
// before the string is damped (0.15 s damping).
Mono Pluck(double freq, double held, double t60, float brightness, uint32_t seed, int rate);
// Lute: a plucked string with a wooden body resonance.
Mono Lute(double freq, double held, float velocity, uint32_t seed, int rate);
// Harp: a long-ringing bright string.
Mono Harp(double freq, double held, float velocity, uint32_t seed, int rate);
// Bell or chime: inharmonic partials with their own decays, `length` seconds in all.
Mono Bell(double freq, double length, float velocity, int rate);
// Flute or recorder lead: breathy attack, delayed vibrato.
Mono Flute(double freq, double held, float velocity, uint32_t seed, int rate);
// Soft string ensemble: detuned saws through a low-pass, slow attack and release.
Mono StringPad(double freq, double held, float velocity, uint32_t seed, int rate);
// Brass for fanfares: two saws a hair apart through a low-pass that opens with the loudness.
Mono Brass(double freq, double held, float velocity, int rate);
// Warm bowed bass (for drones and bass lines).
Mono Bass(double freq, double held, float velocity, int rate);
// Frame drum: pitched thump with a soft skin slap.
Mono FrameDrum(double pitch, float velocity, uint32_t seed, int rate);
// Tambourine or shaker: bright noise burst with jingles.
Mono Shaker(float velocity, double length, uint32_t seed, int rate);

// [SECTION] Stereo bus ---------------------------------------------------------------------------------------------

struct Stereo {
    int rate = 44100;
    Mono left, right;

    explicit Stereo(int sampleRate = 44100, size_t frames = 0) : rate(sampleRate), left(frames), right(frames) {}
    size_t Frames() const { return left.size(); }
    // Adds `sound` at `start` seconds with gain and equal-power pan (-1 left .. 1 right); grows the bus as needed.
    void Add(const Mono& sound, double start, float gain, float pan);
    void AddBus(const Stereo& other, float gain); // sample by sample, same rate
};

// Feedback echo: `delay` seconds, each repeat `feedback` times the last, mixed in at `wet`; the right channel
// repeats `spread` seconds later for width. The bus grows by the repeats' length (feedback is capped at 0.95).
void Echo(Stereo& bus, double delay, float feedback, float wet, double spread = 0.0);
// Room reverb (eight damped combs and four all-passes per side). `room` 0..1 = size, `damp` 0..1 = darkness.
void Reverb(Stereo& bus, float room, float damp, float wet);
// Seamless loop: everything past `frames` (release and reverb tails) is added onto the start, then cut off.
void FoldLoop(Stereo& bus, size_t frames);
// Short fades at both ends (for one-shot sounds), `seconds` long.
void FadeEdges(Stereo& bus, double fadeIn, double fadeOut);
AudioBuffer ToBuffer(const Stereo& bus);     // interleaved stereo
AudioBuffer ToMonoBuffer(const Stereo& bus); // (left + right) / 2

} // namespace synth
