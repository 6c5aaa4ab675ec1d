// The tutorial's steps around the castle, played through the real screens: the build-menu step after the first won
// level, the king's gold and the shop steps on level 6 (the shop's own buttons clicked under the frame), the spell
// lessons of levels 6 to 8 through the in-game interface, each done once and never again after a restart; and the
// frames giving way when a level ends under them. Screenshots for a person: BQ_PLAY_SHOTS=folder.
#include "tutorial_helpers.h"

namespace {

constexpr int32_t kFireball = SPELL_FIREBALL;
constexpr int32_t kFireballIgi = kFireball + 2;            // its button in the in-game interface
constexpr int32_t kFireballShop = SHOP_SPELL0 + kFireball; // its button in the shop

class TutorialCastle : public TutorialPlay {
  protected:
    // The level-win key (Right Alt + W, in every build): the golden tiles are gone at once.
    void WinByKey() {
        sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, true);
        sdl_push::Tap(SDL_SCANCODE_W);
        Frame();
        sdl_push::Key(SDL_SCANCODE_RALT, SDLK_RALT, false);
        Frame();
    }
    // The build menu as the level-won dialog's Next opens it.
    void OpenBuildMenuAfterLevel(int32_t level) {
        Level_Current = level;
        BuildMenu_From = BM_FROM_LEVELEND;
        Screen_Set(kScreenBuildMenu);
    }
    // The flags read back from the progress file, as at the next start.
    static void RestartFlags() {
        Tutorial_Flags.fill(0);
        Progress_Load();
        Tutorial_ResetRun();
    }
    // A coin near the board's centre (step 5's frame follows it).
    static Point PlaceCoin() {
        Point at{-1, -1};
        EXPECT_TRUE(Tutorial_FindPieceNearCentre(at.x, at.y));
        EXPECT_TRUE(Piece_CreateCoinOrBottle(at.x, at.y, KIND_COIN_GOLD));
        return at;
    }
};

// [level end] -----------------------------------------------------------------------------------------------------

TEST_F(TutorialCastle, AFrameGivesWayWhenTheLevelIsWonUnderIt) {
    OnlySteps({5});
    StartLevel(2);
    Frames(2);
    PlaceCoin();
    ASSERT_EQ(Tutorial_Current, 5);
    ASSERT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    WinByKey();
    ASSERT_TRUE(Until([] { return Level_EndState >= 2 || Screen_Current != kScreenGame; }, 20));
    // The last pieces settle: nothing the coin's frame waits for can happen now (clicks are off); it goes at once.
    Frame();
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Tutorial_Arrow.visible, 0);
    EXPECT_FALSE(Tutorial_IsDone(5)) << "not learnt: it may come with the next coin";
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenLevelEnd; }, 200));
    Frames(30);
    TestPicture_ShotIfAsked("tut_levelend.png");
    EXPECT_EQ(Dialog_Active, 0) << "the level end stands alone";
    Frames(90);
    TestPicture_ShotIfAsked("levelend_peak.png"); // the count-up just done, the sky at its fullest
    ASSERT_TRUE(Until([] { return Dialog_Active == 1; }, 400));
    Frames(30);
    TestPicture_ShotIfAsked("levelend_dialog.png");
    EXPECT_EQ(Dialog_UpdateFn(), WinLose_Update) << "the level-won dialog, with no frame over it";
    Frames(5);
    TestPicture_ShotIfAsked("tut_levelwon.png");
    Enter();
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenBuildMenu; }, 60));
    Frames(5);
    EXPECT_EQ(Tutorial_Current, -1);
}

TEST_F(TutorialCastle, AFrameIsNotDrawnOverALostLevelsEnd) {
    OnlySteps({5});
    StartLevel(2);
    Frames(2);
    PlaceCoin();
    ASSERT_EQ(Tutorial_Current, 5);
    Level_OfferMade = 1; // no time offer: the level is lost in this frame
    Level_TimeLeft = 1;
    Frame();
    ASSERT_EQ(Screen_Current, kScreenLevelEnd);
    // The frame's dialog was drawn after the level end's first frame: it knew it was out of place and drew nothing.
    EXPECT_TRUE(Tutorial_Current == -1 || Tutorial_OutOfPlace());
    Frame();
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_EQ(Game_Paused, 0);
    EXPECT_FALSE(Tutorial_IsDone(5));
}

// [build menu] ----------------------------------------------------------------------------------------------------

