// Tests of src/main/screens.cpp: the order of screen hooks (also when a hook or a dialog action switches again),
// the passing and unknown screens, and the dialog manager's replace, close-during-update and flush rules, both by
// direct calls and through the real main loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/test_common.h"
#include "menus/menus.h"
#include "game/startup.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/sdl_push.h"
#include "platform/system.h"
#include "runtime_helpers.h"

namespace {

std::vector<std::string> g_log;
int g_mouseHitsSeen = -1; // the most the screen frames saw of mouse button 1 in one frame

// Recording hooks for screens 0, 1, 5 and 9; screen 5's enter switches on to 1 when g_chain is set.
bool g_chain = false;
void Enter0() { g_log.push_back("enter0"); }
void Leave0() { g_log.push_back("leave0"); }
void Frame0() {
    g_log.push_back("frame0");
    g_mouseHitsSeen = std::max(g_mouseHitsSeen, Mouse_Hit(1));
}
void Enter1() { g_log.push_back("enter1 cur=" + std::to_string(Screen_Current)); }
void Leave1() { g_log.push_back("leave1"); }
void Frame1() {
    g_log.push_back("frame1");
    g_mouseHitsSeen = std::max(g_mouseHitsSeen, Mouse_Hit(1));
}
void Enter5() {
    g_log.push_back("enter5");
    if (g_chain) Screen_Set(1);
}
void Leave5() { g_log.push_back("leave5"); }

void InstallRecorders() {
    Screens_Reset();
    Screen_Hooks[0] = {Enter0, Leave0, Frame0};
    Screen_Hooks[1] = {Enter1, Leave1, Frame1};
    Screen_Hooks[5] = {Enter5, Leave5, Frame1};
    g_log.clear();
    g_chain = false;
}

// Dialogs that record, close or replace themselves.
int g_updates = 0;
void DlgInit() { g_log.push_back("init"); }
void DlgUpdate() {
    ++g_updates;
    g_log.push_back("update");
}
void DlgDraw() { g_log.push_back("draw"); }
void DlgCloseInUpdate() {
    g_log.push_back("update-close");
    Dialog_Close();
}
void Dlg2Init() { g_log.push_back("init2"); }
void Dlg2Draw() { g_log.push_back("draw2"); }
void DlgReplaceInUpdate() {
    g_log.push_back("update-replace");
    Dialog_Open(Dlg2Init, DlgUpdate, Dlg2Draw, 0);
}
// A box's button action: close, then two screen switches in one action (as a continue box does).
void DlgActionSwitches() {
    Dialog_Close();
    Screen_Set(5);
    Screen_Set(1);
}

TEST(ScreenSet, HooksRunLeaveThenEnterThenCurrentChanges) {
    InstallRecorders();
    Screen_Set(1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"leave0", "enter1 cur=0"}));
    EXPECT_EQ(Screen_Current, 1);
}

TEST(ScreenSet, SwitchFromAnEnterHookLeavesTheHalfEnteredScreen) {
    InstallRecorders();
    g_chain = true;
    Screen_Set(5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"leave0", "enter5", "leave5", "enter1 cur=0"}));
    EXPECT_EQ(Screen_Current, 1); // the later switch stands
}

TEST(ScreenSet, SwitchFromALeaveHookLeavesOnlyOnce) {
    InstallRecorders();
    Screen_Hooks[0].leave = [] {
        g_log.push_back("leave0");
        Screen_Set(1);
    };
    Screen_Set(5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"leave0", "enter1 cur=0"}));
    EXPECT_EQ(Screen_Current, 1); // the leave hook's switch stands
}

TEST(ScreenSet, SwitchFromADialogAction) {
    InstallRecorders();
    Dialog_Open(Dialog_Nothing, DlgActionSwitches, DlgDraw, 1);
    Dialog_RunUpdate();
    Dialog_RunDraw();
    EXPECT_EQ(g_log, (std::vector<std::string>{"leave0", "enter5", "leave5", "enter1 cur=5"}));
    EXPECT_EQ(Screen_Current, 1);
    EXPECT_EQ(Dialog_Active, 0);
}

