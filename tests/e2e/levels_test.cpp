// The level sweep: BQ_E2E_LEVELS=first-last plays those levels in one run of the whole game (a saved match at the
// first level, Start, "Weiterspielen", then level after level through the level-won dialog, the build menu and the
// map) and prints a line per level. Without the variable it is skipped; tools/play_all_levels.sh shares the 150
// levels out among such runs.
#include <cstdio>
#include <cstdlib>

#include "driver_helpers.h"
#include "main/runtime_helpers.h"

namespace {

class E2eLevels : public RuntimeTest {};

TEST_F(E2eLevels, EachLevelIsWonInItsTime) {
    const char* range = std::getenv("BQ_E2E_LEVELS");
    if (!range) GTEST_SKIP() << "BQ_E2E_LEVELS=first-last names the levels to play";
    int first = 0, last = 0;
    ASSERT_EQ(std::sscanf(range, "%d-%d", &first, &last), 2) << range;
    ASSERT_TRUE(first >= 1 && first <= last && last <= 150) << range;
    DriverGoal goal;
    goal.startLevel = first;
    goal.collect = false; // the solver's own pace against the level's time
    goal.levelsToWin = last - first + 1;
    goal.frameLimit = (last - first + 1) * 60 * 60 * 12; // twelve minutes of game a level at most
    goal.progress = true; // the lines as the levels end, so a run cut short still tells what it played
    const DriverReport r = Driver_Run(goal);
    std::printf("frames %d\n", r.frames);
    for (const std::string& p : r.problems)
        ADD_FAILURE() << p;
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(int(r.levels.size()), last - first + 1);
    for (int i = 0; i <= last - first; ++i) {
        EXPECT_EQ(r.levels[size_t(i)].level, first + i);
        EXPECT_EQ(r.levels[size_t(i)].result, "won") << Driver_Line(r.levels[size_t(i)]);
    }
}

} // namespace
