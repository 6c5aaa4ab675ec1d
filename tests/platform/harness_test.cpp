// The headless harness: the input-script grammar, scripted events arriving in the frame they are written for, the
// fake clock, the exit frame, screenshots, and the BQ_* environment. Drives a small loop of its own through
// Graphics_Flip, as any game loop would. Tests src/platform/harness.cpp and clock.cpp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/system.h"
#include "sdl_push.h"
#include "common/temp_folder.h"

namespace {

using namespace sdl_push;

std::string Describe(const ScriptEvent& e) {
    static const char* const kinds[] = {"mouse", "down", "up", "keydown", "keyup", "text", "wheel", "quit"};
    std::string s = std::to_string(e.frame) + " " + kinds[e.kind];
    if (e.kind == ScriptEvent::TEXT) return s + " [" + e.text + "]";
    if (e.kind == ScriptEvent::QUIT) return s;
    s += " " + std::to_string(e.a);
    if (e.kind == ScriptEvent::MOUSE) s += " " + std::to_string(e.b);
    return s;
}

std::vector<std::string> Parse(const std::string& text, std::vector<std::string>* errors = nullptr) {
    std::vector<std::string> out;
    for (const ScriptEvent& e : Harness_ParseScript(text, errors))
        out.push_back(Describe(e));
    return out;
}

TEST(ScriptGrammar, EveryVerbWithRelativeFramesCommentsAndCrLf) {
    const std::string script = "# start\r\n"
                               "\n"
                               "120 mouse 400 300\r\n"
                               "121 down 1\n"
                               "122 up 1\n"
                               "+1 click 2 10 20\n" // 123: move, press; 124: release
                               "130 click 3\n"
                               "140 key 27 down\n"
                               "141 key 27 up\n"
                               "+4 key 13 press\n" // 145 down, 146 up
                               "150 text M\xC3\xBCller und Co\n"
                               "151 wheel -1\n"
                               "  160   quit  \n"
                               "2 mouse 1 1\n"; // out of order: sorted in
    const std::vector<std::string> want = {"2 mouse 1 1",     "120 mouse 400 300",
                                           "121 down 1",      "122 up 1",
                                           "123 mouse 10 20", "123 down 2",
                                           "124 up 2",        "130 down 3",
                                           "131 up 3",        "140 keydown 27",
                                           "141 keyup 27",    "145 keydown 13",
                                           "146 keyup 13",    "150 text [M\xC3\xBCller und Co]",
                                           "151 wheel -1",    "160 quit"};
    std::vector<std::string> errors;
    EXPECT_EQ(Parse(script, &errors), want);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST(ScriptGrammar, BadLinesAreReportedByNumberAndSkipped) {
    const std::string script = "0 mouse 1 1\n"       // 1: frames start at 1
                               "x mouse 1 1\n"       // 2: not a frame
                               "5 jump\n"            // 3: unknown verb
                               "5 down 4\n"          // 4: no button 4
                               "5 key 999 down\n"    // 5: no such key code
                               "5 key 27 sideways\n" // 6
                               "5 mouse 1\n"         // 7: one coordinate
                               "5 text\n"            // 8: nothing to type
                               "5 click 1 2 y\n"     // 9: not a number
                               "6 mouse 7 8\n"       // 10: fine
                               "100000000 quit\n"    // 11: fine, the last frame there is
                               "+1 quit\n";          // 12: beyond it
    std::vector<std::string> errors;
    EXPECT_EQ(Parse(script, &errors), (std::vector<std::string>{"6 mouse 7 8", "100000000 quit"}));
    ASSERT_EQ(errors.size(), 10u);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(errors[i].rfind("line " + std::to_string(i + 1) + ":", 0), 0u) << errors[i];
    EXPECT_EQ(errors[9].rfind("line 12:", 0), 0u) << errors[9];
}

// A loop like the game's: read the input, draw, flip. Records what the game would see in each frame.
struct FrameSeen {
    int x, y, z;
    bool left, escDown;
    int leftHits, escHits;
    std::vector<int> chars;
};

std::vector<FrameSeen> RunLoop(int frames) {
    std::vector<FrameSeen> seen(1); // index 0 unused: frames count from 1
    Sys_PollEvents();               // the loop's own pump at the top of frame 1
    for (int f = 1; f <= frames && !Sys_CloseRequested(); ++f) {
        EXPECT_EQ(Harness_FrameNumber(), f);
        FrameSeen s{Mouse_X(),    Mouse_Y(),           Mouse_Z(), Mouse_Down(1), Key_Down(VK::ESCAPE),
                    Mouse_Hit(1), Key_Hit(VK::ESCAPE), {}};
        for (int c = Key_GetChar(); c; c = Key_GetChar())
            s.chars.push_back(c);
        seen.push_back(s);
        Draw_Cls();
        Graphics_Flip();
    }
    return seen;
}

class HarnessLoopTest : public ::testing::Test {
  protected:
    void Start(const HarnessConfig& extra) {
        HarnessConfig c = extra;
        c.headless = true;
        Fresh(c);
        ASSERT_TRUE(Graphics_Open(800, 600, true));
    }
    void TearDown() override {
        Graphics_Close();
        Fresh();
    }
};

TEST_F(HarnessLoopTest, ScriptedEventsArriveInTheFrameTheyAreWrittenFor) {
    HarnessConfig c;
    c.frameMs = 16;
    c.inputScript = "1 mouse 10 20\n"
                    "3 mouse 400 300\n"
                    "5 click 1 200 100\n"
                    "7 key 27 press\n"
                    "8 text \xC3\xA4"
                    "b\n"
                    "9 wheel -2\n"
                    "10 quit\n";
    Start(c);
    const std::vector<FrameSeen> s = RunLoop(20);
    ASSERT_EQ(s.size(), 10u) << "the quit injected at the start of frame 10 ends the loop before that frame runs";
    EXPECT_EQ(s[1].x, 10);
    EXPECT_EQ(s[1].y, 20);
    EXPECT_EQ(s[2].x, 10);
    EXPECT_EQ(s[3].x, 400);
    EXPECT_EQ(s[3].y, 300);
    EXPECT_FALSE(s[4].left);
    EXPECT_TRUE(s[5].left);
    EXPECT_EQ(s[5].leftHits, 1);
    EXPECT_EQ(s[5].x, 200);
    EXPECT_FALSE(s[6].left) << "a click releases in the next frame";
    EXPECT_EQ(s[6].leftHits, 0);
    EXPECT_TRUE(s[7].escDown);
    EXPECT_EQ(s[7].escHits, 1);
    EXPECT_EQ(s[7].chars, std::vector<int>{27}) << "Esc also types 27";
    EXPECT_FALSE(s[8].escDown);
    EXPECT_EQ(s[8].chars, (std::vector<int>{0xE4, 'b'}));
    EXPECT_EQ(s[9].z, -2);
    EXPECT_TRUE(Sys_CloseRequested());
}

TEST_F(HarnessLoopTest, ScriptedKeysTypeWhatARealKeyboardTypes) {
    HarnessConfig c;
    c.inputScript = "2 key 32 press\n" // Space types a blank
                    "3 key 69 press\n" // e
                    "4 key 160 down\n" // Shift held: capitals
                    "4 key 65 press\n"
                    "5 key 160 up\n"
                    "6 key 50 press\n" // 2
                    "7 key 46 press\n" // Delete types nothing
                    "8 key 8 press\n"; // Backspace types 8 through its key event
    Start(c);
    const std::vector<FrameSeen> s = RunLoop(9);
    EXPECT_EQ(s[2].chars, std::vector<int>{' '});
    EXPECT_EQ(s[3].chars, std::vector<int>{'e'});
    EXPECT_EQ(s[4].chars, std::vector<int>{'A'});
    EXPECT_EQ(s[6].chars, std::vector<int>{'2'});
    EXPECT_TRUE(s[7].chars.empty());
    EXPECT_EQ(s[8].chars, std::vector<int>{8});
}

TEST_F(HarnessLoopTest, ScriptedPointerIsInCanvasPixelsOnAScaledWindow) {
    HarnessConfig c;
    c.inputScript = "2 click 1 700 500\n";
    Start(c);
    SDL_SetWindowSize(Sdl_Window(), 1600, 1200);
    const std::vector<FrameSeen> s = RunLoop(3);
    EXPECT_EQ(s[2].x, 700);
    EXPECT_EQ(s[2].y, 500);
}

TEST_F(HarnessLoopTest, FakeClockMovesOnlyWithFlipsAndDelays) {
    HarnessConfig c;
    c.frameMs = 20;
    Start(c);
    ASSERT_TRUE(Sys_FakeClockActive());
    const int32_t t0 = Sys_Millisecs();
    const uint64_t p0 = Sys_PerfCounter();
    EXPECT_EQ(Sys_Millisecs(), t0) << "no flip, no time";
    for (int i = 0; i < 5; ++i)
        Graphics_Flip();
    EXPECT_EQ(Sys_Millisecs() - t0, 100);
    EXPECT_EQ(Harness_FrameNumber(), 6);
    Sys_Delay(250); // returns at once, the clock jumps
    EXPECT_EQ(Sys_Millisecs() - t0, 350);
    EXPECT_EQ((Sys_PerfCounter() - p0) * 1000 / Sys_PerfFrequency(), 350u);
    Sys_Delay(-5);
    EXPECT_EQ(Sys_Millisecs() - t0, 350);

    // A fresh configuration starts the same clock again: runs repeat exactly.
    Harness_Configure(c);
    EXPECT_EQ(Sys_Millisecs(), t0);
    EXPECT_EQ(Harness_FrameNumber(), 1);
}

TEST(Clock, RealClockNeverRunsBackwards) {
    Fresh();
    Sys_UseFakeClock(0);
    EXPECT_FALSE(Sys_FakeClockActive());
    int32_t last = Sys_Millisecs();
    uint64_t lastPerf = Sys_PerfCounter();
    for (int i = 0; i < 1000; ++i) {
        const int32_t now = Sys_Millisecs();
        const uint64_t perf = Sys_PerfCounter();
        EXPECT_GE(now - last, 0);
        EXPECT_GE(perf, lastPerf);
        last = now;
        lastPerf = perf;
    }
}

TEST_F(HarnessLoopTest, ExitFrameEndsTheLoopNormally) {
    HarnessConfig c;
    c.exitAfter = 4;
    Start(c);
    int frames = 0;
    while (!Sys_CloseRequested() && frames < 100) {
        Draw_Cls();
        Graphics_Flip();
        ++frames;
    }
    EXPECT_EQ(frames, 4);
}

TEST(HarnessDeathTest, LoopThatIgnoresTheExitFrameIsEndedByTheHarness) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HarnessConfig c;
            c.headless = true;
            c.exitAfter = 2;
            Fresh(c);
            for (int i = 0; i < 1000; ++i)
                Sys_OnFlip(); // a modal loop that never looks at the flag
        },
        ::testing::ExitedWithCode(3), "still runs");
}

