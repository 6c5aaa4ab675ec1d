// Every file the game writes, written again and again, for tools/fault_check.sh: it kills this run at a chosen
// rename or write (strace) and then checks that each file is the old or a complete new version and the next start
// is clean. The game is started and brought into a level by the end-to-end player first, so the board, the match and
// the files are the game's own. Skipped without BQ_E2E_DATA (the data folder, as XDG_DATA_HOME).
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/play.h"
#include "driver_helpers.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/wallpaper.h"
#include "menus/menus.h"
#include "platform/stream.h"

namespace {

TEST(E2eFaults, SavesOver) {
    const char* d = std::getenv("BQ_E2E_DATA");
    if (!d) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
    setenv("XDG_DATA_HOME", d, 1);
    if (const char* a = std::getenv("BQ_E2E_APP")) setenv("BQ_APP_FOLDER", a, 1);
    DriverGoal goal;
    goal.name = "Soak";
    goal.frameLimit = 400; // the start, Start, the continue box and into the level; the window closes there
    const DriverReport r = Driver_Run(goal);
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_GT(Board_Cols, 0) << "no level open after the start";
    // Rounds of every writer the game has, each with new contents; the killer picks the moment.
    const char* roundsText = std::getenv("BQ_E2E_SAVE_ROUNDS");
    const int32_t rounds = roundsText ? std::atoi(roundsText) : 40;
    std::printf("rounds of saves begin\n"); // the killer tells the close's saves from the rounds by this line
    std::fflush(stdout);
    for (int32_t i = 1; i <= rounds; ++i) {
        Score += 10;
        Match_Save(Level_Current, 1); // the record and the board snapshot, then the progress file
        Config_SetValue(u"FX_VOL", Str(i % 2 ? u"0.25" : u"0.75"));
        HS_Slots[size_t(kHsPlaces - 1)].score = i;
        Highscores_Save();
        // A wallpaper once made is kept, so the round makes one anew: gone, then written whole (never seen half).
        const int32_t n = i % kCastlesCount;
        File_Delete(Wallpaper_Path(n));
        EXPECT_TRUE(Wallpaper_WriteBmp(n));
    }
    std::printf("saved %d rounds\n", rounds);
}

} // namespace
