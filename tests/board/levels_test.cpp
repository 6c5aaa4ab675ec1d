// The generated level set: every level loads, follows the level plan, has a move at its start, and its time is fair
// at the level's pace on games the generator never played (the logic simulated with a fixed frame time, nothing
// drawn).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "board/play.h"
#include "board_helpers.h"
#include "levels.h"
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

// Every level loads, has a move and no group at its start.
TEST(LevelSet, EveryLevelLoadsWithAMoveAndNoGroup) {
    ASSERT_TRUE(std::filesystem::exists(std::string(BQ_ASSET_DIR) + "/levels/BQ2_level_150.lev"))
        << "the board asset generator has not run";
    for (int32_t n = 1; n <= kLevelCount; ++n) {
        SCOPED_TRACE(testing::Message() << "level " << n);
        Level_Current = n;
        ASSERT_TRUE(Level_Load(LevelPath(n)));
        EXPECT_TRUE(Board_HasMove());
        EXPECT_GT(Board_TilesLeft(), 0);
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                ASSERT_EQ(Board_FindMatchGroup(c, r, 0, 0), 0) << c << "," << r;
    }
}

// A level's time is fair on games the generator never played: on ten fresh seeds per level a player who thinks the
// level's pace a move (4.5 s at first, 3 s at the end) wins at least 80 % of the games and half of every level's.
// The campaign is checked in ten parts of 15 levels, which CTest runs side by side.
class LevelSetPart : public ::testing::TestWithParam<int32_t> {};

TEST_P(LevelSetPart, IsFairAtTheLevelsPaceOnUnusedSeeds) {
    constexpr int32_t kPartLevels = kLevelCount / 10;
    const int32_t first = GetParam() * kPartLevels + 1;
    const std::vector<CheckedLevel> levels = Levels_PlayCheckGames(BQ_ASSET_DIR, first, first + kPartLevels - 1);
    ASSERT_EQ(levels.size(), size_t(kPartLevels));
    int32_t wins = 0;
    for (int32_t i = 0; i < kPartLevels; ++i) {
        const int32_t n = first + i;
        const CheckedLevel& level = levels[size_t(i)];
        int32_t levelWins = 0;
        for (const SolveResult& r : level.games)
            levelWins += Level_WonAtPace(r, Level_PaceSeconds(n), level.durationUs);
        EXPECT_GE(2 * levelWins, kCheckGames) << "level " << n << ": " << levelWins << " of " << kCheckGames;
        wins += levelWins;
        if (n == 2 || n == 3) {
            EXPECT_GE(level.games[0].matchedCells, 50) << "hammer 1 must be reachable on level " << n;
        }
    }
    EXPECT_GE(wins * 100, kPartLevels * kCheckGames * 80) << wins << " of " << kPartLevels * kCheckGames;
}

INSTANTIATE_TEST_SUITE_P(LevelSet, LevelSetPart, ::testing::Range(0, 10));

// Played well (one unused seed per level, the time bonus at the level's pace) the campaign pays about one life every
// ten levels, each threshold once.
TEST(LevelSet, PlayedWellTheCampaignPaysALifeAboutEveryTenLevels) {
    Score = Score_Highest = 0;
    Lives = 3;
    for (int32_t n = 1; n <= kLevelCount; ++n) {
        Level_Current = n;
        ASSERT_TRUE(Level_Load(LevelPath(n)));
        Rand_Seed(int32_t(Level_CheckSeed(n, 0)));
        const SolveResult r = Solver_Play(Level_Duration / 1000);
        const int64_t used = r.timeMs * 1000 + int64_t(std::llround(r.moves * Level_PaceSeconds(n) * 1e6));
        Level_TimeLeft = std::max<int64_t>(0, Level_Duration - used);
        Score_Add(Level_ComputeTimeBonus());
    }
    const int32_t livesEarned = Lives - 3;
    std::printf("played well the campaign scores %d points and %d lives\n", Score, livesEarned);
    EXPECT_GE(livesEarned, 11);
    EXPECT_LE(livesEarned, 20);
}

// The time of a level: the 90th percentile of the needs (the 18th smallest of 20), rounded up to 10 s, never below
// the floor of its stretch of the campaign; the pace falls evenly from 4.5 s to 3 s a move.
TEST(LevelSet, TimeIsAHighPercentileOfTheNeedAboveTheFloor) {
    std::array<double, kTimeGames> need{};
    for (size_t i = 0; i < need.size(); ++i)
        need[i] = 100.0 * double(need.size() - i); // 2000, 1900, ..., 100
    EXPECT_EQ(Level_TimeFromNeeds(60, need), 1800);
    need[2] = 1801; // was the 18th smallest
    EXPECT_EQ(Level_TimeFromNeeds(60, need), 1810) << "rounded up to 10 s";
    need.fill(10);
    EXPECT_EQ(Level_TimeFromNeeds(5, need), 180);
    EXPECT_EQ(Level_TimeFromNeeds(6, need), 120);
    EXPECT_EQ(Level_TimeFromNeeds(20, need), 120);
    EXPECT_EQ(Level_TimeFromNeeds(21, need), 90);
    EXPECT_DOUBLE_EQ(Level_PaceSeconds(1), 4.5);
    EXPECT_DOUBLE_EQ(Level_PaceSeconds(kLevelCount), 3.0);
    SolveResult r;
    r.won = true, r.timeMs = 10000, r.moves = 20;
    EXPECT_TRUE(Level_WonAtPace(r, 3.0, 70000000)) << "exactly in time";
    EXPECT_FALSE(Level_WonAtPace(r, 3.0, 69999999));
    r.won = false;
    EXPECT_FALSE(Level_WonAtPace(r, 0.0, 70000000));
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
