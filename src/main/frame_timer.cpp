// The frame timer (performance counter, clamped and raw frame time, frame rates, low-frame-rate mode) and the
// mouse position copy. Called once per main-loop pass.
#include "main/frame_timer.h"

#include "platform/input.h"
#include "platform/system.h"

float Frame_DeltaMs = 16.0f;
float Frame_DeltaSec = 0.016f;
int32_t Fps_Instant = 0;
int32_t Fps_Average = 0;
int32_t LowFps_Mode = 0;
int32_t Input_MouseX = 0;
int32_t Input_MouseY = 0;

namespace {
uint64_t g_last = 0;        // performance counter at the last update
double g_secondMs = 0;      // time gathered towards the next average
int32_t g_secondFrames = 0; // frames in it
bool g_lowFpsChosen = false;
} // namespace

void Frame_Start() {
    g_last = Sys_PerfCounter();
    Frame_DeltaMs = 16.0f;
    Frame_DeltaSec = 0.016f;
    Fps_Instant = 0;
    Fps_Average = 0;
    LowFps_Mode = 0;
    g_secondMs = 0;
    g_secondFrames = 0;
    g_lowFpsChosen = false;
}

void Frame_Update() {
    const uint64_t now = Sys_PerfCounter();
    const uint64_t freq = Sys_PerfFrequency();
    const double ms = freq ? double(now - g_last) * 1000.0 / double(freq) : 16.0;
    g_last = now;
    Frame_Advance(ms);
}

void Frame_Advance(double ms) {
    if (ms < 0) ms = 0;
    Frame_DeltaSec = float(ms / 1000.0);
    Frame_DeltaMs = float(ms < kFrameMinMs ? kFrameMinMs : (ms > kFrameMaxMs ? kFrameMaxMs : ms));
    Fps_Instant = ms > 0.001 ? int32_t(1000.0 / ms) : 1000000;
    g_secondMs += ms;
    ++g_secondFrames;
    if (g_secondMs >= 1000.0) {
        Fps_Average = int32_t(g_secondFrames * 1000.0 / g_secondMs + 0.5);
        g_secondMs = 0;
        g_secondFrames = 0;
        if (!g_lowFpsChosen) {
            g_lowFpsChosen = true;
            LowFps_Mode = Fps_Average < kLowFps2Below ? 2 : (Fps_Average < kLowFps1Below ? 1 : 0);
        }
    }
}

void Mouse_Update() {
    Input_MouseX = Mouse_X();
    Input_MouseY = Mouse_Y();
}
