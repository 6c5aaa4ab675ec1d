// Sound: WAV and Ogg Vorbis decoding of files made here, damaged and over-long files refused, and the mixer
// rendered without a device (volume, pan, rate, cue/resume, stop, loop, fades, the limiter).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vorbis/vorbisenc.h>

#include "platform/incbin.h"
#include "platform/sound.h"
#include "platform/sound_codecs.h"
#include "common/temp_folder.h"

namespace {

void Put16(std::string& s, uint16_t v) { s.push_back(char(v & 0xFF)), s.push_back(char(v >> 8)); }
void Put32(std::string& s, uint32_t v) { Put16(s, uint16_t(v & 0xFFFF)), Put16(s, uint16_t(v >> 16)); }

// A RIFF WAVE file around raw PCM bytes.
std::string MakeWav(int channels, int rate, int bits, const std::string& pcm, bool extraChunk = false) {
    std::string w = "RIFF";
    Put32(w, 0); // patched below
    w += "WAVE";
    if (extraChunk) w += std::string("LIST\x03\0\0\0abc\0", 12); // odd length: padded
    w += "fmt ";
    Put32(w, 16);
    Put16(w, 1);
    Put16(w, uint16_t(channels));
    Put32(w, uint32_t(rate));
    Put32(w, uint32_t(rate * channels * bits / 8));
    Put16(w, uint16_t(channels * bits / 8));
    Put16(w, uint16_t(bits));
    w += "data";
    Put32(w, uint32_t(pcm.size()));
    w += pcm;
    const uint32_t riff = uint32_t(w.size() - 8);
    std::memcpy(w.data() + 4, &riff, 4);
    return w;
}

std::string Samples16(std::initializer_list<int16_t> v) {
    std::string s;
    for (const int16_t x : v)
        Put16(s, uint16_t(x));
    return s;
}

// Ogg Vorbis bytes of the given interleaved float samples, made with libvorbisenc.
std::string MakeOgg(int channels, int rate, const std::vector<float>& interleaved, int serial = 1234) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    EXPECT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.5f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    std::string out;
    ogg_page og;
    ogg_packet op, hc, hcode;
    const auto drainPages = [&](bool flush) {
        while (flush ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
            out.append(reinterpret_cast<char*>(og.header), size_t(og.header_len));
            out.append(reinterpret_cast<char*>(og.body), size_t(og.body_len));
        }
    };
    vorbis_analysis_headerout(&vd, &vc, &op, &hc, &hcode);
    ogg_stream_packetin(&os, &op);
    ogg_stream_packetin(&os, &hc);
    ogg_stream_packetin(&os, &hcode);
    drainPages(true);
    const size_t frames = interleaved.size() / size_t(channels);
    for (size_t done = 0; done <= frames;) {
        const size_t n = std::min<size_t>(1024, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0); // end of stream
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buf[c][i] = interleaved[(done + i) * size_t(channels) + size_t(c)];
            vorbis_analysis_wrote(&vd, int(n));
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                drainPages(false);
            }
        }
        if (n == 0) break;
        done += n;
    }
    drainPages(true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

SoundPtr Decode(const std::string& bytes, int flags = 0) {
    return Sound_Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), flags);
}

// A mono sound of `frames` frames holding `value` (at the mixer's rate unless told).
SoundPtr Constant(float value, size_t frames, bool loop = false, int rate = kMixerRate) {
    auto s = std::make_shared<Sound>();
    s->rate = rate;
    s->channels = 1;
    s->loop = loop;
    s->pcm.assign(frames, int16_t(std::lround(value * 32768.0f)));
    return s;
}

// What the mixer puts out for the next `frames` frames of its voices: rendered with its latency and that much of
// the output (what was waiting from before) dropped.
std::vector<float> Render(int frames) {
    std::vector<float> out(size_t(frames + kMixerLatencyFrames) * 2, 99.0f);
    Mixer_Render(out.data(), frames + kMixerLatencyFrames);
    out.erase(out.begin(), out.begin() + 2 * kMixerLatencyFrames);
    return out;
}

class Mixer : public ::testing::Test {
  protected:
    void SetUp() override { Mixer_StopAll(); }
    void TearDown() override { Mixer_StopAll(); }
};

} // namespace

