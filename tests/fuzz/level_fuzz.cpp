// libFuzzer target: any bytes as a level file. Level_Load either refuses them and leaves the board as it was, or
// takes them over into a consistent board: sizes in range, every piece in its own cell and in the piece list;
// saving it gives a file that loads again to the same board, and a few logic steps on it must run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/incbin.h"
#include "platform/random.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Str kName = S("fuzz/level.lev");
    Incbin_Register(kName, std::vector<uint8_t>(data, data + size));
    Board_Cols = 3;
    Board_Rows = 2;
    const bool loaded = Level_Load(S("incbin::") + kName);
    if (!loaded) {
        Check(Board_Cols == 3 && Board_Rows == 2);
        return 0;
    }
    Check(Board_Cols >= 1 && Board_Cols <= 48 && Board_Rows >= 1 && Board_Rows <= 48);
    size_t inCells = 0;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (!p) continue;
            Check(p->Col == c && p->Row == r && p->Kind > 0 && p->Kind < Piece_KindCount);
            ++inCells;
        }
    Check(inCells <= Pieces.Count());

    // What was taken over saves and loads again to the same board.
    struct CellFacts {
        int32_t kind, isVoid, tile, blockers;
    };
    static CellFacts before[Board_MaxCols][Board_MaxRows];
    const auto facts = [](int32_t c, int32_t r) {
        const Table_cell& cell = Board_Cells[c][r];
        return CellFacts{cell.Piece ? cell.Piece->Kind : 0, cell.Void, cell.TileLevel, cell.Blockers};
    };
    const int32_t cols = Board_Cols, rows = Board_Rows;
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r)
            before[c][r] = facts(c, r);
    static const std::string kSaved =
        (std::filesystem::temp_directory_path() / ("bq_level_fuzz_" + std::to_string(getpid()) + ".lev")).string();
    Check(Level_Save(Str_FromUtf8(kSaved)));
    Check(Level_Load(Str_FromUtf8(kSaved)));
    Check(Board_Cols == cols && Board_Rows == rows);
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r) {
            const CellFacts now = facts(c, r);
            Check(now.kind == before[c][r].kind && now.isVoid == before[c][r].isVoid && now.tile == before[c][r].tile &&
                  now.blockers == before[c][r].blockers);
        }

    Rand_Seed(1);
    for (int i = 0; i < 20; ++i)
        Board_Update(16.0f);
    return 0;
}
