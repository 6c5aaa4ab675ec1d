// Private to the platform: the pieces of the system module that its files (system.cpp, clock.cpp, harness.cpp)
// share. Game code never includes this.
#pragma once

#include <cstdint>

void Clock_Advance(int ms);             // moves the fake clock forward (does nothing on the real clock)
void Clock_Configure(int msPerFlip);    // 0: real clock; > 0: fake clock, reset to its start value
void Clock_SetStep(int msPerFlip);      // a running fake clock's step per flip (> 0), keeping its time
void Clock_OnFlip();                    // one flip's step on the fake clock
bool Harness_Scripted();                // a fake clock, an input script or an exit frame is set
bool Harness_Configured();              // Harness_Configure (or Sys_Init) has run
bool Harness_HeadlessFromEnvironment(); // BQ_HEADLESS=1 or SDL_VIDEODRIVER offscreen/dummy
void Harness_InjectDue();               // pushes the script's events due by the current frame (event pump)
