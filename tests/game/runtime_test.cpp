// Tests of src/main/runtime.cpp: the whole start-up run headless to the main menu (fake clock), what it writes and
// reads back, the windowed-mode refusal, a corrupt progress file, the level refresh and the small helpers.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "main/config.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "game/startup.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "main/runtime_helpers.h"

namespace {

class StartupTest : public RuntimeTest {
  protected:
    std::string ConfigFile() const { return dataDir_ + "/mm_config.txt"; }
    std::string ProgressFile() const { return dataDir_ + "/mm_config.bin"; }
};

TEST_F(StartupTest, FirstStartRunsToTheMainMenuAndWritesDefaults) {
    std::string out;
    EXPECT_EQ(RunGame(kStartupFrames + 3, "", &out), 0);
    EXPECT_EQ(Screen_Current, 0);
    // Every picture, font, sound and music track the start-up asks for is there; a first start is silent.
    EXPECT_EQ(out, "");
    EXPECT_EQ(First_Start, 1);
    // The logos were held for 6 s of (fake) time.
    EXPECT_GE(Startup_LogoMs, 6000);
    EXPECT_LT(Startup_LogoMs, 6100);
    EXPECT_NE(ReadText(ConfigFile()).find("LEVELS_COUNT=150\r\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(ProgressFile()).size(), size_t(Progress_FileSize()));
    EXPECT_TRUE(Graphics_IsOpen());
    EXPECT_EQ(Graphics_Width(), 800);
    EXPECT_EQ(Graphics_Height(), 600);
    EXPECT_EQ(activeViewPort.w, 800);
    EXPECT_EQ(activeViewPort.h, 600);
}

// What the start-up shows, frame by frame: the game's logo, the loading picture, the logo again, the studio's mark,
// then the main menu, whose sky at the top right is its background picture (the layers, the logo and the first
// start's name box lie elsewhere).
TEST_F(StartupTest, StartupShowsLogosThenTheMainMenu) {
    Incbin_RegisterBuiltin();
    const char* const pictures[] = {"Images/Start/logo_game.jpg", "Images/Start/loading.jpg",
                                    "Images/Start/logo_game.jpg", "Images/Start/logo_studio.jpg",
                                    "Images/MainMenu/mm_00.jpg"};
    for (const char* p : pictures)
        if (!Incbin_Exists(S(p))) GTEST_SKIP() << p << " is not in the archive";
    std::vector<HarnessScreenshot> shots;
    for (int f = 1; f <= 5; ++f)
        shots.push_back({f, root_ + "/shot" + std::to_string(f) + ".png"});
    ASSERT_EQ(RunGame(5, "", nullptr, shots), 0);
    for (int f = 1; f <= 5; ++f) {
        SCOPED_TRACE(pictures[f - 1]);
        const PixmapPtr shot = Pixmap_Load(S(shots[size_t(f - 1)].path));
        const PixmapPtr want = Pixmap_Load(u"incbin::" + S(pictures[f - 1]));
        ASSERT_TRUE(shot && want);
        ASSERT_EQ(shot->width, 800);
        for (int y = 5; y < 600; y += 97)
            for (int x = 3; x < 800; x += 131) {
                if (f == 5 && (x < 600 || y > 230)) continue;
                const uint32_t a = Pixmap_ReadPixel(*shot, x, y), b = Pixmap_ReadPixel(*want, x, y);
                for (int c = 0; c < 24; c += 8)
                    ASSERT_NEAR(int(a >> c & 255), int(b >> c & 255), 2) << x << "," << y;
            }
    }
}

TEST_F(StartupTest, SecondStartReadsTheFilesBack) {
    ASSERT_EQ(RunGame(kStartupFrames + 1), 0);
    // Between the runs the player changes things as the dialogs would.
    Config_SetValue(u"PLAYER3", u"Clara");
    Config_SetValue(u"PLAYER_CRT", u"3");
    Config_SetValue(u"SLOW_PC", u"1");
    Vol_Music[3] = 0.3f;
    Tutorial_Flags[3 * 45 + 7] = 1;
    Config_SaveArray(12);
    Config_SaveArray(20);
    Vol_Music[3] = 0.9f; // not saved: must not survive
    ASSERT_EQ(RunGame(kStartupFrames + 1), 0);
    EXPECT_EQ(First_Start, 0);
    EXPECT_EQ(Player_Current, 3);
    EXPECT_EQ(Player_Names[3], u"Clara");
    EXPECT_EQ(Slow_PC, 1);
    EXPECT_FLOAT_EQ(Vol_Music[3], 0.3f);
    EXPECT_EQ(Tutorial_Flags[3 * 45 + 7], 1);
    EXPECT_NE(ReadText(ConfigFile()).find("MUSIC_VOL=0.3\r\n"), std::string::npos); // the player's volume
}

TEST_F(StartupTest, CorruptProgressFileIsSetAsideAndTheGameStarts) {
    WriteText(ProgressFile(), "not a progress file");
    std::string out;
    ASSERT_EQ(RunGame(kStartupFrames + 2, "", &out), 0);
    EXPECT_EQ(Screen_Current, 0);
    EXPECT_EQ(First_Start, 1);
    EXPECT_EQ(ReadText(ProgressFile() + ".bad"), "not a progress file");
    EXPECT_EQ(ReadBytes(ProgressFile()).size(), size_t(Progress_FileSize()));
    EXPECT_NE(out.find("mm_config.bin.bad"), std::string::npos);
}

TEST_F(StartupTest, WindowedModeIsRefusedOnANarrowOrLowDesktop) {
    const struct {
        int w, h;
        bool refused;
    } cases[] = {{800, 1200, true}, {1920, 600, true}, {801, 601, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        std::filesystem::remove(ConfigFile());
        Startup_DesktopOverrideW = c.w;
        Startup_DesktopOverrideH = c.h;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunGame(kStartupFrames + 1), 0);
        const std::string err = ::testing::internal::GetCapturedStderr();
        const std::string text = ReadText(ConfigFile());
        const std::string message = "Sorry, cant run windowed in a resolution less than 1024x768, curently at " +
                                    std::to_string(c.w) + "x" + std::to_string(c.h);
        EXPECT_EQ(err.find(message) != std::string::npos, c.refused);
        EXPECT_EQ(text.find("WINDOWED_MODE=0\r\n") != std::string::npos, c.refused);
        EXPECT_EQ(Windowed_Mode, c.refused ? 0 : 1);
    }
    // Full screen is never refused.
    WriteText(ConfigFile(), "WINDOWED_MODE=0\r");
    Startup_DesktopOverrideW = 640;
    Startup_DesktopOverrideH = 480;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunGame(kStartupFrames + 1), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr().find("Sorry"), std::string::npos);
    EXPECT_EQ(Screen_Current, 0);
}

TEST_F(StartupTest, LevelRefreshDeletesItsMarkerAndSkipsMissingFiles) {
    WriteText(appDir_ + "/levels/refresh_levels", "");
    std::string out;
    ASSERT_EQ(RunGame(kStartupFrames + 1, "", &out), 0);
    EXPECT_FALSE(FileExists(appDir_ + "/levels/refresh_levels"));
    EXPECT_NE(out.find("failed loading " + appDir_ + "/levels/KV_level_001.lev\r\n"), std::string::npos);
    EXPECT_NE(out.find("KV_level_210.lev"), std::string::npos);
    EXPECT_EQ(out.find("KV_level_211.lev"), std::string::npos);
    // Without the marker nothing is looked at.
    ASSERT_EQ(RunGame(kStartupFrames + 1, "", &out), 0);
    EXPECT_EQ(out.find("KV_level_"), std::string::npos);
}

// A real level is loaded and saved again (a new file takes its place); a damaged one is left as it was, with a
// diagnostic line, and the refresh goes on to the next.
TEST_F(StartupTest, LevelRefreshRewritesValidLevelsAndSkipsDamagedOnes) {
    Incbin_RegisterBuiltin();
    std::vector<uint8_t> level;
    ASSERT_TRUE(File_ReadAll(u"incbin::levels/BQ2_level_001.lev", level));
    const std::string damaged = appDir_ + "/levels/KV_level_002.lev", good = appDir_ + "/levels/KV_level_003.lev";
    const std::vector<uint8_t> junk(level.begin(), level.begin() + 30);
    WriteBytes(damaged, junk);
    WriteBytes(good, level);
    WriteText(appDir_ + "/levels/refresh_levels", "");
    struct stat before {};
    ASSERT_EQ(stat(good.c_str(), &before), 0);
    std::string out;
    ASSERT_EQ(RunGame(kStartupFrames + 1, "", &out), 0);
    EXPECT_EQ(Screen_Current, 0);
    EXPECT_EQ(ReadBytes(damaged), junk);
    EXPECT_NE(out.find("KV_level_002.lev"), std::string::npos);
    struct stat after {};
    ASSERT_EQ(stat(good.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // written anew through a temporary file
    EXPECT_EQ(ReadBytes(good).size(), level.size());
    EXPECT_EQ(out.find("KV_level_003.lev"), std::string::npos);
}

TEST_F(StartupTest, DataFolderFallsBackToTheProgramFolder) {
    // A data base that is a file cannot hold the game's folder.
    WriteText(root_ + "/blocker", "x");
    setenv("XDG_DATA_HOME", (root_ + "/blocker").c_str(), 1);
    ::testing::internal::CaptureStdout();
    Folders_Init();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Data_Folder, App_Folder);
    EXPECT_NE(out.find("cant create data folder"), std::string::npos);
}

TEST_F(StartupTest, WindowToggleSwitchesAndStoresTheMode) {
    Config_Load();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Windowed_Mode = 1;
    Window_ToggleMode();
    EXPECT_EQ(Windowed_Mode, 0);
    EXPECT_FALSE(Graphics_Windowed());
    EXPECT_NE(ReadText(ConfigFile()).find("WINDOWED_MODE=0\r\n"), std::string::npos);
    Window_ToggleMode();
    EXPECT_EQ(Windowed_Mode, 1);
    EXPECT_TRUE(Graphics_Windowed());
    EXPECT_NE(ReadText(ConfigFile()).find("WINDOWED_MODE=1\r\n"), std::string::npos);
}

TEST_F(StartupTest, ViewPortSetsTheRecordAndClipsDrawing) {
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Draw_ResetState();
    ViewPort(100, 120, 50, 40);
    EXPECT_EQ(activeViewPort.x, 100);
    EXPECT_EQ(activeViewPort.y, 120);
    EXPECT_EQ(activeViewPort.w, 50);
    EXPECT_EQ(activeViewPort.h, 40);
    ViewPort(0, 0, 800, 600);
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    ViewPort(100, 120, 50, 40);
    Draw_SetColor(255, 255, 255);
    Draw_Rect(0, 0, 800, 600);
    ViewPort(0, 0, 800, 600);
    const Pixmap pm = Graphics_ReadPixels(0, 0, 800, 600);
    const auto red = [&](int x, int y) { return int(Pixmap_ReadPixel(pm, x, y) >> 16 & 255); };
    EXPECT_EQ(red(100, 120), 255);
    EXPECT_EQ(red(149, 159), 255);
    EXPECT_EQ(red(99, 130), 0);
    EXPECT_EQ(red(150, 130), 0);
    EXPECT_EQ(red(120, 160), 0);
}

TEST(RuntimeHelpers, TimeFormat) {
    EXPECT_EQ(Time_FormatHMS(0), u"00:00");
    EXPECT_EQ(Time_FormatHMS(59), u"00:59");
    EXPECT_EQ(Time_FormatHMS(61), u"01:01");
    EXPECT_EQ(Time_FormatHMS(3599), u"59:59");
    EXPECT_EQ(Time_FormatHMS(3600), u"1:00:00");
    EXPECT_EQ(Time_FormatHMS(36061), u"10:01:01");
    EXPECT_EQ(Time_FormatHMS(-5), u"00:00");
}

TEST(RuntimeHelpers, LogPrintEndsWithCrLf) {
    ::testing::internal::CaptureStdout();
    Log_Print(u"failed loading x.png");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed loading x.png\r\n");
}

} // namespace
