// The play loop driven as a player drives it: Game_Start, real mouse events through the main loop's pass and
// Game_Frame, to the won level and to the level lost by time; restarts, hammers and the time offer.
#include <array>
#include <cstdlib>

#include "board/board.h"
#include "board/board_hooks.h"
#include "board/play.h"
#include "common/test_common.h"
#include "main/config.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "../platform/sdl_push.h"
#include "play_helpers.h"
#include "solver.h"

// A new match plays level 1 with the mouse (clicks and drags, as the solver would choose) to the won state, and the
// saved match names level 2.
TEST_F(PlayTest, Level1IsWonWithTheMouseAndSavesLevel2) {
    Game_Start(0);
    ASSERT_EQ(Screen_Current, kScreenGame);
    EXPECT_EQ(Level_Sweeping, 1);
    Frames(90); // the light sweep
    EXPECT_EQ(Level_Sweeping, 0);
    TestPicture_ShotIfAsked("game_start.png");
    int32_t moves = 0, frames = 0;
    bool shotMid = false;
    while (Screen_Current == kScreenGame && frames < 60 * 60 * 6) {
        if (!Board_Idle()) {
            Frame();
            ++frames;
            continue;
        }
        Point a, b;
        if (Solver_ChooseLauncher(a)) {
            Click(CellCentre(a));
        } else if (Solver_ChooseMove(a, b)) {
            // Every other move is a drag, the rest two clicks.
            if (moves % 2)
                Drag(a, b);
            else {
                Click(CellCentre(a));
                if (moves >= 2 && !shotMid) {
                    TestPicture_ShotIfAsked("game_selected.png");
                    shotMid = true;
                }
                Click(CellCentre(b));
            }
        } else {
            Frame();
        }
        ++moves;
        frames += 4;
    }
    ASSERT_EQ(Screen_Current, kScreenLevelEnd) << "moves " << moves << ", tiles left " << Board_TilesLeft();
    EXPECT_EQ(Level_Lost, 0);
    EXPECT_EQ(Level_Current, 2);
    EXPECT_GT(Score, 0);
    Frames(40);
    TestPicture_ShotIfAsked("level_won.png");
    Frames(120);
    EXPECT_EQ(LevelEnd_Phase, 2);
    // The saved match names level 2 and carries the score.
    const int32_t score = Score;
    Score = 0;
    Level_Current = 7;
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Level_Current, 2);
    EXPECT_EQ(Score, score);
    EXPECT_EQ(Lives, 3);
}

// The same level without a move runs out of time: the offer came once (the player did not take it), a life is lost,
// the level-end screen shows the loss and the saved match keeps the level with one life less.
TEST_F(PlayTest, LevelIsLostByTimeAndTakesALife) {
    Player_LevelEase[0][1] = 0;
    Game_Start(0);
    Frames(80);
    Level_TimeLeft = 61000000; // a little over the offer's minute
    Frames(30);
    EXPECT_EQ(Level_OfferMade, 0);
    Frames(40);
    EXPECT_EQ(Level_OfferMade, 1);
    Level_TimeLeft = 500000;
    Frames(40);
    ASSERT_EQ(Screen_Current, kScreenLevelEnd);
    EXPECT_EQ(Level_Lost, 1);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Player_LevelEase[0][1], 1) << "the lost level gets easier";
    EXPECT_EQ(Level_Current, 1);
    Frames(40);
    TestPicture_ShotIfAsked("level_lost.png");
    Frames(120);
    EXPECT_EQ(LevelEnd_Phase, 2);
    Lives = 3;
    ASSERT_TRUE(Match_Load());
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_Current, 1);
    // Relaxed play: the time stands still.
    Relaxed_Mode = 1;
    Game_Start(0);
    Frames(80);
    const int64_t left = Level_TimeLeft;
    Frames(100);
    EXPECT_EQ(Level_TimeLeft, left);
}

// A restart (mode 1) puts score, gold and mana back to the level's start and forgets the level's gems; a continued
// level (mode 2) keeps the counters as they are and records nothing.
TEST_F(PlayTest, RestartRestoresTheCountersOfTheLevelStart) {
    Score = 1000;
    Gold = 40;
    Mana = 7;
    Game_Start(0);
    EXPECT_EQ(Score_AtLevelStart, 1000);
    EXPECT_EQ(Gold_AtLevelStart, 40);
    EXPECT_EQ(Mana_AtLevelStart, 7);
    Frames(80);
    // Gems the board gives away in the level are counted for the restart.
    const Point at{2, 2};
    const int32_t kind = Board_Cells[at.x][at.y].Piece->Kind;
    Cell_DestroyPiece(at.x, at.y);
    EXPECT_EQ(Level_Gems[size_t(kind)], 1);
    Score = 5000;
    Gold = 90;
    Mana = 50;
    Game_Start(1);
    EXPECT_EQ(Score, 1000);
    EXPECT_EQ(Gold, 40);
    EXPECT_EQ(Mana, 7);
    EXPECT_EQ(Level_Gems[size_t(kind)], 0);
    EXPECT_EQ(Level_StartMode, 1);
    Score = 3000;
    Game_Start(2);
    EXPECT_EQ(Score, 3000);
    EXPECT_EQ(Score_AtLevelStart, 1000);
}

