// The campaign from the first start: an empty data folder, the name box, Start, levels 1 to 3 each played to its win
// with the mouse, the level-won dialog's "Weiter", the build menu (a part bought when the bag pays for one), the level
// map's "Spielen"; then the window closed on the level map and a second start whose Start continues at level 4.
#include <cstdlib>
#include <filesystem>

#include "driver_helpers.h"
#include "main/runtime_helpers.h"
#include "main/screens.h"

namespace {

class E2eCampaign : public RuntimeTest {};

bool Seen(const std::vector<int32_t>& screens, int32_t s) {
    return std::find(screens.begin(), screens.end(), s) != screens.end();
}
int32_t Count(const std::vector<std::string>& v, const std::string& s) {
    return int32_t(std::count(v.begin(), v.end(), s));
}

TEST_F(E2eCampaign, FirstStartPlaysThreeLevelsAndContinuesAfterARestart) {
    DriverGoal goal;
    goal.name = "Campaign";
    goal.levelsToWin = 3;
    goal.frameLimit = 60 * 60 * 40; // far beyond three levels
    if (const char* d = std::getenv("BQ_E2E_SHOTS")) goal.shots = d;
    const DriverReport first = Driver_Run(goal);
    ASSERT_EQ(first.exitCode, 0);
    for (const LevelLine& l : first.levels)
        std::printf("%s\n", Driver_Line(l).c_str());
    EXPECT_TRUE(first.problems.empty()) << first.problems.front();
    EXPECT_TRUE(Driver_UnexpectedLines(first.output).empty()) << first.output;
    ASSERT_EQ(first.levels.size(), 3u);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(first.levels[size_t(i)].level, i + 1);
        EXPECT_EQ(first.levels[size_t(i)].result, "won") << i;
        EXPECT_GT(first.levels[size_t(i)].gems, 0) << i;
    }
    EXPECT_GT(first.levels[2].score, first.levels[0].score) << "the match's score grows";
    // The way: the name box once, a level box and a level-won dialog per level, the screens in between.
    EXPECT_EQ(first.dialogs.front(), "name");
    EXPECT_EQ(Count(first.dialogs, "name"), 1);
    EXPECT_EQ(Count(first.dialogs, "level"), 3);
    EXPECT_EQ(Count(first.dialogs, "won"), 3);
    EXPECT_EQ(Count(first.dialogs, "continue"), 0) << "no saved match on a first start";
    for (int32_t s : {kScreenMainMenu, kScreenGame, kScreenLevelEnd, kScreenBuildMenu, kScreenLevelMap})
        EXPECT_TRUE(Seen(first.screens, s)) << s;
    EXPECT_EQ(first.screens.back(), kScreenLevelMap);

    // The files of a match in progress: configuration with the name, progress, the saved match, high scores.
    EXPECT_NE(ReadText(dataDir_ + "/mm_config.txt").find("Campaign"), std::string::npos);
    EXPECT_TRUE(FileExists(dataDir_ + "/mm_config.bin"));
    EXPECT_TRUE(FileExists(dataDir_ + "/highscores.dat"));
    bool match = false;
    for (const auto& e : std::filesystem::directory_iterator(dataDir_))
        match = match || e.path().extension() == ".bqm";
    EXPECT_TRUE(match) << "the saved match";
    for (const auto& e : std::filesystem::directory_iterator(dataDir_))
        EXPECT_NE(e.path().extension(), ".bad") << e.path() << " was set aside";

    // The next start: no name box, Start asks to continue, "Weiterspielen" goes on at level 4.
    goal.levelsToWin = 1;
    goal.frameLimit = 60 * 60 * 15;
    goal.shots.clear();
    const DriverReport second = Driver_Run(goal);
    ASSERT_EQ(second.exitCode, 0);
    for (const LevelLine& l : second.levels)
        std::printf("%s\n", Driver_Line(l).c_str());
    EXPECT_TRUE(second.problems.empty()) << second.problems.front();
    EXPECT_TRUE(Driver_UnexpectedLines(second.output).empty()) << second.output;
    EXPECT_EQ(Count(second.dialogs, "name"), 0);
    ASSERT_FALSE(second.dialogs.empty());
    EXPECT_EQ(second.dialogs.front(), "continue");
    ASSERT_EQ(second.levels.size(), 1u);
    EXPECT_EQ(second.levels[0].level, 4);
    EXPECT_EQ(second.levels[0].result, "won");
    EXPECT_GE(second.levels[0].score, first.levels[2].score) << "the continued match keeps its score";
}

} // namespace
