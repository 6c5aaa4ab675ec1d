// The game's music and ambient loop: five tracks composed as data (chords per bar, melodies as note tables, the
// arrangement of each section) and played by the synthesiser into seamless Ogg Vorbis loops. Called by
// generate.cpp; writes sounds/bq2_01.ogg (menu theme) .. sounds/bq2_05.ogg and sounds/ambient_castle.ogg.
//
// [SECTION] Score notation
// [SECTION] The five tracks
// [SECTION] Performer
// [SECTION] Ambient castle loop
// [SECTION] Writing the files
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "assetgen_audio/generate.h"
#include "assetlib/audio.h"
#include "assetlib/synth.h"

namespace {

using synth::Mono;
using synth::Stereo;

constexpr int kRate = 44100; // music sample rate, stereo

// [SECTION] Score notation -----------------------------------------------------------------------------------------
//
// Chords: bars separated by "|", one or two chord names per bar (two share the bar evenly). A name is a root
// ("D", "Bb", "F#") and an optional kind: "m" minor, "sus4", "sus2", "5" open fifth; plain is major.
// Melodies: notes "D5:1.5" (pitch and length in beats; a missing length repeats the last), rests "r:1", and "|"
// bar lines that are only for the reader. Each melody must fill its section exactly; the generator says when not.

enum class Voice { None, Flute, Harp, Lute, Bell, Strings };

struct Chord {
    int root = 0;               // pitch class 0..11 (C = 0)
    std::vector<int> intervals; // semitones above the root, root included
};

struct Note {
    int midi = -1;    // -1 = rest
    double start = 0; // beats from the start of the section
    double length = 0;
};

struct Section {
    int bars;
    const char* chords;
    const char* melody; // "" = no lead
    Voice lead;
    Voice doubling; // plays the melody an octave higher and softer (None = off)
    Voice arp;      // None = no arpeggio
    bool pad, bass, drums;
    Voice harmony = Voice::None;      // a second voice two steps of the scale below the tune (None = off)
    const char* arpPattern = nullptr; // this section's own arpeggio (nullptr = the track's)
};

struct Track {
    const char* path;
    double bpm; // beats per minute (beat = the unit of the melody lengths)
    int beatsPerBar;
    double arpStep;          // beats per arpeggio note
    const char* arpPattern;  // indices into the chord's arpeggio tones, one per step, repeating each bar
    double drumStep;         // beats per drum step
    const char* drumPattern; // per bar: D strong drum, d soft drum, s shaker, . nothing
    uint32_t seed;           // humanising and noise
    const char* scale;       // the mode's notes, e.g. "D E F G A B C": the harmony voice moves within them
    std::vector<Section> sections;
};

bool ParseChord(const std::string& name, Chord& out) {
    static const char* const kLetters = "C D EF G A B";
    if (name.empty()) return false;
    const char* at = std::strchr(kLetters, name[0]);
    if (!at || name[0] == ' ') return false;
    int root = static_cast<int>(at - kLetters);
    size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b')) root += name[i++] == '#' ? 1 : -1;
    const std::string kind = name.substr(i);
    out.root = (root + 12) % 12;
    if (kind.empty())
        out.intervals = {0, 4, 7};
    else if (kind == "m")
        out.intervals = {0, 3, 7};
    else if (kind == "sus4")
        out.intervals = {0, 5, 7};
    else if (kind == "sus2")
        out.intervals = {0, 2, 7};
    else if (kind == "5")
        out.intervals = {0, 7, 12};
    else
        return false;
    return true;
}

// One entry per chord change: the chord and its start and length in beats.
struct ChordSpan {
    Chord chord;
    double start, length;
};

std::vector<ChordSpan> ParseChords(const char* text, int beatsPerBar, const char* where, bool& ok) {
    std::vector<ChordSpan> spans;
    std::stringstream bars(text);
    std::string bar;
    int index = 0;
    while (std::getline(bars, bar, '|')) {
        std::stringstream names(bar);
        std::vector<Chord> inBar;
        std::string name;
        while (names >> name) {
            Chord c;
            if (!ParseChord(name, c)) {
                std::fprintf(stderr, "%s: bad chord '%s'\n", where, name.c_str());
                ok = false;
                continue;
            }
            inBar.push_back(c);
        }
        const double each = inBar.empty() ? 0 : static_cast<double>(beatsPerBar) / inBar.size();
        for (size_t k = 0; k < inBar.size(); ++k)
            spans.push_back({inBar[k], index * beatsPerBar + k * each, each});
        ++index;
    }
    return spans;
}

std::vector<Note> ParseMelody(const char* text, const char* where, double& total, bool& ok) {
    std::vector<Note> notes;
    std::string spaced(text);
    for (char& c : spaced)
        c = c == '|' ? ' ' : c; // bar lines are for the reader
    std::stringstream in(spaced);
    std::string token;
    double length = 1.0;
    total = 0;
    while (in >> token) {
        const size_t colon = token.find(':');
        const std::string pitch = token.substr(0, colon);
        if (colon != std::string::npos) length = std::atof(token.c_str() + colon + 1);
        const int midi = pitch == "r" ? -1 : synth::ParseNote(pitch);
        if ((midi < 0 && pitch != "r") || length <= 0) {
            std::fprintf(stderr, "%s: bad note '%s'\n", where, token.c_str());
            ok = false;
            continue;
        }
        notes.push_back({midi, total, length});
        total += length;
    }
    return notes;
}

// [SECTION] The five tracks ----------------------------------------------------------------------------------------

using V = Voice;

// Menu theme: D dorian, 3/4, a flute tune over harp and lute, strings and a light frame drum.
const char* const kT1_A_Chords = "Dm | C | G | Dm | F | C | G | Dm";
const char* const kT1_A = "D5:1 E5:0.5 F5:0.5 A5:1 | G5:1.5 F5:0.5 E5:1 | D5:1 B4:1 D5:1 | A4:3 |"
                          "C5:1 D5:0.5 E5:0.5 F5:1 | G5:1 E5:1 C5:1 | D5:1.5 E5:0.5 B4:1 | D5:3";
const char* const kT1_B_Chords = "F | G | Em | Am | F | G | Asus4 | A";
const char* const kT1_B = "A5:1 C6:1 A5:1 | B5:1.5 A5:0.5 G5:1 | E5:1 G5:1 B5:1 | A5:2 G5:1 |"
                          "F5:1 A5:1 C6:1 | D6:1.5 C6:0.5 B5:1 | A5:1 D5:1 E5:1 | C#5:2 E5:1";

// In-game 1: A aeolian, 4/4, recorder over lute, calm.
const char* const kT2_A_Chords = "Am | G | F | Em | Am | G | F G | Am";
const char* const kT2_A = "E5:1.5 D5:0.5 C5:1 B4:1 | D5:1.5 B4:0.5 G4:2 | A4:1 C5:1 F5:1.5 E5:0.5 | E5:2 D5:1 B4:1 |"
                          "C5:1 E5:1 A5:1.5 G5:0.5 | G5:1 D5:1 B4:2 | C5:1 A4:1 B4:1 D5:1 | A4:4";
const char* const kT2_B_Chords = "C | G | Am | Em | F | C | Dm | E";
const char* const kT2_B = "G5:1 E5:1 G5:1 C6:1 | B5:2 D5:2 | C6:1 B5:0.5 A5:0.5 E5:2 | G5:1.5 E5:0.5 B4:2 |"
                          "A5:1 F5:1 C5:1 F5:1 | E5:1.5 D5:0.5 C5:1 G4:1 | F5:1 E5:1 D5:1 C5:1 | B4:2 G#4:2";

// In-game 2: G mixolydian in six-eight, a gentle jig for harp and flute.
const char* const kT3_A_Chords = "G | F | G | Dm | Em | C | F | G";
const char* const kT3_A = "G5:2 B5:1 D6:2 B5:1 | C6:2 A5:1 F5:3 | G5:2 A5:1 B5:2 D6:1 | A5:3 F5:2 D5:1 |"
                          "E5:2 G5:1 B5:2 G5:1 | C6:2 B5:1 G5:2 E5:1 | F5:2 A5:1 C6:2 A5:1 | G5:6";
const char* const kT3_B_Chords = "C | G | Am | Em | F | C | F | G";
const char* const kT3_B = "E5:2 G5:1 C6:3 | B5:2 A5:1 G5:3 | A5:2 C6:1 E6:2 C6:1 | B5:3 G5:3 |"
                          "A5:2 F5:1 C5:2 F5:1 | G5:2 E5:1 C5:3 | F5:1 G5:1 A5:1 C6:2 A5:1 | G5:3 D5:3";

// In-game 3: E minor, slow, bells and harp in a large hall, strings underneath.
const char* const kT4_A_Chords = "Em | C | Am | B | Em | D | C | B";
const char* const kT4_A = "B5:2 G5:1 E5:1 | G5:2 E5:2 | A5:1 C6:1 B5:1 A5:1 | F#5:3 D#5:1 |"
                          "E5:2 G5:1 B5:1 | A5:2 F#5:2 | G5:1 E5:1 C6:1 B5:1 | B5:4";
const char* const kT4_B_Chords = "G | D | Em | C | G | D | Am | B";
const char* const kT4_B = "D6:2 B5:2 | A5:2 F#5:1 A5:1 | G5:1.5 F#5:0.5 E5:2 | E5:1 G5:1 C6:2 |"
                          "B5:2 D6:1 B5:1 | A5:3 F#5:1 | E5:1 A5:1 C6:1 B5:1 | F#5:2 D#5:2";

// In-game 4: F major with a lydian turn, 3/4, pastoral flute and lute.
const char* const kT5_A_Chords = "F | C | Dm | Bb | F | Am | Bb | C";
const char* const kT5_A = "C5:1 F5:1 A5:1 | G5:2 E5:1 | F5:1 A5:1 D6:1 | D6:1.5 C6:0.5 Bb5:1 |"
                          "A5:1 C6:1 A5:1 | E5:2 C5:1 | D5:1 F5:1 Bb5:1 | G5:3";
const char* const kT5_B_Chords = "Bb | F | Gm | Dm | Bb | F | G | C";
const char* const kT5_B = "F5:1 Bb5:1 D6:1 | C6:2 A5:1 | Bb5:1 G5:1 D5:1 | F5:2 A5:1 |"
                          "Bb5:1.5 A5:0.5 G5:1 | A5:1 F5:1 C5:1 | B5:1 D6:1 G5:1 | G5:2 E5:1";

const std::vector<Track>& Tracks() {
    static const std::vector<Track> kTracks = {
        {"sounds/bq2_01.ogg",
         100,
         3,
         0.5,
         "0 2 3 4 3 2",
         0.5,
         "D.s.ds",
         101,
         "D E F G A B C",
         {{4, "Dm | C | Dm | C", "", V::None, V::None, V::Harp, true, true, false},
          {8, kT1_A_Chords, kT1_A, V::Flute, V::None, V::Lute, true, true, true},
          {8, kT1_A_Chords, kT1_A, V::Flute, V::Bell, V::Harp, true, true, true},
          {8, kT1_B_Chords, kT1_B, V::Harp, V::None, V::Lute, true, true, true, V::None, "0 3 4 5 4 3"},
          {8, kT1_A_Chords, kT1_A, V::Flute, V::Harp, V::Lute, true, true, true, V::Flute},
          {4, "Dm | C | Dm | Asus4 A", "", V::None, V::None, V::Harp, true, true, false}}},
        {"sounds/bq2_02.ogg",
         84,
         4,
         0.5,
         "0 2 3 4 5 4 3 2",
         0.5,
         "D...s.d.",
         202,
         "A B C D E F G",
         {{4, "Am | G | F | E", "", V::None, V::None, V::Lute, true, true, false},
          {8, kT2_A_Chords, kT2_A, V::Flute, V::None, V::Lute, true, true, false},
          {8, kT2_B_Chords, kT2_B, V::Flute, V::None, V::Harp, true, true, true, V::Flute, "0 3 2 4 3 5 4 2"},
          {8, kT2_A_Chords, kT2_A, V::Harp, V::Flute, V::Lute, true, true, true}}},
        {"sounds/bq2_03.ogg",
         150,
         6,
         1.0,
         "0 3 4 2 3 4",
         1.0,
         "D.sd.s",
         303,
         "G A B C D E F",
         {{4, "G | F | G | F", "", V::None, V::None, V::Harp, true, true, false},
          {8, kT3_A_Chords, kT3_A, V::Flute, V::None, V::Harp, true, true, true},
          {8, kT3_B_Chords, kT3_B, V::Lute, V::Bell, V::Harp, true, true, true, V::None, "0 4 3 5 4 3"},
          {8, kT3_A_Chords, kT3_A, V::Flute, V::Harp, V::Lute, true, true, true, V::Flute},
          {4, "C | G | F | G", "", V::None, V::None, V::Harp, true, true, false}}},
        {"sounds/bq2_04.ogg",
         72,
         4,
         0.5,
         "0 2 3 4 5 4 3 2",
         1.0,
         "d.s.",
         404,
         "E F# G A B C D",
         {{4, "Em | C | Am | B", "", V::None, V::None, V::Harp, true, true, false},
          {8, kT4_A_Chords, kT4_A, V::Bell, V::None, V::Harp, true, true, false},
          {8, kT4_B_Chords, kT4_B, V::Flute, V::None, V::Harp, true, true, false, V::Strings, "0 1 3 4 5 4 3 1"},
          {4, "Em | C | Am | B", "", V::None, V::None, V::Harp, true, true, false}}},
        {"sounds/bq2_05.ogg",
         96,
         3,
         0.5,
         "0 2 4 3 4 2",
         0.5,
         "D.s.d.",
         505,
         "F G A Bb C D E",
         {{4, "F | C | Bb | C", "", V::None, V::None, V::Lute, true, true, false},
          {8, kT5_A_Chords, kT5_A, V::Flute, V::None, V::Lute, true, true, true},
          {8, kT5_A_Chords, kT5_A, V::Harp, V::Bell, V::Lute, true, true, true},
          {8, kT5_B_Chords, kT5_B, V::Flute, V::None, V::Harp, true, true, true, V::None, "0 3 5 4 3 2"},
          {8, kT5_A_Chords, kT5_A, V::Flute, V::Harp, V::Lute, true, true, true, V::Flute},
          {4, "Bb | F | Bb | C", "", V::None, V::None, V::Lute, true, true, false}}},
    };
    return kTracks;
}

// [SECTION] Performer ----------------------------------------------------------------------------------------------

struct Mixer {
    Stereo dry{kRate};
    synth::Rng human;
    uint32_t noteSeed;
    explicit Mixer(uint32_t seed) : human(seed), noteSeed(seed * 7919u) {}

