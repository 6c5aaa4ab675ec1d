// Cost of one whole game-screen frame (Game_Frame: logic tick, effects, level time and the draw submission to the
// offscreen software renderer; the flip that presents it is left out) on a busy 17 x 13 board and a full 48 x 48
// board, with the heap allocations made inside the frame counted (goal: none in a steady frame); the last two also
// time the flip, where SDL's software renderer carries out the frame's drawing.
#include <benchmark/benchmark.h>

#include "alloc_counter.h"
#include "busy_board.h"

namespace {
long g_groups = 0; // groups resolved while measuring
void CountGroups() { ++g_groups; }
using namespace busy_board;

void BM_GameFrame(benchmark::State& state) {
    if (!Open()) {
        state.SkipWithError("no offscreen window");
        return;
    }
    const bool busy = state.range(2) != 0;
    const bool shown = state.range(3) != 0; // the flip (the software renderer draws the frame there) is timed too
    Fill(int32_t(state.range(0)), int32_t(state.range(1)));
    for (int i = 0; i < 120; ++i) { // warm up: image textures, first cascades
        if (busy) MoveIfIdle();
        Game_Frame();
        Graphics_Flip(0);
    }
    long frames = 0;
    Alloc_Count = 0;
    g_groups = 0;
    const auto groups = Board_Hooks.Tutorial_OnEvent1;
    Board_Hooks.Tutorial_OnEvent1 = CountGroups;
    for (auto _ : state) {
        if (busy) MoveIfIdle();
        Alloc_Counting = true;
        Game_Frame();
        Alloc_Counting = false;
        ++frames;
        if (shown) Graphics_Flip(0);
        state.PauseTiming();
        if (!shown) Graphics_Flip(0);
        KeepGoing();
        state.ResumeTiming();
    }
    Board_Hooks.Tutorial_OnEvent1 = groups;
    state.counters["groups_per_frame"] = benchmark::Counter(double(g_groups) / double(frames ? frames : 1));
    state.counters["allocs_per_frame"] = benchmark::Counter(double(Alloc_Count.load()) / double(frames ? frames : 1));
}
// columns, rows, busy (a move whenever the board rests), shown (the flip timed too)
BENCHMARK(BM_GameFrame)
    ->Args({17, 13, 1, 0})
    ->Args({48, 48, 1, 0})
    ->Args({17, 13, 0, 0})
    ->Args({48, 48, 0, 0})
    ->Args({17, 13, 1, 1})
    ->Args({48, 48, 1, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace
