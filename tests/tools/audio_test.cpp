// Tests of the generated music and sounds (tools/assetgen_audio) as the game loads them, of the WAV and Ogg writers
// and the synthesiser (tools/assetlib/audio.*, synth.*), and that the audio generator is deterministic.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "assetlib/audio.h"
#include "assetlib/synth.h"
#include "loudness/loudness.h"
#include "platform/incbin.h"
#include "platform/sound.h"
#include "platform/stream.h"
#include "platform/strings.h"

namespace {

namespace fs = std::filesystem;

struct Track {
    const char* path;
    double seconds; // loop length the score adds up to
};
constexpr Track kTracks[] = {{"sounds/bq2_01.ogg", 72.0}, {"sounds/bq2_02.ogg", 80.0},
                             {"sounds/bq2_03.ogg", 76.8}, {"sounds/bq2_04.ogg", 80.0},
                             {"sounds/bq2_05.ogg", 75.0}, {"sounds/ambient_castle.ogg", 40.0}};

const char* const kWavs[] = {
    "Button_Click.wav",         "Message_Alert.wav",        "sounds/btn_hover.wav",   "sounds/btn_click.wav",
    "sounds/sfx_swap.wav",      "sounds/sfx_swap_back.wav", "sounds/sfx_select.wav",  "sounds/sfx_match1.wav",
    "sounds/sfx_match2.wav",    "sounds/sfx_match3.wav",    "sounds/sfx_explode.wav", "sounds/sfx_rocket.wav",
    "sounds/sfx_coin.wav",      "sounds/sfx_bottle.wav",    "sounds/sfx_freeze.wav",  "sounds/sfx_chain.wav",
    "sounds/sfx_crate.wav",     "sounds/sfx_hammer.wav",    "sounds/sfx_life.wav",    "sounds/sfx_levelwin.wav",
    "sounds/sfx_levellose.wav", "sounds/sfx_magic.wav",     "sounds/sfx_gem.wav",     "sounds/sfx_spell.wav",
    "sounds/sfx_buy.wav",       "sounds/sfx_gamble.wav"};

class EmbeddedAudio : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { Incbin_RegisterBuiltin(); }
};

// Decoded whole (Sound_Load would stream the long files), so the samples can be looked at.
SoundPtr LoadEmbedded(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!File_ReadAll(S("incbin::" + path), bytes)) return nullptr;
    return Sound_Decode(bytes.data(), bytes.size());
}

float Sample(const Sound& s, size_t frame, int channel) {
    return s.pcm[frame * static_cast<size_t>(s.channels) + static_cast<size_t>(channel)] / 32768.0f;
}

double Rms(const Sound& s, size_t from, size_t count) {
    double sum = 0;
    const size_t end = std::min(s.Frames(), from + count);
    for (size_t i = from; i < end; ++i)
        for (int c = 0; c < s.channels; ++c)
            sum += static_cast<double>(Sample(s, i, c)) * Sample(s, i, c);
    return end > from ? std::sqrt(sum / static_cast<double>((end - from) * static_cast<size_t>(s.channels))) : 0.0;
}

// Strongest pitch class (0..11) in a window: Goertzel power of each semitone from C3 to B6, summed per class.
int DominantPitchClass(const Sound& s, size_t from, size_t count) {
    std::array<double, 12> chroma{};
    for (int midi = 48; midi < 96; ++midi) {
        const double w = synth::kTau * synth::MidiFreq(midi) / s.rate, k = 2 * std::cos(w);
        double s1 = 0, s2 = 0;
        for (size_t i = from; i < from + count && i < s.Frames(); ++i) {
            const double s0 = Sample(s, i, 0) + k * s1 - s2;
            s2 = s1, s1 = s0;
        }
        chroma[static_cast<size_t>(midi % 12)] += s1 * s1 + s2 * s2 - k * s1 * s2;
    }
    return static_cast<int>(std::max_element(chroma.begin(), chroma.end()) - chroma.begin());
}

// The jump across the loop point against the signal's own 99.9th percentile step between neighbouring frames.
void ExpectSeamless(const Sound& s, const char* path) {
    std::vector<float> steps;
    for (size_t i = 1; i < s.Frames(); i += 7)
        steps.push_back(std::fabs(Sample(s, i, 0) - Sample(s, i - 1, 0)));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    const float typical = steps[steps.size() * 999 / 1000];
    for (int c = 0; c < s.channels; ++c)
        EXPECT_LE(std::fabs(Sample(s, 0, c) - Sample(s, s.Frames() - 1, c)), typical + 0.01f)
            << path << " clicks at its loop point, channel " << c;
}

} // namespace

