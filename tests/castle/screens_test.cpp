// The build menu and the level map driven headless through their screen hooks with scripted mouse input: the
// tutorial events in their order, a part bought by mouse and drawn, a refused purchase, the relax button, and the
// level-map cursor.
#include <gtest/gtest.h>

#include "board/rules.h"
#include "castle_helpers.h"
#include "common/test_common.h"
#include "main/assets.h"
#include "board/play.h"
#include "menus/menus.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "game/startup.h"
#include "main/screens.h"
#include "main/widgets_helpers.h" // tests/main
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"

namespace {

class CastleScreens : public ::testing::Test {
  protected:
    void SetUp() override {
        Runtime_InstallHooks(); // the screen table
        WidgetsTest_Open();
        ct::LoadScreens();
        Screens_Reset();
        Level_Current = 2;
        Gold = 0;
        Castles_Completed.fill(0);
    }
    void TearDown() override {
        ct::StopRecording();
        Screens_Reset();
    }

    // One frame of the current screen with a 16 ms frame time, then the flip.
    void Frame() {
        Frame_Advance(16);
        Screen_HooksOf(Screen_Current).frame();
        WidgetsTest_Flip();
    }
    // Enters the build menu and runs frames until its panel has slid in.
    int EnterBuildMenu(int32_t from) {
        BuildMenu_From = from;
        Screen_Set(kScreenBuildMenu);
        int frames = 0;
        while ((Fade_State != FADE_STILL || frames == 0) && frames < 200) {
            Frame();
            ++frames;
        }
        return frames;
    }
    // Pixels of the castle's area that differ between two read-backs.
    static int Changed(const Pixmap& a, const Pixmap& b) {
        int n = 0;
        for (size_t i = 0; i + 3 < a.bytes.size() && i + 3 < b.bytes.size(); i += 4)
            n += a.bytes[i] != b.bytes[i] || a.bytes[i + 1] != b.bytes[i + 1] || a.bytes[i + 2] != b.bytes[i + 2];
        return n;
    }
};

TEST_F(CastleScreens, BuildMenuReportsElevenEveryFrameSixteenPerButtonAndZeroOnceAfterALevel) {
    WidgetsTest_Script("");
    ct::StartRecording();
    const int frames = EnterBuildMenu(BM_FROM_LEVELEND);
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_GT(frames, 5) << "the panel slides in";
    // per frame: [0 once, when the slide ends] 11, 16 for buttons 0..3
    int zeros = 0, elevens = 0;
    for (size_t i = 0; i < ct::Events.size(); ++i) {
        const ct::Event& e = ct::Events[i];
        if (e.id == 0) {
            ++zeros;
            ASSERT_LT(i + 1, ct::Events.size());
            EXPECT_EQ(ct::Events[i + 1].id, 11) << "0 comes first in its frame";
            EXPECT_EQ(elevens, frames - 1) << "in the frame the slide ended";
        }
        if (e.id == 11) {
            ++elevens;
            ASSERT_LT(i + 4, ct::Events.size());
            for (int b = 0; b < 4; ++b) {
                EXPECT_EQ(ct::Events[i + 1 + b].id, 16);
                EXPECT_EQ(ct::Events[i + 1 + b].a, b);
            }
        }
    }
    EXPECT_EQ(zeros, 1);
    EXPECT_EQ(elevens, frames + 3);

    ct::Events.clear();
    EnterBuildMenu(BM_FROM_WALLPAPERS);
    Frame();
    for (const ct::Event& e : ct::Events)
        EXPECT_NE(e.id, 0) << "no event 0 from the wallpapers";
}

TEST_F(CastleScreens, APartBoughtByMouseIsPaidAndDrawn) {
    ct::FillBag(60);
    WidgetsTest_Script("");
    EnterBuildMenu(BM_FROM_LEVELEND);
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    const GUIBtn& first = *BuildMenu_PartButtons[0];
    const int32_t part = first.id;
    EXPECT_EQ(first.state & BTN_DISABLED, 0) << "lit: the bag covers it";
    TestPicture_Save("build_menu_before.png");
    const Pixmap before = Graphics_ReadPixels(0, 80, 450, 440);
    const auto gems = Gems_Total;
    const int cx = static_cast<int>(first.x) + 150, cy = static_cast<int>(first.y) + 30;
    WidgetsTest_Script("2 click 1 " + std::to_string(cx) + " " + std::to_string(cy) + "\n");
    for (int i = 0; i < 60; ++i)
        Frame(); // the click and the part settling in
    TestPicture_Save("build_menu_after.png");
    const Pixmap after = Graphics_ReadPixels(0, 80, 450, 440);
    EXPECT_EQ(Castle_Elems[static_cast<size_t>(part)]->built, 1);
    for (size_t c = 0; c < 7; ++c)
        EXPECT_EQ(Gems_Total[c], gems[c] - Castle_Elems[static_cast<size_t>(part)]->price[c]) << c;
    EXPECT_GT(Changed(before, after), 2000) << "the bought part is drawn in full, not as a ghost";
    for (const GUIBtnPtr& b : BuildMenu_PartButtons)
        EXPECT_NE(b->id, part) << "its button is gone";
}

TEST_F(CastleScreens, AClickOnAPartTheBagNoLongerCoversChangesNothing) {
    ct::FillBag(60);
    WidgetsTest_Script("");
    EnterBuildMenu(BM_FROM_LEVELEND);
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    GUIBtn& first = *BuildMenu_PartButtons[0];
    ct::FillBag(0); // the gems went elsewhere after the button was lit
    const auto gems = Gems_Total;
    const int cx = static_cast<int>(first.x) + 150, cy = static_cast<int>(first.y) + 30;
    WidgetsTest_Script("2 click 1 " + std::to_string(cx) + " " + std::to_string(cy) + "\n");
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(Gems_Total, gems);
    for (const CastleElemPtr& e : Castle_Elems)
        EXPECT_EQ(e->built, 0);
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    EXPECT_NE(BuildMenu_PartButtons[0]->state & BTN_DISABLED, 0) << "no longer lit";
}

TEST_F(CastleScreens, TheLastPartShowsTheFinishedCastleUntilTheMenuIsLeftThenTheNextCastle) {
    const Castle& first = Castles[0];
    for (size_t s = 0; s < first.storeys.size(); ++s)
        for (int32_t i : first.storeys[s])
            Castle_Elems[static_cast<size_t>(i)]->built = 1;
    const int32_t last = first.storeys.back().back();
    Castle_Elems[static_cast<size_t>(last)]->built = 0;
    Castles[0].level = static_cast<int32_t>(first.storeys.size()) - 1;
    ct::FillBag(500);
    WidgetsTest_Script("");
    EnterBuildMenu(BM_FROM_LEVELEND);
    ASSERT_EQ(BuildMenu_PartButtons.size(), 1u);
    const GUIBtn& b = *BuildMenu_PartButtons[0];
    WidgetsTest_Script("2 click 1 " + std::to_string(static_cast<int>(b.x) + 150) + " " +
                       std::to_string(static_cast<int>(b.y) + 30) + "\n");
    for (int i = 0; i < 50; ++i)
        Frame();
    EXPECT_EQ(Castle_Current, 1);
    EXPECT_EQ(Castle_JustCompleted, 0);
    EXPECT_EQ(Castle_Shown(), 0) << "the finished castle stays while its box is up";
    EXPECT_TRUE(BuildMenu_PartButtons.empty());
    TestPicture_Save("build_menu_completed.png");
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{})) << "the rest went into gold";
    EXPECT_GT(Gold, 0);
    Screen_Set(kScreenMainMenu); // the box's OK leads to the main menu and the wallpapers
    EnterBuildMenu(BM_FROM_WALLPAPERS);
    EXPECT_EQ(Castle_Shown(), 1);
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    for (const GUIBtnPtr& p : BuildMenu_PartButtons)
        EXPECT_EQ(Castle_Elems[static_cast<size_t>(p->id)]->castle, 1);
}

