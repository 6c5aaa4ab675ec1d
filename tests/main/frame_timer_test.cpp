// Tests of src/main/frame_timer.cpp: first-frame values, the clamp of the game's frame time against the raw
// seconds, the frame rates and the one-time choice of the low-frame-rate mode.
#include <gtest/gtest.h>

#include "main/frame_timer.h"

namespace {

TEST(FrameTimer, FirstFrameValuesBeforeAnyMeasurement) {
    Frame_Start();
    EXPECT_FLOAT_EQ(Frame_DeltaMs, 16.0f);
    EXPECT_FLOAT_EQ(Frame_DeltaSec, 0.016f);
    EXPECT_EQ(LowFps_Mode, 0);
}

TEST(FrameTimer, MillisecondsAreClampedSecondsAreNot) {
    Frame_Start();
    const struct {
        double ms;
        float clampedMs, sec;
        int fps;
    } cases[] = {{1.0, 5.0f, 0.001f, 1000}, {5.0, 5.0f, 0.005f, 200},  {20.0, 20.0f, 0.02f, 50},
                 {200.0, 200.0f, 0.2f, 5},  {750.0, 200.0f, 0.75f, 1}, {0.0, 5.0f, 0.0f, 1000000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        Frame_Advance(c.ms);
        EXPECT_FLOAT_EQ(Frame_DeltaMs, c.clampedMs);
        EXPECT_FLOAT_EQ(Frame_DeltaSec, c.sec);
        EXPECT_EQ(Fps_Instant, c.fps);
    }
}

TEST(FrameTimer, LowFpsModeIsChosenOnceFromTheFirstAverage) {
    const struct {
        double ms;
        int mode;
    } cases[] = {{16.0, 0}, {1000.0 / 39, 1}, {1000.0 / 40, 0}, {1000.0 / 24, 2}, {1000.0 / 25, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        Frame_Start();
        for (int i = 0; i < 120; ++i)
            Frame_Advance(c.ms);
        EXPECT_EQ(LowFps_Mode, c.mode);
        EXPECT_NEAR(Fps_Average, 1000.0 / c.ms, 1.0);
        // Later slow seconds change the average but not the mode.
        for (int i = 0; i < 10; ++i)
            Frame_Advance(150.0);
        EXPECT_EQ(LowFps_Mode, c.mode);
        EXPECT_LT(Fps_Average, 10);
    }
}

} // namespace