// [SECTION] The embedded files -------------------------------------------------------------------------------------

TEST_F(EmbeddedAudio, MusicAndAmbienceDecodeToTheirLoopLengthAndLoopWithoutAClick) {
    for (const Track& t : kTracks) {
        SCOPED_TRACE(t.path);
        const SoundPtr s = LoadEmbedded(t.path);
        ASSERT_TRUE(s) << "missing or undecodable";
        EXPECT_EQ(s->channels, 2);
        EXPECT_EQ(s->rate, 44100);
        // Exactly the score's length: an encoder that pads the last block would put a gap into every loop.
        EXPECT_EQ(s->Frames(), static_cast<size_t>(std::lround(t.seconds * 44100)));
        if (std::string(t.path).find("bq2_") != std::string::npos) {
            EXPECT_GE(s->Frames(), 60u * 44100u);
        }
        ExpectSeamless(*s, t.path);
    }
}

TEST_F(EmbeddedAudio, MusicIsAudibleUnclippedAndMoreThanOneTone) {
    for (int n = 0; n < 5; ++n) {
        const Track& t = kTracks[n];
        SCOPED_TRACE(t.path);
        const SoundPtr s = LoadEmbedded(t.path);
        ASSERT_TRUE(s);
        EXPECT_GT(Rms(*s, 0, s->Frames()), 0.05) << "too quiet to be music";
        const size_t clipped = static_cast<size_t>(
            std::count_if(s->pcm.begin(), s->pcm.end(), [](int16_t v) { return v >= 32767 || v <= -32768; }));
        EXPECT_LT(clipped, 10u);
        // Melody and harmony move: the strongest pitch class of half-second windows takes several values, and no
        // second of the track is silent.
        std::set<int> classes;
        const size_t window = 22050;
        for (size_t from = 0; from + window <= s->Frames(); from += window * 4)
            classes.insert(DominantPitchClass(*s, from, window));
        EXPECT_GE(classes.size(), 4u);
        for (size_t from = 0; from + 44100 <= s->Frames(); from += 44100)
            EXPECT_GT(Rms(*s, from, 44100), 0.01) << "silent second at " << from / 44100;
    }
}

TEST_F(EmbeddedAudio, EverySoundEffectLoadsShortCleanAndClickFree) {
    for (const char* path : kWavs) {
        SCOPED_TRACE(path);
        const SoundPtr s = LoadEmbedded(path);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->rate, 44100);
        EXPECT_GT(s->Frames(), 44100u / 100);
        EXPECT_LT(s->Frames(), 44100u * 3);
        EXPECT_GT(Rms(*s, 0, s->Frames()), 0.02);
        const int16_t peak = *std::max_element(s->pcm.begin(), s->pcm.end(),
                                               [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); });
        EXPECT_LT(std::abs(peak), 32000) << "clipped";
        // Silence at both ends: starting or stopping mid-wave clicks.
        EXPECT_LT(std::fabs(Sample(*s, 0, 0)), 0.02f);
        EXPECT_LT(std::fabs(Sample(*s, s->Frames() - 1, 0)), 0.02f);
    }
}

// No effect stands out: the loudest 400 ms of each, played centred as the game plays it, is at most 1 LU above the
// median of them all (a few are softer on purpose: the hover tick, the clicks, the per-piece gem sound).
TEST_F(EmbeddedAudio, NoSoundEffectIsLouderThanTheOthers) {
    std::vector<std::pair<double, std::string>> levels;
    for (const char* path : kWavs) {
        const SoundPtr s = LoadEmbedded(path);
        ASSERT_TRUE(s) << path;
        std::vector<float> mono(s->Frames());
        for (size_t i = 0; i < mono.size(); ++i)
            mono[i] = Sample(*s, i, 0);
        levels.emplace_back(loudness::MeasureDualMono(mono, s->rate).maxMomentary, path);
    }
    std::vector<std::pair<double, std::string>> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2].first;
    for (const auto& [lufs, path] : levels)
        EXPECT_LE(lufs, median + 1.0) << path << " stands out above the others' " << median << " LUFS";
}

TEST_F(EmbeddedAudio, PathsResolveWhateverTheCaseAndSlashes) {
    std::vector<std::string> paths(std::begin(kWavs), std::end(kWavs));
    for (const Track& t : kTracks)
        paths.push_back(t.path);
    for (const std::string& p : paths) {
        std::string upper = p, backslash = ".\\" + p;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        std::replace(backslash.begin(), backslash.end(), '/', '\\');
        for (const std::string& variant : {p, upper, backslash, "./" + p})
            EXPECT_TRUE(Incbin_Exists(S("incbin::" + variant))) << variant;
    }
}

