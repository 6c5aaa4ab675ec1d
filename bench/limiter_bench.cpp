// The 60 Hz cap on the real clock: each iteration is one frame of a little work followed by the limiter's wait.
// "fps" must stay near 60; the CPU time per frame shows what the wait costs (a sleeping wait costs almost nothing,
// a spinning one most of the frame).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include "platform/frame_limiter.h"

namespace {

void BM_FrameLimiter(benchmark::State& state) {
    FrameLimiter limiter;
    const LimiterClock& clock = LimiterClock_Real();
    const uint64_t workNs = uint64_t(state.range(0)) * 1000000;
    FrameLimiter_Wait(limiter, clock);
    for (auto _ : state) {
        const uint64_t start = clock.nowNs();
        while (clock.nowNs() - start < workNs) { // stands for the frame's own work
        }
        FrameLimiter_Wait(limiter, clock);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameLimiter)->Arg(0)->Arg(5)->Arg(12)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

} // namespace
