// The frame timer and the mouse state: frame time, frame rates and the low-frame-rate mode, updated once per
// main-loop pass; read by every animation, effect and timer of the game.
#pragma once

#include <cstdint>

// ---- State owned here ------------------------------------------------------------------------------------------
// The measured values, in one struct so that Frame_Start puts all of them back by assigning a fresh one. The game
// reads them by the names bound below.
struct FrameTimes {
    float DeltaMs = 16.0f;   // last frame time in ms, clamped to 5..200 (16.0 before the first measured frame)
    float DeltaSec = 0.016f; // last frame time in s as measured, unclamped (0.016 before the first frame)
    int32_t FpsInstant = 0;  // Int(1000 / frame ms) of the last frame
    int32_t FpsAverage = 0;  // frames counted over the last full second
    int32_t LowFpsMode = 0;  // 0 normal, 1 slow, 2 slowest; set once from the first Fps_Average
};
extern FrameTimes Frame_Times;
inline constinit float& Frame_DeltaMs = Frame_Times.DeltaMs;
inline constinit float& Frame_DeltaSec = Frame_Times.DeltaSec;
inline constinit int32_t& Fps_Instant = Frame_Times.FpsInstant;
inline constinit int32_t& Fps_Average = Frame_Times.FpsAverage;
inline constinit int32_t& LowFps_Mode = Frame_Times.LowFpsMode;

extern int32_t Input_MouseX; // mouse position in canvas pixels
extern int32_t Input_MouseY;

constexpr float kFrameMinMs = 5.0f, kFrameMaxMs = 200.0f;
constexpr int32_t kLowFps1Below = 40; // first average below this: LowFps_Mode 1
constexpr int32_t kLowFps2Below = 25; // first average below this: LowFps_Mode 2

// Starts the timer: the next Frame_Update measures from now; every value back to its first-frame value.
void Frame_Start();
// Measures the time since the last call (or Frame_Start) and updates every value above.
void Frame_Update();
// Same, from a given frame time in ms (the measuring part of Frame_Update; tests feed it directly).
void Frame_Advance(double ms);
// Copies the platform's mouse position into Input_MouseX/Y.
void Mouse_Update();
