// Tests of src/menus/main_menu.cpp and birds.cpp: when the name box opens, Start without and with a saved match, the
// button panel hidden under a box, the buttons that open the other dialogs, and the birds' count, size, speed and
// order.
#include <gtest/gtest.h>

#include "board/level_file.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "common/test_common.h"
#include "main/assets.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus_helpers.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/stream.h"

namespace {

using MainMenuTest = MenusTest;

TEST_F(MainMenuTest, TheNameBoxOpensWhenNoSlotIsInUseEvenAfterTheFirstStart) {
    First_Start = 0;
    Player_Used.fill(0);
    Screen_Set(kScreenMainMenu);
    Frames(1);
    EXPECT_EQ(Dialog_Active, 1);
    EXPECT_EQ(NameBox_Mode, 0);
    Dialog_Close();
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Frames(1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(MainMenu_UserButton->text, u"Spieler Anna");
}

TEST_F(MainMenuTest, StartWithoutASavedMatchPlaysLevelOneAndTheFirstStartIgnoresIt) {
    static GUIBtn none;
    Level_Current = 9;
    MainMenu_Btn_Relaxed_LeftUp(none); // First_Start 1, nothing saved: ignored
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    EXPECT_EQ(Level_Current, 9);
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Script("2 click 1 671 270"); // "Leichtes Spiel"
    Frames(4);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Relaxed_Mode, 1);
    EXPECT_EQ(Level_Current, 1);
    EXPECT_EQ(Player_LastLevel[0], 1);
    EXPECT_EQ(Match_Continued, 1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Level_StartMode, 0);
    EXPECT_EQ(Level_Path, u"incbin::levels/BQ2_level_001.lev") << "Start loads level 1 (Game_Start)";
    EXPECT_GT(Board_Cols, 0);
    EXPECT_EQ(Match_Exists(), 1);
}

// The button that starts a match leaves the menu halfway through its frame: the leave hook lets the pictures' textures
// go, the rest of the frame makes some again (the captions' glyph atlases too), and they go again at its end, so that
// play never holds the menu's pictures beside its own. Back at the menu its first frame makes them again.
TEST_F(MainMenuTest, StartingAMatchKeepsNoMenuPictureMadeAndTheMenuMakesThemOnReturn) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Frames(2);
    EXPECT_GE(MainMenu_PicturesMade(), 5) << "shown: made";
    const FontPtr caption = MainMenu_Buttons.back()->font; // "Ende", drawn after the Start button's update
    EXPECT_TRUE(ImageFont_HasTexture(caption));
    Script("2 click 1 671 270"); // "Leichtes Spiel"
    Frames(4);
    ASSERT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(MainMenu_PicturesMade(), 0);
    EXPECT_FALSE(ImageFont_HasTexture(caption));
    Frames(2);
    EXPECT_EQ(MainMenu_PicturesMade(), 0) << "the game's frames make none of them";
    Screen_Set(kScreenMainMenu);
    Frames(1);
    EXPECT_GE(MainMenu_PicturesMade(), 5);
}

// With a saved match, Start asks first (Match_Exists); the box's "Ja" goes on with the saved level and score, in
// the mode of the button pressed (timed), not the saved match's (relaxed), and the saved match says so too.
TEST_F(MainMenuTest, StartWithASavedMatchAsksAndContinuesIt) {
    NamePlayer0("Anna");
    Match_TakeUp(); // a match played in this run
    Level_Current = 3;
    Score = 1234;
    Lives = 2;
    Relaxed_Mode = 1;
    Match_Save(3, 0);
    Relaxed_Mode = 0;
    Level_Current = 1;
    Score = 0;
    Screen_Set(kScreenMainMenu);
    Script("2 click 1 671 173"); // "Start"
    Frames(4);
    ASSERT_EQ(Dialog_Active, 1) << "the continue-or-new box";
    EXPECT_EQ(Screen_Current, kScreenMainMenu);
    Script("2 click 1 292 368"); // "Ja"
    Frames(4);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_StartMode, 2);
    EXPECT_EQ(Level_Current, 3);
    EXPECT_EQ(Score, 1234);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_Path, u"incbin::levels/BQ2_level_003.lev");
    EXPECT_EQ(Relaxed_Mode, 0) << "Start plays timed";
    Relaxed_Mode = 1;
    Match_Load();
    EXPECT_EQ(Relaxed_Mode, 0) << "the saved match records the button's mode";
}

