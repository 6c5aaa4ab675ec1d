// The frame timer (performance counter, clamped and raw frame time, frame rates, low-frame-rate mode) and the
// mouse position copy. Called once per main-loop pass.
#include "main/frame_timer.h"

#include "platform/input.h"
#include "platform/system.h"

FrameTimes Frame_Times;
int32_t Input_MouseX = 0;
int32_t Input_MouseY = 0;

namespace {
struct TimerState {
    uint64_t last = 0;         // performance counter at the last update
    double secondMs = 0;       // time gathered towards the next average
    int32_t secondFrames = 0;  // frames in it
    bool lowFpsChosen = false; // LowFps_Mode was set from the first full second
};
TimerState g;
} // namespace

void Frame_Start() {
    Frame_Times = FrameTimes{};
    g = TimerState{};
    g.last = Sys_PerfCounter();
}

void Frame_Update() {
    const uint64_t now = Sys_PerfCounter();
    const uint64_t freq = Sys_PerfFrequency();
    const double ms = freq ? double(now - g.last) * 1000.0 / double(freq) : 16.0;
    g.last = now;
    Frame_Advance(ms);
}

void Frame_Advance(double ms) {
    if (ms < 0) ms = 0;
    Frame_DeltaSec = float(ms / 1000.0);
    Frame_DeltaMs = float(ms < kFrameMinMs ? kFrameMinMs : (ms > kFrameMaxMs ? kFrameMaxMs : ms));
    Fps_Instant = ms > 0.001 ? int32_t(1000.0 / ms) : 1000000;
    g.secondMs += ms;
    ++g.secondFrames;
    if (g.secondMs >= 1000.0) {
        Fps_Average = int32_t(g.secondFrames * 1000.0 / g.secondMs + 0.5);
        g.secondMs = 0;
        g.secondFrames = 0;
        if (!g.lowFpsChosen) {
            g.lowFpsChosen = true;
            LowFps_Mode = Fps_Average < kLowFps2Below ? 2 : (Fps_Average < kLowFps1Below ? 1 : 0);
        }
    }
}

void Mouse_Update() {
    Input_MouseX = Mouse_X();
    Input_MouseY = Mouse_Y();
}
