// The game in a data folder given from outside, for tools/fault_check.sh: BQ_E2E_DATA=folder (as XDG_DATA_HOME).
// PlaysOn continues the match there (or starts one) and plays a level, the build menu (a part bought) and the map,
// then closes the window; the script kills it at random moments. StartsAndContinues is the check after each kill:
// start, Start, the continue box when a match is saved, into the level, and no diagnostic line the game should not
// write (a damaged file is set aside with one). Both are skipped without the variable.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "driver_helpers.h"

namespace {

TEST(E2eSoak, PlaysOn) {
    if (!Driver_UseGivenFolder()) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
    DriverGoal goal;
    goal.name = "Soak";
    goal.levelsToWin = 1;
    goal.frameLimit = 60 * 60 * 12;
    const DriverReport r = Driver_Run(goal);
    for (const LevelLine& l : r.levels)
        std::printf("%s\n", Driver_Line(l).c_str());
    EXPECT_EQ(r.exitCode, 0);
    for (const std::string& p : r.problems)
        ADD_FAILURE() << p;
    if (std::getenv("BQ_E2E_DAMAGED")) return std::fputs(r.output.c_str(), stdout), void(); // a full or read-only disk
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
}

TEST(E2eSoak, StartsAndContinues) {
    if (!Driver_UseGivenFolder()) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
    DriverGoal goal;
    goal.name = "Soak";
    goal.frameLimit = 400; // the start, the menu, Start, the continue box and into the level
    const DriverReport r = Driver_Run(goal);
    std::fputs(r.output.c_str(), stdout);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    if (std::getenv("BQ_E2E_DAMAGED")) return; // the damage check reads the lines itself
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
}

} // namespace