TEST_F(TutorialCastle, TheBuildMenuStepAfterTheFirstWonLevel) {
    OnlySteps({21});
    StartLevel(1);
    WinByKey();
    ASSERT_TRUE(Until([] { return Dialog_UpdateFn() == WinLose_Update; }, 600));
    ct::FillBag(500); // the gems of a few levels
    Enter();
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenBuildMenu; }, 60));
    EXPECT_EQ(Level_Current, 2);
    ASSERT_TRUE(Until([] { return Tutorial_Current == 21; }, 120)) << "when the menu has slid in";
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    EXPECT_EQ(Tutorial_Arrow.visible, 1);
    for (const GUIBtnPtr& b : BuildMenu_Buttons)
        EXPECT_TRUE(b->state & BTN_DISABLED) << "only the parts work";
    Frames(5);
    TestPicture_ShotIfAsked("tut_buildmenu.png");
    // The menu buttons take no click; the pointed part does, under the frame.
    ClickAndSettle(Centre(*BuildMenu_Buttons[BM_BTN_PLAY]));
    EXPECT_EQ(Screen_Current, kScreenBuildMenu);
    const int32_t part = Tutorials[21]->StateA;
    GUIBtnPtr target;
    for (const GUIBtnPtr& b : BuildMenu_PartButtons)
        if (b->id == part) target = b;
    ASSERT_TRUE(target);
    ClickAndSettle(Centre(*target));
    Frame();
    EXPECT_TRUE(Castle_Elems[size_t(part)]->built);
    EXPECT_TRUE(Tutorial_IsDone(21));
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_FALSE(BuildMenu_Buttons[BM_BTN_PLAY]->state & BTN_DISABLED);

    // After a restart the menu opens without the step.
    RestartFlags();
    EXPECT_TRUE(Tutorial_IsDone(21));
    OpenBuildMenuAfterLevel(2);
    Frames(90);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_FALSE(BuildMenu_Buttons[BM_BTN_PLAY]->state & BTN_DISABLED);
}

TEST_F(TutorialCastle, TheBuildMenuStepNeverLeavesTheMenuLocked) {
    Level_Current = 2;
    ct::FillBag(500);
    OpenBuildMenuAfterLevel(2);
    ASSERT_TRUE(Until([] { return Tutorial_Current == 21; }, 120));
    // Another part is bought instead of the one pointed at: the step ends and the menu works again.
    const int32_t target = Tutorials[21]->StateA;
    int32_t other = -1;
    for (const GUIBtnPtr& b : BuildMenu_PartButtons)
        if (b->id != target && !(b->state & BTN_DISABLED)) other = b->id;
    ASSERT_TRUE(Castle_Buy(other >= 0 ? other : target));
    BuildMenu_LayoutPartButtons();
    Frame();
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_FALSE(BuildMenu_Buttons[BM_BTN_PLAY]->state & BTN_DISABLED);
    EXPECT_FALSE(BuildMenu_Buttons[BM_BTN_MENU]->state & BTN_DISABLED);
}

// [gold and shop] -------------------------------------------------------------------------------------------------

TEST_F(TutorialCastle, TheKingsGoldAndTheShopStepsThroughTheRealScreens) {
    OnlySteps({23, 24, 25, 34});
    Gold = 120;
    OpenBuildMenuAfterLevel(6);
    ASSERT_TRUE(Until([] { return Tutorial_Current == 23; }, 120));
    EXPECT_EQ(Gold, 500) << "topped up to 500";
    EXPECT_EQ(Tutorial_FrameKind, TUTFRAME_OK);
    Frames(3);
    TestPicture_ShotIfAsked("tut_step23.png");
    Enter();
    EXPECT_TRUE(Tutorial_IsDone(23));
    ASSERT_TRUE(Until([] { return Tutorial_Current == 24; }, 5)) << "then the shop button";
    EXPECT_TRUE(BuildMenu_Buttons[BM_BTN_PLAY]->state & BTN_DISABLED);
    EXPECT_FALSE(BuildMenu_Buttons[BM_BTN_SHOP]->state & BTN_DISABLED);
    Frames(3);
    TestPicture_ShotIfAsked("tut_step24.png");
    ClickAndSettle(Centre(*BuildMenu_Buttons[BM_BTN_SHOP]));
    EXPECT_TRUE(Tutorial_IsDone(24));

    // The shop slides in; step 25 points at the fireball and every other button waits, the back button too.
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenShop && Tutorial_Current == 25; }, 200));
    const int32_t price = Shop_Price(kFireballShop);
    ASSERT_GT(price, 0);
    EXPECT_LE(price, 500) << "the king's gold buys the fireball";
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    EXPECT_FALSE(Shop_Buttons[kFireballShop]->state & BTN_DISABLED);
    for (int32_t i = 0; i < kShopButtons; ++i) {
        if (i == kFireballShop) continue;
        EXPECT_TRUE(Shop_Buttons[size_t(i)]->state & BTN_DISABLED) << i;
    }
    Frames(3);
    TestPicture_ShotIfAsked("tut_step25.png");
    ClickAndSettle(Centre(*Shop_Buttons[SHOP_BACK]));
    EXPECT_EQ(Screen_Current, kScreenShop) << "the back button waits";
    // The fireball's button takes the click under the frame: bought.
    ClickAndSettle(Centre(*Shop_Buttons[kFireballShop]));
    EXPECT_EQ(Spell_Level(kFireball), 1);
    EXPECT_EQ(Gold, 500 - price);
    EXPECT_TRUE(Tutorial_IsDone(25));

    // Step 34 praises the buy; its OK takes the player back to the build menu.
    ASSERT_TRUE(Until([] { return Tutorial_Current == 34; }, 5));
    EXPECT_EQ(Tutorial_FrameKind, TUTFRAME_OK);
    Frames(3);
    TestPicture_ShotIfAsked("tut_step34.png");
    Enter();
    EXPECT_TRUE(Tutorial_IsDone(34));
    const auto* action = TutFrame_OkButton->onLeftUp.target<void (*)(GUIBtn&)>();
    ASSERT_TRUE(action);
    EXPECT_EQ(*action, &TutFrame_Btn_Ok_LeftUp) << "the OK button's usual action is back";
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenBuildMenu; }, 200));

    // After a restart none of them comes back: no gold is given, the shop opens free.
    RestartFlags();
    Gold = 40;
    OpenBuildMenuAfterLevel(6);
    Frames(90);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Gold, 40);
    Screen_Set(kScreenShop);
    Frames(90);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_FALSE(Shop_Buttons[SHOP_BACK]->state & BTN_DISABLED);
}

