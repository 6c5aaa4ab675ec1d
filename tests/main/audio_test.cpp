// Tests of src/main/audio.cpp on the platform mixer without a device: delayed sounds wait in game time, grouped
// requests play once, effect volume per player, the music track rules and fades, the ambient fade, silent running
// when files are missing, and what a big clear puts out over the music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "main/audio.h"
#include "main/config.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/system.h"

namespace {

// A short registered WAV so the tests do not depend on the generated sound set.
std::vector<uint8_t> Wav(int frames) {
    std::vector<uint8_t> b;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
    };
    const uint32_t data = uint32_t(frames) * 2;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(36 + data);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(1);
    put16(1);
    put32(44100);
    put32(88200);
    put16(2);
    put16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(data);
    for (int i = 0; i < frames; ++i)
        put16(uint16_t(i % 2 ? 8000 : -8000));
    return b;
}

// Runs the mixer for `ms` milliseconds of output; the largest sample magnitude.
float RenderMs(float ms) {
    std::vector<float> block(2 * 1024);
    float peak = 0;
    for (int left = int(ms * kMixerRate / 1000); left > 0; left -= 1024) {
        Mixer_Render(block.data(), std::min(left, 1024));
        for (int i = 0; i < 2 * std::min(left, 1024); ++i)
            peak = std::max(peak, std::fabs(block[size_t(i)]));
    }
    return peak;
}

class AudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Audio_Reset();
        Screens_Reset();
        Progress_Defaults();
        Player_Current = 0;
        for (const char* p : Snd_Paths)
            Incbin_Register(S(p), Wav(44100));
        for (int n = 1; n <= 5; ++n)
            Incbin_Register(u"sounds/bq2_0" + Str_FromInt(n) + u".ogg", Wav(44100));
        Incbin_Register(u"sounds/ambient_castle.ogg", Wav(44100));
        Audio_LoadSounds();
        Frame_Start();
    }
    void TearDown() override { Audio_Reset(); }
};

TEST_F(AudioTest, DelayedSoundWaitsForGameTime) {
    Snd_PlayDelayed(SND_COIN, 100.0f);
    Frame_Advance(40); // 40 ms of game time per update
    Audio_Update();
    Audio_Update();
    EXPECT_EQ(Mixer_ActiveChannels(), 0);
    Audio_Update(); // 120 ms
    EXPECT_EQ(Mixer_ActiveChannels(), 1);
    Audio_Update();
    EXPECT_EQ(Mixer_ActiveChannels(), 1); // played once
}

TEST_F(AudioTest, DelayedSoundCountsTheClampedFrameTime) {
    Snd_PlayDelayed(SND_COIN, 300.0f);
    Frame_Advance(1000); // a long stall counts as 200 ms
    Audio_Update();
    EXPECT_EQ(Mixer_ActiveChannels(), 0);
    Audio_Update(); // 400 ms
    EXPECT_EQ(Mixer_ActiveChannels(), 1);
}

TEST_F(AudioTest, DelayedSoundsBeyondTheSlotsPlayAtOnce) {
    for (int i = 0; i < kDelayedSlots; ++i)
        Snd_PlayDelayed(SND_GEM, 1000.0f);
    EXPECT_EQ(Mixer_ActiveChannels(), 0);
    Snd_PlayDelayed(SND_GEM, 1000.0f);
    EXPECT_EQ(Mixer_ActiveChannels(), 1);
}

TEST_F(AudioTest, GroupedRequestsPlayOncePerUpdate) {
    for (int i = 0; i < 12; ++i)
        Snd_PlayGrouped(SND_MATCH1, -0.5f);
    Snd_PlayGrouped(SND_EXPLODE);
    Audio_Update();
    EXPECT_EQ(Mixer_ActiveChannels(), 2);
    Audio_Update();
    EXPECT_EQ(Mixer_ActiveChannels(), 2);
}

TEST_F(AudioTest, EffectVolumeOfTheCurrentPlayer) {
    Player_Current = 4;
    Vol_Fx[4] = 0.0f;
    Mixer_StopAll();
    Snd_PlayIndex(SND_SWAP);
    std::vector<float> mix(2 * 256);
    Mixer_Render(mix.data(), 256);
    for (const float v : mix)
        ASSERT_EQ(v, 0.0f);
    Vol_Fx[4] = 1.0f;
    Snd_PlayIndex(SND_SWAP);
    Mixer_Render(mix.data(), 256);
    float peak = 0;
    for (const float v : mix)
        peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 0.1f);
    EXPECT_EQ(Snd_PlayIndex(-1), nullptr);
    EXPECT_EQ(Snd_PlayIndex(SND_COUNT), nullptr);
}

TEST_F(AudioTest, MusicTracksMenuThenGameTracksInTurn) {
    Music_SwitchTo(0);
    EXPECT_EQ(Music_Current, 0);
    EXPECT_TRUE(Channel_Playing(Music_Channel));
    EXPECT_EQ(Music_NextGameTrack(), 1);
    EXPECT_EQ(Music_NextGameTrack(), 2);
    EXPECT_EQ(Music_NextGameTrack(), 3);
    EXPECT_EQ(Music_NextGameTrack(), 4);
    EXPECT_EQ(Music_NextGameTrack(), 1);
    Music_SwitchTo(1);
    EXPECT_EQ(Music_Current, 1);
    EXPECT_EQ(Mixer_ActiveChannels(), 2); // the menu track fades out under the new one ...
    RenderMs(kMusicFadeMs - 20);
    EXPECT_EQ(Mixer_ActiveChannels(), 2);
    RenderMs(30);
    EXPECT_EQ(Mixer_ActiveChannels(), 1); // ... and then stops
    Screen_Set(kScreenShop);
    EXPECT_EQ(Music_Current, 1);
    Screen_Set(kScreenMainMenu); // back in the menu, the menu's track
    EXPECT_EQ(Music_Current, 0);
    RenderMs(kMusicFadeMs + 10);
    EXPECT_EQ(Mixer_ActiveChannels(), 1);
    // The music follows the player's volume.
    Vol_Music[0] = 0.0f;
    Audio_Update();
    RenderMs(1000.0f * kMixerLatencyFrames / kMixerRate); // what was mixed before
    std::vector<float> mix(2 * 256);
    Mixer_Render(mix.data(), 256);
    for (const float v : mix)
        ASSERT_EQ(v, 0.0f);
}