// A life is paid when the match's highest score passes a multiple of the life threshold, once: a restart puts the
// score back below it (also after a continued level), and reaching it again pays nothing until the next one.
TEST_F(PlayTest, ALifeThresholdPaysOncePerMatchAcrossRestarts) {
    Score = Score_Highest = rules::LifeEveryPoints - 100;
    Lives = 3;
    Game_Start(0);
    Score_Add(99);
    EXPECT_EQ(Lives, 3) << "one point short";
    Score_Add(1);
    EXPECT_EQ(Lives, 4) << "exactly at the threshold";
    Game_Start(2);
    Game_Start(1);
    ASSERT_EQ(Score, rules::LifeEveryPoints - 100);
    Score_Add(200);
    EXPECT_EQ(Lives, 4) << "the threshold has paid already";
    Game_Start(1);
    Score_Add(rules::LifeEveryPoints + 100);
    EXPECT_EQ(Lives, 5) << "the next threshold pays";
    EXPECT_EQ(Score_Highest, 2 * rules::LifeEveryPoints);
}

// Each threshold fires its icon burst once, however the charge arrives; hammer n becomes the available one there.
TEST_F(PlayTest, HammerThresholdsFireOnceEach) {
    Game_Start(0);
    Hammers_Reset();
    Hammer_BurstsFired = 0;
    Hammer_AddCharge(49);
    Hammer_Update();
    EXPECT_EQ(Hammer_BurstsFired, 0);
    EXPECT_EQ(Hammer_Current, 0);
    Hammer_AddCharge(1);
    Hammer_Update();
    EXPECT_EQ(Hammer_BurstsFired, 1);
    EXPECT_EQ(Hammer_Current, 1);
    Hammer_AddCharge(5);
    EXPECT_EQ(Hammer_BurstsFired, 1);
    Hammer_AddCharge(300); // passes 120 and 260 at once
    Hammer_Update();
    EXPECT_EQ(Hammer_BurstsFired, 3);
    EXPECT_EQ(Hammer_Current, 3);
    EXPECT_EQ(HammerFill[Hammer_GaugeSegments - 1], 255);
    Hammer_AddCharge(100); // full: nothing more
    EXPECT_EQ(Hammer_BurstsFired, 3);
    EXPECT_EQ(Hammer_Charge, 260);
}

namespace {
int g_trails = 0;
}

// The charge comets fly while the charge grows, and never with the slow-computer option on.
TEST_F(PlayTest, ChargeCometsFollowTheChargeAndTheSlowComputerOption) {
    Board_Hooks.Gfx_MatchTrail = [](float, int32_t) { ++g_trails; };
    const int32_t slow = Slow_PC;
    Game_Start(0);
    Hammers_Reset();
    g_trails = 0;
    Slow_PC = 0;
    Hammer_AddCharge(3);
    EXPECT_EQ(g_trails, 1);
    Slow_PC = 1;
    Hammer_AddCharge(3);
    EXPECT_EQ(g_trails, 1);
    Slow_PC = 0;
    Hammer_AddCharge(300);
    Hammer_AddCharge(3); // full: the charge does not grow
    EXPECT_EQ(g_trails, 2);
    Slow_PC = slow;
}