// [SECTION] Writers ------------------------------------------------------------------------------------------------

TEST(AudioWriters, WavRoundTripsThroughTheGamesDecoderWithRoundingAndClipping) {
    AudioBuffer b;
    b.rate = 22050;
    b.channels = 2;
    b.samples = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f, -3.0f, 0.25f, -0.25f, 1e-6f, -1e-6f};
    const std::vector<uint8_t> bytes = Wav_Encode(b);
    ASSERT_EQ(bytes.size(), 44u + b.samples.size() * 2);
    const SoundPtr s = Sound_Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->rate, 22050);
    EXPECT_EQ(s->channels, 2);
    const std::vector<int16_t> expected = {0, 32767, -32767, 16384, 32767, -32767, 8192, -8192, 0, 0};
    EXPECT_EQ(s->pcm, expected);
}

TEST(AudioWriters, OggKeepsTheExactFrameCountIsRepeatableAndKeepsThePitch) {
    for (const int channels : {1, 2}) {
        for (const size_t frames : {size_t(1), size_t(1000), size_t(44100 + 333)}) {
            SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(frames) + " frames");
            AudioBuffer b;
            b.channels = channels;
            for (size_t i = 0; i < frames; ++i)
                for (int c = 0; c < channels; ++c)
                    b.samples.push_back(0.5f * static_cast<float>(std::sin(synth::kTau * 440.0 * i / 44100.0)));
            const std::vector<uint8_t> first = Ogg_Encode(b), second = Ogg_Encode(b);
            ASSERT_FALSE(first.empty());
            EXPECT_EQ(first, second) << "same samples must give the same bytes";
            const SoundPtr s = Sound_Decode(first.data(), first.size());
            ASSERT_TRUE(s);
            EXPECT_EQ(s->channels, channels);
            EXPECT_EQ(s->Frames(), frames);
            if (frames > 44100) {
                EXPECT_EQ(DominantPitchClass(*s, 4410, 22050), 9); // A
            }
        }
    }
}

