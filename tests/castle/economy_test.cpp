// The economy over the whole campaign: the generated levels played in order by the level generator's greedy solver,
// the gems going into the real bag (limit of treasure level 0), and every part bought as soon as the bag covers it.
// Castle 1 must stand around level 10 to 15, all seven before level 150, and the later castles take longer.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_hooks.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "castle_helpers.h"
#include "platform/random.h"
#include "solver.h"

TEST(Economy, BuildingAsSoonAsPossibleFinishesCastleOneEarlyAndAllSevenBeforeTheEnd) {
    ASSERT_TRUE(ct::LoadShippedPrices());
    Castle_ResetProgress();
    const BoardHooks saved = Board_Hooks;
    Board_Hooks.Gems_Add = Gems_Add; // the board's gems go into the bag
    std::array<int32_t, kCastleCount> finished{};
    int32_t bought = 0;
    for (int32_t n = 1; n <= kLevelsPlanned && Castle_Current < kCastleCount; ++n) {
        SCOPED_TRACE(testing::Message() << "level " << n);
        Level_Current = n;
        ASSERT_TRUE(Level_Load(Str_FromUtf8(std::string(BQ_ASSET_DIR) + "/") + Level_FileName(n)));
        Gems_LevelStart();
        Rand_Seed(9000 + n);
        const SolveResult res = Solver_Play(Level_Duration / 1000);
        ASSERT_TRUE(res.won);
        EXPECT_LE(Gems_ThisLevel, Gems_BagLimits[0]);
        // after the level: buy whatever the bag covers, storey after storey
        for (bool again = true; again && Castle_Current < kCastleCount;) {
            again = false;
            const int32_t castle = Castle_Current;
            const Castle& c = Castles[static_cast<size_t>(castle)];
            for (int32_t i : c.storeys[static_cast<size_t>(c.level)])
                if (Castle_Buy(i)) {
                    again = true;
                    ++bought;
                    if (Castle_Current != castle) {
                        finished[static_cast<size_t>(castle)] = n;
                        break;
                    }
                }
        }
    }
    Board_Hooks = saved;
    std::string plan;
    for (int32_t f : finished)
        plan += std::to_string(f) + " ";
    SCOPED_TRACE("castles finished after the levels " + plan);
    RecordProperty("finished", plan);
    EXPECT_EQ(Castle_Current, kCastleCount) << "all castles built";
    EXPECT_EQ(bought, static_cast<int32_t>(Castle_Elems.size()));
    EXPECT_GE(finished[0], 10);
    EXPECT_LE(finished[0], 15);
    for (size_t k = 1; k < finished.size(); ++k)
        EXPECT_GT(finished[k], finished[k - 1]);
    EXPECT_LT(finished[6], kLevelsPlanned) << "the last castle stands before the last level";
    const int32_t firstSpan = finished[0], lastSpan = finished[6] - finished[5];
    const int32_t early = finished[2] - 0, late = finished[6] - finished[3];
    EXPECT_GT(lastSpan, firstSpan);
    EXPECT_GT(late, early) << "the last three castles take longer than the first three";
}
