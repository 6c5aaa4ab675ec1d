// The clocks of the system module: a millisecond clock and a performance counter on CLOCK_MONOTONIC, or the
// harness's fake clock that only flips and Sys_Delay move. Read by the frame timer, timeouts and the start-up seed.
#include <cerrno>
#include <ctime>

#include "platform/system.h"
#include "platform/system_private.h"

namespace {

constexpr int64_t kFakeStartMs = 1000000; // the fake clock starts at 1000 s, so "0 = never" timestamps stay apart
constexpr uint64_t kNsPerSecond = 1000000000ull;

bool g_fakeClock = false;        // the fake clock is on
int g_fakeStepMs = 0;            // fake milliseconds per flip
int64_t g_fakeMs = kFakeStartMs; // fake clock now, in ms

uint64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * kNsPerSecond + static_cast<uint64_t>(ts.tv_nsec);
}

} // namespace

int32_t Sys_Millisecs() {
    const int64_t ms = g_fakeClock ? g_fakeMs : static_cast<int64_t>(MonotonicNs() / 1000000u);
    return static_cast<int32_t>(static_cast<uint32_t>(ms)); // wraps like the 32-bit tick count it stands for
}

uint64_t Sys_PerfCounter() { return g_fakeClock ? static_cast<uint64_t>(g_fakeMs) * 1000000u : MonotonicNs(); }

uint64_t Sys_PerfFrequency() { return kNsPerSecond; }

void Sys_Delay(int ms) {
    if (ms <= 0) return;
    if (g_fakeClock) {
        g_fakeMs += ms;
        return;
    }
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

bool Sys_FakeClockActive() { return g_fakeClock; }

void Clock_Configure(int msPerFlip) {
    g_fakeClock = msPerFlip > 0;
    g_fakeStepMs = msPerFlip > 0 ? msPerFlip : 0;
    g_fakeMs = kFakeStartMs;
}

void Clock_SetStep(int msPerFlip) {
    if (g_fakeClock && msPerFlip > 0) g_fakeStepMs = msPerFlip;
}

void Clock_Advance(int ms) {
    if (g_fakeClock && ms > 0) g_fakeMs += ms;
}

void Clock_OnFlip() { Clock_Advance(g_fakeStepMs); }
