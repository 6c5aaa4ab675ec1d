// The whole campaign with its economy (BQ_E2E_CASTLES=1; skipped without): from the first start with the tutorial,
// every level played until the bag is full and then won with the level-win key, every part bought as soon as the bag
// pays for it, the shop visited after each level; the seven castles finished one by one (each with its box and the
// wallpapers dialog, "Wallpaper aktivieren" writing the picture), the end of the castles, the levels run out after
// level 150, the high-score table and the main menu. Prints a line per level; takes several minutes.
#include <cstdio>
#include <cstdlib>

#include "driver_helpers.h"
#include "main/runtime_helpers.h"
#include "main/screens.h"

namespace {

class E2eCastles : public RuntimeTest {};

TEST_F(E2eCastles, AllSevenCastlesAndTheEndOfTheCampaign) {
    if (!std::getenv("BQ_E2E_CASTLES")) GTEST_SKIP() << "BQ_E2E_CASTLES=1 plays the whole campaign";
    DriverGoal goal;
    goal.name = "Builder";
    goal.tutorial = true;
    goal.shopFrom = 7;
    goal.quickUntil = 1000;
    goal.levelsToWin = 1000; // on until the levels run out
    goal.progress = true;
    goal.frameLimit = 60 * 60 * 60 * 6;
    if (const char* d = std::getenv("BQ_E2E_SHOTS")) goal.shots = d;
    const DriverReport r = Driver_Run(goal);
    for (const LevelLine& l : r.levels)
        std::printf("%s\n", Driver_Line(l).c_str());
    std::printf("frames %d; castles completed (after level):", r.frames);
    for (size_t i = 0; i < r.castlesCompleted.size(); ++i)
        std::printf(" %d (%d)", r.castlesCompleted[i] + 1, r.castleLevels[i]);
    std::printf("; wallpapers %zu; bought %zu\n", r.wallpapers.size(), r.bought.size());
    EXPECT_EQ(r.exitCode, 0);
    for (const std::string& p : r.problems)
        ADD_FAILURE() << p;
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
    EXPECT_EQ(r.castlesCompleted, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.wallpapers.size(), 7u) << "each castle's wallpaper written";
    EXPECT_EQ(std::count(r.dialogs.begin(), r.dialogs.end(), "CastlesDone"), 1);
    EXPECT_TRUE(r.campaignEnded) << "the levels ran out";
    ASSERT_FALSE(r.levels.empty());
    EXPECT_EQ(r.levels.back().level, 150);
    EXPECT_EQ(r.screens.back(), kScreenMainMenu);
}

} // namespace
