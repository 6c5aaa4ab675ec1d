// Every file the game writes, written again and again, for tools/fault_check.sh: it kills this run at a chosen
// rename or write (strace) and then checks that each file is the old or a complete new version and the next start
// is clean. The game is started and brought into a level by the end-to-end player first, so the board, the match and
// the files are the game's own. EndsAt brings the game to one place and ends it there in one way, for the script's
// check that the files stay as they were unless the run did something the game keeps, and that a continue shows
// what the player left. Skipped without BQ_E2E_DATA (the data folder, as XDG_DATA_HOME).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/play.h"
#include "driver_helpers.h"
#include "main/config.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/wallpaper.h"
#include "menus/menus.h"
#include "platform/stream.h"

namespace {

TEST(E2eFaults, SavesOver) {
    if (!Driver_UseGivenFolder()) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
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

// BQ_E2E_AT names the place (Driver_Places), BQ_E2E_END the way of ending (DriverGoal::endHow). What the player left
// there (DriverReport::left) is the "left: " line on standard error; the script continues the match afterwards (at
// "levelbox", "close": the level as it was loaded) and compares that run's line with it.
TEST(E2eFaults, EndsAt) {
    if (!Driver_UseGivenFolder()) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
    const char* at = std::getenv("BQ_E2E_AT");
    const char* how = std::getenv("BQ_E2E_END");
    if (!at || !how) GTEST_SKIP() << "BQ_E2E_AT and BQ_E2E_END name the place and the way of ending";
    const auto named = [at](const char* p) { return std::strcmp(p, at) == 0; };
    ASSERT_TRUE(std::any_of(Driver_Places, Driver_Places + Driver_PlaceCount, named)) << "no place " << at;
    const std::string way = how;
    ASSERT_TRUE(way == "close" || way == "ende" || way == "exit" || way == "kill" || way == "menu") << way;
#if !defined(BQ_DEV_KEYS)
    if (std::strcmp(at, "editor") == 0 || std::strcmp(at, "testrun") == 0)
        GTEST_SKIP() << "the level editor needs the developer keys (-DBQ_DEV_KEYS=ON)";
#endif
    DriverGoal goal;
    goal.name = "Soak";
    goal.levelsToWin = 1000; // never the usual ending
    goal.endAt = at;
    goal.endHow = way;
    if (const char* shots = std::getenv("BQ_E2E_SHOTS")) goal.shots = shots; // the boxes on the way, to look at
    // Every place with an exit frame is reached within a minute of game; the player waits there for it.
    goal.frameLimit = way == "exit" ? 60 * 60 : 60 * 60 * 10;
    const DriverReport r = Driver_Run(goal);
    std::fputs(r.output.c_str(), stdout);
    if (!r.left.empty()) std::fprintf(stderr, "left: %s\n", r.left.c_str());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.endedAt, at) << "the run ended at " << r.lastPlace;
    if (way == "exit" || way == "close") {
        EXPECT_EQ(r.lastPlace, at) << "the run left the place before its end";
    }
    for (const std::string& p : r.problems)
        ADD_FAILURE() << p;
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
}

// A data folder made ready for the places that need more than a played match (BQ_E2E_PREP), by the game's own
// functions at the main menu, as a player could have left it: "player2" a second player, named and chosen as the name
// box does; "level150" a match saved at the last level, as the level sweep makes it. The window closes after.
TEST(E2eFaults, Prepares) {
    if (!Driver_UseGivenFolder()) GTEST_SKIP() << "BQ_E2E_DATA names the data folder";
    const char* what = std::getenv("BQ_E2E_PREP");
    if (!what) GTEST_SKIP() << "BQ_E2E_PREP names what to prepare";
    const std::string prep = what;
    ASSERT_TRUE(prep == "player2" || prep == "level150") << prep;
    bool done = false;
    DriverGoal goal;
    goal.menuFrames = 1 << 30; // the main menu only: never Start
    goal.frameLimit = 90;
    goal.everyFrame = [&done, &prep] {
        if (done || Screen_Current != kScreenMainMenu || MainMenu_NamePending || Dialog_Active) return;
        done = true;
        if (prep == "player2") {
            const auto free = std::find(Player_Used.begin(), Player_Used.end(), 0);
            ASSERT_NE(free, Player_Used.end());
            const int32_t slot = int32_t(free - Player_Used.begin());
            Player_Names[size_t(slot)] = u"Zweiter";
            Config_SetValue(u"PLAYER" + Str_FromInt(slot), Player_Names[size_t(slot)]);
            Player_Select(slot);
        } else {
            Match_New();
            Level_Current = Levels_Count;
            Player_LastLevel[size_t(Player_Current)] = Levels_Count;
            Match_Write(Levels_Count);
            Progress_Save();
        }
    };
    const DriverReport r = Driver_Run(goal);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(done) << "the main menu never showed";
    for (const std::string& line : Driver_UnexpectedLines(r.output))
        ADD_FAILURE() << "diagnostic line: " << line;
}

} // namespace
