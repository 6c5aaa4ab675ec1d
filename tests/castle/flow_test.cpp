// The campaign's round through the real screens with the whole game's hook tables: a level played to the win with
// the mouse, the build menu after it (entered as the level-won dialog's "Weiter" does; the dialog itself is the
// menus' and not built yet), a castle part bought there, then Play, the level map's "Spielen" and the next level.
#include <cstdlib>
#include <functional>
#include <string>

#include "board/board_hooks.h"
#include "board/play.h"
#include "castle/castle.h"
#include "../platform/sdl_push.h"
#include "castle_helpers.h"
#include "common/button_centre.h"
#include "common/test_common.h"
#include "main/progress.h"
#include "game/startup.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "play_helpers.h"
#include "solver.h"

namespace {

class GameFlow : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        ct::UseWholeGame();
    }
    void TearDown() override {
        Board_Hooks = Board_HooksDefault();
        PlayTest::TearDown();
    }

    // Plays the running level with the solver's moves until the game screen is left; returns the moves made.
    int32_t PlayToTheEnd() {
        int32_t moves = 0, frames = 0;
        while (Screen_Current == kScreenGame && frames < 60 * 60 * 6) {
            Point a, b;
            if (Dialog_Active) {
                OkTheBox();
            } else if (!Board_Idle()) {
                Frame();
            } else if (Solver_ChooseLauncher(a)) {
                Click(CellCentre(a));
            } else if (Solver_ChooseMove(a, b)) {
                Drag(a, b);
                ++moves;
                if (moves == 6) TestPicture_ShotIfAsked("flow_game.png");
            } else {
                Frame();
            }
            frames += 4;
        }
        return moves;
    }
    // The "Level N" box after the light sweep (it pauses the game) answered with a typed character (its OK).
    void OkTheBox() {
        sdl_push::Text("x");
        Frame();
        Frame();
    }
    // Frames until the light sweep's level box opens, then its OK.
    void PastTheLevelBox() {
        for (int32_t i = 0; i < 240 && !Dialog_Active; ++i)
            Frame();
        ASSERT_EQ(Dialog_Active, 1) << "the level box after the light sweep";
        OkTheBox();
        ASSERT_EQ(Dialog_Active, 0);
        ASSERT_EQ(Game_Paused, 0);
    }
    // Frames until the screen is `screen` (at most `limit`).
    bool FramesUntil(int32_t screen, int32_t limit = 600) {
        for (int32_t i = 0; i < limit && Screen_Current != screen; ++i)
            Frame();
        return Screen_Current == screen;
    }
};

TEST_F(GameFlow, ALevelWonBuysAPartAndTheMapStartsTheNextLevel) {
    Level_Current = 1;
    Game_Start(0);
    ASSERT_EQ(Screen_Current, kScreenGame);
    PastTheLevelBox();
    PlayToTheEnd();
    ASSERT_EQ(Screen_Current, kScreenLevelEnd);
    EXPECT_EQ(Level_Lost, 0);
    EXPECT_EQ(Level_Current, 2);
    int32_t won = 0;
    for (int32_t g : Gems_Total)
        won += g;
    EXPECT_GT(won, 0) << "the board's gems reached the bag";
    EXPECT_EQ(won, Gems_ThisLevel);

    // The level end counts the bonus, shows its picture and opens the level-won dialog; its button opens the build
    // menu.
    for (int32_t i = 0; i < 600 && Dialog_UpdateFn() != WinLose_Update; ++i)
        Frame();
    ASSERT_EQ(Dialog_UpdateFn(), WinLose_Update);
    sdl_push::Tap(SDL_SCANCODE_RETURN);
    ASSERT_TRUE(FramesUntil(kScreenBuildMenu));
    Frames(60); // the panel slides in
    ASSERT_EQ(Fade_State, FADE_STILL);
    ASSERT_FALSE(BuildMenu_PartButtons.empty());
    // The bag tops up to the cheapest part when level 1 alone does not pay for one (the economy test checks the
    // real pace); the click below buys whatever is lit.
    const GUIBtnPtr* lit = nullptr;
    for (const GUIBtnPtr& b : BuildMenu_PartButtons)
        if (!(b->state & BTN_DISABLED)) lit = &b;
    if (!lit) {
        const CastleElem& e = *Castle_Elems[size_t(BuildMenu_PartButtons[0]->id)];
        for (int32_t c = 0; c < kGemColours; ++c)
            Gems_Total[size_t(c)] = std::max(Gems_Total[size_t(c)], e.price[size_t(c)]);
        BuildMenu_LayoutPartButtons();
        lit = &BuildMenu_PartButtons[0];
    }
    const int32_t part = (*lit)->id;
    const auto before = Gems_Total;
    Click(Centre(**lit));
    Frames(40); // the part settles in
    EXPECT_EQ(Castle_Elems[size_t(part)]->built, 1);
    for (size_t c = 0; c < size_t(kGemColours); ++c)
        EXPECT_EQ(Gems_Total[c], before[c] - Castle_Elems[size_t(part)]->price[c]) << c;
    TestPicture_ShotIfAsked("flow_build_menu.png");

    // Play: the level map, whose "Spielen" starts level 2 as a fresh level start.
    Click(Centre(*BuildMenu_Buttons[BM_BTN_PLAY]));
    ASSERT_TRUE(FramesUntil(kScreenLevelMap));
    Frames(30);
    Click(Point{236 + 52, 554 + 18}); // "Spielen" (104 x 36 at 236, 554)
    ASSERT_TRUE(FramesUntil(kScreenGame, 120));
    EXPECT_EQ(Level_Current, 2);
    EXPECT_EQ(Level_StartMode, 0);
    EXPECT_EQ(Gems_ThisLevel, 0) << "a new level's bag count";
    EXPECT_EQ(Castle_Elems[size_t(part)]->built, 1);

    // The saved match carries the castle: a fresh load puts the bought part back.
    Castle_ResetProgress();
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Castle_Elems[size_t(part)]->built, 1);
    Frames(90);
    TestPicture_ShotIfAsked("flow_level2.png");
}

