// Tests of the level-won dialog, the high-score dialog and the in-game menu, driven through the real dialog manager
// with scripted clicks and keys: one action per frame, where each leads, the highlighted place as drawn, a damaged
// player field, the reset's answers, and the menu's slide with its deferred actions.
#include <cstdlib>

#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"

namespace {

int g_buildMenuEnters = 0, g_mainMenuEnters = 0;

class MenuDialogsTest : public MenusTest {
  protected:
    void SetUp() override {
        MenusTest::SetUp();
        MatchUnderWay();
        g_buildMenuEnters = g_mainMenuEnters = 0;
        Screen_Hooks[kScreenBuildMenu].enter = [] { ++g_buildMenuEnters; };
        Screen_Hooks[kScreenMainMenu].enter = [] { ++g_mainMenuEnters; };
        Match_EndState = 0;
        Level_TimeLeft = 60 * kSecond;
        Score = 0;
    }
};

// ---- Level-won dialog ----------------------------------------------------------------------------------------------
TEST_F(MenuDialogsTest, LevelWonNextRunsOnceWhenClickedAndKeyedInOneFrame) {
    Gems_Total = {3, 0, 12, 1, 0, 0, 7};
    Gold_AtLevelStart = 100;
    Gold = 160;
    for (size_t c = 0; c < Gem_Pictures.size(); ++c) // the build menu's pictures
        Gem_Pictures[c] = Images_Get(u"Images/GUI/BuildMenu/bm_tt" + Str_FromInt(int32_t(c)) + u".png");
    WinLose_Open();
    EXPECT_EQ(Game_Paused, 1);
    Frames(1);
    Shot("level_won");
    BuildMenu_From = 5;
    // The button's click ends in frame 3, Enter and Space arrive in the same frame.
    Run("2 click 1 400 430\n3 key 13 press\n3 key 32 press", 5);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(g_buildMenuEnters, 1);
    EXPECT_EQ(Screen_Current, kScreenBuildMenu);
    EXPECT_EQ(BuildMenu_From, 0) << "entered from the level end";
}

TEST_F(MenuDialogsTest, LevelWonLeadsToTheClosingBoxWhenTheLevelsRanOut) {
    Match_EndState = 3;
    WinLose_Open();
    Run("2 key 27 press", 3);
    EXPECT_NE(out_.find("levels ended after castles ended"), std::string::npos);
    EXPECT_EQ(g_buildMenuEnters, 0);
    ASSERT_EQ(Dialog_Active, 1) << "the levels-ended box";
    ASSERT_EQ(MsgBox_Buttons.size(), 1u);
    EXPECT_EQ(MsgBox_Buttons[0]->text, Button_Captions[9]);
}

TEST_F(MenuDialogsTest, LevelWonInRelaxedModeAndAfterBoughtTimeDrawsWithoutTheTimeLines) {
    for (int relaxed : {1, 0}) {
        Relaxed_Mode = relaxed;
        Level_TimeBought = 30 * kSecond;
        Gems_Total = {1, 1, 1, 1, 1, 1, 1}; // the row wraps
        Gold = Gold_AtLevelStart;           // nothing earned: no coin
        WinLose_Open();
        Frames(2);
        EXPECT_EQ(Dialog_Active, 1);
        Dialog_Close();
    }
}

// ---- High-score dialog ---------------------------------------------------------------------------------------------
class MenuHighScoreTest : public MenuDialogsTest {
  protected:
    void SetUp() override {
        MenuDialogsTest::SetUp();
        for (size_t i = 0; i < kHsPlaces; ++i) {
            HS_Slots[i] = HS_Slot{0, int32_t(1000 - 100 * i), 1, 5, 60};
            HS_Names[i] = u"Anna";
        }
    }
    // Yellow pixels of the table drawn alone, per row band of the row font's height.
    std::vector<int> YellowPerRow() {
        Draw_Cls();
        HighScores_Draw();
        const FontPtr previous = Draw_GetImageFont();
        Draw_SetImageFont(Font_Get(12));
        const int rowH = Text_Height(u"A");
        Draw_SetImageFont(previous);
        const Pixmap pm = Graphics_ReadPixels(0, 0, Screen_Width, Screen_Height);
        std::vector<int> rows(kHsPlaces, 0);
        for (int r = 0; r < kHsPlaces; ++r)
            for (int y = HS_Y + 170 + r * rowH; y < HS_Y + 170 + (r + 1) * rowH; ++y)
                for (int x = HS_X + 30; x < HS_X + 250; ++x) {
                    const uint32_t p = Pixmap_ReadPixel(pm, x, y);
                    if ((p >> 16 & 255) > 200 && (p >> 8 & 255) > 200 && (p & 255) < 90) ++rows[size_t(r)];
                }
        return rows;
    }
};

TEST_F(MenuHighScoreTest, AfterAGameOverTheNewEntryIsYellowAndTheFirstButtonGoesOn) {
    HighScores_Open(-1, 0);
    const std::vector<int> plain = YellowPerRow();
    HighScores_Open(2, 1);
    EXPECT_EQ(Game_Paused, 1);
    EXPECT_EQ(HS_Buttons[0]->text, Button_Captions[4]) << "Weiter";
    const std::vector<int> marked = YellowPerRow();
    Frames(1);
    Shot("highscores_mode1");
    for (int r = 0; r < kHsPlaces; ++r)
        if (r == 2)
            EXPECT_GT(marked[size_t(r)], plain[size_t(r)] + 20) << "the highlighted place is drawn in yellow";
        else
            EXPECT_EQ(marked[size_t(r)], plain[size_t(r)]) << r;
    Run("2 key 13 press", 3);
    ASSERT_EQ(Dialog_Active, 1) << "the game-over box";
    ASSERT_EQ(MsgBox_Buttons.size(), 2u);
    EXPECT_EQ(MsgBox_Buttons[0]->text, Button_Captions[2]) << "Nochmal";
}

TEST_F(MenuHighScoreTest, FromTheOptionsNothingIsMarkedAndBackReturnsToThem) {
    HighScores_Open(-1, 0);
    EXPECT_EQ(HS_Buttons[0]->text, Button_Captions[11]) << "Zurück";
    EXPECT_EQ(Game_Paused, 0);
    Run("2 click 1 354 514", 4);
    ASSERT_EQ(Dialog_Active, 1) << "the options";
    Run("2 key 27 press", 3);
    EXPECT_EQ(Dialog_Active, 0) << "the options' Escape closes them";
}

TEST_F(MenuHighScoreTest, PlayerFieldsFromADamagedFileIndexNothing) {
    HS_Slots[1].player = 99;
    HS_Slots[3].player = -7;
    HS_Slots[5].player = -1; // an empty place leaves no gap
    Player_Names[0] = Str(400, u'W');
    HighScores_Open(1, 0);
    Frames(2);
    EXPECT_EQ(Dialog_Active, 1);
}

TEST_F(MenuHighScoreTest, ResetAnsweredNoReturnsToTheSameView) {
    HighScores_Open(3, 1);
    Run("2 click 1 415 460", 4); // "Löschen"
    ASSERT_EQ(MsgBox_Buttons.size(), 2u) << "the reset box";
    Frames(1);
    Shot("highscores_reset_box");
    Run("2 click 1 413 368", 4); // "Nein"
    EXPECT_EQ(HS_Mode, 1);
    EXPECT_EQ(HS_Highlight, 3);
    EXPECT_EQ(HS_Slots[0].player, 0) << "nothing cleared";
    EXPECT_EQ(HS_Buttons[0]->text, Button_Captions[4]);
}

TEST_F(MenuHighScoreTest, ResetAtTheEndOfTheCampaignClearsAndLeadsToTheOptionsOverTheMenu) {
    Screen_Current = kScreenLevelEnd;
    HighScores_Open(0, 2);
    Frames(1);
    Shot("highscores_mode2");
    Run("2 click 1 415 460", 4);
    Run("2 click 1 292 368", 4); // "Ja"
    for (const HS_Slot& s : HS_Slots)
        EXPECT_EQ(s.player, -1);
    EXPECT_EQ(Screen_Current, kScreenMainMenu) << "the options belong over the main menu";
    ASSERT_EQ(Dialog_Active, 1) << "the options";
    Run("2 key 27 press", 3);
    EXPECT_EQ(Dialog_Active, 0);
}

TEST_F(MenuHighScoreTest, ResetAfterAGameOverLeadsToTheGameOverBox) {
    HighScores_Open(0, 1);
    HighScores_DoReset();
    EXPECT_EQ(HS_Slots[0].player, -1);
    ASSERT_EQ(MsgBox_Buttons.size(), 2u);
    EXPECT_EQ(MsgBox_Buttons[0]->text, Button_Captions[2]);
}

// ---- In-game menu --------------------------------------------------------------------------------------------------
class IGMenuTest : public MenuDialogsTest {
  protected:
    void SetUp() override {
        MenuDialogsTest::SetUp();
        Screen_Current = kScreenGame;
        Screen_Hooks[kScreenGame].frame = Dialog_Nothing; // the board is not under test
        Dialog_Open(IGMenu_Init, IGMenu_Update, IGMenu_Draw, 1);
    }
    // One update with a frame of the given length.
    static void Step(float seconds) {
        Frame_DeltaSec = seconds;
        IGMenu_Update();
    }
};

TEST_F(IGMenuTest, SlidesInPausedAndALongFrameClampsAtTheEnd) {
    EXPECT_EQ(Game_Paused, 1);
    EXPECT_FLOAT_EQ(Fade_Offset, -492);
    EXPECT_EQ(Fade_State, FADE_SLIDING_IN);
    Step(0.1f);
    EXPECT_FLOAT_EQ(Fade_Offset, -372);
    EXPECT_FLOAT_EQ(IGMenu_Buttons[0]->y, 236 - 372) << "the buttons ride with the panel";
    Step(0.5f);
    EXPECT_FLOAT_EQ(Fade_Offset, 0);
    EXPECT_EQ(Fade_State, FADE_STILL);
    EXPECT_FLOAT_EQ(IGMenu_Buttons[2]->y, 378);
    Frames(1);
    Shot("ingame_menu");
}

TEST_F(IGMenuTest, ResumeChangesNothingAndRunsOnceThroughLongFrames) {
    Score = 420;
    Lives = 2;
    Step(0.5f);
    Run("2 click 1 401 394", 3); // "Weiterspielen"
    EXPECT_EQ(Fade_State, FADE_SLIDING_OUT);
    EXPECT_EQ(Dialog_Active, 1) << "the action waits for the slide-out";
    const int serial = Dialog_Serial();
    Step(0.5f);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
    EXPECT_EQ(Dialog_Serial(), serial + 1) << "closed once";
    EXPECT_EQ(Score, 420);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_Current, 7);
    EXPECT_EQ(Screen_Current, kScreenGame);
}

TEST_F(IGMenuTest, EscapeWhileSlidingInReversesAndPlaysOn) {
    Step(0.1f);
    Run("2 key 27 press", 2);
    EXPECT_EQ(Fade_State, FADE_SLIDING_OUT);
    Frames(40);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
}

TEST_F(IGMenuTest, TheLastButtonChosenDuringTheSlideOutRuns) {
    Step(0.5f);
    IGMenu_Btn_MainMenu_LeftUp(*IGMenu_Buttons[1]);
    Step(0.1f);
    IGMenu_Btn_Restart_LeftUp(*IGMenu_Buttons[0]); // changes its mind
    Lives = 2;
    Step(0.5f);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(g_mainMenuEnters, 0);
    EXPECT_EQ(Lives, 2) << "a restart keeps the lives";
}

TEST_F(IGMenuTest, MainMenuLeavesToTheMenuWithItsMusicOnce) {
    Step(0.5f);
    Run("2 click 1 401 323", 3); // "Hauptmenü"
    for (int i = 0; i < 4; ++i)
        Step(0.5f);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(g_mainMenuEnters, 1);
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    EXPECT_EQ(Music_Current, 0);
}

} // namespace
