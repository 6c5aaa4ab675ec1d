// The sleeping frame limiter behind Graphics_Flip's 60 Hz cap (see frame_limiter.h). Called by graphics.cpp, the
// limiter tests and bench/limiter_bench.
#include "platform/frame_limiter.h"

#include <SDL.h>

namespace {

uint64_t RealNowNs() {
    static const uint64_t freq = SDL_GetPerformanceFrequency();
    const uint64_t t = SDL_GetPerformanceCounter();
    return (t / freq) * 1000000000ull + (t % freq) * 1000000000ull / freq;
}

void RealSleepMs(uint32_t ms) { SDL_Delay(ms); }

} // namespace

const LimiterClock& LimiterClock_Real() {
    static const LimiterClock clock{RealNowNs, RealSleepMs};
    return clock;
}

void FrameLimiter_Wait(FrameLimiter& limiter, const LimiterClock& clock, uint64_t periodNs) {
    uint64_t now = clock.nowNs();
    if (limiter.nextNs != 0 && now < limiter.nextNs) {
        const uint64_t ms = (limiter.nextNs - now + 500000) / 1000000;
        if (ms > 0) {
            clock.sleepMs(uint32_t(ms));
            now = clock.nowNs();
        }
    }
    const bool onSchedule = limiter.nextNs != 0 && now < limiter.nextNs + periodNs;
    limiter.nextNs = onSchedule ? limiter.nextNs + periodNs : now + periodNs;
}
