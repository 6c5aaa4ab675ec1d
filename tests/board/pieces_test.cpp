// Pieces: the spawn table with its ease adjustment, the random overlays of a spawned gem, freezing, and the
// creators' reports to the tutorial.
#include <gtest/gtest.h>

#include <climits>

#include "board_helpers.h"
#include "platform/random.h"

namespace {

TEST(Pieces, SpawnFollowsTheWeightsAndTheLevelsChances) {
    bt::Build({"..."});
    for (int32_t& w : Spawn_Weights)
        w = 0;
    Spawn_Weights[2] = 5;
    Spawn_Weights[KIND_LAUNCHER] = 50; // never spawned, whatever its weight
    Spawn_Weights[KIND_COIN_GOLD] = 50;
    Level_BombPercent = 100;
    Level_LaserPercent = 0;
    Level_Ease = 0;
    Level_BuildSpawnTable();
    EXPECT_EQ(Pieces_SpawnTotal, 5);
    Rand_Seed(3);
    for (int32_t i = 0; i < 50; ++i) {
        const PiecePtr p = Piece_Spawn(0, 0);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->Kind, 2);
        EXPECT_EQ(p->Bomb, 1);
        EXPECT_EQ(p->Laser, 0);
    }
    Level_BombPercent = 0;
    for (int32_t& w : Spawn_Weights)
        w = 0;
    Level_BuildSpawnTable();
    EXPECT_FALSE(Piece_Spawn(0, 0));                                    // nothing to spawn
    Spawn_Weights[1] = Spawn_Weights[2] = Spawn_Weights[3] = INT32_MAX; // a hostile file
    Level_BuildSpawnTable();
    EXPECT_GT(Pieces_SpawnTotal, 0);
    EXPECT_TRUE(Piece_Spawn(0, 0));
}

TEST(Pieces, EaseTakesTarAndTheLastColourDown) {
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int32_t k = 1; k <= 6; ++k)
        Spawn_Weights[k] = 12;
    Spawn_Weights[KIND_TAR] = 6;
    Level_Ease = 0;
    Level_BuildSpawnTable();
    EXPECT_EQ(Pieces_SpawnTotal, 6 * 12 + 6);
    Level_Ease = 3;
    Level_BuildSpawnTable();
    EXPECT_EQ(Pieces_SpawnTotal, 5 * 12 + 3); // no tar, colour 6 at a quarter
    EXPECT_GT(Hint_DelayMs(), 1999);
    Level_Ease = 0;
    EXPECT_EQ(Hint_DelayMs(), rules::HintMs);
}

TEST(Pieces, CreatorsReportToTheTutorial) {
    bt::Build({"12", "34"});
    bt::StartRecording();
    Piece_Create(Cell_PixelX(1), Cell_PixelY(0), KIND_AMULET);
    Piece_CreateCoinOrBottle(0, 1, KIND_COIN_GOLD);
    EXPECT_FALSE(Piece_CreateCoinOrBottle(0, 1, 5)); // only coins and bottles
    EXPECT_FALSE(Piece_CreateCoinOrBottle(7, 7, KIND_BOTTLE));
    bt::StopRecording();
    ASSERT_EQ(bt::Events.size(), 2u);
    EXPECT_EQ(bt::Events[0].id, 4);
    EXPECT_EQ(bt::Events[0].a, 1);
    EXPECT_EQ(bt::Events[0].b, 0);
    EXPECT_EQ(bt::Events[0].cellKind, KIND_AMULET); // placed in its cell before the report
    EXPECT_EQ(bt::Events[1].id, 3);
    EXPECT_EQ(bt::Events[1].b, 1);
    EXPECT_EQ(bt::Events[1].cellKind, KIND_COIN_GOLD);
    EXPECT_EQ(Board_Cells[0][1].Piece->Lifetime, rules::CoinLifetimeMs);
}

TEST(Pieces, AntigravityRisesToTheTop) {
    bt::Build({"1", "2", "3", "4"});
    Board_Cells[0][3].Piece->Antigrav = 1;
    for (int32_t f = 0; f < 300; ++f)
        Board_Update(16);
    EXPECT_EQ(bt::Snapshot(), (std::vector<std::string>{"4", "1", "2", "3"}));
}

TEST(Pieces, ResetAndCopyOfCells) {
    bt::Build({"12", "34"});
    Board_Reset();
    for (int32_t c = 0; c < Board_MaxCols; c += 47)
        for (int32_t r = 0; r < Board_MaxRows; r += 47) {
            const Table_cell& cell = Board_Cells[c][r];
            EXPECT_EQ(cell.TileLevel, 1);
            EXPECT_EQ(cell.BaseTileLevel, 1);
            EXPECT_EQ(cell.AutoSpawn, r == 0 ? 1 : 0);
            EXPECT_EQ(cell.RefillMs, 100);
            EXPECT_FALSE(cell.Piece);
        }
    bt::Build({"12", "34"});
    Board_Cells[0][0].BaseTileLevel = 2;
    Board_Cells[0][0].BringDown = 1;
    Board_SetCell(1, 1, 0, 0);
    EXPECT_EQ(bt::KindAt(1, 1), 1);
    EXPECT_EQ(Board_Cells[1][1].Piece->Col, 1);
    EXPECT_EQ(Board_Cells[1][1].BringDown, 1);
    EXPECT_EQ(Board_Cells[1][1].BaseTileLevel, 1); // not copied
}

} // namespace
