// The BQ_PERF figures of a running game (see perf.h), printed through Log_Print for tools/perfprobe. Called by
// graphics.cpp.
#include "platform/perf.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/system.h"

namespace {

struct PerfState {
    bool on = false;        // BQ_PERF is set
    uint64_t launchNs = 0;  // CLOCK_MONOTONIC time the game was launched (BQ_PERF's number, else the first flip)
    uint64_t frames = 0;    // flips so far
    uint64_t firstNs = 0;   // time of the first flip, from the launch
    uint64_t waitCpuNs = 0; // main-thread CPU spent in the limiter's wait
};

uint64_t ClockNs(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

PerfState& State() {
    static PerfState s = [] {
        PerfState p;
        const char* v = std::getenv("BQ_PERF");
        p.on = v && *v;
        p.launchNs = p.on ? std::strtoull(v, nullptr, 10) : 0;
        return p;
    }();
    return s;
}

} // namespace

void Perf_Phase(const char* name) {
    PerfState& s = State();
    if (!s.on || s.frames > 0) return;
    const uint64_t now = ClockNs(CLOCK_MONOTONIC);
    if (s.launchNs == 0 || s.launchNs > now) s.launchNs = now;
    char line[160];
    std::snprintf(line, sizeof line, "perf phase=%s t_ms=%.3f cpu_ms=%.3f", name, double(now - s.launchNs) / 1e6,
                  double(ClockNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6);
    Log_Print(std::string(line));
}

uint64_t Perf_ThreadCpuNs() { return State().on ? ClockNs(CLOCK_THREAD_CPUTIME_ID) : 0; }

void Perf_OnFlip(uint64_t waitCpuNs) {
    PerfState& s = State();
    if (!s.on) return;
    const uint64_t now = ClockNs(CLOCK_MONOTONIC);
    if (s.launchNs == 0 || s.launchNs > now) s.launchNs = now;
    if (s.frames == 0) Perf_Phase("first_flip");
    if (s.frames++ == 0) s.firstNs = now - s.launchNs;
    s.waitCpuNs += waitCpuNs;
    if (s.frames % 60 != 0) return;
    char line[256];
    std::snprintf(line, sizeof line,
                  "perf frames=%llu t_ms=%.3f first_frame_ms=%.3f process_cpu_ms=%.3f main_cpu_ms=%.3f "
                  "wait_cpu_ms=%.3f",
                  static_cast<unsigned long long>(s.frames), double(now - s.launchNs) / 1e6, double(s.firstNs) / 1e6,
                  double(ClockNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6, double(ClockNs(CLOCK_THREAD_CPUTIME_ID)) / 1e6,
                  double(s.waitCpuNs) / 1e6);
    Log_Print(std::string(line));
}