TEST(AudioWriters, BadInputAndUnwritablePathsFailCleanly) {
    AudioBuffer b;
    b.channels = 3; // the game plays mono and stereo only
    b.samples.assign(300, 0.1f);
    EXPECT_TRUE(Ogg_Encode(b).empty());
    b.channels = 2;
    b.rate = 0;
    EXPECT_TRUE(Ogg_Encode(b).empty());

    const fs::path dir = fs::temp_directory_path() / ("bq_audio_write_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    { std::ofstream(dir / "file") << "x"; }
    // A parent that is a file, not a folder: refused, and nothing is clobbered.
    EXPECT_FALSE(Audio_WriteFile((dir / "file" / "a.wav").string(), {1, 2, 3}));
    EXPECT_EQ(fs::file_size(dir / "file"), 1u);
    // Missing folders are made.
    EXPECT_TRUE(Audio_WriteFile((dir / "x" / "y" / "a.wav").string(), {1, 2, 3}));
    EXPECT_EQ(fs::file_size(dir / "x" / "y" / "a.wav"), 3u);
    fs::remove_all(dir);
}

// [SECTION] Synthesiser --------------------------------------------------------------------------------------------

TEST(Synth, NoteNamesMapToMidiNumbers) {
    EXPECT_EQ(synth::ParseNote("C4"), 60);
    EXPECT_EQ(synth::ParseNote("A4"), 69);
    EXPECT_EQ(synth::ParseNote("Bb3"), 58);
    EXPECT_EQ(synth::ParseNote("F#5"), 78);
    EXPECT_EQ(synth::ParseNote("C-1"), 0);
    for (const char* bad : {"", "H4", "C", "c4", "C#", "C4x", "A9"})
        EXPECT_EQ(synth::ParseNote(bad), -1) << bad;
    EXPECT_NEAR(synth::MidiFreq(69), 440.0, 1e-9);
}

TEST(Synth, PluckedStringsAreInTune) {
    // Period by autocorrelation over the first 100 ms; a string off by a sample of delay is audibly flat.
    for (const double freq : {110.0, 261.63, 880.0}) {
        const synth::Mono m = synth::Pluck(freq, 0.5, 2.0, 0.6f, 7, 44100);
        const size_t span = 4410;
        double best = -1e30;
        int bestLag = 0;
        const int lo = static_cast<int>(44100 / freq * 0.8), hi = static_cast<int>(44100 / freq * 1.2);
        for (int lag = lo; lag <= hi; ++lag) {
            double sum = 0;
            for (size_t i = 2000; i < 2000 + span; ++i)
                sum += m[i] * m[i + static_cast<size_t>(lag)];
            if (sum > best) best = sum, bestLag = lag;
        }
        EXPECT_NEAR(44100.0 / bestLag, freq, freq * 0.012) << freq;
    }
}

TEST(Synth, RetuningAFilterKeepsItsMemory) {
    // Sweeps retune every few samples; a retune that reset the state would click at each step.
    synth::Biquad steady = synth::Biquad::Bandpass(1000.0, 2.0, 44100), swept = steady;
    synth::OnePole smooth(800.0, 44100), smoothSwept = smooth;
    for (int i = 0; i < 2000; ++i) {
        const float x = static_cast<float>(std::sin(synth::kTau * 700.0 * i / 44100.0));
        if (i % 64 == 0) {
            swept.Retune(synth::Biquad::Bandpass(1000.0, 2.0, 44100));
            smoothSwept.SetCutoff(800.0, 44100);
        }
        ASSERT_EQ(steady.Process(x), swept.Process(x)) << "sample " << i;
        ASSERT_EQ(smooth.Process(x), smoothSwept.Process(x)) << "sample " << i;
    }
}

TEST(Synth, ReverbDecaysEchoRepeatsAndFoldLoopWrapsTheTailOntoTheStart) {
    synth::Stereo bus(44100, 44100);
    bus.left[0] = bus.right[0] = 1.0f;
    synth::Reverb(bus, 0.8f, 0.5f, 1.0f);
    ASSERT_GT(bus.Frames(), 44100u);
    double early = 0, late = 0;
    for (size_t i = 0; i < 22050; ++i)
        early += bus.left[i] * bus.left[i];
    for (size_t i = bus.Frames() - 22050; i < bus.Frames(); ++i)
        late += bus.left[i] * bus.left[i];
    EXPECT_GT(early, 0.0);
    EXPECT_LT(late, early * 1e-3);
    for (const float v : bus.left)
        ASSERT_TRUE(std::isfinite(v));

    synth::Stereo echo(1000, 10);
    echo.left[0] = echo.right[0] = 1.0f;
    synth::Echo(echo, 0.1, 0.5f, 0.8f, 0.02); // 100 frames left, 120 right
    ASSERT_GE(echo.Frames(), 10u + 4 * 120u) << "the repeats must fit";
    EXPECT_FLOAT_EQ(echo.left[100], 0.8f);
    EXPECT_FLOAT_EQ(echo.left[200], 0.4f);
    EXPECT_FLOAT_EQ(echo.right[120], 0.8f);
    EXPECT_FLOAT_EQ(echo.right[100], 0.0f);

    synth::Stereo loop(100, 10);
    loop.Add(synth::Mono(15, 1.0f), 0.0, 1.0f, -1.0f); // 15 frames into a 10-frame loop, full left
    synth::FoldLoop(loop, 10);
    ASSERT_EQ(loop.Frames(), 10u);
    EXPECT_NEAR(loop.left[0], 2.0f * std::sqrt(2.0f), 1e-5); // overrun frame 10 landed on frame 0
    EXPECT_NEAR(loop.left[5], 1.0f * std::sqrt(2.0f), 1e-5);
    EXPECT_NEAR(loop.right[0], 0.0f, 1e-5);
}

// [SECTION] Determinism --------------------------------------------------------------------------------------------

TEST(AudioGenerator, TwoRunsWriteTheSameBytesAsTheEmbeddedArchive) {
    const fs::path generator = fs::read_symlink("/proc/self/exe").parent_path() / "bq_assetgen_audio";
    if (!fs::exists(generator)) GTEST_SKIP() << "generator not built (prebuilt assets)";
    Incbin_RegisterBuiltin();
    const fs::path root = fs::temp_directory_path() / ("bq_audio_" + std::to_string(::getpid()));
    const auto run = [&](const char* name) {
        const fs::path out = root / name;
        const std::string cmd = "'" + generator.string() + "' '" + out.string() + "' > /dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return out;
    };
    const fs::path a = run("a"), b = run("b");
    const auto read = [](const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
    };
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(a)) {
        if (!entry.is_regular_file()) continue;
        const fs::path rel = fs::relative(entry.path(), a);
        SCOPED_TRACE(rel.string());
        const std::vector<uint8_t> bytes = read(entry.path());
        EXPECT_EQ(bytes, read(b / rel));
        const uint8_t* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(Incbin_Find(S("incbin::" + rel.string()), data, size));
        EXPECT_TRUE(size == bytes.size() && std::equal(bytes.begin(), bytes.end(), data)) << "archive differs";
        ++files;
    }
    EXPECT_EQ(files, std::size(kTracks) + std::size(kWavs));
    fs::remove_all(root);
}
