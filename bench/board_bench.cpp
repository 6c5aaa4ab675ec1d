// Cost of one logic step of the board: the full match check, the resolution of a group, the fall and the refill,
// on the default 17 x 13 board and on a full 48 x 48 one; and the step of a board at rest.
#include <benchmark/benchmark.h>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/random.h"

namespace {

// A board of the size full of gems without a group, spawners in row 0, six colours.
void Fill(int32_t cols, int32_t rows) {
    Rand_Seed(42);
    Board_Cols = cols;
    Board_Rows = rows;
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int32_t k = 1; k <= 6; ++k)
        Spawn_Weights[k] = 10;
    Level_SilverCoinInterval = Level_GoldCoinInterval = Level_ManaBottleInterval = 0;
    Level_BuildSpawnTable();
    Level_Start();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            // colour pattern without runs of three in either direction
            const int32_t k = 1 + (c + 2 * r) % 5;
            PiecePtr p = Piece_CreateGem(Cell_PixelX(c), Cell_PixelY(r), k);
            p->Col = c;
            p->Row = r;
            Board_Cells[c][r].Piece = p;
        }
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
