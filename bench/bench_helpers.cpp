// The benchmarks' shared boards; see bench_helpers.h.
#include "bench_helpers.h"

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "effects/effects.h"
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

void BenchBoard_BlastEveryCell(bool listMatches) {
    if (listMatches) Match_Count = 0;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const float x = Cell_PixelX(c), y = Cell_PixelY(r);
            const int32_t cx = int32_t(x) + Cell_HalfWidth, cy = int32_t(y) + Cell_HalfHeight;
            Gfx_BurstAtCell(x, y, 0.1f);
            Gfx_RemovedPieceBurst(x, y, 0.1f);
            Gfx_DestroySparks(cx, cy);
            Gfx_ExplosionSparks(cx, cy);
            Gfx_ExplosionRays(cx, cy);
            Gfx_Explosion16(cx, cy);
            if (listMatches) Match_List[Match_Count++] = Point{c, r};
        }
}