TEST_F(CastleScreens, RelaxOpensFromLevelSixAndPlayLeadsToTheLevelMap) {
    WidgetsTest_Script("");
    Level_Current = 5;
    EnterBuildMenu(BM_FROM_LEVELEND);
    EXPECT_NE(BuildMenu_Buttons[BM_BTN_RELAX]->state & BTN_DISABLED, 0);
    Level_Current = 6;
    BuildMenu_UpdateRelaxButton();
    EXPECT_EQ(BuildMenu_Buttons[BM_BTN_RELAX]->state & BTN_DISABLED, 0);
    const GUIBtn& play = *BuildMenu_Buttons[BM_BTN_PLAY];
    WidgetsTest_Script("2 click 1 " + std::to_string(static_cast<int>(play.x) + 40) + " " +
                       std::to_string(static_cast<int>(play.y) + 20) + "\n");
    for (int i = 0; i < 40 && Screen_Current == kScreenBuildMenu; ++i)
        Frame();
    EXPECT_EQ(Screen_Current, kScreenLevelMap) << "after the slide out";
    EXPECT_EQ(Relaxed_Mode, 0);
}

TEST_F(CastleScreens, TheLevelMapCursorWalksToTheCurrentLevelAndResets) {
    WidgetsTest_Script("");
    LevelMap_ResetCursor();
    EXPECT_EQ(LevelMap_Cursor, 1);
    Level_Current = 4;
    Screen_Set(kScreenLevelMap);
    for (int i = 0; i < 100; ++i)
        Frame();
    EXPECT_EQ(LevelMap_Cursor, 4);
    const MapPoint gemunor = LevelMap_CastlePoint(0);
    const Pixmap sketch = Graphics_ReadPixels(gemunor.x - 48, gemunor.y - 79, 96, 84);
    Castle_Current = 1; // Gemunor rebuilt: drawn in full
    Frame();
    TestPicture_Save("level_map.png");
    EXPECT_GT(Changed(sketch, Graphics_ReadPixels(gemunor.x - 48, gemunor.y - 79, 96, 84)), 1500);
    LevelMap_ResetCursor();
    EXPECT_EQ(LevelMap_Cursor, 1);
    // every level has its own point on the screen, and the lands follow the castles
    for (int32_t l = 1; l <= kLevelsPlanned; ++l) {
        const MapPoint p = LevelMap_PointOf(l);
        EXPECT_GE(p.x, 0);
        EXPECT_LT(p.x, Screen_Width);
        EXPECT_GE(p.y, 0);
        EXPECT_LT(p.y, Screen_Height);
        if (l > 1) {
            const MapPoint q = LevelMap_PointOf(l - 1);
            EXPECT_GE(std::abs(p.x - q.x) + std::abs(p.y - q.y), 8) << l;
            EXPECT_GE(LevelMap_CastleOf(l), LevelMap_CastleOf(l - 1));
        }
    }
    EXPECT_EQ(LevelMap_CastleOf(1), 0);
    EXPECT_EQ(LevelMap_CastleOf(kLevelsPlanned), kCastleCount - 1);
}

TEST_F(CastleScreens, TheCastleStandsBehindTheBoardOnceBuilt) {
    WidgetsTest_Script("");
    Draw_Cls();
    Castle_DrawGame();
    const Pixmap empty = Graphics_ReadPixels(200, 0, 400, 360);
    for (const auto& storey : Castles[0].storeys)
        for (int32_t i : storey)
            Castle_Elems[static_cast<size_t>(i)]->built = 1;
    Draw_Cls();
    Castle_DrawGame();
    TestPicture_Save("castle_behind_board.png");
    EXPECT_GT(Changed(empty, Graphics_ReadPixels(200, 0, 400, 360)), 20000);
    Castle_Hide();
}

} // namespace
