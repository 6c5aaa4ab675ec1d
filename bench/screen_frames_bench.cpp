// Whole game-screen frames as a player sees them, the flip included (SDL's software renderer draws the frame there):
// a busy 17 x 13 and 48 x 48 board, the fireball cast on a 17 x 13 board every 2 s, and a whole-board blast at the
// effects' cap. Each frame is timed in thread CPU time; the benchmark reports the mean and the 99th-percentile frame
// (frame_ms_mean, frame_ms_p99). bench/frame_budgets.sh reads them; the CI's benchmark stage does not run this file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <ctime>
#include <vector>

#include "board/rules.h"
#include "bench_helpers.h"
#include "busy_board.h"

namespace {
using namespace busy_board;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Runs `frames` frames an iteration (each `before(f)`, then the game frame and the flip), timing the frame and the
// flip; reports the mean and the 99th percentile over every frame of every iteration. An iteration's time is its
// mean frame.
template <class Before> void MeasureShown(benchmark::State& state, int frames, Before before) {
    std::vector<double> ms;
    ms.reserve(size_t(frames) * 64);
    for (auto _ : state) {
        double sum = 0;
        for (int f = 0; f < frames; ++f) {
            before(f);
            const double t0 = CpuMs();
            Game_Frame();
            Graphics_Flip(0);
            const double t = CpuMs() - t0;
            ms.push_back(t);
            sum += t;
            KeepGoing();
        }
        state.SetIterationTime(sum / frames / 1e3);
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (const double t : ms)
        sum += t;
    state.counters["frame_ms_mean"] = ms.empty() ? 0 : sum / double(ms.size());
    state.counters["frame_ms_p99"] = ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["frame_ms_worst"] = ms.empty() ? 0 : ms.back();
}

// With BQ_BENCH_SHOTS=folder, the last frame shown is kept there as <name>.png (to compare two builds' pixels;
// run with BQ_FRAME_MS for the same frames every run).
void KeepShot(const char* name) {
    if (const char* folder = std::getenv("BQ_BENCH_SHOTS"))
        Graphics_SaveScreenshot(Str_FromUtf8(std::string(folder) + "/" + name + ".png"));
}

// Opens the game, fills the board and warms it up for 2 s (textures made, the first cascades run).
bool Start(benchmark::State& state, int32_t cols, int32_t rows, bool busy) {
    if (!Open()) {
        state.SkipWithError("no offscreen window");
        return false;
    }
    Fill(cols, rows);
    for (int i = 0; i < 120; ++i) {
        if (busy) MoveIfIdle();
        Game_Frame();
        Graphics_Flip(0);
    }
    return true;
}

// ---- A busy board: a move whenever it rests.
void BM_Screen_BusyBoard(benchmark::State& state) {
    if (!Start(state, int32_t(state.range(0)), int32_t(state.range(1)), true)) return;
    MeasureShown(state, 120, [](int) { MoveIfIdle(); });
    KeepShot(state.range(0) == 48 ? "busy_48x48" : "busy_17x13");
}
BENCHMARK(BM_Screen_BusyBoard)
    ->Args({17, 13})
    ->Args({48, 48})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// ---- The fireball at its highest level, cast in the middle of a resting 17 x 13 board, then 2 s of its flight.
void BM_Screen_Fireball(benchmark::State& state) {
    if (!Start(state, 17, 13, false)) return;
    for (int i = 0; i < 3; ++i)
        Spells_AddLevel(SPELL_FIREBALL);
    MeasureShown(state, 120, [](int f) {
        if (f != 0) return;
        Mana = 100000;
        if (!Spell_Cast(SPELL_FIREBALL, Point{8, 6})) std::fprintf(stderr, "the fireball was not cast\n");
    });
    KeepShot("fireball");
}
BENCHMARK(BM_Screen_Fireball)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// ---- Every cell of a resting 17 x 13 board blasts at once (every creator a cell's blast fires): the effects reach
// their cap of 25 000 objects; 3 s of it. No budget: it shows what the rasteriser does with the cap.
void BM_Screen_BlastAtCap(benchmark::State& state) {
    if (!Start(state, 17, 13, false)) return;
    MeasureShown(state, 180, [](int f) {
        if (f == 0) BenchBoard_BlastEveryCell(false);
    });
}
BENCHMARK(BM_Screen_BlastAtCap)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
