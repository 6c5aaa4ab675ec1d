// The 60 Hz cap on a scripted clock: one sleep for the whole wait and at most two clock reads per frame (no busy
// wait), the average period held when sleeps wake early or late, and a late frame starting a new schedule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "platform/frame_limiter.h"

namespace {

// A clock that moves when the frame "works", the limiter sleeps and (a little) when it is read; every read and
// sleep is counted.
struct ScriptedClock {
    static inline uint64_t now = 0;
    static inline int reads = 0;
    static inline int sleeps = 0;
    static inline int64_t sleepSkewNs = 0; // what a sleep adds to or takes from the asked time
    static uint64_t Now() {
        ++reads;
        now += 10'000; // reading takes a little time, so a spinning limiter would still get out (and be caught)
        return now;
    }
    static void Sleep(uint32_t ms) {
        ++sleeps;
        now += uint64_t(int64_t(ms) * 1000000 + sleepSkewNs);
    }
    static void Reset(int64_t skewNs) {
        now = 5'000'000'000ull;
        reads = sleeps = 0;
        sleepSkewNs = skewNs;
    }
};
const LimiterClock kClock{ScriptedClock::Now, ScriptedClock::Sleep};

// Runs `frames` frames of `workNs` each; returns the clock time they took.
uint64_t RunFrames(FrameLimiter& limiter, int frames, uint64_t workNs, int& maxReads, int& maxSleeps) {
    const uint64_t start = ScriptedClock::now;
    for (int i = 0; i < frames; ++i) {
        ScriptedClock::now += workNs;
        const int reads = ScriptedClock::reads, sleeps = ScriptedClock::sleeps;
        FrameLimiter_Wait(limiter, kClock);
        maxReads = std::max(maxReads, ScriptedClock::reads - reads);
        maxSleeps = std::max(maxSleeps, ScriptedClock::sleeps - sleeps);
    }
    return ScriptedClock::now - start;
}

TEST(FrameLimiter, SleepsOnceAFrameAndKeepsSixtyFramesASecond) {
    for (const int64_t skew : {0, 90'000, -400'000, 700'000}) { // exact, late wake-ups, early wake-ups
        SCOPED_TRACE(skew);
        ScriptedClock::Reset(skew);
        FrameLimiter limiter;
        int maxReads = 0, maxSleeps = 0;
        const uint64_t took = RunFrames(limiter, 600, 4'000'000, maxReads, maxSleeps);
        EXPECT_LE(maxReads, 2) << "the limiter polls the clock: a busy wait";
        EXPECT_EQ(maxSleeps, 1);
        // 600 frames at 60 Hz are 10 s, give or take the first frame and one sleep's error.
        EXPECT_NEAR(double(took) / 1e9, 10.0, 0.03);
    }
}

TEST(FrameLimiter, ALateFrameStartsANewScheduleInsteadOfRushing) {
    ScriptedClock::Reset(0);
    FrameLimiter limiter;
    int maxReads = 0, maxSleeps = 0;
    RunFrames(limiter, 10, 1'000'000, maxReads, maxSleeps);
    ScriptedClock::now += 100'000'000; // a frame that took 100 ms
    FrameLimiter_Wait(limiter, kClock);
    const uint64_t afterLate = ScriptedClock::now;
    RunFrames(limiter, 1, 1'000'000, maxReads, maxSleeps);
    // The next frame still waits its whole period after the late flip (rounded to the millisecond of the sleep).
    EXPECT_NEAR(double(ScriptedClock::now - afterLate) / 1e6, 1000.0 / 60.0, 0.5);
}

TEST(FrameLimiter, FramesSlowerThanTheCapNeverSleep) {
    ScriptedClock::Reset(0);
    FrameLimiter limiter;
    int maxReads = 0, maxSleeps = 0;
    RunFrames(limiter, 1, 0, maxReads, maxSleeps);
    maxReads = maxSleeps = 0;
    RunFrames(limiter, 50, 20'000'000, maxReads, maxSleeps);
    EXPECT_EQ(maxSleeps, 0);
    EXPECT_EQ(maxReads, 1);
}

} // namespace