TEST_F(TutorialCastle, AShopThatCannotSellTheFireballNeverLocksItsBackButton) {
    OnlySteps({25});
    Level_Current = 6;
    Gold = 10; // the gift was spent in an earlier run
    Screen_Set(kScreenShop);
    Frames(90);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_TRUE(Shop_Buttons[kFireballShop]->state & BTN_DISABLED);
    ClickAndSettle(Centre(*Shop_Buttons[SHOP_BACK]));
    ASSERT_TRUE(Until([] { return Screen_Current == kScreenBuildMenu; }, 200));
    EXPECT_FALSE(Tutorial_IsDone(25));
}

TEST_F(TutorialCastle, TheShopStepGivesWayWhenTheFireballTurnsGrey) {
    OnlySteps({25});
    Level_Current = 6;
    Gold = 500;
    Screen_Set(kScreenShop);
    ASSERT_TRUE(Until([] { return Tutorial_Current == 25; }, 120));
    EXPECT_TRUE(Shop_Buttons[SHOP_BACK]->state & BTN_DISABLED);
    Gold = 0; // spent otherwise (a gamble's loss): the shop greys the fireball
    Frames(2);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_FALSE(Tutorial_IsDone(25));
    EXPECT_FALSE(Shop_Buttons[SHOP_BACK]->state & BTN_DISABLED) << "the back button works again";
}

TEST_F(TutorialCastle, EnoughGoldMeansNoGiftAndNoBoxIsTouched) {
    Level_Current = 6;
    Gold = 800;
    Screen_Current = kScreenBuildMenu;
    Game_Paused = 0;    // no level runs under the build menu (an earlier test may have ended paused)
    MsgBox_Shop_Open(); // a box of the game's flow stands open (it does not pause)
    const int serial = Dialog_Serial();
    const int32_t gold = Gold; // after the box's gamble
    Tutorial_OnEvent0();
    EXPECT_TRUE(Tutorial_IsDone(23));
    EXPECT_EQ(Gold, gold);
    EXPECT_EQ(Dialog_Serial(), serial) << "the shop's box stays open";
    Tutorial_OnEvent11(); // step 24 would show now: it waits for the box
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Serial(), serial);
    Dialog_Close();
    Screen_Current = kScreenMainMenu;
}

TEST_F(TutorialCastle, APlayerWhoOwnsASpellNeverSeesTheGiftOrTheShopSteps) {
    Spells_AddLevel(SPELL_FIREBALL - 1);
    Gold = 100;
    OpenBuildMenuAfterLevel(6);
    Frames(90);
    EXPECT_EQ(Gold, 100);
    EXPECT_TRUE(Tutorial_IsDone(23) && Tutorial_IsDone(24));
    Screen_Set(kScreenShop);
    Frames(90);
    EXPECT_TRUE(Tutorial_IsDone(25));
    EXPECT_EQ(Tutorial_Current, -1);
}

