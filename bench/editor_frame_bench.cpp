// Cost of one whole game-screen frame with the level editor open over a 17 x 13 level (Game_Frame: the game's
// drawing, then the editor's update and its windows; the board's logic stands still while the editor edits), with
// and without the flip, where SDL's software renderer carries out the drawing, and the heap allocations made
// inside the frame (goal: none in a steady frame). The editor is opened directly, as Right Alt + L does in the
// developer build, so this runs in every build.
#include <benchmark/benchmark.h>

#include "board/level_file.h"
#include "alloc_counter.h"
#include "busy_board.h"
#include "editor/editor.h"
#include "toolkit/toolkit.h"

namespace {
using namespace busy_board;

// The game behind a 17 x 13 board at rest (no 17 x 13 level ships; the busy board of game_frame_bench) and the editor
// open over it (once per process).
bool OpenEditor() {
    static bool ready = false;
    if (ready) return true;
    if (!Open()) return false;
    Toolkit_Init();
    Editor_Init();
    Level_LoadByNumber(1); // the level values and file name of a real level, then its board at 17 x 13
    Fill(17, 13);
    Editor_SelectedCell = Point{2, 1}; // the inspector on a cell, its highlight drawn
    Editor_Create();
    ready = Editor_Open == 1;
    return ready;
}

void BM_EditorFrame(benchmark::State& state) {
    if (!OpenEditor()) {
        state.SkipWithError("no offscreen window or no editor");
        return;
    }
    const bool shown = state.range(0) != 0; // the flip (the software renderer draws the frame there) is timed too
    for (int i = 0; i < 120; ++i) {         // warm up: the window's textures and glyphs
        Game_Frame();
        Graphics_Flip(0);
    }
    long frames = 0;
    Alloc_Count = 0;
    for (auto _ : state) {
        Alloc_Counting = true;
        Game_Frame();
        Alloc_Counting = false;
        ++frames;
        if (shown) Graphics_Flip(0);
        state.PauseTiming();
        if (!shown) Graphics_Flip(0);
        state.ResumeTiming();
    }
    if (!Editor_Open) state.SkipWithError("the editor closed while measured");
    state.counters["allocs_per_frame"] = benchmark::Counter(double(Alloc_Count.load()) / double(frames ? frames : 1));
}
// shown (the flip timed too)
BENCHMARK(BM_EditorFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