TEST(SoundDecode, Wav16And8BitMonoAndStereo) {
    const SoundPtr s16 = Decode(MakeWav(2, 22050, 16, Samples16({100, -100, 32767, -32768})));
    ASSERT_TRUE(s16);
    EXPECT_EQ(s16->rate, 22050);
    EXPECT_EQ(s16->channels, 2);
    EXPECT_EQ(s16->Frames(), 2u);
    EXPECT_EQ(s16->pcm, (std::vector<int16_t>{100, -100, 32767, -32768}));
    EXPECT_FALSE(s16->loop);

    const SoundPtr s8 = Decode(MakeWav(1, 8000, 8, std::string("\x80\xff\x00", 3), true), SOUND_LOOP);
    ASSERT_TRUE(s8);
    EXPECT_EQ(s8->channels, 1);
    EXPECT_EQ(s8->pcm, (std::vector<int16_t>{0, 127 * 256, -128 * 256})); // unsigned 8-bit centred on 128
    EXPECT_TRUE(s8->loop);
}

TEST(SoundDecode, OggVorbisMonoAndStereo) {
    std::vector<float> mono(11025);
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * float(std::sin(2 * M_PI * 440.0 * double(i) / 22050.0));
    const SoundPtr m = Decode(MakeOgg(1, 22050, mono));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->rate, 22050);
    EXPECT_EQ(m->channels, 1);
    EXPECT_EQ(m->Frames(), 11025u); // every frame that went in comes out
    // Lossy, but the wave is still there: its peak is near 0.5.
    int16_t peak = 0;
    for (const int16_t v : m->pcm)
        peak = std::max<int16_t>(peak, int16_t(std::abs(v)));
    EXPECT_NEAR(peak / 32768.0, 0.5, 0.08);

    std::vector<float> stereo(2 * 4410);
    for (size_t i = 0; i < 4410; ++i)
        stereo[2 * i] = 0.3f, stereo[2 * i + 1] = -0.3f;
    const SoundPtr st = Decode(MakeOgg(2, 44100, stereo));
    ASSERT_TRUE(st);
    EXPECT_EQ(st->channels, 2);
    EXPECT_EQ(st->Frames(), 4410u);
    EXPECT_NEAR(st->pcm[2 * 2000] / 32768.0, 0.3, 0.05); // left stays left
    EXPECT_NEAR(st->pcm[2 * 2000 + 1] / 32768.0, -0.3, 0.05);
}

TEST(SoundDecode, LoadsFromEmbeddedFilesAndRefusesMissingOnes) {
    const std::string wav = MakeWav(1, 44100, 16, Samples16({1, 2, 3}));
    Incbin_Register(u"sounds/test_click.wav", std::vector<uint8_t>(wav.begin(), wav.end()));
    const SoundPtr s = Sound_Load(u"incbin::.\\Sounds\\Test_Click.WAV", SOUND_LOOP);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->loop);
    EXPECT_EQ(s->Frames(), 3u);
    EXPECT_FALSE(Sound_Load(u"incbin::sounds/none.wav"));
    EXPECT_FALSE(Sound_Load(u"/no/such/file.ogg"));
    EXPECT_FALSE(Sound_Play(nullptr));
}