TEST(ScreenSet, PassingAndUnknownScreensShowTheMainMenuFrame) {
    Screens_Reset();
    for (const int n : {2, 3, 4, -1, 12, 99}) {
        EXPECT_EQ(Screen_HooksOf(n).frame, &MainMenu_Frame) << n;
        EXPECT_NE(Screen_HooksOf(n).enter, nullptr) << n;
    }
    Screen_Set(42);
    EXPECT_EQ(Screen_Current, 42);
    Screen_Set(0); // leaving an unknown screen runs the do-nothing hook
    EXPECT_EQ(Screen_Current, 0);
}

TEST(ScreenSet, FlushesTheKeyboardButNotTheMouse) {
    sdl_push::Fresh();
    InstallRecorders();
    sdl_push::Key(SDL_SCANCODE_A, SDLK_a, true);
    sdl_push::Text("a");
    sdl_push::Button(SDL_BUTTON_LEFT, true, 5, 6);
    sdl_push::Pump();
    Screen_Set(1);
    EXPECT_EQ(Key_Hit('A'), 0);
    EXPECT_EQ(Key_GetChar(), 0);
    EXPECT_TRUE(Key_Down('A')); // held keys stay held
    EXPECT_EQ(Mouse_Hit(1), 1); // the mouse is not the switch's to flush
    Input_Reset();
}

TEST(Dialogs, OpenFlushesKeysMouseAndTheWidgetsSnapshot) {
    sdl_push::Fresh();
    Screens_Reset();
    GUI_MouseInvalidate();
    sdl_push::Key(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    sdl_push::Button(SDL_BUTTON_LEFT, true, 5, 6);
    sdl_push::Pump();
    Dialog_Open(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(Key_Hit(VK::RETURN), 0);
    EXPECT_EQ(Key_GetChar(), 0);
    EXPECT_EQ(Mouse_Hit(1), 0);
    EXPECT_FALSE(GUI_Mouse().pressed); // the click that opened the box does not press its buttons
    EXPECT_TRUE(GUI_Mouse().down);
    Dialog_Close();
    Input_Reset();
}

TEST(Shutdown, SavesTheBoardAlsoBehindThePauseScreen) {
    Screens_Reset();
    Screen_Current = kScreenGame;
    EXPECT_EQ(Shutdown_SaveMode(), 1);
    Screen_Current = kScreenPause; // minimised during play, then closed
    Pause_Screen = kScreenGame;
    EXPECT_EQ(Shutdown_SaveMode(), 1);
    Pause_Screen = kScreenBuildMenu;
    EXPECT_EQ(Shutdown_SaveMode(), 0);
    Screen_Current = kScreenMainMenu; // the match was saved when it was left
    EXPECT_EQ(Shutdown_SaveMode(), Shutdown_NoSave);
    Screens_Reset();
}

TEST(Dialogs, OpenRunsInitAtOnceAndReplacesTheOpenOne) {
    InstallRecorders();
    Dialog_Open(DlgInit, DlgUpdate, DlgDraw, 0);
    EXPECT_EQ(Dialog_Active, 1);
    Dialog_Open(Dlg2Init, DlgUpdate, Dlg2Draw, 0);
    Dialog_RunUpdate();
    Dialog_RunDraw();
    EXPECT_EQ(g_log, (std::vector<std::string>{"init", "init2", "update", "draw2"}));
}

TEST(Dialogs, ClosedInItsUpdateIsNotDrawnOrCalledAgain) {
    InstallRecorders();
    Dialog_Open(nullptr, DlgCloseInUpdate, DlgDraw, 0); // null init counts as none
    Dialog_RunUpdate();
    Dialog_RunDraw();
    Dialog_RunUpdate();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update-close"}));
    EXPECT_EQ(Dialog_Active, 0);
    Dialog_Close(); // harmless when none is open
    EXPECT_EQ(Dialog_Active, 0);
}

// The cover belongs to one opening: a dialog that replaces it, or a close, takes it away, and none is kept while
// no dialog is open (effects would otherwise go missing under a dialog that is no longer drawn).
TEST(Dialogs, CoverLastsOneOpening) {
    InstallRecorders();
    Dialog_Close();
    Dialog_SetCover(Rect{1, 2, 3, 4});
    EXPECT_EQ(Dialog_Cover().w, 0) << "no dialog open";
    Dialog_Open(DlgInit, DlgUpdate, DlgDraw, 0);
    EXPECT_EQ(Dialog_Cover().w, 0);
    Dialog_SetCover(Rect{10, 20, 30, 40});
    const Rect c = Dialog_Cover();
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.w, c.h}), (std::vector<int>{10, 20, 30, 40}));
    Dialog_Open(Dlg2Init, DlgUpdate, Dlg2Draw, 0);
    EXPECT_EQ(Dialog_Cover().w, 0) << "the replacing dialog";
    Dialog_SetCover(Rect{10, 20, 30, 40});
    Dialog_Close();
    EXPECT_EQ(Dialog_Cover().w, 0) << "closed";
    Dialog_Open(DlgInit, DlgUpdate, DlgDraw, 0);
    EXPECT_EQ(Dialog_Cover().w, 0) << "opened again";
    Dialog_Close();
}

