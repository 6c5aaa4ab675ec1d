// The generated level set: every level loads, follows the level plan, has a move at its start and is won by
// the greedy solver within its time (the logic simulated with a fixed frame time, nothing drawn).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "board_helpers.h"
#include "platform/random.h"
#include "solver.h"

namespace {

Str LevelPath(int32_t n) { return Str_FromUtf8(std::string(BQ_ASSET_DIR) + "/") + Level_FileName(n); }

struct LevelFacts {
    int32_t crates = 0, chains = 0, doubleChains = 0, silver = 0, bringDown = 0, bombs = 0, tar = 0;
};
LevelFacts Facts() {
    LevelFacts f;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const Table_cell& cell = Board_Cells[c][r];
            if (cell.Void) continue;
            f.crates += cell.Blockers > 0;
            f.silver += cell.TileLevel == 2;
            f.bringDown += cell.BringDown;
            if (const Piece* p = cell.Piece.get()) {
                f.chains += p->Shield == 1;
                f.doubleChains += p->Shield == 2;
                f.bombs += p->Bomb;
                f.tar += p->Kind == KIND_TAR;
            }
        }
    return f;
}

// Every level loads, has a move and no group at its start, and its time is what the generator promises: the solver
// wins each level in at least two of three games it has not played before, and a player who thinks 2.5 s per move
// (the campaign's end pressure) wins two games in three. Over the campaign the solver, a good player, earns about one
// life every ten levels.
TEST(LevelSet, EveryLevelLoadsHasAMoveAndIsWonInTime) {
    ASSERT_TRUE(std::filesystem::exists(std::string(BQ_ASSET_DIR) + "/levels/BQ2_level_150.lev"))
        << "the board asset generator has not run";
    constexpr int32_t kGames = 3;
    int32_t thinkerWins = 0;
    Score = 0;
    Lives = 3;
    for (int32_t n = 1; n <= 150; ++n) {
        SCOPED_TRACE(testing::Message() << "level " << n);
        int32_t solverWins = 0;
        for (int32_t g = 0; g < kGames; ++g) {
            Level_Current = n;
            ASSERT_TRUE(Level_Load(LevelPath(n)));
            if (g == 0) {
                EXPECT_TRUE(Board_HasMove());
                EXPECT_GT(Board_TilesLeft(), 0);
                for (int32_t c = 0; c < Board_Cols; ++c)
                    for (int32_t r = 0; r < Board_Rows; ++r)
                        ASSERT_EQ(Board_FindMatchGroup(c, r, 0, 0), 0) << c << "," << r;
            }
            const int32_t scoreBefore = Score, livesBefore = Lives;
            Rand_Seed(5000 + n + g * 100000); // other games than the generator played
            const SolveResult res = Solver_Play(Level_Duration / 1000);
            solverWins += res.won;
            const int64_t thinkerUs = res.timeMs * 1000 + int64_t(res.moves) * 2500000;
            if (res.won && thinkerUs <= Level_Duration) ++thinkerWins;
            if (g == 0) {
                // The time bonus of a player who thinks 2.5 s a move.
                Level_TimeLeft = std::max<int64_t>(0, Level_Duration - thinkerUs);
                Score_Add(Level_ComputeTimeBonus());
            } else {
                Score = scoreBefore; // only the first game counts for the campaign's score
                Lives = livesBefore;
            }
            if (n == 2 || n == 3) {
                EXPECT_GE(res.matchedCells, 50) << "hammer 1 must be reachable";
            }
        }
        EXPECT_GE(solverWins, 2) << "won " << solverWins << " of " << kGames;
    }
    const int32_t livesEarned = Lives - 3;
    std::printf("a 2.5 s thinker wins %d of %d games; the solver earns %d lives with %d points\n", thinkerWins,
                150 * kGames, livesEarned, Score);
    EXPECT_GE(thinkerWins, 150 * kGames * 2 / 3);
    EXPECT_GE(livesEarned, 10);
    EXPECT_LE(livesEarned, 22);
}

TEST(LevelSet, FollowsThePlanOfTheTutorial) {
    const auto load = [](int32_t n) {
        Level_Current = n;
        EXPECT_TRUE(Level_Load(LevelPath(n)));
        return Facts();
    };
    const LevelFacts l1 = load(1);
    EXPECT_EQ(l1.crates + l1.chains + l1.silver + l1.bringDown + l1.bombs + l1.tar, 0) << "golden tiles only";
    EXPECT_EQ(Level_SilverCoinInterval + Level_GoldCoinInterval + Level_ManaBottleInterval, 0);
    load(2);
    EXPECT_GT(Level_SilverCoinInterval, 0) << "coins from level 2";
    EXPECT_EQ(Level_ManaBottleInterval, 0);
    for (int32_t n : {3, 4, 5})
        EXPECT_EQ(load(n).bringDown, 1) << "amulet on level " << n;
    EXPECT_GT(load(4).crates, 0);
    EXPECT_GT(load(5).chains, 0);
    for (int32_t n : {6, 7})
        EXPECT_GT(load(n).doubleChains, 0) << n;
    for (int32_t n : {7, 8})
        EXPECT_GT(load(n).silver, 0) << n;
    load(6);
    EXPECT_GT(Level_ManaBottleInterval, 0) << "bottles from level 6";
    EXPECT_GT(load(13).bombs, 0);
    EXPECT_GT(load(16).tar, 0);
    EXPECT_GT(Spawn_Weights[KIND_TAR], 0);
}

} // namespace