TEST(SoundDecode, DamagedFilesGiveNullNeverACrash) {
    const std::string wav = MakeWav(2, 44100, 16, Samples16({1, 2, 3, 4, 5, 6}));
    for (size_t n = 0; n < wav.size(); ++n) {
        const SoundPtr s = Decode(wav.substr(0, n)); // a cut data chunk plays what is there
        if (s) {
            EXPECT_LE(s->Frames(), 3u);
        }
    }
    std::vector<float> tone(8000, 0.25f);
    const std::string ogg = MakeOgg(1, 8000, tone);
    for (size_t n = 0; n < ogg.size(); n += 7) {
        const SoundPtr s = Decode(ogg.substr(0, n));
        if (s) {
            EXPECT_LE(s->Frames(), 8000u);
        }
    }
    std::string flipped = ogg;
    srand(5);
    for (int round = 0; round < 200; ++round) {
        flipped = ogg;
        for (int k = 0; k < 8; ++k)
            flipped[size_t(rand()) % flipped.size()] = char(rand());
        Decode(flipped);
    }
    EXPECT_FALSE(Decode("RIFF\xff\xff\xff\xffWAVEfmt "));
    EXPECT_FALSE(Decode("OggS"));
    EXPECT_FALSE(Decode("ID3 not a sound"));
    EXPECT_FALSE(Sound_Decode(nullptr, 10));
    // Unsupported formats are refused rather than misread.
    EXPECT_FALSE(Decode(MakeWav(3, 44100, 16, Samples16({1, 2, 3}))));
    EXPECT_FALSE(Decode(MakeWav(1, 44100, 24, "abc")));
    EXPECT_FALSE(Decode(MakeWav(1, 0, 16, Samples16({1}))));
    std::string noData = MakeWav(1, 44100, 16, "");
    noData.resize(noData.size() - 8); // the data chunk header is gone
    EXPECT_FALSE(Decode(noData));
}

TEST(SoundDecode, ChainedStreamsPlayOnlyAtOneRate) {
    // Two links one after the other (a chained file). The same rate plays as one sound.
    const std::vector<float> tone(4800, 0.25f);
    const std::string a = MakeOgg(1, 48000, tone, 1), b = MakeOgg(1, 48000, tone, 2);
    const SoundPtr same = Decode(a + b);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->rate, 48000);
    EXPECT_EQ(same->Frames(), 9600u);
    // 48 kHz then 8 kHz: the second part would play six times too fast, so the file is refused and says why.
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(Decode(a + MakeOgg(1, 8000, std::vector<float>(800, 0.25f), 3)));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("rate"), std::string::npos);
    // Damaged chains (cut or with a flipped byte anywhere) give a sound or null; the sanitizer runs check that
    // nothing leaks on the way.
    const std::string chain = a + MakeOgg(2, 22050, std::vector<float>(2 * 2205, 0.1f), 4) + b;
    for (size_t at = 0; at < chain.size(); at += 11) {
        std::string cut = chain.substr(0, at), flipped = chain;
        flipped[at] = char(flipped[at] ^ 0x5A);
        ::testing::internal::CaptureStdout();
        const SoundPtr x = Decode(cut), y = Decode(flipped);
        ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(!x || x->Frames() <= 9600u + 2205u);
        EXPECT_TRUE(!y || y->rate > 0);
    }
}

TEST(SoundDecode, OverLongSoundsAreRefused) {
    // 8-bit mono at 1000 Hz: one byte per frame, so the limit is cheap to pass.
    const std::string pcm(size_t(1000) * kMaxSoundSeconds + 1, '\x80');
    EXPECT_FALSE(Decode(MakeWav(1, 1000, 8, pcm)));
    EXPECT_TRUE(Decode(MakeWav(1, 1000, 8, pcm.substr(1))));
}

TEST_F(Mixer, VolumeAndPanGains) {
    const ChannelPtr ch = Sound_Play(Constant(0.5f, 10000));
    ASSERT_TRUE(ch);
    auto out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    Channel_SetVolume(ch, 0.5f);
    out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.25f);
    Channel_SetPan(ch, 1.0f); // hard right
    out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.25f);
    Channel_SetPan(ch, -0.5f); // half left: right at half
    out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.125f);
    Channel_SetPan(ch, -7.0f);    // clamped to -1
    Channel_SetVolume(ch, -1.0f); // clamped to 0
    out = Render(4);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    Channel_SetDepth(ch, 10.0f); // no audible effect
    Channel_SetVolume(ch, 1.0f);
    Channel_SetPan(ch, 0.0f);
    EXPECT_FLOAT_EQ(Render(1)[0], 0.5f);
}

TEST_F(Mixer, OneShotEndsAndDoubleRateHalvesTheDuration) {
    const ChannelPtr normal = Sound_Play(Constant(0.25f, 1000));
    auto out = Render(1000);
    EXPECT_FLOAT_EQ(out[2 * 999], 0.25f);
    EXPECT_FALSE(Channel_Playing(normal));
    EXPECT_EQ(Mixer_ActiveChannels(), 0);

    const ChannelPtr fast = Sound_Play(Constant(0.25f, 1000));
    Channel_SetRate(fast, 2.0f * kMixerRate);
    out = Render(600);
    EXPECT_FLOAT_EQ(out[2 * 499], 0.25f);
    EXPECT_FLOAT_EQ(out[2 * 500], 0.0f); // done after 500 output frames
    EXPECT_FALSE(Channel_Playing(fast));
}

