// Frame costs on the screens of the campaign's way (BQ_E2E_FRAMES=1; bench/frame_budgets.sh runs it in a Release
// build): the first start, the name box, the main menu with its birds, level 1 lost twice (the time offer, the
// game-flow boxes) and then two levels won with the tutorial's frames, the level end, the level-won dialog, the
// build menu, the shop, the level map; per screen and open dialog the frames, the mean, the 99th-percentile and the
// worst CPU time of a whole frame (update, drawing and the software renderer's present), the time to the first frame
// and to the main menu, and the peak memory of the process.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver_helpers.h"
#include "main/runtime_helpers.h"

namespace {

class E2eFrames : public RuntimeTest {};

TEST_F(E2eFrames, CostPerScreen) {
    if (!std::getenv("BQ_E2E_FRAMES")) GTEST_SKIP() << "BQ_E2E_FRAMES=1 measures";
    DriverGoal goal;
    goal.levelsToWin = 2;
    goal.menuFrames = 600;
    goal.tutorial = true; // its frames and arrow over the game and the build menu
    goal.shopFrom = 1;    // the shop after each level
    // level 1 lost twice first: the time offer, the level-lost and game-over boxes, the high-score table
    goal.lossLevel = 1;
    goal.losses = {DriverLoss::RefuseOffer, DriverLoss::TakeOffer};
    goal.drawAll = true; // every frame drawn, as a player sees it
    goal.frameLimit = 60 * 60 * 20;
    const DriverReport r = Driver_Run(goal);
    ASSERT_EQ(r.exitCode, 0);
    // The mean and the 99th percentile leave out the first frame of each showing (it decodes its pictures); the
    // worst is of every frame.
    std::printf("%-34s %7s %9s %9s %9s\n", "screen (+ dialog)", "frames", "mean ms", "p99 ms", "worst ms");
    for (const auto& [key, c] : r.costs)
        std::printf("%-34s %7d %9.2f %9.2f %9.2f\n", key.c_str(), c.frames, c.SteadyMeanMs(), c.SteadyP99Ms(),
                    c.worstNs / 1e6);
    // With BQ_E2E_FRAMES=slow: what happened in each screen's slowest steady frames.
    if (std::string(std::getenv("BQ_E2E_FRAMES")) == "slow")
        for (const auto& [key, c] : r.costs)
            for (const FrameCost::Slow& s : c.slowest)
                std::printf("slow %s: frame %d %.2f ms: %s\n", key.c_str(), s.frame, s.ns / 1e6,
                            FrameTally_Line(s.tally).c_str());
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("first frame %.1f ms, main menu %.1f ms after the start; peak memory %.1f MB\n", r.firstFrameMs,
                r.mainMenuMs, u.ru_maxrss / 1024.0);
}

} // namespace