TEST_F(HarnessLoopTest, ScreenshotsShowTheCanvasOfTheirFrame) {
    TempFolder tmp;
    HarnessConfig c;
    c.screenshots = {{1, tmp / "one.png"}, {2, tmp / "two.png"}};
    Start(c);
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Graphics_Flip(); // frame 1: black
    Draw_SetClsColor(0, 0, 255);
    Draw_Cls();
    Draw_SetBlend(BLEND_SOLID);
    Draw_SetColor(255, 0, 0);
    Draw_Rect(100, 50, 10, 10);
    Graphics_Flip(); // frame 2: blue with a red square
    Graphics_Flip(); // frame 3: nothing asked
    const PixmapPtr one = Pixmap_Load(Str_FromUtf8(tmp / "one.png"));
    const PixmapPtr two = Pixmap_Load(Str_FromUtf8(tmp / "two.png"));
    ASSERT_TRUE(one && two);
    EXPECT_EQ(two->width, 800);
    EXPECT_EQ(two->height, 600);
    EXPECT_EQ(Pixmap_ReadPixel(*one, 105, 55) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(Pixmap_ReadPixel(*two, 105, 55) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixmap_ReadPixel(*two, 99, 55) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Pixmap_ReadPixel(*two, 110, 60) & 0xFFFFFF, 0x0000FFu);
    Draw_ResetState();
}

// Drawing on demand: a frame draws only when its screenshot is due or the frame hook asks; the others draw nothing
// and leave the canvas as the last drawn frame left it, while the clock and the frame count go on.
TEST_F(HarnessLoopTest, OnDemandOnlyTheFramesLookedAtAreDrawn) {
    TempFolder tmp;
    HarnessConfig c;
    c.frameMs = 16;
    c.drawOnDemand = true;
    c.screenshots = {{2, tmp / "two.png"}};
    Start(c);
    const auto paint = [](int r, int g, int b) {
        Draw_SetClsColor(r, g, b);
        Draw_Cls();
    };
    const int32_t t0 = Sys_Millisecs();
    EXPECT_FALSE(Graphics_Drawing());
    paint(255, 0, 0);
    Graphics_Flip(); // frame 1: nothing drawn
    EXPECT_TRUE(Graphics_Drawing()) << "frame 2's screenshot is due";
    paint(0, 0, 255);
    Graphics_Flip(); // frame 2: blue, shot
    EXPECT_FALSE(Graphics_Drawing());
    paint(0, 255, 0);
    Graphics_Flip(); // frame 3: nothing drawn
    Harness_DrawThisFrame();
    EXPECT_TRUE(Graphics_Drawing());
    paint(255, 255, 0);
    Graphics_Flip(); // frame 4: asked for, yellow
    EXPECT_FALSE(Graphics_Drawing());
    EXPECT_EQ(Sys_Millisecs() - t0, 4 * 16);
    EXPECT_EQ(Harness_FrameNumber(), 5);
    const PixmapPtr two = Pixmap_Load(Str_FromUtf8(tmp / "two.png"));
    ASSERT_TRUE(two);
    EXPECT_EQ(Pixmap_ReadPixel(*two, 10, 10) & 0xFFFFFF, 0x0000FFu);
    ASSERT_TRUE(Graphics_SaveScreenshot(Str_FromUtf8(tmp / "four.png")));
    const PixmapPtr four = Pixmap_Load(Str_FromUtf8(tmp / "four.png"));
    ASSERT_TRUE(four);
    EXPECT_EQ(Pixmap_ReadPixel(*four, 10, 10) & 0xFFFFFF, 0xFFFF00u) << "frame 3's green never reached the canvas";
    // A fresh configuration draws every frame again.
    Harness_Configure(HarnessConfig{});
    EXPECT_TRUE(Graphics_Drawing());
}

class HarnessEnvTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const char* v : {"BQ_FRAME_MS", "BQ_SEED", "BQ_INPUT_SCRIPT", "BQ_SCREENSHOT", "BQ_EXIT_AFTER"})
            unsetenv(v);
        Fresh();
    }
};