TEST_F(Mixer, SlowerSourceIsInterpolated) {
    auto s = std::make_shared<Sound>();
    s->rate = kMixerRate / 2; // each source frame lasts two output frames
    s->channels = 1;
    s->pcm = {0, 16384, 0};
    Sound_Play(s);
    const auto out = Render(6);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 0.25f); // half way between 0 and 0.5
    EXPECT_FLOAT_EQ(out[4], 0.5f);
    EXPECT_FLOAT_EQ(out[6], 0.25f);
}

TEST_F(Mixer, StereoSoundsKeepTheirSides) {
    auto s = std::make_shared<Sound>();
    s->channels = 2;
    s->pcm = {8192, -8192, 8192, -8192};
    Sound_Play(s);
    const auto out = Render(2);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.25f);
}

TEST_F(Mixer, CueWaitsForResumeAndStopSilencesAtOnce) {
    const ChannelPtr ch = Sound_Cue(Constant(0.5f, 100000));
    ASSERT_TRUE(ch);
    EXPECT_TRUE(Channel_Playing(ch)); // cued counts as playing
    auto out = Render(64);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[127], 0.0f);
    Channel_Resume(ch);
    out = Render(64);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    Channel_Pause(ch);
    EXPECT_FLOAT_EQ(Render(8)[0], 0.0f);
    Channel_Resume(ch);
    EXPECT_FLOAT_EQ(Render(8)[0], 0.5f);
    Channel_Stop(ch);
    EXPECT_FALSE(Channel_Playing(ch));
    EXPECT_FLOAT_EQ(Render(8)[0], 0.0f);
    Channel_Resume(ch); // a stopped channel stays stopped
    EXPECT_FALSE(Channel_Playing(ch));
    EXPECT_FLOAT_EQ(Render(8)[0], 0.0f);
    // Null channels are accepted everywhere.
    Channel_SetVolume(nullptr, 1);
    Channel_Stop(nullptr);
    EXPECT_FALSE(Channel_Playing(nullptr));
}

TEST_F(Mixer, LoopsWrapWithoutASeam) {
    // One period of a sine, looped: the output repeats exactly and its steps at the seam are ordinary steps.
    auto s = std::make_shared<Sound>();
    s->channels = 1;
    s->loop = true;
    for (int i = 0; i < 100; ++i)
        s->pcm.push_back(int16_t(std::lround(16000 * std::sin(2 * M_PI * i / 100.0))));
    const ChannelPtr ch = Sound_Play(s);
    const auto out = Render(1000);
    EXPECT_TRUE(Channel_Playing(ch));
    float maxStep = 0;
    for (int f = 0; f + 100 < 1000; ++f)
        ASSERT_FLOAT_EQ(out[2 * f], out[2 * (f + 100)]) << f;
    for (int f = 1; f < 1000; ++f)
        maxStep = std::max(maxStep, std::fabs(out[2 * f] - out[2 * (f - 1)]));
    EXPECT_LT(maxStep, 0.035f); // 2*pi*16000/100/32768 ~ 0.031
    // At a fractional rate the loop interpolates across the seam as well.
    Channel_SetRate(ch, kMixerRate * 0.37f);
    const auto slow = Render(2000);
    for (int f = 1; f < 2000; ++f)
        ASSERT_LT(std::fabs(slow[2 * f] - slow[2 * (f - 1)]), 0.035f) << f;
    Channel_Stop(ch);
}

