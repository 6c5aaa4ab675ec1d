// The shop, the gamble box and the in-game interface through the real screens: prices, disabled states and maxima,
// every gamble prize applied once and within its table, the interface's events 8 and 16, and a whole round by
// mouse: the fireball bought in the shop, cast in a level, the mana falling and the pieces going.
#include <cstdlib>
#include <string>

#include "board/board_hooks.h"
#include "board/play.h"
#include "board_helpers.h"
#include "castle/castle.h"
#include "castle_helpers.h"
#include "common/button_centre.h"
#include "common/test_common.h"
#include "game/startup.h"
#include "menus/menus.h"
#include "effects/effects.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/random.h"
#include "play_helpers.h"
#include "../platform/sdl_push.h"

namespace {

class CastleShop : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        Runtime_InstallHooks();
        Screens_Reset();
        ct::LoadScreens();
        static const bool effects = [] {
            EffectImages_Load(); // the spells' sparks (the game loads them with every image)
            return true;
        }();
        (void)effects;
        bt::NewMatchCounters(6);
        Treasure_Level = 0;
        Gamble_PendingHammer = 0;
    }
    void TearDown() override {
        ct::StopRecording();
        Board_Hooks = Board_HooksDefault();
        Match_Carried.SpellLevels.fill(0);
        PlayTest::TearDown();
    }
    bool FramesUntil(int32_t screen, int32_t limit = 600) {
        for (int32_t i = 0; i < limit && Screen_Current != screen; ++i)
            Frame();
        return Screen_Current == screen;
    }
    void EnterShop() {
        Screen_Set(kScreenShop);
        Frames(60); // the panel slides in
        ASSERT_EQ(Fade_State, FADE_STILL);
    }
    // Frames past the level's light sweep and its boxes (each closed with its first button), and when `settled`
    // until the board rests too; false while a box is still open.
    bool PlayPastTheLevelsBoxes(bool settled) {
        for (int32_t i = 0; i < 600 && (Level_Sweeping || Dialog_Active || (settled && !Board_Idle())); ++i) {
            if (Dialog_Active && !MsgBox_Buttons.empty())
                Click(Centre(*MsgBox_Buttons[0]));
            else
                Frame();
        }
        return Dialog_Active == 0;
    }
};