// A restart takes the level's gems out of the bag exactly once, and a continued match that is restarted takes back
// what the level brought before it was saved.
TEST_F(GameFlow, ARestartTakesTheLevelsGemsBackOnce) {
    Gems_Total = {5, 5, 5, 5, 5, 5, 5};
    Level_Current = 1;
    Game_Start(0);
    PastTheLevelBox();
    for (int32_t i = 0; i < 8 && Gems_ThisLevel == 0; ++i) {
        Point a, b;
        if (Solver_ChooseMove(a, b)) Drag(a, b);
        Frames(60);
    }
    ASSERT_GT(Gems_ThisLevel, 0);
    Match_Save(Level_Current, 1);
    const auto brought = Gems_ThisLevelByColour;
    Castle_ResetProgress();
    ASSERT_TRUE(Match_Continue());
    EXPECT_EQ(Gems_ThisLevelByColour, brought);
    Game_Start(1);
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(Gems_ThisLevel, 0);
    Game_Start(1); // a second restart finds nothing more to take
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{5, 5, 5, 5, 5, 5, 5}));
}

// A new match (the continue box's "Nein", another player's first Start in the same run) starts from nothing: the
// gold, mana, spells, castle parts and gems of the match before it stay behind, and its saved file is gone.
TEST_F(GameFlow, ANewMatchLeavesTheOldMatchsGoldCastleAndSpellsBehind) {
    Level_Current = 7;
    Gems_Total = {50, 50, 50, 50, 50, 50, 50};
    ASSERT_TRUE(Castle_Buy(Castles[0].storeys[0][0]));
    Gold = 700;
    Mana = 40;
    Mana_CapLevel = 1;
    Gold_AtLevelStart = 650;
    Treasure_Level = 1;
    Spells_AddLevel(5);
    ASSERT_EQ(Spell_Level(5), 1);
    Match_Save(Level_Current, 0);
    ASSERT_TRUE(Match_Exists());

    Match_New();
    EXPECT_FALSE(Match_Exists());
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Lives, 3);
    EXPECT_EQ(Gold, 0);
    EXPECT_EQ(Gold_AtLevelStart, 0);
    EXPECT_EQ(Mana, 0);
    EXPECT_EQ(Mana_CapLevel, 0);
    EXPECT_EQ(Spell_Level(5), 0);
    EXPECT_EQ(Treasure_Level, 0);
    EXPECT_EQ(Castle_Current, 0);
    EXPECT_EQ(Castles[0].level, 0);
    for (const CastleElemPtr& e : Castle_Elems)
        EXPECT_FALSE(e->built);
    EXPECT_EQ(Gems_Total, (std::array<int32_t, 7>{}));
}

} // namespace

// The in-game panel keeps its band with the counters and buttons as a cached layer. Every number and look on it shows
// in the next frame exactly as drawing it anew shows it (a key that missed one would keep the old picture).
TEST_F(GameFlow, CachedPanelShowsEveryChangeOfItsNumbers) {
    Game_Start(0);
    PastTheLevelBox();
    Game_Paused = 1; // the board stands still; the panel is still drawn
    const auto panel = [&] {
        Frame();
        return Graphics_ReadPixels(620, 0, 180, 600).bytes;
    };
    const struct {
        const char* what;
        std::function<void()> change;
    } kChanges[] = {
        {"score", [] { Score += 150; }},
        {"gold", [] { Gold += 7; }},
        {"lives", [] { Lives += 1; }},
        {"gems", [] { Gems_ThisLevel += 3; }},
        {"treasure", [] { Treasure_Level = 1; }},
        {"bag full", [] { Gems_ThisLevel = Gems_BagLimits[1]; }},
        {"hammer gauge", [] { HammerFill[4] = 255; }},
        {"hammer", [] { Hammer_Current = 1; }},
        {"hammer armed", [] { Hammer_Armed = 1; }},
        {"level", [] { Level_Current += 1; }},
    };
    std::vector<uint8_t> before = panel();
    for (const auto& k : kChanges) {
        k.change();
        const std::vector<uint8_t> cached = panel();
        Layer_Release(kLayerGamePanel);
        const std::vector<uint8_t> anew = panel();
        EXPECT_TRUE(cached == anew) << k.what << ": the cached panel shows an old picture";
        EXPECT_FALSE(cached == before) << k.what << ": no change seen";
        before = anew;
    }
    Hammer_Armed = 0;
    Treasure_Level = 0;
    Gems_ThisLevel = 0;
    Game_Paused = 0;
}
