// Cost of one whole game-screen frame (Game_Frame: logic tick, effects, level time and the draw submission to the
// offscreen software renderer; the flip that presents it is left out) on a busy 17 x 13 board and a full 48 x 48
// board, with the heap allocations made inside the frame counted (goal: none in a steady frame); the last two also
// time the flip, where SDL's software renderer carries out the frame's drawing.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "bench_helpers.h"

#include "board/board_hooks.h"
#include "board/play.h"
#include "castle/castle.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/runtime/startup.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/input.h"
#include "platform/system.h"

namespace {
std::atomic<long> g_allocs{0};
std::atomic<bool> g_counting{false};
long g_groups = 0; // groups resolved while measuring
void CountGroups() { ++g_groups; }
} // namespace

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    if (g_counting) g_allocs.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

bool Open() {
    static bool ready = false;
    if (ready) return true;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("BQ_HEADLESS", "1", 0);
    Sys_Init(0, nullptr);
    if (!Graphics_Open(800, 600, true)) return false;
    Incbin_RegisterBuiltin();
    Runtime_InstallHooks(); // the whole game behind the board: castle, effects, tips
    Fonts_Load();
    Board_Init();
    Hammers_Load();
    Castle_Init();
    ready = true;
    return true;
}

// A board of the size with gems of six colours, two tile levels everywhere, spawners in row 0, some bombs and line
// blasts, in relaxed play (the time stands still).
void Fill(int32_t cols, int32_t rows) {
    BenchBoard_Fill(cols, rows, [] {
        Relaxed_Mode = 1;
        Level_BombPercent = Level_LaserPercent = 3;
        Level_SilverCoinInterval = 10;
    });
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c)
            Board_Cells[c][r].TileLevel = Board_Cells[c][r].BaseTileLevel = 2;
    Play_ResetLevel();
    Level_Sweeping = 0;
    Screen_Current = kScreenGame;
    Game_Paused = 0;
}

// A move wherever one is found, so that the board keeps falling and matching.
void MoveIfIdle() {
    if (!Board_Idle()) return;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            if (Board_FindMoves(c, r, c + 1, r) && Board_Swap(c, r, c + 1, r)) return;
            if (Board_FindMoves(c, r, c, r + 1) && Board_Swap(c, r, c, r + 1)) return;
        }
}

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
    g_allocs = 0;
    g_groups = 0;
    const auto groups = Board_Hooks.Tutorial_OnEvent1;
    Board_Hooks.Tutorial_OnEvent1 = CountGroups;
    for (auto _ : state) {
        if (busy) MoveIfIdle();
        g_counting = true;
        Game_Frame();
        g_counting = false;
        ++frames;
        if (shown) Graphics_Flip(0);
        state.PauseTiming();
        if (!shown) Graphics_Flip(0);
        if (Level_EndState > 0 || Board_TilesLeft() < Board_Cols * Board_Rows / 2) {
            for (int32_t c = 0; c < Board_Cols; ++c)
                for (int32_t r = 0; r < Board_Rows; ++r)
                    Board_Cells[c][r].TileLevel = 2;
            Level_EndState = 0;
        }
        state.ResumeTiming();
    }
    Board_Hooks.Tutorial_OnEvent1 = groups;
    state.counters["groups_per_frame"] = benchmark::Counter(double(g_groups) / double(frames ? frames : 1));
    state.counters["allocs_per_frame"] = benchmark::Counter(double(g_allocs.load()) / double(frames ? frames : 1));
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