TEST_F(AudioTest, AmbientLoopFadesInOnTheCastleScreensOnly) {
    Vol_Ambient[0] = 0.5f;
    Frame_Advance(100);
    Audio_Update();
    EXPECT_EQ(Ambient_Channel, nullptr);
    Screen_Current = kScreenBuildMenu;
    Audio_Update();
    EXPECT_NEAR(Ambient_Volume, 0.05f, 1e-5);
    EXPECT_TRUE(Channel_Playing(Ambient_Channel));
    for (int i = 0; i < 20; ++i)
        Audio_Update();
    EXPECT_FLOAT_EQ(Ambient_Volume, 0.5f);
    Ambient_SetVolume(0.2f); // the options dialog
    EXPECT_FLOAT_EQ(Ambient_Volume, 0.2f);
    EXPECT_FLOAT_EQ(Ambient_Target, 0.2f);
    Screen_Current = kScreenMainMenu;
    for (int i = 0; i < 20; ++i)
        Audio_Update();
    EXPECT_FLOAT_EQ(Ambient_Volume, 0.0f);
    EXPECT_EQ(Ambient_Channel, nullptr);
}

// The loading notice is one shown frame (the loading picture), only when asked for and only when the track still
// has to be loaded; loading never starts the track.
TEST_F(AudioTest, LoadTrackShowsTheNoticeOnlyWhenItLoads) {
    Sys_Init(0, nullptr);
    HarnessConfig h;
    h.headless = true;
    h.frameMs = 16;
    ASSERT_TRUE(Harness_Configure(h));
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Incbin_RegisterBuiltin(); // the loading picture
    ::testing::internal::CaptureStdout();
    Music_LoadTrack(3, 0);
    EXPECT_EQ(Harness_FrameNumber(), 1);
    Music_LoadTrack(2, 1);
    EXPECT_EQ(Harness_FrameNumber(), 2);
    Music_LoadTrack(2, 1); // loaded already
    EXPECT_EQ(Harness_FrameNumber(), 2);
    EXPECT_NE(Music_Sounds[2], nullptr);
    EXPECT_EQ(Music_Current, -1);
    EXPECT_EQ(Mixer_ActiveChannels(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    Harness_Configure(HarnessConfig{});
}

// A big clear as the board plays it: fifteen removed pieces, each its gem sound 40 ms after the one before, over
// the in-game music, with the real sounds, at the default volumes and at the loudest the options allow. No sample
// reaches full scale (the sounds alone stay 3 dB below it), and the limiter's gain is back at 1 once the clear has
// rung out.
TEST(AudioMix, ABigClearOverTheMusicStaysBelowFullScale) {
    Audio_Reset();
    Incbin_Clear();
    Incbin_RegisterBuiltin();
    Screens_Reset();
    Progress_Defaults();
    Player_Current = 0;
    Audio_LoadSounds();
    ASSERT_TRUE(Snd_Sounds[SND_GEM]);
    for (const bool loudest : {false, true}) {
        SCOPED_TRACE(loudest ? "loudest volumes" : "default volumes");
        Vol_Fx[0] = loudest ? 1.0f : kDefaultVolFx;
        Vol_Music[0] = loudest ? 1.0f : kDefaultVolMusic;
        Music_SwitchTo(1);
        ASSERT_TRUE(Channel_Playing(Music_Channel));
        Frame_Start();
        Frame_Advance(16);
        float peak = 0;
        for (int frame = 0; frame < 60 * 3; ++frame) {
            if (frame == 30)
                for (int i = 0; i < 15; ++i)
                    Snd_PlayDelayed(SND_GEM, float(i) * 40.0f, Snd_PanAt(200 + 25 * (i % 8)));
            Audio_Update();
            peak = std::max(peak, RenderMs(16));
        }
        EXPECT_GT(peak, 0.1f) << "nothing played";
        EXPECT_LT(peak, 32767.0f / 32768.0f);
        EXPECT_LT(peak, 0.708f) << "the clear alone leaves 3 dB of room: the limiter is a net, not the level";
        EXPECT_EQ(Mixer_LimiterGain(), 1.0f);
        Mixer_StopAll();
        Music_Current = -1;
    }
    Audio_Reset();
}

TEST(AudioMissing, MissingFilesLeaveTheGameSilent) {
    Audio_Reset();
    Incbin_Clear();
    ::testing::internal::CaptureStdout();
    Audio_LoadSounds();
    Music_SwitchTo(2);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("failed loading sounds/sfx_swap.wav\r\n"), std::string::npos);
    EXPECT_NE(out.find("failed loading sounds/bq2_03.ogg\r\n"), std::string::npos);
    EXPECT_EQ(Snd_PlayIndex(SND_SWAP), nullptr);
    EXPECT_EQ(Music_Current, 2);
    Audio_Update(); // nothing to restart, no crash
    EXPECT_EQ(Mixer_ActiveChannels(), 0);
    Incbin_RegisterBuiltin(); // the other tests' files
}

} // namespace
