// Private to the platform: the figures the idle probe (tools/perfprobe) reads from a running game when BQ_PERF is
// set: frames, the time to the first frame, and CPU time split into the frames' own work and the limiter's wait.
// Called by Graphics_Flip; costs nothing when BQ_PERF is not set.
#pragma once

#include <cstdint>

// CPU time of the calling thread in nanoseconds when BQ_PERF is set; 0 otherwise.
uint64_t Perf_ThreadCpuNs();
// After each flip (and its wait): counts the frame, adds the wait's CPU time and every 60 frames prints one line
// "perf frames=.. t_ms=.. first_frame_ms=.. process_cpu_ms=.. main_cpu_ms=.. wait_cpu_ms=.." (milliseconds since
// the launch time given in BQ_PERF, or since the first flip when it holds no number).
void Perf_OnFlip(uint64_t waitCpuNs);