TEST(Dialogs, ReplacedInItsUpdateDrawsTheNewOne) {
    InstallRecorders();
    Dialog_Open(Dialog_Nothing, DlgReplaceInUpdate, DlgDraw, 0);
    Dialog_RunUpdate();
    Dialog_RunDraw();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update-replace", "init2", "draw2"}));
}

// Through the real main loop: with the flush flag the click of a frame never reaches the screen under the dialog;
// without it the screen sees it. Also the per-frame order: dialog update, screen frame, dialog draw.
class DialogLoopTest : public RuntimeTest {
  protected:
    void RunLoop(int frames, const std::string& script) {
        Sys_Init(0, nullptr);
        HarnessConfig h;
        h.headless = true;
        h.frameMs = 16;
        h.exitAfter = frames;
        h.inputScript = script;
        ASSERT_TRUE(Harness_Configure(h));
        Sys_ClearCloseRequest();
        Input_Reset();
        ASSERT_TRUE(Graphics_Open(800, 600, true));
        Main_Loop();
        Harness_Configure(HarnessConfig{});
        Sys_ClearCloseRequest();
    }
};

TEST_F(DialogLoopTest, FlushFlagSwallowsTheFramesInput) {
    for (const int flush : {1, 0}) {
        SCOPED_TRACE(flush);
        InstallRecorders();
        Dialog_Open(Dialog_Nothing, DlgUpdate, DlgDraw, flush);
        g_log.clear();
        g_mouseHitsSeen = -1;
        RunLoop(2, "2 click 1 100 100\n");
        EXPECT_EQ(g_mouseHitsSeen, flush == 1 ? 0 : 1);
        EXPECT_EQ(g_log, (std::vector<std::string>{"update", "frame0", "draw", "update", "frame0", "draw"}));
        Dialog_Close();
    }
}

// A box whose OK is a click: the action closes the box and switches twice, inside the real loop. The click never
// reaches the screen below (flush 1), the hooks run in order, and the later screen's frame runs from the next pass.
void DlgClickSwitches() {
    g_log.push_back("update");
    if (Mouse_Hit(1)) DlgActionSwitches();
}

TEST_F(DialogLoopTest, DialogActionSwitchesScreensInsideTheLoop) {
    InstallRecorders();
    Dialog_Open(Dialog_Nothing, DlgClickSwitches, DlgDraw, 1);
    g_log.clear();
    g_mouseHitsSeen = -1;
    RunLoop(3, "2 click 1 400 300\n");
    EXPECT_EQ(g_log, (std::vector<std::string>{"update", "frame0", "draw", "update", "leave0", "enter5", "leave5",
                                               "enter1 cur=5", "frame1", "frame1"}));
    EXPECT_EQ(Screen_Current, 1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(g_mouseHitsSeen, 0);
}

// A box with an OK button over a screen button at the same place. A tap (press and release inside one frame) on
// OK closes the box; with the flush flag the screen's button, updated after it in the same frame, sees nothing of it.
GUIBtnPtr g_screenBtn, g_boxBtn;
void ScreenWithButtonFrame() {
    g_log.push_back("frame0");
    if (!Dialog_Active) g_screenBtn->Update();
}
void BoxWithButtonUpdate() { g_boxBtn->Update(); }

TEST_F(DialogLoopTest, FlushKeepsABoxClickFromTheScreensButtons) {
    InstallRecorders();
    Screen_Hooks[0].frame = ScreenWithButtonFrame;
    g_screenBtn = GUIBtn::Create(1, 100, 100);
    g_screenBtn->SetHitRect(0, 0, 120, 40);
    g_screenBtn->SetCallbacks([](GUIBtn&) { g_log.push_back("screen down"); },
                              [](GUIBtn&) { g_log.push_back("screen up"); }, GUIBtn_Nothing, GUIBtn_Nothing);
    g_boxBtn = GUIBtn::Create(2, 100, 100);
    g_boxBtn->SetHitRect(0, 0, 120, 40);
    g_boxBtn->SetCallbacks(
        GUIBtn_Nothing,
        [](GUIBtn&) {
            g_log.push_back("box ok");
            Dialog_Close();
        },
        GUIBtn_Nothing, GUIBtn_Nothing);
    Dialog_Open(Dialog_Nothing, BoxWithButtonUpdate, Dialog_Nothing, 1);
    g_log.clear();
    RunLoop(4, "1 mouse 150 120\n2 down 1\n2 up 1\n");
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame0", "box ok", "frame0", "frame0", "frame0"}));
    EXPECT_EQ(Dialog_Active, 0);
    g_screenBtn.reset();
    g_boxBtn.reset();
}

int CountFrames() {
    int frames = 0;
    for (const auto& e : g_log)
        frames += e == "frame0";
    return frames;
}

// Input of frame N arrives with the flip that ends frame N - 1, where the loop looks at the keys.
TEST_F(DialogLoopTest, EscAndEHeldEndTheLoop) {
    InstallRecorders();
    RunLoop(100, "2 key 27 down\n5 key 69 down\n");
    EXPECT_EQ(CountFrames(), 4);
}

TEST_F(DialogLoopTest, WindowCloseEndsTheLoop) {
    InstallRecorders();
    RunLoop(100, "3 quit\n");
    EXPECT_EQ(CountFrames(), 2);
}

TEST_F(DialogLoopTest, EscOrEAloneDoesNotEndTheLoop) {
    InstallRecorders();
    RunLoop(6, "2 key 27 press\n3 key 69 down\n");
    EXPECT_EQ(CountFrames(), 6);
}

TEST_F(DialogLoopTest, MousePositionIsCopiedEveryFrame) {
    InstallRecorders();
    RunLoop(3, "2 mouse 123 45\n");
    EXPECT_EQ(Input_MouseX, 123);
    EXPECT_EQ(Input_MouseY, 45);
}

TEST_F(DialogLoopTest, QuitRequestedEndsTheLoop) {
    InstallRecorders();
    Screen_Hooks[0].frame = [] {
        g_log.push_back("frame0");
        Quit_Requested = 1;
    };
    Quit_Requested = 0;
    RunLoop(100, "");
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame0"}));
    Quit_Requested = 0;
}

// The loop's own pause: the screen is remembered, the game paused; the overlay darkens the game until a click, also
// when the game's frame (which runs first) has already taken the click's hit count.
TEST_F(DialogLoopTest, LoopPauseRemembersTheGameAndAClickEndsIt) {
    InstallRecorders();
    Screen_Set(1);
    Game_Paused = 0;
    g_log.clear();
    Pause_Begin();
    EXPECT_EQ(Screen_Current, kScreenPause);
    EXPECT_EQ(Pause_Screen, 1);
    EXPECT_EQ(Game_Paused, 1);
    EXPECT_EQ(Pause_ByLoop, 1);
    Pause_Begin(); // already pausing: the remembered screen stays the game
    EXPECT_EQ(Pause_Screen, 1);
    // The active window leaves the pause screen at once; the overlay stays until the click of frame 3.
    RunLoop(2, "");
    EXPECT_EQ(Screen_Current, 1);
    EXPECT_EQ(Pause_ByLoop, 1);
    // The game was never left: its frame ran again, its hooks did not.
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame1", "frame1"}));
    EXPECT_EQ(Game_Paused, 1);
    RunLoop(4, "3 mouse 400 300\n3 down 1\n3 up 1\n"); // pressed and released within one frame
    EXPECT_EQ(Pause_ByLoop, 0);
    EXPECT_EQ(Game_Paused, 0);
}

TEST_F(DialogLoopTest, OverlayOnlyForThePauseTheLoopMade) {
    InstallRecorders();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Screen_Set(1);
    const auto pixelAfterOverlay = [] {
        Draw_ResetState();
        Draw_SetClsColor(200, 200, 200);
        Draw_Cls();
        Pause_DrawOverlay();
        const Pixmap pm = Graphics_ReadPixels(10, 10, 1, 1);
        return pm.bytes.empty() ? -1 : int(pm.bytes[0]);
    };
    Game_Paused = 1; // a box paused the game
    Pause_ByLoop = 0;
    EXPECT_EQ(pixelAfterOverlay(), 200);
    Pause_ByLoop = 1; // the loop paused it
    EXPECT_EQ(pixelAfterOverlay(), 100);
    Game_Paused = 0; // something else unpaused: the overlay goes
    EXPECT_EQ(pixelAfterOverlay(), 200);
    EXPECT_EQ(Pause_ByLoop, 0);
    Draw_SetClsColor(0, 0, 0);
}

// The overlay darkens the whole game and writes the word in the game's font, centred.
TEST_F(DialogLoopTest, OverlayShowsTheWordOverTheVeil) {
    InstallRecorders();
    Incbin_RegisterBuiltin();
    Fonts_Load();
    ASSERT_TRUE(Graphics_Open(800, 600, true));
    Screen_Set(1);
    Draw_ResetState();
    Draw_SetClsColor(200, 200, 200);
    Draw_Cls();
    Game_Paused = 1;
    Pause_ByLoop = 1;
    Pause_DrawOverlay();
    const Pixmap pm = Graphics_ReadPixels(0, 0, 800, 600);
    TestPicture_ShotIfAsked("pause_overlay.png");
    int lit = 0, left = 800, right = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const uint32_t c = Pixmap_ReadPixel(pm, x, y);
            if ((c >> 16 & 255) > 200) {
                ++lit;
                left = std::min(left, x);
                right = std::max(right, x);
            } else if (y < 240 || y > 360) {
                ASSERT_LE(int(c >> 16 & 255), 101) << x << "," << y; // the veil everywhere else
            }
        }
    EXPECT_GT(lit, 200);
    EXPECT_NEAR((left + right) / 2, 400, 4); // centred
    Game_Paused = 0;
    Pause_ByLoop = 0;
    Draw_SetClsColor(0, 0, 0);
}

TEST_F(DialogLoopTest, PauseOutsideTheGameLeavesTheGameFlagAlone) {
    InstallRecorders();
    Game_Paused = 0;
    Pause_Begin();
    EXPECT_EQ(Screen_Current, kScreenPause);
    EXPECT_EQ(Game_Paused, 0);
    EXPECT_EQ(Pause_ByLoop, 0);
    Pause_End();
    EXPECT_EQ(Screen_Current, 0);
}

} // namespace