// A match saved in the middle of a level (the game closed there) goes on on its board: Start writes the record
// again for the button's mode, and that keeps the board snapshot and the time left (before, the level started anew).
TEST_F(MainMenuTest, StartWithAMatchSavedMidLevelContinuesItsBoard) {
    NamePlayer0("Anna");
    Match_TakeUp();
    Level_Current = 3;
    Game_Start(0);
    Frames(60);
    const auto kinds = [] {
        std::vector<int32_t> out;
        for (int32_t r = 0; r < Board_Rows; ++r)
            for (int32_t c = 0; c < Board_Cols; ++c)
                out.push_back(Board_Cells[c][r].Piece ? Board_Cells[c][r].Piece->Kind : -1);
        return out;
    };
    Board_Cells[1][1].Piece->Golden = 1; // a mark only the record keeps
    Level_TimeLeft = 77000000;
    const auto before = kinds();
    Match_Save(3, 1);
    ASSERT_EQ(File_Type(Match_SnapshotPath()), 1);
    Level_LoadByNumber(5); // something else meanwhile
    Level_TimeLeft = 0;
    Screen_Set(kScreenMainMenu);
    Script("2 click 1 671 173"); // "Start"
    Frames(4);
    ASSERT_EQ(Dialog_Active, 1) << "the continue-or-new box";
    Script("2 click 1 292 368"); // "Ja"
    Frames(4);
    EXPECT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_Current, 3);
    EXPECT_EQ(kinds(), before);
    EXPECT_EQ(Board_Cells[1][1].Piece ? Board_Cells[1][1].Piece->Golden : 0, 1);
    EXPECT_GT(Level_TimeLeft, 76000000) << "the time left, not a new level's";
}

TEST_F(MainMenuTest, ThePanelAndButtonsHideUnderAnOpenBox) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    MMBird_Timer = 1000000; // no bird in the way
    Frames(1);
    const uint32_t withPanel = TestCanvas_Pixel(671, 173); // the middle of "Start"
    MsgBox_Quit_Open();
    Frames(1);
    EXPECT_NE(TestCanvas_Pixel(671, 173), withPanel);
}

TEST_F(MainMenuTest, OptionsAndWallpapersOpenTheirDialogs) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Tips_Tip20Delay = 5000;
    Wallpapers_FromLevel = 1;
    Script("2 click 1 670 422"); // "Optionen"
    Frames(4);
    EXPECT_EQ(Dialog_Active, 1);
    EXPECT_EQ(Tips_Tip20Delay, 0) << "the delayed menu tip is cancelled";
    Dialog_Close();
    Script("2 click 1 671 375"); // "Wallpaper"
    Frames(4);
    EXPECT_EQ(Dialog_Active, 1);
    EXPECT_EQ(Wallpapers_FromLevel, 0);
}

// ---- Birds ---------------------------------------------------------------------------------------------------------
class BirdsTest : public MenusTest {
  protected:
    void SetUp() override {
        MenusTest::SetUp();
        MMBird_List.clear();
        MMBird_Timer = 0;
        Rand_Seed(7);
        Frame_DeltaMs = 16;
        Frame_DeltaSec = 0.016f;
    }
};

TEST_F(BirdsTest, FiveFlyAtMostAndTheNextWaitsAFullDelay) {
    for (int i = 0; i < 4000 && MMBird_List.size() < 5; ++i)
        MMBirds_Update();
    ASSERT_EQ(MMBird_List.size(), 5u);
    // None of the five leaves for a while: longer than the longest delay (10 s), no sixth joins them.
    for (MMBird& b : MMBird_List)
        b.distanceLeft = 100000;
    for (int i = 0; i < 700; ++i) {
        MMBirds_Update();
        ASSERT_LE(MMBird_List.size(), 5u) << "frame " << i;
    }
    MMBird_List.front().distanceLeft = 0.1f; // leaves in the next update
    MMBirds_Update();
    EXPECT_EQ(MMBird_List.size(), 4u);
    // The delay drawn while five flew (at least 1000 ms) runs from here: 62 frames of 16 ms are not enough.
    for (int i = 0; i < 62; ++i) {
        MMBirds_Update();
        ASSERT_EQ(MMBird_List.size(), 4u) << "frame " << i;
    }
}

