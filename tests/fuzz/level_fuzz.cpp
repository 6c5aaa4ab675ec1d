// libFuzzer target: any bytes as a level file. Level_Load either refuses them and leaves the board as it was, or
// takes them over into a consistent board: sizes in range, every piece in its own cell and in the piece list;
// a few logic steps on the loaded board must run, and saving must give a file that loads again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/incbin.h"
#include "platform/random.h"

// The fuzzer links no packed archive.
extern "C" const uint8_t bq_assets_begin[1] = {0};
extern "C" const uint8_t bq_assets_end[1] = {0};

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Str kName = S("fuzz/level.lev");
    Board_Notify = 0;
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
    Rand_Seed(1);
    for (int i = 0; i < 20; ++i)
        Board_Update(16.0f);
    return 0;
}