TEST_F(CastleShop, PricesDisabledStatesAndMaxima) {
    EnterShop();
    for (int32_t i = 1; i < kShopButtons; ++i)
        EXPECT_TRUE(Shop_Buttons[size_t(i)]->state & BTN_DISABLED) << "no gold: button " << i;
    EXPECT_FALSE(Shop_Buttons[SHOP_BACK]->state & BTN_DISABLED);
    EXPECT_FALSE(Shop_Buy(SHOP_LIFE));
    EXPECT_EQ(Lives, 3);

    Gold = 100000;
    Frame();
    for (int32_t i = 1; i < kShopButtons; ++i)
        EXPECT_FALSE(Shop_Buttons[size_t(i)]->state & BTN_DISABLED) << "button " << i;
    // Lives up to the maximum.
    while (Shop_Buy(SHOP_LIFE)) {
    }
    EXPECT_EQ(Lives, kLivesMax);
    EXPECT_EQ(Shop_Price(SHOP_LIFE), 0);
    // The chest twice, the potion twice (the bottle comes full).
    int32_t gold = Gold;
    EXPECT_TRUE(Shop_Buy(SHOP_CHEST));
    EXPECT_TRUE(Shop_Buy(SHOP_CHEST));
    EXPECT_FALSE(Shop_Buy(SHOP_CHEST));
    EXPECT_EQ(Treasure_Level, 2);
    EXPECT_EQ(Gold, gold - kChestPrices[0] - kChestPrices[1]);
    gold = Gold;
    EXPECT_TRUE(Shop_Buy(SHOP_POTION));
    EXPECT_EQ(Mana, Mana_Caps[1] - 1);
    EXPECT_TRUE(Shop_Buy(SHOP_POTION));
    EXPECT_FALSE(Shop_Buy(SHOP_POTION));
    EXPECT_EQ(Mana_CapLevel, 2);
    EXPECT_EQ(Gold, gold - kPotionPrices[0] - kPotionPrices[1]);
    // A spell level by level, then sold out.
    for (int32_t l = 0; l < kSpellLevels; ++l) {
        gold = Gold;
        EXPECT_EQ(Shop_Price(SHOP_SPELL0 + SPELL_BOMB), Spell_Types[size_t(SPELL_BOMB * 3 + l)].Price);
        EXPECT_TRUE(Shop_Buy(SHOP_SPELL0 + SPELL_BOMB));
        EXPECT_EQ(Gold, gold - Spell_Types[size_t(SPELL_BOMB * 3 + l)].Price);
    }
    EXPECT_EQ(Spell_Level(SPELL_BOMB), 3);
    EXPECT_FALSE(Shop_Buy(SHOP_SPELL0 + SPELL_BOMB));
    Frame();
    for (int32_t i : {SHOP_LIFE, SHOP_CHEST, SHOP_POTION, SHOP_SPELL0 + SPELL_BOMB})
        EXPECT_TRUE(Shop_Buttons[size_t(i)]->state & BTN_DISABLED) << "at the maximum: " << i;
    // Too little gold changes nothing.
    Gold = Spell_Types[SPELL_FIREBALL * 3].Price - 1;
    EXPECT_FALSE(Shop_Buy(SHOP_SPELL0 + SPELL_FIREBALL));
    EXPECT_EQ(Spell_Level(SPELL_FIREBALL), 0);
    EXPECT_EQ(Gold, Spell_Types[SPELL_FIREBALL * 3].Price - 1);
    // Exactly the price lights the button and buys, leaving nothing.
    Gold = Spell_Types[SPELL_FIREBALL * 3].Price;
    Frame();
    EXPECT_FALSE(Shop_Buttons[SHOP_SPELL0 + SPELL_FIREBALL]->state & BTN_DISABLED);
    EXPECT_TRUE(Shop_Buy(SHOP_SPELL0 + SPELL_FIREBALL));
    EXPECT_EQ(Spell_Level(SPELL_FIREBALL), 1);
    EXPECT_EQ(Gold, 0);
    // The purchases are in the saved match.
    Match_Carried.SpellLevels.fill(0);
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Spell_Level(SPELL_BOMB), 3);
    EXPECT_EQ(Mana_CapLevel, 2);
}

TEST_F(CastleShop, EveryGamblePrizeIsFromTheTableAndAppliedOnce) {
    Gamble_Init();
    ASSERT_FALSE(Gamble_Prizes.empty());
    std::vector<int32_t> seen(Gamble_Prizes.size(), 0);
    Rand_Seed(11);
    for (int32_t roll = 1; roll <= 200; ++roll) {
        Gold = 1000;
        Lives = 3;
        Mana = 0;
        Gems_Total.fill(0);
        Gamble_PendingHammer = 0;
        Match_Carried.SpellLevels.fill(0);
        Gamble_Roll();
        ASSERT_GE(Gamble_Result, 0);
        ASSERT_LT(Gamble_Result, int32_t(Gamble_Prizes.size()));
        ++seen[size_t(Gamble_Result)];
        const Gamble_Prize& p = Gamble_Prizes[size_t(Gamble_Result)];
        int32_t gems = 0, levels = 0;
        for (int32_t g : Gems_Total)
            gems += g;
        for (int32_t l : Match_Carried.SpellLevels)
            levels += l;
        EXPECT_EQ(Gold, 1000 + (p.Kind == PRIZE_GOLD ? p.Amount : 0)) << roll;
        EXPECT_EQ(gems, p.Kind == PRIZE_GEMS ? p.Amount : 0) << roll;
        EXPECT_EQ(Mana, p.Kind == PRIZE_MANA ? p.Amount : 0) << roll;
        EXPECT_EQ(Lives, p.Kind == PRIZE_LIFE ? 4 : 3) << roll;
        EXPECT_EQ(levels, p.Kind == PRIZE_SPELL ? 1 : 0) << roll;
        EXPECT_EQ(Gamble_PendingHammer, p.Kind == PRIZE_HAMMER ? p.Amount : 0) << roll;
    }
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_GT(seen[i], 0) << "prize " << i << " never drawn";
    // A prize index outside the table is reported and changes nothing.
    testing::internal::CaptureStdout();
    Gold = 5;
    Gamble_Apply(int32_t(Gamble_Prizes.size()));
    Gamble_Result = -3;
    Gamble_DrawResult();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Gamble_Res[" + std::to_string(Gamble_Prizes.size()) + "]"), std::string::npos) << out;
    EXPECT_NE(out.find("Gamble_Res[-3]"), std::string::npos) << out;
    EXPECT_EQ(Gold, 5);
}

