// The campaign from the first start, in parts that run side by side (each from its own empty data folder; a part
// that begins further on reaches its levels through the earlier ones cut short with the level-win key once the bag
// is full): the name box, Start, the tutorial's steps, each level won with the mouse, the level-won dialog, the build
// menu buying every part the bag pays for, the shop, the level map; the main menu and Continue after a restart; and
// levels lost on purpose (the time runs out with the offer refused and taken, game over, "Nochmal").
// BQ_E2E_SHOTS=folder keeps screenshots of the way.
#include <cstdlib>
#include <filesystem>

#include "driver_helpers.h"
#include "main/runtime_helpers.h"
#include "main/screens.h"

namespace {

class E2eCampaign : public RuntimeTest {
  protected:
    DriverGoal Goal(const std::string& name) {
        DriverGoal goal;
        goal.name = name;
        goal.tutorial = true;
        if (const char* d = std::getenv("BQ_E2E_SHOTS")) {
            goal.shots = std::string(d) + "/" + name;
            std::filesystem::create_directories(goal.shots);
        }
        return goal;
    }
    // Prints the level lines and fails on what the driver did not expect, a diagnostic line or a file set aside.
    void CheckClean(const DriverReport& r) {
        for (const LevelLine& l : r.levels)
            std::printf("%s\n", Driver_Line(l).c_str());
        std::printf("frames %d, tutorial steps", r.frames);
        for (int32_t s : r.tutorialSteps)
            std::printf(" %d", s);
        std::printf("\n");
        if (std::getenv("BQ_E2E_VERBOSE")) {
            for (const std::string& d : r.dialogs)
                std::printf("dialog %s\n", d.c_str());
            for (const std::string& b : r.bought)
                std::printf("bought %s\n", b.c_str());
            for (int32_t s : r.screens)
                std::printf("screen %d\n", s);
        }
        EXPECT_EQ(r.exitCode, 0);
        for (const std::string& p : r.problems)
            ADD_FAILURE() << p;
        for (const std::string& line : Driver_UnexpectedLines(r.output))
            ADD_FAILURE() << "diagnostic line: " << line;
        for (const auto& e : std::filesystem::directory_iterator(dataDir_))
            EXPECT_NE(e.path().extension(), ".bad") << e.path() << " was set aside";
    }
};

bool Seen(const std::vector<int32_t>& v, int32_t s) { return std::find(v.begin(), v.end(), s) != v.end(); }
int32_t Count(const std::vector<std::string>& v, const std::string& s) {
    return int32_t(std::count(v.begin(), v.end(), s));
}
int32_t CountPrefix(const std::vector<std::string>& v, const std::string& s) {
    return int32_t(std::count_if(v.begin(), v.end(), [&s](const std::string& x) { return x.rfind(s, 0) == 0; }));
}
// The levels won, in the order the report has them.
std::vector<int32_t> Won(const DriverReport& r) {
    std::vector<int32_t> out;
    for (const LevelLine& l : r.levels)
        if (l.result == "won") out.push_back(l.level);
    return out;
}

TEST_F(E2eCampaign, FirstStartTheTutorialsFirstLevelsAndTheFirstPart) {
    DriverGoal goal = Goal("First");
    goal.levelsToWin = 2;
    goal.frameLimit = 60 * 60 * 30;
    const DriverReport r = Driver_Run(goal);
    CheckClean(r);
    ASSERT_EQ(r.levels.size(), 2u);
    EXPECT_EQ(Won(r), (std::vector<int32_t>{1, 2}));
    for (const LevelLine& l : r.levels)
        EXPECT_GT(l.gems, 0) << Driver_Line(l);
    EXPECT_GT(r.levels[1].score, r.levels[0].score) << "the match's score grows";
    // The way: the name box once, a level box and a level-won dialog per level, no continue box on a first start.
    ASSERT_FALSE(r.dialogs.empty());
    EXPECT_EQ(r.dialogs.front(), "name");
    EXPECT_EQ(Count(r.dialogs, "name"), 1);
    EXPECT_EQ(Count(r.dialogs, "level"), 2);
    EXPECT_EQ(Count(r.dialogs, "won"), 2);
    EXPECT_EQ(Count(r.dialogs, "continue"), 0);
    for (int32_t s : {kScreenMainMenu, kScreenGame, kScreenLevelEnd, kScreenBuildMenu, kScreenLevelMap})
        EXPECT_TRUE(Seen(r.screens, s)) << s;
    EXPECT_EQ(r.screens.back(), kScreenLevelMap);
    // The tutorial: the intro picture, the first move, the build menu's part (bought as pointed), the time bar.
    for (int32_t step : {0, 1, 21, 4})
        EXPECT_TRUE(Seen(r.tutorialSteps, step)) << "tutorial step " << step;
    EXPECT_GE(CountPrefix(r.bought, "part "), 1) << "castle 1's first part";

    // The files of a match in progress: configuration with the name, progress, the saved match, high scores.
    EXPECT_NE(ReadText(dataDir_ + "/mm_config.txt").find("First"), std::string::npos);
    EXPECT_TRUE(FileExists(dataDir_ + "/mm_config.bin"));
    EXPECT_EQ(ReadBytes(dataDir_ + "/highscores.dat").size(), 240u);
    EXPECT_TRUE(FileExists(dataDir_ + "/match_0.bqm")) << "the saved match";
}

TEST_F(E2eCampaign, LevelsThreeToFiveWithTheirLessons) {
    DriverGoal goal = Goal("Middle");
    goal.quickUntil = 2;
    goal.levelsToWin = 5;
    goal.frameLimit = 60 * 60 * 60;
    const DriverReport r = Driver_Run(goal);
    CheckClean(r);
    EXPECT_EQ(Won(r), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    ASSERT_EQ(r.levels.size(), 5u);
    for (size_t i = 2; i < 5; ++i)
        EXPECT_GT(r.levels[i].gems, 0) << Driver_Line(r.levels[i]);
    EXPECT_GE(CountPrefix(r.bought, "part "), 3) << "castle 1 grows";
    EXPECT_EQ(r.screens.back(), kScreenLevelMap);
}

TEST_F(E2eCampaign, TheGoldGiftTheShopTheFireballThenMenuAndContinue) {
    DriverGoal goal = Goal("Shop");
    goal.quickUntil = 5;
    goal.levelsToWin = 8;
    goal.shopFrom = 3; // the chest and the items first: the king's gold comes to a player with little
    goal.menuAfterLevels = true;
    goal.frameLimit = 60 * 60 * 90;
    const DriverReport r = Driver_Run(goal);
    CheckClean(r);
    EXPECT_EQ(Won(r), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    // Level 6's build menu: the king's gold, the way to the shop and the fireball bought there; then the mana bar and
    // the fireball cast in play.
    for (int32_t step : {23, 24, 25, 34})
        EXPECT_TRUE(Seen(r.tutorialSteps, step)) << "tutorial step " << step;
    EXPECT_GE(Count(r.bought, "shop 10"), 1) << "the fireball";
    EXPECT_TRUE(Seen(r.screens, kScreenShop));
    EXPECT_EQ(r.screens.back(), kScreenMainMenu) << "the build menu's Menü";
    // Left from the build menu: the saved match at level 9 without a board snapshot, the progress file.
    EXPECT_TRUE(FileExists(dataDir_ + "/match_0.bqm"));
    EXPECT_FALSE(FileExists(dataDir_ + "/match_0.lev")) << "no level was left midway";
    EXPECT_TRUE(FileExists(dataDir_ + "/mm_config.bin"));

    // The next start: no name box, Start asks to continue, "Weiterspielen" goes on at level 9.
    DriverGoal next = Goal("Shop");
    next.shots.clear();
    next.levelsToWin = 1;
    next.frameLimit = 60 * 60 * 15;
    const DriverReport second = Driver_Run(next);
    CheckClean(second);
    EXPECT_EQ(Count(second.dialogs, "name"), 0);
    ASSERT_FALSE(second.dialogs.empty());
    EXPECT_EQ(second.dialogs.front(), "continue");
    ASSERT_FALSE(second.levels.empty());
    EXPECT_EQ(second.levels[0].level, 9);
    EXPECT_GE(second.levels[0].score, r.levels.back().score) << "the continued match keeps its score";
}

TEST_F(E2eCampaign, LostByTimeWithTheOfferGameOverAndNochmal) {
    DriverGoal goal = Goal("Loser");
    goal.tutorial = false;
    goal.lossLevel = 1;
    // Lives 3: refused (2 left), taken and refused (the offer's life and the level's: game over), and after
    // "Nochmal" refused once more (2 left); then the level is won.
    goal.losses = {DriverLoss::RefuseOffer, DriverLoss::TakeOffer, DriverLoss::RefuseOffer};
    goal.levelsToWin = 1;
    goal.frameLimit = 60 * 60 * 30;
    const DriverReport r = Driver_Run(goal);
    CheckClean(r);
    ASSERT_EQ(r.levels.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.levels[i].level, 1);
        EXPECT_EQ(r.levels[i].result, "lost") << Driver_Line(r.levels[i]);
    }
    EXPECT_EQ(r.levels[0].offer, "refused");
    EXPECT_EQ(r.levels[1].offer, "taken");
    EXPECT_EQ(r.levels[2].offer, "refused");
    EXPECT_EQ(r.levels[3].result, "won");
    // A life lost twice with lives left, the last life once: the game-over box, the high-score table, "Game Over".
    EXPECT_EQ(Count(r.dialogs, "Frame"), 2);
    EXPECT_EQ(Count(r.dialogs, "Game"), 1);
    EXPECT_EQ(Count(r.dialogs, "highscores"), 1);
    EXPECT_EQ(Count(r.dialogs, "HighScore"), 1);
    EXPECT_EQ(Count(r.dialogs, "offer"), 4) << "refused, taken, refused after the bought time, refused";
    EXPECT_EQ(ReadBytes(dataDir_ + "/highscores.dat").size(), 240u);
    EXPECT_EQ(r.screens.back(), kScreenLevelMap);
}

} // namespace