TEST_F(BirdsTest, NoSecondLargeBird) {
    MMBird big = MMBird::Create();
    while (big.kind < 2)
        big = MMBird::Create();
    MMBird_List.push_back(big);
    for (int i = 0; i < 300; ++i) {
        const MMBird b = MMBird::Create();
        EXPECT_LT(b.kind, 2);
        EXPECT_EQ(b.layer, 0);
        EXPECT_EQ(b.frameCount, 21);
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.y, 150);
        EXPECT_TRUE(b.x == -float(b.kind == 0 ? 30 : 36) || b.x == 800 + float(b.kind == 0 ? 30 : 36));
    }
}

TEST_F(BirdsTest, FrameRateChangesNeitherPathNorWingBeat) {
    MMBird a = MMBird::Create();
    MMBird b = a;
    Frame_DeltaSec = 0.008f;
    a.Move();
    a.Animate();
    a.Move();
    a.Animate();
    Frame_DeltaSec = 0.016f;
    b.Move();
    b.Animate();
    EXPECT_NEAR(a.x, b.x, 1e-3);
    EXPECT_NEAR(a.y, b.y, 1e-3);
    EXPECT_NEAR(a.frame, b.frame, 1e-3);
    EXPECT_NEAR(a.distanceLeft, b.distanceLeft, 1e-3);
}

TEST_F(BirdsTest, ALeavingBirdDoesNotMakeTheNextOneSkipItsStep) {
    MMBird_List.push_back(MMBird::Create());
    MMBird_List.push_back(MMBird::Create());
    MMBird_List[0].distanceLeft = 0.01f;
    const float x1 = MMBird_List[1].x, left1 = MMBird_List[1].distanceLeft;
    MMBird_Timer = 1000000;
    MMBirds_Update();
    ASSERT_EQ(MMBird_List.size(), 1u);
    EXPECT_NE(MMBird_List[0].x, x1);
    EXPECT_LT(MMBird_List[0].distanceLeft, left1);
}

} // namespace

namespace {

// The whole game, started twice on the same data folder: the first start asks for the name, the second does not.
TEST_F(MainMenuTest, AFirstStartThroughTheWholeGameIsRememberedAtTheNextStart) {
    std::string out;
    ASSERT_EQ(RunGame(40, "20 text Zoe\n22 key 13 press\n", &out), 0);
    EXPECT_EQ(ConfigFileValue(dataDir_, "PLAYER0"), "Zoe");
    EXPECT_EQ(Dialog_Active, 0);
    MainMenu_UserButton->text.clear();
    ASSERT_EQ(RunGame(20, "12 click 1 671 488\n", &out), 0); // "Ende": the quit box
    EXPECT_EQ(First_Start, 0);
    EXPECT_EQ(MainMenu_UserButton->text, u"Spieler Zoe");
    ASSERT_EQ(Dialog_Active, 1);
    ASSERT_EQ(MsgBox_Buttons.size(), 2u);
    EXPECT_EQ(MsgBox_Buttons[0]->text, u"Ja") << "the quit box, not the name box";
    EXPECT_EQ(Quit_Requested, 0);
}

} // namespace

