// The benchmarks' shared boards; see bench_helpers.h.
#include "bench_helpers.h"

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/random.h"

void BenchBoard_Fill(int32_t cols, int32_t rows, void (*extras)()) {
    Rand_Seed(42);
    Board_Cols = cols;
    Board_Rows = rows;
    for (int32_t& w : Spawn_Weights)
        w = 0;
    for (int32_t k = 1; k <= 6; ++k)
        Spawn_Weights[k] = 10;
    extras();
    Level_BuildSpawnTable();
    Level_Start();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) {
            PiecePtr p = Piece_CreateGem(Cell_PixelX(c), Cell_PixelY(r), 1 + (c + 2 * r) % 5);
            p->Col = c;
            p->Row = r;
            Board_Cells[c][r].Piece = p;
        }
}