TEST_F(HarnessEnvTest, VariablesConfigureTheHarness) {
    TempFolder tmp;
    { std::ofstream(tmp / "run.txt") << "3 key 32 press\n"; }
    setenv("BQ_FRAME_MS", "16", 1);
    setenv("BQ_SEED", "-5", 1);
    setenv("BQ_INPUT_SCRIPT", (tmp / "run.txt").c_str(), 1);
    setenv("BQ_SCREENSHOT", "3:a.png,7:/tmp/b c.png", 1);
    setenv("BQ_EXIT_AFTER", "9", 1);
    Sys_Init(0, nullptr);
    const HarnessConfig& c = Harness_Current();
    EXPECT_TRUE(c.headless) << "the tests run on the offscreen driver";
    EXPECT_EQ(c.frameMs, 16);
    EXPECT_TRUE(Sys_FakeClockActive());
    int32_t seed = 0;
    EXPECT_TRUE(Sys_SeedOverride(seed));
    EXPECT_EQ(seed, -5);
    EXPECT_EQ(c.inputScript, "3 key 32 press\n");
    ASSERT_EQ(c.screenshots.size(), 2u);
    EXPECT_EQ(c.screenshots[0].frame, 3);
    EXPECT_EQ(c.screenshots[0].path, std::filesystem::current_path().string() + "/a.png")
        << "relative to where the program started, not to the program folder it moves to";
    EXPECT_EQ(c.screenshots[1].path, "/tmp/b c.png");
    EXPECT_EQ(c.exitAfter, 9);
}