TEST_F(CastleShop, TheGambleButtonPaysAndTheBoxRollsOnce) {
    Gold = kGamblePrice + 1;
    EnterShop();
    Frame();
    Click(Centre(*Shop_Buttons[SHOP_GAMBLE]));
    Frames(3);
    EXPECT_EQ(Dialog_Active, 1) << "the shop box is open";
    EXPECT_GE(Gamble_Result, 0);
    EXPECT_LE(Gold, 1 + 250) << "paid once (a gold prize may come back)";
    TestPicture_ShotIfAsked("shop_gamble.png");
    // While the box is open no shop button takes a click.
    for (const GUIBtnPtr& b : Shop_Buttons)
        EXPECT_TRUE(b->state & BTN_DISABLED);
}

TEST_F(CastleShop, InterfaceReportsEvents16And8AndArmsTheHammer) {
    Match_Carried.SpellLevels[SPELL_FIREBALL] = 1;
    Game_Start(0);
    Frames(120);
    ct::StartRecording();
    Frame();
    std::vector<int32_t> buttons;
    for (const ct::Event& e : ct::Events)
        if (e.id == 16) buttons.push_back(e.a);
    EXPECT_EQ(buttons, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ct::Events.clear();
    Hammer_Current = 1;
    Hammer_Armed = 0;
    IGI_Btn_Hammer_LeftUp();
    ASSERT_EQ(ct::Events.size(), 1u);
    EXPECT_EQ(ct::Events[0].id, 8);
    EXPECT_EQ(Hammer_Armed, 1);
    // The spell button is greyed without mana, lit with it.
    Mana = 0;
    Frame();
    EXPECT_TRUE(IGI_Buttons[SPELL_FIREBALL + 2]->state & BTN_DISABLED);
    Mana = 150;
    Frame();
    EXPECT_FALSE(IGI_Buttons[SPELL_FIREBALL + 2]->state & BTN_DISABLED);
    EXPECT_TRUE(IGI_Buttons[SPELL_BOMB + 2]->state & BTN_DISABLED) << "not owned";
    // Every spell owned and the big bottle full: all eight lit.
    Match_Carried.SpellLevels.fill(2);
    Mana_CapLevel = 2;
    Mana = Mana_Caps[2] - 1;
    Frame();
    for (int32_t s = 0; s < kSpellCount; ++s)
        EXPECT_FALSE(IGI_Buttons[size_t(s + 2)]->state & BTN_DISABLED) << s;
    TestPicture_ShotIfAsked("interface.png");
}

// The interface's buttons are updated and drawn one at a time over the panel's cached band: a click on a later spell
// button takes the choice from an earlier one, which was drawn still chosen in the click's frame; a click on an
// earlier one shows on the later one in the same frame. The band is drawn again for its numbers, not for a button.
TEST_F(CastleShop, InterfaceButtonsAreUpdatedThenDrawnOneAtATime) {
    Match_Carried.SpellLevels[SPELL_BOMB] = 1;
    Match_Carried.SpellLevels[SPELL_FIREBALL] = 1;
    Level_Current = 6;
    Game_Start(0);
    ASSERT_TRUE(PlayPastTheLevelsBoxes(true));
    Mana_CapLevel = 2;
    Mana = 250;
    Frame();
    const GUIBtn &bomb = *IGI_Buttons[SPELL_BOMB + 2], &fireball = *IGI_Buttons[SPELL_FIREBALL + 2];
    ASSERT_LT(bomb.id, fireball.id);
    const uint32_t panelDrawn = Layer_Redraws(kLayerGamePanel);
    const auto chosen = [](const GUIBtn& b) { return TestCanvas_Pixel(int(b.x) + 30, int(b.y) + 1) == 0x7FD4FFu; };
    const auto click = [this](const GUIBtn& b) { // up to the frame whose update sees the release
        Click(Centre(b));
        Frame();
    };
    click(bomb);
    ASSERT_EQ(Spell_Targeting, SPELL_BOMB);
    EXPECT_TRUE(chosen(bomb));
    click(fireball);
    ASSERT_EQ(Spell_Targeting, SPELL_FIREBALL);
    EXPECT_TRUE(chosen(bomb)) << "drawn before the fireball button's update";
    EXPECT_TRUE(chosen(fireball));
    Frame();
    EXPECT_FALSE(chosen(bomb));
    click(bomb);
    ASSERT_EQ(Spell_Targeting, SPELL_BOMB);
    EXPECT_FALSE(chosen(fireball)) << "drawn after the bomb button's update";
    Spell_Cancel();
    EXPECT_EQ(Layer_Redraws(kLayerGamePanel), panelDrawn) << "the buttons' looks are not in the panel's layer";
    Gold += 1;
    Frame();
    EXPECT_EQ(Layer_Redraws(kLayerGamePanel), panelDrawn + 1) << "a number on the panel changed";
}

// The whole round by mouse: the fireball bought in the shop, the way back to the build menu, a level, the spell
// button, a click on the board: the mana falls by the fireball's cost and the pieces of its row go.
TEST_F(CastleShop, BuyTheFireballAndCastItInALevel) {
    Gold = 600;
    EnterShop();
    Click(Centre(*Shop_Buttons[SHOP_SPELL0 + SPELL_FIREBALL]));
    Frames(2);
    EXPECT_EQ(Spell_Level(SPELL_FIREBALL), 1);
    EXPECT_EQ(Gold, 600 - Spell_Types[SPELL_FIREBALL * 3].Price);
    TestPicture_ShotIfAsked("shop.png");
    Click(Centre(*Shop_Buttons[SHOP_BACK]));
    ASSERT_TRUE(FramesUntil(kScreenBuildMenu));

    Level_Current = 6;
    Game_Start(0);
    ASSERT_EQ(Screen_Current, kScreenGame);
    // The light sweep, then the level's box ("Level 6"), closed with its OK, and a settled board.
    ASSERT_TRUE(PlayPastTheLevelsBoxes(true));
    ASSERT_TRUE(Board_Idle());
    Mana = 150;
    Frame();
    const GUIBtn& button = *IGI_Buttons[SPELL_FIREBALL + 2];
    ASSERT_FALSE(button.state & BTN_DISABLED);
    Click(Centre(button));
    Frames(2);
    ASSERT_EQ(Spell_Targeting, SPELL_FIREBALL);
    // A passable cell in the board's middle row; the preview follows the mouse over it and casts nothing.
    Point target{-1, -1};
    const int32_t r = Board_Rows / 2;
    for (int32_t c = 0; c < Board_Cols && target.x < 0; ++c)
        if (Cell_Playable(c, r) && Fireball_CanPass(c, r) && Board_Cells[c][r].Piece) target = Point{c, r};
    ASSERT_GE(target.x, 0);
    sdl_push::Motion(CellCentre(target).x, CellCentre(target).y);
    Frames(3);
    EXPECT_EQ(Mana, 150);
    TestPicture_ShotIfAsked("spell_preview.png");
    // A right-click takes the spell back and pays nothing; the button chooses it again.
    sdl_push::Button(SDL_BUTTON_RIGHT, true, CellCentre(target).x, CellCentre(target).y);
    Frame();
    sdl_push::Button(SDL_BUTTON_RIGHT, false, CellCentre(target).x, CellCentre(target).y);
    Frame();
    EXPECT_EQ(Spell_Targeting, -1);
    EXPECT_EQ(Mana, 150);
    Click(Centre(button));
    Frames(2);
    ASSERT_EQ(Spell_Targeting, SPELL_FIREBALL);
    const PiecePtr hit = Board_Cells[target.x][target.y].Piece;
    Click(CellCentre(target));
    Frames(3);
    EXPECT_EQ(Mana, 150 - Spell_Types[SPELL_FIREBALL * 3].ManaCost);
    EXPECT_EQ(Spell_Targeting, -1);
    EXPECT_TRUE(hit->Removing || !Piece_OnBoard(hit)) << "the clicked piece went";
    Frames(5); // the flames dissolve along the row
    TestPicture_ShotIfAsked("spell_cast.png");
}

// A tutorial frame that points at a button leaves it to the player: the shop's fireball, and the hammer button while
// the frame holds the game still (the player could not go on otherwise); a box with its own button takes them.
TEST_F(CastleShop, ATutorialFrameLeavesThePointedButtonsToThePlayer) {
    Gold = 2000;
    EnterShop();
    Tutorial_OpenFrame(TUTFRAME_PLAIN, 0);
    Click(Centre(*Shop_Buttons[SHOP_SPELL0 + SPELL_FIREBALL]));
    Frames(2);
    EXPECT_EQ(Spell_Level(SPELL_FIREBALL), 1) << "bought under the tutorial's frame";
    Tutorial_Abort();
    Tutorial_OpenFrame(TUTFRAME_OK, 0);
    const int32_t lives = Lives;
    Click(Centre(*Shop_Buttons[SHOP_LIFE]));
    Frames(2);
    EXPECT_EQ(Lives, lives) << "a box takes the shop's buttons";
    Tutorial_Abort();

    Game_Start(0);
    ASSERT_TRUE(PlayPastTheLevelsBoxes(false));
    Hammer_Charge = Hammers[0].Threshold;
    Frames(2);
    ASSERT_GT(Hammer_Current, 0);
    Tutorial_OpenFrame(TUTFRAME_PLAIN, 1);
    ASSERT_EQ(Game_Paused, 1);
    Click(Centre(*IGI_Buttons[0]));
    Frames(2);
    EXPECT_EQ(Hammer_Armed, 1) << "the hammer button answers under the frame that holds the game";
    Tutorial_Abort();
    Game_Paused = 0;
}

} // namespace

