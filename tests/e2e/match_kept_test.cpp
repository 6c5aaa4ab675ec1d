// A saved match is written over only by its own play: a start of the game that ends on the main menu leaves every
// file as it was, and the next Start continues the match the player left.
#include <filesystem>
#include <map>

#include "board/play.h"
#include "driver_helpers.h"
#include "main/runtime_helpers.h"

namespace {

class E2eMatchKept : public RuntimeTest {
  protected:
    // Every file of the data folder by name, with its bytes.
    std::map<std::string, std::vector<uint8_t>> Files() const {
        std::map<std::string, std::vector<uint8_t>> out;
        for (const auto& e : std::filesystem::directory_iterator(dataDir_))
            if (e.is_regular_file()) out[e.path().filename().string()] = ReadBytes(e.path().string());
        return out;
    }
};

TEST_F(E2eMatchKept, AStartClosedAtTheMainMenuLeavesTheMatchToContinue) {
    DriverGoal play;
    play.name = "Keeper";
    play.frameLimit = 60 * 12; // into level 1, some moves, and the window closes in the level
    const DriverReport first = Driver_Run(play);
    ASSERT_EQ(first.exitCode, 0);
    ASSERT_EQ(first.levels.size(), 1u);
    ASSERT_EQ(first.levels[0].result, "stopped");
    const int32_t score = Score, gold = Gold;
    ASSERT_GT(score, 0);
    const auto files = Files();
    ASSERT_TRUE(files.count("match_0.bqm") && files.count("match_0.lev"));

    DriverGoal idle; // started again and the window closed on the main menu
    idle.menuFrames = 1 << 20;
    idle.frameLimit = 120;
    ASSERT_EQ(Driver_Run(idle).exitCode, 0);
    const auto after = Files();
    for (const auto& [name, bytes] : files)
        EXPECT_TRUE(after.count(name) && after.at(name) == bytes) << name << " was changed or removed";
    EXPECT_EQ(after.size(), files.size());

    DriverGoal again; // Start, "Weiterspielen": the same level, score and gold
    again.frameLimit = 60 * 8;
    const DriverReport third = Driver_Run(again);
    ASSERT_EQ(third.exitCode, 0);
    ASSERT_FALSE(third.dialogs.empty());
    EXPECT_EQ(third.dialogs.front(), "continue");
    ASSERT_FALSE(third.levels.empty());
    EXPECT_EQ(third.levels[0].level, 1);
    EXPECT_GE(Score, score);
    EXPECT_GE(Gold, gold);
}

} // namespace
