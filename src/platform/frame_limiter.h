// Private to the platform: the 60 Hz cap of Graphics_Flip, which sleeps for the whole wait instead of spinning on
// the clock. The clock and the sleep are handed in, so tests and the benchmark can count what it does.
#pragma once

#include <cstdint>

struct LimiterClock {
    uint64_t (*nowNs)();          // a monotonic clock in nanoseconds
    void (*sleepMs)(uint32_t ms); // sleeps at least `ms` milliseconds
};

struct FrameLimiter {
    uint64_t nextNs = 0; // clock time the next flip may happen; 0 = no flip yet
};

constexpr uint64_t kFramePeriodNs = 1000000000ull / 60; // the 60 Hz cap

// Waits until one period after the previous flip, in one sleep rounded to the nearest millisecond; reads the clock
// at most twice. The schedule is absolute, so a sleep that wakes a little early or late is made up by the next one
// and the average stays at the cap. A flip that came later than a whole period starts a new schedule instead of
// rushing the frames after it.
void FrameLimiter_Wait(FrameLimiter& limiter, const LimiterClock& clock, uint64_t periodNs = kFramePeriodNs);
// The real clock: SDL's performance counter in nanoseconds and SDL_Delay.
const LimiterClock& LimiterClock_Real();