// Hammer 1 takes a piece and leaves the tile, hammer 2 takes the tile too, hammer 3 every gem of that colour with
// their tiles. A strike uses the charge up; the click goes through the mouse.
TEST_F(PlayTest, HammersStrikeWhatTheyPromise) {
    Game_Start(0);
    Frames(80);
    const Point at{3, 3};
    ASSERT_TRUE(Cell_Playable(at.x, at.y));
    // Hammer 1.
    Hammer_Charge = 50;
    Hammer_Update();
    Hammer_Arm();
    ASSERT_EQ(Hammer_Armed, 1);
    const int32_t tile = Board_Cells[at.x][at.y].TileLevel;
    const PiecePtr first = Board_Cells[at.x][at.y].Piece;
    Click(CellCentre(at));
    EXPECT_TRUE(first->Removing);
    EXPECT_EQ(Board_Cells[at.x][at.y].TileLevel, tile);
    EXPECT_EQ(Hammer_Charge, 0);
    EXPECT_EQ(Hammer_Armed, 0);
    Frames(60);
    // Hammer 2 on a cell with a tile.
    Point tiled{-1, -1};
    for (int32_t c = 0; c < Board_Cols && tiled.x < 0; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (Cell_Playable(c, r) && Board_Cells[c][r].TileLevel > 0) {
                tiled = Point{c, r};
                break;
            }
    ASSERT_GE(tiled.x, 0);
    Hammer_Charge = 120;
    Hammer_Update();
    Hammer_Arm();
    Click(CellCentre(tiled));
    EXPECT_EQ(Board_Cells[tiled.x][tiled.y].TileLevel, 0);
    Frames(60);
    // Hammer 3: every gem of the colour.
    Hammer_Charge = 260;
    Hammer_Update();
    Hammer_Arm();
    const Point aim = CellCentre(Point{0, 0});
    sdl_push::Motion(aim.x, aim.y);
    Frames(2);
    TestPicture_ShotIfAsked("hammer3.png");
    const int32_t colour = Board_Cells[0][0].Piece->Kind;
    Click(CellCentre(Point{0, 0}));
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            EXPECT_FALSE(p && p->Kind == colour && !p->Moving) << c << "," << r;
        }
    EXPECT_EQ(Board_Cells[0][0].TileLevel, 0);
}

// The offer opens once per level, only in timed play with lives left; buying adds at most what the level's full
// time allows and takes a life only when time was added.
TEST_F(PlayTest, TimeOfferOnceAndClamped) {
    Game_Start(0);
    Frames(80);
    Level_Duration = 100000000;
    Level_TimeLeft = 59000000;
    Level_UpdateTime(16);
    EXPECT_EQ(Level_OfferMade, 1);
    Level_OfferMade = 0;
    Lives = 0;
    Level_UpdateTime(16);
    EXPECT_EQ(Level_OfferMade, 0) << "no offer without a life to pay";
    Lives = 3;
    const int64_t room = Level_Duration - Level_TimeLeft; // less than the two minutes offered
    EXPECT_EQ(Level_BuyTime(), room);
    EXPECT_EQ(Level_TimeLeft, Level_Duration);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Level_BuyTime(), 0);
    EXPECT_EQ(Lives, 2) << "nothing added, nothing paid";
}

// Later levels on bigger boards draw their cells, pieces and the time bar where the layout puts them.
TEST_F(PlayTest, BiggerBoardsAreDrawnInTheirArea) {
    for (const int32_t level : {40, 120}) {
        Level_Current = level;
        Game_Start(0);
        Frames(100);
        TestPicture_ShotIfAsked(level == 40 ? "level40.png" : "level120.png");
        // The middle cell is drawn (not the backdrop) and the time bar is filled.
        const Point mid = CellCentre(Point{Board_Cols / 2, Board_Rows / 2});
        const Pixmap board = Graphics_ReadPixels(mid.x, mid.y, 1, 1);
        const Pixmap bar = Graphics_ReadPixels(45, 560, 1, 1);
        ASSERT_EQ(board.bytes.size(), 4u);
        const auto rgb = [](const Pixmap& p) { return std::array<int, 3>{p.bytes[2], p.bytes[1], p.bytes[0]}; };
        EXPECT_NE(rgb(board), (std::array<int, 3>{20, 26, 58})) << level;
        EXPECT_GT(rgb(bar)[1], 150) << "green time bar, level " << level;
    }
}

// A click on a coin collects it and a click on a helix fires it; a click beside a selected piece's neighbours moves
// the selection, a click on the selected piece takes it away.
TEST_F(PlayTest, ClicksCollectFireAndSelect) {
    Level_Current = 6;
    Game_Start(0);
    Frames(90);
    const int32_t gold = Gold;
    ASSERT_TRUE(Piece_CreateCoinOrBottle(1, 1, KIND_COIN_GOLD));
    Click(CellCentre(Point{1, 1}));
    EXPECT_EQ(Gold, gold + rules::GoldCoinGold);
    Frames(60);

    const Point at{2, 3};
    PiecePtr helix = Piece_CreateLauncher(Cell_PixelX(at.x), Cell_PixelY(at.y));
    Piece_Remove(Board_Cells[at.x][at.y].Piece);
    helix->Col = at.x;
    helix->Row = at.y;
    Board_Cells[at.x][at.y].Piece = helix;
    Click(CellCentre(at));
    EXPECT_TRUE(helix->Removing);
    Frames(120);

    Click(CellCentre(Point{0, 0}));
    EXPECT_EQ(Board_Selected, 1);
    Click(CellCentre(Point{3, 3}));
    EXPECT_EQ(Board_Selected, 1);
    EXPECT_EQ(Board_SelectedCell.x, 3);
    Click(CellCentre(Point{3, 3}));
    EXPECT_EQ(Board_Selected, 0);
}
