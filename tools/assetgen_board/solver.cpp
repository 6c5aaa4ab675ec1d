// The greedy player (see solver.h). It reads the board through the rules' own functions only.
#include "solver.h"

#include <cmath>
#include <limits>

#include "board/board.h"
#include "board/board_hooks.h"
#include "board/rules.h"

namespace {

int32_t g_matched = 0;
void (*g_previousHook)() = nullptr;
// Event 1 (a group was scored and removed): Match_Count still holds the group's size.
void Count() {
    g_matched += Match_Count;
    g_previousHook();
}

// Value of the group now in Match_List: tiles under it, chains and ice it breaks, crates beside it, cells below
// an amulet it opens.
double GroupValue() {
    double v = 0;
    for (int32_t i = 0; i < Match_Count; ++i) {
        const Point at = Match_List[i];
        const Table_cell& cell = Board_Cells[at.x][at.y];
        const Piece* p = cell.Piece.get();
        if (p && (p->Shield > 0 || p->Frozen))
            v += 1.5;
        else
            v += cell.TileLevel * 2.0;
        static constexpr int32_t kDc[] = {-1, 1, 0, 0}, kDr[] = {0, 0, -1, 1};
        for (int32_t d = 0; d < 4; ++d) {
            const int32_t x = at.x + kDc[d], y = at.y + kDr[d];
            if (Cell_Playable(x, y) && Board_Cells[x][y].Blockers > 0) v += 1.0;
        }
        for (int32_t y = at.y - 1; y >= 0; --y) {
            const Piece* q = Board_Cells[at.x][y].Piece.get();
            if (q && q->Kind == KIND_AMULET) {
                v += 3.0;
                break;
            }
        }
        if (Match_Kind == KIND_TAR && Match_BySwap) v -= 2.0; // would bring tiles back
    }
    return v + Match_Count * 0.1;
}

// Distance from a cell to the nearest thing still to clear (tile, crate, chain, amulet's column).
double DistanceToWork(int32_t c, int32_t r) {
    double best = 1e9;
    for (int32_t x = 0; x < Board_Cols; ++x)
        for (int32_t y = 0; y < Board_Rows; ++y) {
            const Table_cell& cell = Board_Cells[x][y];
            if (cell.Void) continue;
            const bool work = cell.TileLevel > 0 || cell.Blockers > 0 ||
                              (cell.Piece && (cell.Piece->Shield > 0 || cell.Piece->Kind == KIND_AMULET));
            if (work) best = std::min(best, double(std::abs(x - c) + std::abs(y - r)));
        }
    return best;
}

// 1 when a rocket along row r would take away a piece below an amulet.
bool RowHoldsUpAnAmulet(int32_t r) {
    for (int32_t x = 0; x < Board_Cols; ++x) {
        const Piece* below = Cell_Playable(x, r) ? Board_Cells[x][r].Piece.get() : nullptr;
        if (!below || below->Kind == KIND_AMULET) continue;
        for (int32_t y = 0; y < r; ++y) {
            const Piece* q = Board_Cells[x][y].Piece.get();
            if (q && q->Kind == KIND_AMULET) return true;
        }
    }
    return false;
}

// Fires a helix whose row has tiles left or, once the tiles are gone, holds up an amulet.
bool FireLauncher() {
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Piece* p = Board_Cells[c][r].Piece.get();
            if (!p || p->Kind != KIND_LAUNCHER) continue;
            int32_t tiles = 0;
            for (int32_t x = 0; x < Board_Cols; ++x)
                tiles += Cell_Playable(x, r) ? Board_Cells[x][r].TileLevel : 0;
            const bool useful = tiles > 0 || (Level_EndState == 1 && RowHoldsUpAnAmulet(r));
            if (useful && Launcher_Fire(c, r)) return true;
        }
    return false;
}

bool ChooseMove(int32_t& bc, int32_t& br, int32_t& bc2, int32_t& br2) {
    double best = -std::numeric_limits<double>::infinity();
    bc = br = bc2 = br2 = -1;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            for (int32_t dir = 0; dir < 2; ++dir) {
                const int32_t c2 = c + (dir == 0), r2 = r + (dir == 1);
                if (!Board_FindMoves(c, r, c2, r2)) continue;
                std::swap(Board_Cells[c][r].Piece, Board_Cells[c2][r2].Piece);
                double v = 0;
                if (Board_FindMatchGroup(c, r, 1, 1) > 0) v += GroupValue();
                if (Board_FindMatchGroup(c2, r2, 1, 1) > 0) v += GroupValue();
                std::swap(Board_Cells[c][r].Piece, Board_Cells[c2][r2].Piece);
                if (v < 1.0)
                    v = -DistanceToWork(c, r) + r * 0.01; // no progress: work near what is left
                else
                    v += r * 0.01; // lower groups cascade more
                if (v > best) {
                    best = v;
                    bc = c, br = r, bc2 = c2, br2 = r2;
                }
            }
    return bc >= 0;
}

bool BestMove() {
    int32_t c, r, c2, r2;
    return ChooseMove(c, r, c2, r2) && Board_Swap(c, r, c2, r2);
}

} // namespace

bool Solver_ChooseMove(Point& a, Point& b) {
    int32_t c, r, c2, r2;
    if (!ChooseMove(c, r, c2, r2)) return false;
    a = Point{c, r};
    b = Point{c2, r2};
    return true;
}

bool Solver_ChooseLauncher(Point& at) {
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Piece* p = Board_Cells[c][r].Piece.get();
            if (!p || p->Kind != KIND_LAUNCHER || !Piece_Settled(*p)) continue;
            int32_t tiles = 0;
            for (int32_t x = 0; x < Board_Cols; ++x)
                tiles += Cell_Playable(x, r) ? Board_Cells[x][r].TileLevel : 0;
            if (tiles > 0 || (Level_EndState == 1 && RowHoldsUpAnAmulet(r))) {
                at = Point{c, r};
                return true;
            }
        }
    return false;
}

SolveResult Solver_Play(int64_t limitMs, float dtMs) {
    SolveResult res;
    g_matched = 0;
    const int32_t scoreBefore = Score;
    g_previousHook = Board_Hooks.Tutorial_OnEvent1 == Count ? g_previousHook : Board_Hooks.Tutorial_OnEvent1;
    Board_Hooks.Tutorial_OnEvent1 = Count;
    double t = 0;
    while (t < double(limitMs)) {
        Board_Update(dtMs);
        t += dtMs;
        if (Level_EndState == 2) {
            res.won = true;
            break;
        }
        if (!Board_Idle()) continue;
        if (FireLauncher() || BestMove()) ++res.moves;
    }
    Board_Hooks.Tutorial_OnEvent1 = g_previousHook;
    res.timeMs = int64_t(t);
    res.matchedCells = g_matched;
    res.score = Score - scoreBefore;
    return res;
}
