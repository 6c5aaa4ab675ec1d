// Whole game-screen frames as a player sees them, the flip included (SDL's software renderer draws the frame there):
// a busy 17 x 13 and 48 x 48 board, the fireball cast on a 17 x 13 board every 2 s, the level end and the level-won
// dialog over it, and a whole-board blast at the effects' cap. Each frame is timed in thread CPU time; the benchmark
// reports the mean and the 99th-percentile frame (frame_ms_mean, frame_ms_p99). bench/frame_budgets.sh reads them;
// the CI's benchmark stage does not run this file. With BQ_BENCH_SLOW=1 each benchmark prints its slowest frames
// and what happened in them (platform/frame_tally.h) and their heap allocations.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <ctime>
#include <vector>

#include "alloc_counter.h"
#include "board/rules.h"
#include "bench_helpers.h"
#include "busy_board.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "platform/frame_tally.h"
#include "platform/sprite_batch.h"

namespace {
using namespace busy_board;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// One of the slowest frames: its time, iteration and frame, what happened in it and its heap allocations.
struct SlowFrame {
    double ms = 0;
    int iteration = 0, frame = 0;
    long allocs = 0;
    FrameTally tally;
};
constexpr size_t kSlowestKept = 8;

// With BQ_BENCH_SLOW set: the slowest frames of the benchmark on standard error, what happened in each.
void PrintSlowest(const char* name, const std::vector<SlowFrame>& slow) {
    if (!std::getenv("BQ_BENCH_SLOW")) return;
    for (const SlowFrame& s : slow)
        std::fprintf(stderr, "slow %s: iteration %d frame %d %.2f ms: allocs=%ld %s\n", name,
                     s.iteration, s.frame, s.ms, s.allocs, FrameTally_Line(s.tally).c_str());
}

// Runs `frames` frames an iteration (each `before(f)`, then the game frame and the flip), timing the frame and the
// flip; reports the mean and the 99th percentile over every frame of every iteration. An iteration's time is its
// mean frame.
// The game screen's frame, as the main loop runs it when no dialog is open.
void GameScreenFrame() { Game_Frame(); }

// The main loop's frame: the dialog's update, the current screen's frame under the dialog's cover, the dialog drawn.
void LoopFrame() {
    Dialog_RunUpdate();
    Batch_SetCover(Dialog_Cover());
    Screen_HooksOf(Screen_Current).frame();
    Batch_SetCover(Rect{});
    Dialog_RunDraw();
}

template <class Before>
void MeasureShown(benchmark::State& state, const char* name, int frames, Before before,
                  void (*frame)() = GameScreenFrame) {
    std::vector<double> ms;
    ms.reserve(size_t(frames) * 64);
    std::vector<SlowFrame> slow;
    int iteration = 0;
    for (auto _ : state) {
        double sum = 0;
        for (int f = 0; f < frames; ++f) {
            before(f);
            FrameTally_Reset();
            Alloc_Count = 0;
            Alloc_Counting = true;
            const double t0 = CpuMs();
            frame();
            Graphics_Flip(0);
            const double t = CpuMs() - t0;
            Alloc_Counting = false;
            ms.push_back(t);
            sum += t;
            if (slow.size() < kSlowestKept || t > slow.back().ms) {
                if (slow.size() == kSlowestKept) slow.pop_back();
                const SlowFrame s{t, iteration, f, Alloc_Count.load(), Frame_Tally};
                slow.insert(std::find_if(slow.begin(), slow.end(), [&](const SlowFrame& o) { return o.ms < t; }), s);
            }
            KeepGoing();
        }
        state.SetIterationTime(sum / frames / 1e3);
        ++iteration;
    }
    PrintSlowest(name, slow);
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
    Game_Enter(); // as the game's switch to the screen calls it
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
    MeasureShown(state, state.range(0) == 48 ? "busy 48x48" : "busy 17x13", 120, [](int) { MoveIfIdle(); });
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
    MeasureShown(state, "fireball", 120, [](int f) {
        if (f != 0) return;
        Mana = 100000;
        if (!Spell_Cast(SPELL_FIREBALL, Point{8, 6})) std::fprintf(stderr, "the fireball was not cast\n");
    });
    KeepShot("fireball");
}
BENCHMARK(BM_Screen_Fireball)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// ---- A level won on a 17 x 13 board: the level end from its second frame (the first decodes its pictures) through
// the count-up and the effects above the board (2.5 s), then 5 s of the level-won dialog over it, as the main loop
// draws them.
constexpr int kLevelEndFrames = 150, kLevelWonFrames = 300;

// The level end begins afresh on a warmed-up board: the dialog of the last run closed, the effects cleared.
void EnterLevelEnd() {
    static const bool built = [] { // the dialogs' pictures and the level-won dialog, as at the game's start
        Dialogs_LoadImages();
        WinLose_Build();
        return true;
    }();
    (void)built;
    Screens_Reset(); // the game's screens and no dialog

    Effects_Clear();
    Fill(17, 13);
    Level_Lost = 0;
    Level_TimeBonus = 1708;
    // At 60 frames a second, as the game runs on a fast machine: the level end's creators make their full counts.
    Frame_DeltaMs = 1000.0f / 60;
    Fps_Instant = 60;
    LowFps_Mode = 0;
    for (int i = 0; i < 4; ++i)
        LevelEnd_Tiles[i] = i;
    Screen_Set(kScreenLevelEnd);
    LoopFrame(); // the first frame
    Graphics_Flip(0);
}

void BM_Screen_LevelEnd(benchmark::State& state) {
    if (!Start(state, 17, 13, false)) return;
    MeasureShown(
        state, "level end", kLevelEndFrames - 1,
        [](int f) {
            if (f == 0) EnterLevelEnd();
        },
        LoopFrame);
    KeepShot("level_end");
}
BENCHMARK(BM_Screen_LevelEnd)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Screen_LevelWon(benchmark::State& state) {
    if (!Start(state, 17, 13, false)) return;
    MeasureShown(
        state, "level won", kLevelWonFrames,
        [](int f) {
            if (f != 0) return;
            EnterLevelEnd();
            while (!Dialog_Active) { // to the dialog's first frame
                LoopFrame();
                Graphics_Flip(0);
            }
        },
        LoopFrame);
    KeepShot("level_won");
}
BENCHMARK(BM_Screen_LevelWon)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- Every cell of a resting 17 x 13 board blasts at once (every creator a cell's blast fires): the effects reach
// their cap of 25 000 objects; 3 s of it. No budget: it shows what the rasteriser does with the cap.
void BM_Screen_BlastAtCap(benchmark::State& state) {
    if (!Start(state, 17, 13, false)) return;
    MeasureShown(state, "blast at the cap", 180, [](int f) {
        if (f == 0) BenchBoard_BlastEveryCell(false);
    });
}
BENCHMARK(BM_Screen_BlastAtCap)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
