// Cost of one logic step of the board: the full match check, the resolution of a group, the fall and the refill,
// on the default 17 x 13 board and on a full 48 x 48 one; and the step of a board at rest.
#include <benchmark/benchmark.h>

#include "bench_helpers.h"

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"

namespace {

// A board of the size full of gems without a group, spawners in row 0, six colours, no coins or bottles.
void Fill(int32_t cols, int32_t rows) {
    BenchBoard_Fill(cols, rows,
                    [] { Level_SilverCoinInterval = Level_GoldCoinInterval = Level_ManaBottleInterval = 0; });
}

// Puts a row group of three in the middle of the board.
void PlaceGroup() {
    const int32_t c = Board_Cols / 2 - 1, r = Board_Rows / 2;
    for (int32_t i = 0; i < 3; ++i)
        Board_Cells[c + i][r].Piece->Kind = 6;
}

void BM_StepWithGroup(benchmark::State& state) {
    const int32_t cols = int32_t(state.range(0)), rows = int32_t(state.range(1));
    Fill(cols, rows);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(cols, rows);
        PlaceGroup();
        state.ResumeTiming();
        Board_Update(16.0f); // finds and resolves the group, lets the column fall, refills the spawner
        benchmark::DoNotOptimize(Match_Count);
    }
}
BENCHMARK(BM_StepWithGroup)->Args({17, 13})->Args({48, 48});

void BM_StepAtRest(benchmark::State& state) {
    Fill(int32_t(state.range(0)), int32_t(state.range(1)));
    for (auto _ : state) {
        Board_Update(16.0f);
        benchmark::DoNotOptimize(Board_Frame);
    }
}
BENCHMARK(BM_StepAtRest)->Args({17, 13})->Args({48, 48});

} // namespace