TEST_F(HarnessEnvTest, BadValuesAreReportedAndIgnored) {
    setenv("BQ_FRAME_MS", "fast", 1);
    setenv("BQ_SEED", "12x", 1);
    setenv("BQ_INPUT_SCRIPT", "/nonexistent/script.txt", 1);
    setenv("BQ_SCREENSHOT", "x:a.png,0:b.png,4:,5:ok.png", 1);
    setenv("BQ_EXIT_AFTER", "-1", 1);
    ::testing::internal::CaptureStdout(); // diagnostic lines, like every other
    Sys_Init(0, nullptr);
    const std::string err = ::testing::internal::GetCapturedStdout();
    const HarnessConfig& c = Harness_Current();
    EXPECT_EQ(c.frameMs, 0);
    EXPECT_FALSE(Sys_FakeClockActive());
    int32_t seed = 77;
    EXPECT_FALSE(Sys_SeedOverride(seed));
    EXPECT_EQ(seed, 77);
    EXPECT_EQ(c.inputScript, "");
    ASSERT_EQ(c.screenshots.size(), 1u);
    EXPECT_EQ(c.screenshots[0].frame, 5);
    EXPECT_EQ(c.exitAfter, 0);
    for (const char* v :
         {"BQ_FRAME_MS", "BQ_SEED", "BQ_INPUT_SCRIPT", "\"x:a.png\"", "\"0:b.png\"", "\"4:\"", "BQ_EXIT_AFTER"})
        EXPECT_NE(err.find(v), std::string::npos) << v << " not reported in:\n" << err;
}

} // namespace

TEST_F(HarnessEnvTest, ScriptIsReadOnlyFromARegularFileOfSaneSize) {
    TempFolder tmp;
    {
        std::ofstream big(tmp / "big.txt");
        big << "1 quit\n";
    }
    std::filesystem::resize_file(tmp / "big.txt", 64u << 20); // sparse: costs no disk
    alarm(30);                                                // /dev/zero would otherwise be read until memory runs out
    for (const std::string& path : {tmp.path(), std::string("/dev/zero"), tmp / "big.txt"}) {
        setenv("BQ_INPUT_SCRIPT", path.c_str(), 1);
        ::testing::internal::CaptureStdout();
        Sys_Init(0, nullptr);
        const std::string err = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(Harness_Current().inputScript, "") << path;
        EXPECT_NE(err.find("BQ_INPUT_SCRIPT"), std::string::npos) << path << " not reported in:\n" << err;
        Fresh();
    }
    alarm(0);
}