    void Play(Voice v, int midi, double start, double seconds, float velocity, float gain, float pan) {
        if (midi < 0 || v == Voice::None) return;
        const double f = synth::MidiFreq(midi);
        const uint32_t seed = ++noteSeed;
        const float vel = velocity * (0.9f + 0.1f * human.Uniform());
        const double at = std::max(0.0, start + 0.006 * human.Bipolar());
        Mono m;
        switch (v) {
        case Voice::Flute:
            m = synth::Flute(f, seconds * 0.94, vel, seed, kRate);
            break;
        case Voice::Harp:
            m = synth::Harp(f, seconds, vel, seed, kRate);
            break;
        case Voice::Lute:
            m = synth::Lute(f, seconds, vel, seed, kRate);
            break;
        case Voice::Bell:
            m = synth::Bell(f, std::max(1.5, seconds * 1.5), vel, kRate);
            break;
        case Voice::Strings:
            m = synth::StringPad(f, seconds, vel, seed, kRate);
            break;
        case Voice::None:
            return;
        }
        dry.Add(m, at, gain, pan);
    }
};

// Gain and pan of each voice as a lead, a doubling and an arpeggio.
float LeadGain(Voice v) {
    switch (v) {
    case Voice::Flute:
        return 0.65f;
    case Voice::Harp:
        return 0.7f;
    case Voice::Lute:
        return 0.75f;
    case Voice::Bell:
        return 0.6f;
    default:
        return 0.5f;
    }
}

// The note `steps` degrees of the scale below `midi`; -1 when the note is outside the scale (a chromatic note gets
// no harmony rather than a clash).
int ScaleStepsBelow(const std::vector<int>& scale, int midi, int steps) {
    if (std::find(scale.begin(), scale.end(), midi % 12) == scale.end()) return -1;
    int note = midi;
    while (steps > 0 && note > 0) {
        --note;
        if (std::find(scale.begin(), scale.end(), note % 12) != scale.end()) --steps;
    }
    return steps == 0 ? note : -1;
}

// The arpeggio's tones for a chord: root and fifth in octave 3, root, third and fifth in octave 4, root in 5.
std::vector<int> ArpTones(const Chord& c) {
    const int base = 48 + c.root; // octave 3
    const int third = c.intervals[1], fifth = c.intervals[2];
    return {base, base + fifth, base + 12, base + 12 + third, base + 12 + fifth, base + 24};
}

bool RenderTrack(const Track& track, Stereo& out) {
    bool ok = true;
    const double beat = 60.0 / track.bpm;
    Mixer mix(track.seed);
    const auto parsePattern = [](const char* text) {
        std::vector<int> steps;
        std::stringstream in(text);
        int v;
        while (in >> v)
            steps.push_back(v);
        return steps;
    };
    const std::vector<int> trackArp = parsePattern(track.arpPattern);
    const std::string drums = track.drumPattern;
    std::vector<int> scale; // pitch classes of the mode
    {
        std::stringstream in(track.scale);
        std::string name;
        while (in >> name) {
            const int midi = synth::ParseNote(name + "4");
            if (midi < 0) {
                std::fprintf(stderr, "%s: bad scale note '%s'\n", track.path, name.c_str());
                ok = false;
            } else {
                scale.push_back(midi % 12);
            }
        }
    }
    double sectionStart = 0; // beats
    for (size_t si = 0; si < track.sections.size(); ++si) {
        const Section& s = track.sections[si];
        const std::vector<int> arpSteps = s.arpPattern ? parsePattern(s.arpPattern) : trackArp;
        const std::string where = std::string(track.path) + " section " + std::to_string(si + 1);
        const double sectionBeats = s.bars * track.beatsPerBar;
        const std::vector<ChordSpan> chords = ParseChords(s.chords, track.beatsPerBar, where.c_str(), ok);
        if (chords.empty() || chords.back().start + chords.back().length != sectionBeats) {
            std::fprintf(stderr, "%s: chords do not fill %d bars\n", where.c_str(), s.bars);
            ok = false;
        }
        double melodyBeats = 0;
        const std::vector<Note> melody = ParseMelody(s.melody, where.c_str(), melodyBeats, ok);
        if (!melody.empty() && std::fabs(melodyBeats - sectionBeats) > 1e-9) {
            std::fprintf(stderr, "%s: melody has %.2f beats, section %.2f\n", where.c_str(), melodyBeats, sectionBeats);
            ok = false;
        }
        // Sections without a tune (intro, outro) are played softer, so the tune's entry is an event.
        const float level = melody.empty() ? 0.75f : 1.0f;
        // Lead and its doubling.
        for (const Note& n : melody) {
            const double at = (sectionStart + n.start) * beat;
            mix.Play(s.lead, n.midi, at, n.length * beat, 0.85f, LeadGain(s.lead), 0.05f);
            const int below = n.midi >= 0 && s.harmony != Voice::None ? ScaleStepsBelow(scale, n.midi, 2) : -1;
            if (below >= 0) mix.Play(s.harmony, below, at, n.length * beat, 0.6f, 0.55f * LeadGain(s.harmony), -0.3f);
            if (n.midi >= 0 && s.doubling != Voice::None)
                mix.Play(s.doubling, n.midi + 12, at, n.length * beat, 0.6f, 0.45f * LeadGain(s.doubling), 0.45f);
        }
        // Harmony: pad, bass, arpeggio, per chord.
        for (const ChordSpan& c : chords) {
            const double at = (sectionStart + c.start) * beat, len = c.length * beat;
            const int base = 48 + c.chord.root;
            if (s.pad) {
                const int third = c.chord.intervals[1], fifth = c.chord.intervals[2];
                mix.Play(Voice::Strings, base, at, len, 0.8f, 0.45f * level, -0.5f);
                mix.Play(Voice::Strings, base + fifth, at, len, 0.7f, 0.4f * level, 0.5f);
                mix.Play(Voice::Strings, base + 12 + third, at, len, 0.6f, 0.38f * level, 0.0f);
            }
            if (s.bass) {
                Mono b = synth::Bass(synth::MidiFreq(base - 12), len * 0.95, 0.8f, kRate);
                mix.dry.Add(b, at, 0.4f * level, 0.0f);
            }
            if (s.arp != Voice::None && !arpSteps.empty()) {
                const std::vector<int> tones = ArpTones(c.chord);
                const int steps = static_cast<int>(std::lround(c.length / track.arpStep));
                const int offset = static_cast<int>(std::lround(c.start / track.arpStep));
                for (int k = 0; k < steps; ++k) {
                    const int idx = arpSteps[static_cast<size_t>(offset + k) % arpSteps.size()];
                    const int midi = tones[static_cast<size_t>(idx) % tones.size()];
                    const float accent = (offset + k) % static_cast<int>(arpSteps.size()) == 0 ? 0.75f : 0.55f;
                    mix.Play(s.arp, midi, at + k * track.arpStep * beat, track.arpStep * beat * 2.5, accent,
                             level * (s.arp == Voice::Harp ? 0.42f : 0.5f), -0.35f);
                }
            }
        }
        // Light percussion.
        if (s.drums && !drums.empty()) {
            const int steps = static_cast<int>(std::lround(sectionBeats / track.drumStep));
            const int perBar = static_cast<int>(std::lround(track.beatsPerBar / track.drumStep));
            for (int k = 0; k < steps; ++k) {
                char c = drums[static_cast<size_t>(k) % drums.size()];
                // A small fill leads into the next section: the last bar's empty second half gets soft hits.
                if (c == '.' && k >= steps - perBar / 2) c = 'f';
                const double at = (sectionStart + k * track.drumStep) * beat;
                const uint32_t seed = track.seed * 131u + static_cast<uint32_t>(k);
                if (c == 'D') mix.dry.Add(synth::FrameDrum(75.0, 0.9f, seed, kRate), at, 0.42f, 0.0f);
                if (c == 'd') mix.dry.Add(synth::FrameDrum(95.0, 0.6f, seed, kRate), at, 0.32f, 0.1f);
                if (c == 's') mix.dry.Add(synth::Shaker(0.5f, 0.12, seed, kRate), at, 0.18f, 0.3f);
                if (c == 'f') mix.dry.Add(synth::FrameDrum(120.0, 0.45f, seed, kRate), at, 0.22f, -0.15f);
            }
        }
        sectionStart += sectionBeats;
    }
    const size_t loopFrames = static_cast<size_t>(std::lround(sectionStart * beat * kRate));
    out = std::move(mix.dry);
    synth::Reverb(out, 0.78f, 0.45f, 0.55f);
    synth::FoldLoop(out, loopFrames);
    return ok;
}

// [SECTION] Ambient castle loop ------------------------------------------------------------------------------------

// Wind through the battlements, a few distant birds and a soft low drone: 40 s, loopable.
Stereo RenderAmbient() {
    constexpr double kLength = 40.0, kOverlap = 3.0; // loop length; the bed runs on this long for the cross-fade
    const size_t frames = static_cast<size_t>(kLength * kRate);
    const size_t total = static_cast<size_t>((kLength + kOverlap) * kRate);
    Stereo bed(kRate, total);
    synth::Rng rng(4242);
    // Wind: noise through a low-pass whose level breathes slowly, and a whistling band whose centre drifts.
    for (int side = 0; side < 2; ++side) {
        Mono& ch = side == 0 ? bed.left : bed.right;
        synth::Rng noise(side == 0 ? 11u : 23u);
        synth::Biquad low = synth::Biquad::Lowpass(900.0, 0.7, kRate);
        synth::Biquad whistle = synth::Biquad::Bandpass(600.0, 9.0, kRate);
        for (size_t i = 0; i < total; ++i) {
            const double t = static_cast<double>(i) / kRate;
            if (i % 256 == 0)
                whistle.Retune(
                    synth::Biquad::Bandpass(520.0 + 180.0 * std::sin(synth::kTau * t / 8.0 + side), 9.0, kRate));
            const double gust = 0.55 + 0.3 * std::sin(synth::kTau * t / 10.0 + side) +
                                0.15 * std::sin(synth::kTau * t / 4.0 + 2.0 * side);
            const float lvl = static_cast<float>(0.05 * (1.0 + std::sin(synth::kTau * t / 10.0 + side)));
            ch[i] =
                static_cast<float>(0.22 * gust) * low.Process(noise.Bipolar()) + lvl * whistle.Process(noise.Bipolar());
        }
    }
    // Drone: D2, A2 and D3, tuned to whole cycles per loop, with swells whose periods divide the loop.
    for (const double midi : {38.0, 45.0, 50.0}) {
        const double f = std::round(synth::MidiFreq(midi) * kLength) / kLength;
        Mono d(total);
        for (size_t i = 0; i < total; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double swell = 0.6 + 0.4 * std::sin(synth::kTau * t / 20.0 + midi);
            d[i] = static_cast<float>(
                0.05 * swell * (std::sin(synth::kTau * f * t) + 0.3 * std::sin(synth::kTau * 2.0 * f * t + 0.5)));
        }
        bed.Add(d, 0.0, 1.0f, midi < 45 ? -0.3f : 0.3f);
    }
    // Equal-power cross-fade: the bed fades in over its first seconds while its overrun fades out; FoldLoop
    // lays the overrun onto the start, so the loop point hides inside a smooth blend.
    const size_t overlap = total - frames;
    for (size_t i = 0; i < overlap; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(overlap) * synth::kTau / 4.0;
        const float in = static_cast<float>(std::sin(x)), out = static_cast<float>(std::cos(x));
        bed.left[i] *= in, bed.right[i] *= in;
        bed.left[frames + i] *= out, bed.right[frames + i] *= out;
    }
    Stereo bus(kRate, frames);
    bus.AddBus(bed, 1.0f);
    // Distant birds: short chirp phrases at fixed moments, panned around.
    struct Call {
        double at, pitch, pan;
        int chirps;
    };
    static constexpr Call kCalls[] = {{2.5, 3200, -0.6, 3},  {7.8, 4100, 0.5, 2},  {13.1, 2800, 0.2, 4},
                                      {19.4, 3600, -0.3, 2}, {24.0, 4400, 0.7, 3}, {29.6, 3000, -0.7, 3},
                                      {35.2, 3900, 0.1, 2}};
    for (const Call& c : kCalls) {
        for (int k = 0; k < c.chirps; ++k) {
            const double len = 0.07 + 0.03 * rng.Uniform();
            Mono chirp(static_cast<size_t>(len * kRate));
            double phase = 0;
            for (size_t i = 0; i < chirp.size(); ++i) {
                const double x = static_cast<double>(i) / static_cast<double>(chirp.size());
                const double f = c.pitch * (1.0 + 0.35 * std::sin(3.14159 * x) - 0.2 * x);
                phase += synth::kTau * f / kRate;
                chirp[i] = static_cast<float>(std::sin(phase) * std::sin(3.14159 * x) * 0.05);
            }
            bus.Add(chirp, c.at + k * (0.12 + 0.05 * rng.Uniform()), 1.0f, static_cast<float>(c.pan));
        }
    }
    synth::Reverb(bus, 0.85f, 0.6f, 0.6f);
    synth::FoldLoop(bus, frames);
    return bus;
}

// [SECTION] Writing the files --------------------------------------------------------------------------------------

// Loudness of the tracks (BS.1770 integrated, LUFS, in the file): the menu theme plays alone, so it sits a few LU
// above the in-game tracks, which the effects play over; heard at the default volumes the menu and a level in play
// are then about equally loud. kMusicPeak keeps every peak clear of full scale. The ambient loop has a volume of
// its own and plays where no track competes: its peak is set.
constexpr double kMenuThemeLoudness = -13.0;
constexpr double kGameTrackLoudness = -17.0;
constexpr float kMusicPeak = 0.9f;
constexpr float kAmbientPeak = 0.6f;

bool WriteOgg(const std::string& outDir, const std::string& path, const AudioBuffer& buffer) {
    const std::vector<uint8_t> bytes = Ogg_Encode(buffer);
    if (bytes.empty()) {
        std::fprintf(stderr, "failed encoding %s\n", path.c_str());
        return false;
    }
    return Audio_WriteFile(outDir + "/" + path, bytes);
}

} // namespace

bool Music_WriteAll(const std::string& outDir) {
    std::vector<std::future<bool>> jobs;
    for (const Track& t : Tracks()) {
        jobs.push_back(std::async(std::launch::async, [&outDir, &t] {
            Stereo bus(kRate);
            const bool composed = RenderTrack(t, bus);
            AudioBuffer buffer = synth::ToBuffer(bus);
            const bool menu = &t == &Tracks().front();
            AudioGen_LevelTo(buffer, menu ? kMenuThemeLoudness : kGameTrackLoudness, kMusicPeak);
            return WriteOgg(outDir, t.path, buffer) && composed;
        }));
    }
    jobs.push_back(std::async(std::launch::async, [&outDir] {
        AudioBuffer buffer = synth::ToBuffer(RenderAmbient());
        Audio_Normalize(buffer, kAmbientPeak);
        return WriteOgg(outDir, "sounds/ambient_castle.ogg", buffer);
    }));
    bool ok = true;
    for (auto& j : jobs)
        ok = j.get() && ok;
    return ok;
}