// Steps 38 to 42: each at its own amount of gold (1000 .. 5000, the amount itself counts), each only after the
// one before it is done.
TEST_F(TutorialCastle, TheGoldLessonsComeOneByOneAtTheirAmounts) {
    Level_Current = 6;
    Screen_Current = kScreenBuildMenu;
    for (int32_t step = 38; step <= 42; ++step) {
        Tutorial_Flags.fill(0);
        OnlySteps({step});
        const int32_t need = (step - 37) * 1000;
        Gold = need - 1;
        Tutorial_OnEvent0();
        EXPECT_EQ(Tutorial_Current, -1) << "step " << step << " with " << Gold << " gold";
        Gold = need;
        Tutorial_OnEvent0();
        EXPECT_EQ(Tutorial_Current, step) << "step " << step << " with " << Gold << " gold";
        Tutorial_Close();
        if (step == 38) continue;
        // The step before it not done (and switched off, so it does not show itself): nothing.
        Tutorial_Flags.fill(0);
        OnlySteps({step - 1, step});
        Tutorial_Word(step - 1) |= kTutOff;
        Gold = 9000;
        Tutorial_OnEvent0();
        EXPECT_EQ(Tutorial_Current, -1) << "step " << step << " before step " << step - 1;
    }
    // With plenty of gold they come in order, one per entry of the menu.
    Tutorial_Flags.fill(0);
    OnlySteps({38, 39, 40, 41, 42});
    Gold = 9000;
    for (int32_t step = 38; step <= 42; ++step) {
        Tutorial_OnEvent0();
        EXPECT_EQ(Tutorial_Current, step);
        Tutorial_Close();
    }
    Gold = 0;
    Screen_Current = kScreenMainMenu;
}

// [spells] --------------------------------------------------------------------------------------------------------

TEST_F(TutorialCastle, TheSpellLessonsThroughTheInGameInterface) {
    OnlySteps({26, 27, 28, 35, 36, 37});
    StartLevel(6);
    Spells_AddLevel(kFireball);
    Mana = 0;
    Frames(2);
    ASSERT_EQ(Tutorial_Current, -1) << "nothing before the mana moves";

    // A first bit of mana: step 26 fills the bar to one below the top and points at it.
    Mana_Add(3);
    ASSERT_EQ(Tutorial_Current, 26);
    EXPECT_EQ(Mana, Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)] - 1);
    EXPECT_FALSE(Tutorial_IsDone(35)) << "the filling reached no other step";
    Frames(3);
    TestPicture_ShotIfAsked("tut_step26.png");
    Enter();
    EXPECT_TRUE(Tutorial_IsDone(26));

    // Step 27 points at the fireball's button, which takes the click under the frame.
    ASSERT_TRUE(Until([] { return Tutorial_Current == 27; }, 5));
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    const GUIBtnPtr button = IGI_Button(kFireballIgi);
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->state & BTN_DISABLED);
    Frames(3);
    TestPicture_ShotIfAsked("tut_step27.png");
    ClickAndSettle(Centre(*button));
    EXPECT_TRUE(Tutorial_IsDone(27));
    EXPECT_EQ(Spell_Targeting, kFireball);

    // In the same update step 28 points at a cell; a cell the fireball cannot pass is refused.
    ASSERT_EQ(Tutorial_Current, 28);
    const Point target{Tutorials[28]->StateA, Tutorials[28]->StateB};
    Point blocked{target.x == 0 ? 1 : 0, target.y};
    Board_Cells[blocked.x][blocked.y].Blockers += 1;
    EXPECT_EQ(Tutorial_OnEvent12(blocked.x, blocked.y), 0);
    Board_Cells[blocked.x][blocked.y].Blockers -= 1;
    EXPECT_EQ(Tutorial_Current, 28);
    Frames(3);
    TestPicture_ShotIfAsked("tut_step28.png");
    const int32_t before = Mana;
    Click(CellCentre(target));
    EXPECT_TRUE(Tutorial_IsDone(28));
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_TRUE(Until([before] { return Mana < before; }, 120)) << "the fireball was cast";

    // The bar full: step 35 on level 6, 36 on level 7, 37 on level 8, each once.
    for (const int32_t level : {6, 7, 8}) {
        const int32_t step = 29 + level;
        if (level != 6) StartLevel(level);
        if (Spell_Level(kFireball) == 0) Spells_AddLevel(kFireball);
        Frames(2);
        Mana_Add(10000);
        ASSERT_EQ(Tutorial_Current, step) << "level " << level;
        EXPECT_EQ(Tutorial_FrameKind, TUTFRAME_OK);
        if (level == 6) {
            Frames(3);
            TestPicture_ShotIfAsked("tut_step35.png");
        }
        Enter();
        EXPECT_TRUE(Tutorial_IsDone(step));
        Mana_Add(-5);
        Mana_Add(10000);
        EXPECT_EQ(Tutorial_Current, -1) << "not twice";
    }

    // After a restart, level 6 with a full bar and the fireball at hand shows none of them.
    RestartFlags();
    StartLevel(6);
    if (Spell_Level(kFireball) == 0) Spells_AddLevel(kFireball);
    Mana = 0;
    Mana_Add(3);
    Mana_Add(10000);
    Frames(10);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Active, 0);
}

} // namespace