// The main menu keeps its still pictures as a cached layer and draws the buttons' and birds' boxes again over it.
// What shows is what drawing every layer with the birds and buttons between them gives, pixel for pixel: with a
// button hovered or pressed, birds over the buttons, one across two buttons' boxes, one off the canvas's edge.
TEST_F(MainMenuTest, CachedLayerWithBirdsGivesThePixelsOfEveryLayerDrawn) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    Frames(1);
    const auto picture = [](const char16_t* name) { return Asset_LoadImage(Str(u".\\Images\\MainMenu\\") + name); };
    const ImagePtr back = picture(u"mm_00.jpg"), middle = picture(u"mm_02.png"), front = picture(u"mm_04.png"),
                   panel = picture(u"mm_interf_bg.png");
    const auto bird = [](int32_t kind, float x, float y, int32_t layer) {
        MMBird b = MMBird::Create();
        b.kind = kind;
        b.x = x;
        b.y = y;
        b.layer = layer;
        b.speed = 0; // stays where it is
        return b;
    };
    MMBird_Timer = 1000000; // no other bird
    // A large bird behind the middle layer; small ones over the panel, the Start button, between Start and
    // "Leichtes Spiel" (in both their boxes) and the canvas's edge.
    MMBird_List = {bird(2, 60, 40, 1), bird(0, 620, 150, 0), bird(1, 585.5f, 20.5f, 0), bird(0, 700, 235, 0),
                   bird(0, -12, 5, 0)};
    for (const MMBird& b : MMBird_List)
        ASSERT_NE(b.image, nullptr);
    const char* const looks[] = {"1 mouse 300 500", "1 mouse 671 173", "1 mouse 671 270\n2 down 1"};
    for (const char* look : looks) {
        Script(look);
        Frames(3);
        const Pixmap shown = Graphics_ReadPixels(0, 0, 800, 600);
        // Every layer drawn whole, the birds between them; the logo and effects above are drawn over both alike.
        Draw_ResetState();
        Background_DrawFullscreen(back);
        MMBirds_DrawFar();
        Background_DrawFullscreen(middle);
        MMBirds_DrawNear();
        for (const GUIBtnPtr& b : MainMenu_Buttons)
            b->Draw();
        Draw_Image(panel, 545, 0);
        Background_DrawFullscreen(front);
        const Pixmap whole = Graphics_ReadPixels(0, 0, 800, 600);
        // The logo and the effects cover the top middle in both; compare everything below them and beside them.
        size_t differ = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if ((y >= 140 || x < 200 || x >= 580) && Pixmap_ReadPixel(shown, x, y) != Pixmap_ReadPixel(whole, x, y))
                    ++differ;
        EXPECT_EQ(differ, 0u) << look;
        Graphics_Flip();
    }
    EXPECT_TRUE(MainMenu_Buttons[1]->state & BTN_PRESSED);
    Run("1 mouse 300 500\n2 up 1", 3); // let go off the button: no click
    MMBird_List.clear();
}

// The buttons are updated and drawn one at a time: what a button's update changes shows on the buttons after it in
// the same frame, on those before it from the next frame on.
TEST_F(MainMenuTest, AButtonsUpdateShowsOnLaterButtonsAtOnceAndOnEarlierOnesNextFrame) {
    NamePlayer0("Anna");
    Screen_Set(kScreenMainMenu);
    MMBird_Timer = 1000000; // no bird in the way
    Run("1 mouse 300 500", 2);
    GUIBtn &first = *MainMenu_Buttons[0], &middle = *MainMenu_Buttons[2], &last = *MainMenu_Buttons[5];
    const auto picture = [](const GUIBtn& b) {
        const Rect r = b.DrawBox();
        return Graphics_ReadPixels(r.x, r.y, r.w, r.h).bytes;
    };
    const auto firstShown = picture(first), lastShown = picture(last);
    middle.onUpdate = [&](GUIBtn&) {
        first.state |= BTN_HIDDEN;
        last.state |= BTN_HIDDEN;
    };
    Frames(1);
    const auto firstThen = picture(first), lastThen = picture(last);
    Frames(1);
    const auto firstNext = picture(first);
    middle.onUpdate = GUIBtn_Nothing;
    first.state &= ~BTN_HIDDEN;
    last.state &= ~BTN_HIDDEN;
    EXPECT_EQ(firstThen, firstShown) << "drawn before the update that hid it";
    EXPECT_NE(firstNext, firstShown) << "hidden from the next frame on";
    EXPECT_NE(lastThen, lastShown) << "hidden by an earlier button's update in the same frame";
}