TEST_F(Mixer, FadesRampTheSoundAndAFadeOutEndsTheChannel) {
    const ChannelPtr ch = Sound_Play(Constant(0.5f, 100000));
    Channel_FadeIn(ch, 1000.0f * 100 / kMixerRate); // 100 frames
    auto out = Render(200);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_NEAR(out[2 * 50], 0.25f, 1e-5f);
    EXPECT_NEAR(out[2 * 100], 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(out[2 * 199], 0.5f);
    Channel_FadeOut(ch, 1000.0f * 200 / kMixerRate); // 200 frames
    out = Render(300);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_NEAR(out[2 * 100], 0.25f, 1e-5f);
    EXPECT_TRUE(out[2 * 199] > 0.0f && out[2 * 199] < 0.01f);
    EXPECT_FLOAT_EQ(out[2 * 200], 0.0f);
    EXPECT_FALSE(Channel_Playing(ch));
    // A fade out of nothing (no time, or a paused channel) is a stop.
    const ChannelPtr paused = Sound_Cue(Constant(0.5f, 1000));
    Channel_FadeOut(paused, 100.0f);
    EXPECT_FALSE(Channel_Playing(paused));
}

TEST_F(Mixer, LoudSumsAreLimitedBelowFullScaleByAGainThatGlides) {
    // A quiet looping tone, and 0.2 s of a loud one on top (peaks of 1.6 together): the output never reaches the
    // ceiling, the gain glides down and back, and while it is held the wave keeps its shape (scaled, not cut).
    const auto sine = [](float amp, size_t frames, double period, bool loop) {
        auto s = std::make_shared<Sound>();
        s->loop = loop;
        for (size_t i = 0; i < frames; ++i)
            s->pcm.push_back(int16_t(std::lround(32767 * amp * std::sin(2 * M_PI * double(i) / period))));
        return s;
    };
    Sound_Play(sine(0.1f, 100, 100, true));
    const ChannelPtr loud = Sound_Play(sine(0.75f, kMixerRate / 5, 441, false));
    Channel_SetVolume(loud, 2.0f);
    std::vector<float> out, gains;
    float frame[2];
    for (int f = 0; f < kMixerRate * 3 / 2; ++f) {
        Mixer_Render(frame, 1);
        out.push_back(frame[0]);
        gains.push_back(Mixer_LimiterGain());
    }
    float peak = 0, least = 1, steepest = 0;
    for (size_t f = 0; f < out.size(); ++f) {
        peak = std::max(peak, std::fabs(out[f]));
        least = std::min(least, gains[f]);
        if (f > 0) steepest = std::max(steepest, std::fabs(gains[f] - gains[f - 1]));
    }
    EXPECT_LT(peak, 0.8913f) << "above -1 dBFS";
    EXPECT_NEAR(least, 0.891f / 1.6f, 0.02f) << "the reduction the loudest frames need, no more";
    EXPECT_LE(steepest, (1 - least) / kMixerLatencyFrames * 1.01f) << "the gain jumps";
    // Half way through the loud part the gain is steady and the output is the input wave times it.
    const size_t mid = kMixerRate / 10 + kMixerLatencyFrames;
    for (size_t f = mid; f < mid + 441; ++f) {
        const double t = double(f - kMixerLatencyFrames);
        const double in = 1.5 * std::sin(2 * M_PI * t / 441) + 0.1 * std::sin(2 * M_PI * t / 100);
        ASSERT_NEAR(out[f], gains[f] * in, 2e-3) << f;
    }
    // The loud tone ends after 0.2 s: the gain comes back gradually (still below 1 after 20 ms) and reaches 1.
    const size_t end = kMixerRate / 5 + kMixerLatencyFrames;
    EXPECT_LT(gains[end + kMixerRate / 50], 0.9f);
    EXPECT_EQ(gains.back(), 1.0f);
    Mixer_StopAll();
    EXPECT_EQ(Mixer_LimiterGain(), 1.0f);
}

TEST_F(Mixer, VoicesAreBoundedWhenNothingRenders) {
    // Headless without a device nothing calls the mixer: the oldest one-shot voices give way, loops survive.
    const ChannelPtr music = Sound_Play(Constant(0.1f, 100, true));
    const ChannelPtr first = Sound_Play(Constant(0.1f, 100));
    ChannelPtr last;
    for (int i = 0; i < 1000; ++i)
        last = Sound_Play(Constant(0.1f, 100));
    EXPECT_LE(Mixer_ActiveChannels(), 128);
    EXPECT_TRUE(Channel_Playing(music));
    EXPECT_FALSE(Channel_Playing(first));
    EXPECT_TRUE(Channel_Playing(last));
}

TEST(Audio, NoDeviceIsNotAnError) {
    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_FALSE(Audio_Init());
    EXPECT_FALSE(Audio_HasDevice());
    const ChannelPtr ch = Sound_Play(Constant(0.5f, 10)); // the game goes on silently
    EXPECT_TRUE(Channel_Playing(ch));
    Audio_Shutdown();
    if (old)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    // With the dummy driver a device opens and closes again.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(Audio_Init());
    EXPECT_TRUE(Audio_HasDevice());
    Audio_Shutdown();
    EXPECT_FALSE(Audio_HasDevice());
    if (old)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

// [SECTION] Streamed music -----------------------------------------------------------------------------------------

namespace {

// Ogg bytes of a stereo piece just over the streaming threshold: a slow sweep on the left, a steady tone on the
// right, so every frame differs from its neighbours and a misplaced sample shows.
std::string SweepOgg(size_t frames) {
    std::vector<float> pcm(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 44100.0;
        pcm[2 * i] = float(0.4 * std::sin(2 * M_PI * (200.0 + 40.0 * t) * t));
        pcm[2 * i + 1] = float(0.3 * std::sin(2 * M_PI * 523.25 * t));
    }
    return MakeOgg(2, 44100, pcm);
}
const std::string& LongOgg() {
    static const std::string ogg = SweepOgg(size_t(kStreamMinSeconds) * 44100 + 12345);
    return ogg;
}

// What the mixer puts out for `sound` alone, at `rate` (0: the sound's own), over `frames` frames.
std::vector<float> MixAlone(const SoundPtr& sound, int frames, float rate = 0) {
    Mixer_StopAll();
    const ChannelPtr ch = Sound_Play(sound);
    EXPECT_TRUE(ch);
    if (rate > 0) Channel_SetRate(ch, rate);
    std::vector<float> out(size_t(frames) * 2);
    for (int done = 0; done < frames; done += 1024)
        Mixer_Render(out.data() + size_t(done) * 2, std::min(1024, frames - done));
    Mixer_StopAll();
    return out;
}

} // namespace

TEST_F(Mixer, StreamedMusicPlaysAndLoopsToTheSamplesOfTheDecodedTrack) {
    const std::string& ogg = LongOgg();
    const SoundPtr decoded = Decode(ogg, SOUND_LOOP);
    ASSERT_TRUE(decoded);
    TempFolder tmp;
    { std::ofstream(tmp / "music.ogg", std::ios::binary) << ogg; }
    Incbin_Register(u"sounds/long.ogg", std::vector<uint8_t>(ogg.begin(), ogg.end()));
    for (const Str& path : {Str(u"incbin::sounds/long.ogg"), Str_FromUtf8(tmp / "music.ogg")}) {
        SCOPED_TRACE(Str_ToUtf8(path));
        const SoundPtr streamed = Sound_Load(path, SOUND_LOOP);
        ASSERT_TRUE(streamed);
        ASSERT_TRUE(streamed->stream) << "long Ogg files are streamed";
        EXPECT_TRUE(streamed->pcm.empty());
        EXPECT_EQ(streamed->Frames(), decoded->Frames());
        EXPECT_EQ(streamed->channels, 2);
        // Two and a half passes: both loop points must join exactly as the decoded track's do, also resampled.
        const int frames = int(decoded->Frames() * 5 / 2);
        for (const float rate : {0.0f, 33075.0f, 88200.0f}) {
            SCOPED_TRACE(rate);
            const std::vector<float> want = MixAlone(decoded, frames, rate);
            const std::vector<float> got = MixAlone(streamed, frames, rate);
            size_t differ = 0;
            for (size_t i = 0; i < want.size(); ++i)
                differ += want[i] != got[i];
            EXPECT_EQ(differ, 0u);
        }
    }
    // A one-shot stream ends after its frames like a decoded sound.
    const SoundPtr once = Sound_Load(u"incbin::sounds/long.ogg");
    const ChannelPtr ch = Sound_Play(once);
    std::vector<float> out(2048);
    for (size_t done = 0; done < once->Frames() + 2048; done += 1024)
        Mixer_Render(out.data(), 1024);
    EXPECT_FALSE(Channel_Playing(ch));
    // Short Ogg files stay decoded.
    const std::string shortOgg = MakeOgg(1, 8000, std::vector<float>(8000, 0.25f));
    Incbin_Register(u"sounds/short.ogg", std::vector<uint8_t>(shortOgg.begin(), shortOgg.end()));
    const SoundPtr small = Sound_Load(u"incbin::sounds/short.ogg");
    ASSERT_TRUE(small);
    EXPECT_FALSE(small->stream);
}

TEST_F(Mixer, StreamedChainsFollowTheRulesOfTheWholeDecoder) {
    // Streamed from any length (threshold 0): a chain at one rate plays and loops as the decoded chain does, across
    // the change of channel count; a chain that changes its rate is refused at load, as a whole decode refuses it.
    const std::string a = MakeOgg(1, 44100, std::vector<float>(3000, 0.25f), 1);
    const std::string b = MakeOgg(2, 44100, std::vector<float>(2 * 2000, -0.125f), 2);
    const auto load = [](const std::string& ogg) {
        auto bytes = std::make_shared<SoundStream>();
        bytes->file.copy.assign(ogg.begin(), ogg.end());
        bytes->file.data = bytes->file.copy.data();
        bytes->file.size = bytes->file.copy.size();
        SoundPtr s = Ogg_Load(bytes, 0);
        if (s) s->loop = true;
        return s;
    };
    const SoundPtr streamed = load(a + b), decoded = Decode(a + b, SOUND_LOOP);
    ASSERT_TRUE(streamed && decoded);
    ASSERT_TRUE(streamed->stream);
    EXPECT_EQ(streamed->Frames(), 5000u);
    EXPECT_EQ(streamed->Frames(), decoded->Frames());
    EXPECT_EQ(MixAlone(streamed, 12000), MixAlone(decoded, 12000));
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(load(a + MakeOgg(1, 8000, std::vector<float>(800, 0.25f), 3)));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("rate"), std::string::npos);
}

TEST_F(Mixer, DamagedStreamsSayItOnceAndNeverCrashTheMixer) {
    // Three times the streaming threshold, so that what is left around the damage still streams.
    const std::string ogg = SweepOgg(size_t(kStreamMinSeconds) * 3 * 44100);
    // Garbage in the middle, a file cut short, and everything after the headers overwritten.
    std::string middle = ogg, tail = ogg;
    for (size_t i = middle.size() / 2; i < middle.size() / 2 + 3000; ++i)
        middle[i] = char(i * 37);
    for (size_t i = 6000; i < tail.size(); ++i)
        tail[i] = char(i * 91);
    std::string cut = ogg.substr(0, ogg.size() * 3 / 5);
    int index = 0;
    for (const std::string* bytes : {&middle, &cut, &tail}) {
        SCOPED_TRACE(index);
        const Str name = u"sounds/damaged" + Str_FromInt(index++) + u".ogg";
        Incbin_Register(name, std::vector<uint8_t>(bytes->begin(), bytes->end()));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const SoundPtr s = Sound_Load(u"incbin::" + name, SOUND_LOOP);
        ChannelPtr ch;
        if (s) {
            ch = Sound_Play(s);
            const SoundPtr again = s; // a second channel on the same damaged file says nothing new
            const ChannelPtr second = Sound_Play(again);
            std::vector<float> out(2048);
            for (int i = 0; i < 800; ++i) { // about 18 s: several passes
                Mixer_Render(out.data(), 1024);
                for (const float v : out)
                    ASSERT_TRUE(v >= -1.0f && v <= 1.0f);
            }
        }
        const std::string said = testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        if (!s) {
            EXPECT_NE(said, "") << "a refused file says why";
            continue;
        }
        if (bytes == &middle) {
            ASSERT_TRUE(s->stream) << s->Frames();
            EXPECT_NE(said.find("Ogg stream damaged"), std::string::npos);
            EXPECT_TRUE(Channel_Playing(ch)) << "damaged music goes on looping";
        }
        EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
        Mixer_StopAll();
    }
}