namespace {

TEST_F(CastleShop, ReportsZeroOnceElevenEachFrameAndSixteenPerButton) {
    ct::StartRecording();
    Screen_Set(kScreenShop);
    Frames(60);
    int32_t zero = 0, eleven = 0;
    for (const ct::Event& e : ct::Events) {
        zero += e.id == 0;
        eleven += e.id == 11;
    }
    EXPECT_EQ(zero, 1) << "the fade-in finished once";
    EXPECT_EQ(eleven, 60);
    ct::Events.clear();
    Frame();
    std::vector<int32_t> buttons;
    for (const ct::Event& e : ct::Events)
        if (e.id == 16) buttons.push_back(e.a);
    EXPECT_EQ(buttons, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // The tutorial's own disabling of a button the player could afford stands.
    Gold = 100000;
    Frame();
    Shop_Buttons[SHOP_LIFE]->state |= BTN_DISABLED;
    Frames(3);
    EXPECT_TRUE(Shop_Buttons[SHOP_LIFE]->state & BTN_DISABLED);
    EXPECT_FALSE(Shop_Buttons[SHOP_CHEST]->state & BTN_DISABLED);
    // Back slides out to the build menu.
    Click(Centre(*Shop_Buttons[SHOP_BACK]));
    ASSERT_TRUE(FramesUntil(kScreenBuildMenu));
    EXPECT_EQ(BuildMenu_From, BM_FROM_SHOP);
}

} // namespace
