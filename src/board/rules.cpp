// The rules of match play: counters, match groups and moves, hints, swaps, resolution with specials and
// obstacles, falling, refill, cascades, rockets, coins, freezing, the no-move replacement and the end phases.
// Called by the play loop (Board_Update, Board_Swap, Launcher_Fire, Piece_Collect), the tutorial and the editor.
//
// [SECTION] State and counters
// [SECTION] Match groups and moves
// [SECTION] Blasts: tiles, pieces, bombs, lines, rockets
// [SECTION] Resolution
// [SECTION] Swaps, falling and refill
// [SECTION] Coins, freezing, antigravity, amulets, no-move replacement
// [SECTION] The frame and the end phases
#include "board/rules.h"

#include <algorithm>
#include <cmath>

#include "board/level_file.h"
#include "board/board_hooks.h"
#include "board/play.h"
#include "main/audio.h"
#include "main/screens.h"
#include "platform/random.h"

// [SECTION] State and counters ---------------------------------------------------------------------------------------

Point Match_List[Board_MaxCols * Board_MaxRows];
int32_t Match_Kind = 0;
int32_t Match_MinRun = 3;
int32_t Hint_Col = 0, Hint_Row = 0;
int32_t Hint_Col2 = 0, Hint_Row2 = 0;
MatchCounters Match_Counters;
int32_t Mana_Caps[3] = {200, 400, 700};
int32_t Mana_CapLevel = 0;
int32_t Level_Current = 1;
int32_t Relaxed_Mode = 0;
RulesLevel Rules_Level;

namespace {

// The swap in progress.
struct SwapState {
    int32_t c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    PiecePtr p1, p2;
    bool back = false; // the swap back after a swap without a group
};
// The board's own state between logic frames, reset as one at a level start.
struct MotionState {
    SwapState swap;
    int32_t idleFrames = 0; // logic frames the board has been at rest in a row
};
MotionState g_motion;

// Generation marks over the grid, so a search clears nothing.
uint32_t g_mark[Board_MaxCols][Board_MaxRows];
uint32_t g_markGen = 0;
uint32_t g_hit[Board_MaxCols][Board_MaxRows];
uint32_t g_hitGen = 0;
Point g_try[Board_MaxCols * Board_MaxRows];     // BestGroup's trial of one colour
Point g_best[Board_MaxCols * Board_MaxRows];    // groups found by the move search
Point g_scratch[Board_MaxCols * Board_MaxRows]; // candidates of a freeze, groups of the replacement check
Point g_cand[Board_MaxCols * Board_MaxRows];    // candidates of the no-move replacement

float PanOf(int32_t c) { return Board_Hooks.Snd_PanAt(int32_t(Cell_PixelX(c)) + Cell_HalfWidth); }
// Screen centre of a cell, for the effects.
int32_t CentreX(int32_t c) { return int32_t(Cell_PixelX(c)) + Cell_HalfWidth; }
int32_t CentreY(int32_t r) { return int32_t(Cell_PixelY(r)) + Cell_HalfHeight; }

uint32_t NextGen(uint32_t& gen, uint32_t (&marks)[Board_MaxCols][Board_MaxRows]) {
    if (++gen == 0) {
        for (auto& col : marks)
            for (auto& m : col)
                m = 0;
        gen = 1;
    }
    return gen;
}

void TimeAdd(int64_t us) { Level_TimeLeft = std::min(Level_Duration, Level_TimeLeft + us); }

} // namespace

void Score_Add(int32_t points) {
    Score += points;
    if (Score <= Score_Highest) return;
    const int32_t before = std::max(0, Score_Highest) / rules::LifeEveryPoints;
    Score_Highest = Score;
    const int32_t after = Score / rules::LifeEveryPoints;
    if (after > before) {
        Lives += after - before;
        Board_Hooks.Snd_PlayIndex(SND_LIFE, 0);
    }
}

void Score_AddMultiplied(int32_t points) { Score_Add(points * Score_Multiplier); }

void Gold_Add(int32_t amount) { Gold = std::max(0, Gold + amount); }

void Mana_Add(int32_t amount) {
    if (Level_Current < 6) return;
    const int32_t cap = Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)] - 1;
    int32_t reached = 0;
    Mana += amount;
    if (Mana > cap) {
        Mana = cap;
        reached = 1;
    }
    Mana = std::max(0, Mana);
    Board_Hooks.Tutorial_OnManaChanged(amount, reached);
}

// [SECTION] Match groups and moves -----------------------------------------------------------------------------------

namespace {

// The piece of a cell that can take part in a group; `any` also accepts pieces that are not settled.
const Piece* MatchPiece(int32_t c, int32_t r, bool any) {
    if (!Cell_Playable(c, r)) return nullptr;
    const Table_cell& cell = Board_Cells[c][r];
    const Piece* p = cell.Piece.get();
    if (!p || cell.Blockers > 0 || !Kind_Matches(p->Kind) || p->Removing) return nullptr;
    if (!any && !Piece_Settled(*p)) return nullptr;
    return p;
}

bool Fits(int32_t c, int32_t r, int32_t colour, bool any) {
    const Piece* p = MatchPiece(c, r, any);
    if (!p) return false;
    return p->Kind == colour || (p->Kind == KIND_MULTICOLOR && Kind_IsGem(colour));
}

// The group of one colour through (c, r) into out; returns its size (0 when the cell is in no run).
int32_t GroupOf(int32_t c, int32_t r, int32_t colour, bool any, Point* out) {
    if (!Fits(c, r, colour, any)) return 0;
    const uint32_t gen = NextGen(g_markGen, g_mark);
    int32_t n = 0, head = 0;
    out[n++] = Point{c, r};
    g_mark[c][r] = gen;
    bool hasRun = false;
    bool hasColour = false;
    while (head < n) {
        const Point at = out[head++];
        const Piece* p = MatchPiece(at.x, at.y, any);
        if (p && p->Kind == colour) hasColour = true;
        for (int32_t dir = 0; dir < 2; ++dir) {
            const int32_t dc = dir == 0 ? 1 : 0, dr = dir == 0 ? 0 : 1;
            int32_t lo = 0, hi = 0;
            while (Fits(at.x - (lo + 1) * dc, at.y - (lo + 1) * dr, colour, any))
                ++lo;
            while (Fits(at.x + (hi + 1) * dc, at.y + (hi + 1) * dr, colour, any))
                ++hi;
            if (lo + hi + 1 < Match_MinRun) continue;
            hasRun = true;
            for (int32_t i = -lo; i <= hi; ++i) {
                const int32_t x = at.x + i * dc, y = at.y + i * dr;
                if (g_mark[x][y] == gen) continue;
                g_mark[x][y] = gen;
                out[n++] = Point{x, y};
            }
        }
        if (!hasRun) return 0; // the start cell itself is in no run
    }
    return hasColour ? n : 0;
}

// The largest group through (c, r) over the colours its piece can take; colour out.
int32_t BestGroup(int32_t c, int32_t r, bool any, Point* out, int32_t& colour) {
    const Piece* p = MatchPiece(c, r, any);
    colour = 0;
    if (!p) return 0;
    if (p->Kind != KIND_MULTICOLOR) {
        colour = p->Kind;
        return GroupOf(c, r, p->Kind, any, out);
    }
    int32_t best = 0;
    for (int32_t k = KIND_GEM_FIRST; k <= KIND_GEM_LAST; ++k) {
        const int32_t n = GroupOf(c, r, k, any, g_try);
        if (n > best) {
            best = n;
            colour = k;
            std::copy(g_try, g_try + n, out);
        }
    }
    return best;
}

bool Neighbours(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return std::abs(x1 - x2) + std::abs(y1 - y2) == 1; }

// Swapping the two cells makes a group (the board is examined as it stands, moving pieces included).
bool SwapMakesGroup(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!Neighbours(x1, y1, x2, y2) || !Cell_Playable(x1, y1) || !Cell_Playable(x2, y2)) return false;
    Table_cell& a = Board_Cells[x1][y1];
    Table_cell& b = Board_Cells[x2][y2];
    if (!Piece_Swappable(a.Piece) || !Piece_Swappable(b.Piece) || a.Blockers || b.Blockers) return false;
    std::swap(a.Piece, b.Piece);
    int32_t colour;
    const bool found = BestGroup(x1, y1, true, g_best, colour) > 0 || BestGroup(x2, y2, true, g_best, colour) > 0;
    std::swap(a.Piece, b.Piece);
    return found;
}

bool LocalHasMove(int32_t c, int32_t r) {
    for (int32_t x = c - 3; x <= c + 3; ++x)
        for (int32_t y = r - 3; y <= r + 3; ++y)
            if (SwapMakesGroup(x, y, x + 1, y) || SwapMakesGroup(x, y, x, y + 1)) return true;
    return false;
}

} // namespace

bool Piece_Swappable(const PiecePtr& p) {
    return p && !(p->MoveFlags & MOVE_NOSWAP) && !p->Frozen && !p->Removing && !p->Under &&
           !Kind_IsCoinOrBottle(p->Kind) && p->Kind != KIND_ROCKET;
}

int32_t Board_FindMatchGroup(int32_t c, int32_t r, int32_t bySwap, int32_t flags) {
    Match_BySwap = bySwap;
    int32_t colour = 0;
    const int32_t n = BestGroup(c, r, (flags & 1) != 0, Match_List, colour);
    Match_Count = n;
    if (n > 0) Match_Kind = colour;
    return n;
}

int32_t Board_FindMoves(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return SwapMakesGroup(x1, y1, x2, y2); }

bool Board_HasMove() {
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (SwapMakesGroup(c, r, c + 1, r) || SwapMakesGroup(c, r, c, r + 1)) return true;
    return false;
}

int32_t Hint_DelayMs() { return std::max(2000, rules::HintMs - rules::HintMsPerEase * std::clamp(Level_Ease, 0, 3)); }

void Hint_Tick(int32_t x, int32_t y, int32_t minRun) {
    if (Match_Timer > 0) return;
    const int32_t keep = Match_MinRun;
    Match_MinRun = std::max(2, minRun);
    Hint_Found = 0;
    int64_t best = INT64_MAX;
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = 0; r < Board_Rows; ++r) {
            for (int32_t dir = 0; dir < 2; ++dir) {
                const int32_t c2 = c + (dir == 0), r2 = r + (dir == 1);
                if (!SwapMakesGroup(c, r, c2, r2)) continue;
                const int64_t dx = int64_t(Cell_PixelX(c)) + Cell_HalfWidth - x;
                const int64_t dy = int64_t(Cell_PixelY(r)) + Cell_HalfHeight - y;
                if (dx * dx + dy * dy < best) {
                    best = dx * dx + dy * dy;
                    Hint_Found = 1;
                    Hint_Col = c;
                    Hint_Row = r;
                    Hint_Col2 = c2;
                    Hint_Row2 = r2;
                }
            }
        }
    }
    Match_MinRun = keep;
}

// [SECTION] Blasts: tiles, pieces, bombs, lines, rockets -------------------------------------------------------------

namespace {

enum class Blast { Bomb, Line, Rocket };

void TileClear(int32_t c, int32_t r) { Cell_ClearTile(c, r); }

// Takes the piece out of its cell and lets it fade out (coins give back the piece they cover).
void Detach(Table_cell& cell, const PiecePtr& p) {
    cell.Piece = nullptr;
    if (p->Under) {
        PiecePtr under = p->Under;
        p->Under = nullptr;
        under->Col = p->Col;
        under->Row = p->Row;
        cell.Piece = under;
        Pieces.AddLast(under);
    }
    p->Removing = 1;
    p->RemoveMs = rules::RemoveMs;
    p->Col = -1;
    p->Row = -1;
    p->Moving = 0;
    p->Busy = 0;
}

// One cell hit by a bomb (3x3), a line blast (row and column) or a rocket (its row).
void BlastCell(int32_t c, int32_t r, Blast how) {
    if (!Cell_Playable(c, r)) return;
    Table_cell& cell = Board_Cells[c][r];
    if (cell.Blockers > 0) {
        cell.Blockers = how == Blast::Line ? cell.Blockers - 1 : 0;
        Board_Hooks.Snd_PlayGrouped(SND_CRATE, PanOf(c));
        Board_Hooks.Gfx_BlockerHit16(CentreX(c), CentreY(r));
        return;
    }
    if (how == Blast::Line)
        Cell_Explode(c, r);
    else
        TileClear(c, r);
    const PiecePtr p = cell.Piece;
    if (!p || p->Removing || p->Kind == KIND_AMULET) return;
    if (how != Blast::Rocket && p->Shield > 0) {
        p->Shield = how == Blast::Bomb ? 0 : p->Shield - 1;
        if (p->Shield == 0) p->MoveFlags &= ~(MOVE_NOSWAP | MOVE_NOFALL);
        Board_Hooks.Snd_PlayGrouped(SND_CHAIN, PanOf(c));
        Board_Hooks.Gfx_Sparks(CentreX(c), CentreY(r));
        return;
    }
    if (how != Blast::Rocket && p->Frozen) {
        Piece_SetFrozen(p, 0);
        return;
    }
    Cell_DestroyPiece(c, r);
}

void Bomb_Explode(int32_t c, int32_t r) {
    Board_Hooks.Snd_PlayGrouped(SND_EXPLODE, PanOf(c));
    Board_Hooks.Gfx_ExplosionSparks(CentreX(c), CentreY(r));
    Board_Hooks.Gfx_ExplosionRays(CentreX(c), CentreY(r));
    if (Cell_Playable(c, r)) TileClear(c, r);
    for (int32_t dc = -1; dc <= 1; ++dc)
        for (int32_t dr = -1; dr <= 1; ++dr)
            if (dc || dr) BlastCell(c + dc, r + dr, Blast::Bomb);
}

void Line_Blast(int32_t c, int32_t r) {
    for (int32_t x = 0; x < Board_Cols; ++x)
        if (x != c) BlastCell(x, r, Blast::Line);
    for (int32_t y = 0; y < Board_Rows; ++y)
        if (y != r) BlastCell(c, y, Blast::Line);
}

} // namespace

void Cell_ClearTile(int32_t c, int32_t r) {
    if (!Cell_Playable(c, r)) return;
    for (int32_t guard = 0; guard < 3 && Board_Cells[c][r].TileLevel > 0; ++guard)
        Cell_Explode(c, r);
}

void Cell_Explode(int32_t c, int32_t r) {
    if (!Cell_Playable(c, r)) return;
    Table_cell& cell = Board_Cells[c][r];
    if (cell.TileLevel < 1) return;
    Board_Hooks.Tutorial_OnEvent2(c, r);
    Board_Hooks.Gfx_Explosion16(CentreX(c), CentreY(r));
    if (--cell.TileLevel == 0) Gold_Add(rules::GoldPerTile);
}

void Cell_DestroyPiece(int32_t c, int32_t r) {
    if (!Board_InUse(c, r)) return;
    Table_cell& cell = Board_Cells[c][r];
    const PiecePtr p = cell.Piece;
    if (!p || p->Removing) return;
    const float x = Cell_PixelX(c), y = Cell_PixelY(r);
    Detach(cell, p);
    if (Kind_IsGem(p->Kind)) {
        ++Level_Gems[size_t(p->Kind)];                     // a restart takes them back
        Board_Hooks.Gems_Add(p->Kind - KIND_GEM_FIRST, 1); // colour 0..6
    }
    Board_Hooks.Gfx_RemovedPieceBurst(x, y, 0.1f);
    Board_Hooks.Gfx_BurstAtCell(x, y, 0.1f);
    if (p->Golden) TimeAdd(rules::GoldenTimeUs);
    if (p->Laser) {
        Board_Hooks.Gfx_Kind4At(int32_t(x), int32_t(y));
        Line_Blast(c, r);
    }
    if (p->Bomb) Bomb_Explode(c, r);
}

bool Launcher_Fire(int32_t c, int32_t r) {
    if (!Cell_Playable(c, r)) return false;
    Table_cell& cell = Board_Cells[c][r];
    const PiecePtr p = cell.Piece;
    if (!p || p->Kind != KIND_LAUNCHER || !Piece_Settled(*p)) return false;
    Detach(cell, p);
    TileClear(c, r);
    Board_Hooks.Snd_PlayIndex(SND_ROCKET, PanOf(c));
    for (const int32_t dir : {-1, 1}) {
        PiecePtr rocket = Piece_Create(Cell_PixelX(c), Cell_PixelY(r), KIND_ROCKET);
        rocket->VelX = dir * rules::RocketCellsPerSecond * float(Cell_Width);
        rocket->Row = r;
        rocket->Target = c + dir;
    }
    return true;
}

// [SECTION] Resolution -----------------------------------------------------------------------------------------------

void Match_Resolve(Point special) {
    const int32_t n = Match_Count;
    if (n <= 0) return;
    // Time bonus, score, hammer charge.
    if (n > 3) TimeAdd(int64_t(n - 3) * rules::TimeBonusPerExtraUs);
    if (Multiplier_TimerMs > 0) Score_Multiplier = std::min(rules::MultiplierMax, Score_Multiplier + 1);
    Multiplier_TimerMs = rules::MultiplierMs;
    Score_AddMultiplied(n * rules::PointsPerGem + std::max(0, n - 3) * rules::PointsPerExtraGem);
    Hammer_AddCharge(n);
    Match_Timer = Hint_DelayMs();

    // The cells: chains and ice take the hit, other pieces go with their tiles.
    const bool tarRestore = Match_Kind == KIND_TAR && Match_BySwap;
    const uint32_t gen = NextGen(g_markGen, g_mark);
    Match_HadTile = 0; // read at event 1, when the tiles under the group are already hit
    for (int32_t i = 0; i < n; ++i) {
        g_mark[Match_List[i].x][Match_List[i].y] = gen;
        if (Board_Cells[Match_List[i].x][Match_List[i].y].TileLevel > 0) Match_HadTile = 1;
    }
    Board_Hooks.Snd_PlayIndex(SND_MATCH1 + std::min(Score_Multiplier - 1, 2), PanOf(Match_List[0].x));
    for (int32_t i = 0; i < n; ++i) {
        const Point at = Match_List[i];
        Table_cell& cell = Board_Cells[at.x][at.y];
        const PiecePtr p = cell.Piece;
        if (!p || p->Removing) continue;
        if (p->Shield > 0) {
            if (--p->Shield == 0 && !p->Frozen) p->MoveFlags &= ~(MOVE_NOSWAP | MOVE_NOFALL);
            Board_Hooks.Snd_PlayGrouped(SND_CHAIN, PanOf(at.x));
            Board_Hooks.Gfx_Sparks(CentreX(at.x), CentreY(at.y));
            continue;
        }
        if (p->Frozen) {
            Piece_SetFrozen(p, 0);
            Board_Hooks.Snd_PlayGrouped(SND_FREEZE, PanOf(at.x));
            Board_Hooks.Gfx_Sparks(CentreX(at.x), CentreY(at.y));
            continue;
        }
        if (tarRestore)
            cell.TileLevel = std::max(cell.TileLevel, cell.BaseTileLevel);
        else
            Cell_Explode(at.x, at.y);
        Cell_DestroyPiece(at.x, at.y);
        Board_Hooks.Snd_PlayDelayed(SND_GEM, float(i) * 40.0f, PanOf(at.x));
    }

    // Neighbours: crates and frozen pieces next to the group take one hit each.
    const uint32_t hit = NextGen(g_hitGen, g_hit);
    for (int32_t i = 0; i < n; ++i) {
        static constexpr int32_t kDc[] = {-1, 1, 0, 0}, kDr[] = {0, 0, -1, 1};
        for (int32_t d = 0; d < 4; ++d) {
            const int32_t x = Match_List[i].x + kDc[d], y = Match_List[i].y + kDr[d];
            if (!Cell_Playable(x, y) || g_mark[x][y] == gen || g_hit[x][y] == hit) continue;
            g_hit[x][y] = hit;
            Table_cell& cell = Board_Cells[x][y];
            if (cell.Blockers > 0) {
                --cell.Blockers;
                Board_Hooks.Snd_PlayGrouped(SND_CRATE, PanOf(x));
                Board_Hooks.Gfx_BlockerHit16(CentreX(x), CentreY(y));
            } else if (cell.Piece && cell.Piece->Frozen && !cell.Piece->Removing) {
                if (--cell.Piece->FrozenCountdown <= 0) Piece_SetFrozen(cell.Piece, 0);
            }
        }
    }

    const auto emptyCell = [&](Point at) { return !Board_Cells[at.x][at.y].Piece; };
    const auto firstEmpty = [&] {
        for (int32_t i = 0; i < n; ++i)
            if (emptyCell(Match_List[i])) return Match_List[i];
        return Point{-1, -1};
    };
    if (n >= 4) {
        // The special piece of a group of four (wildcard) or five and more (launcher): in the swapped cell when it
        // is in the group and empty, else in the first empty cell of the group.
        Point place = firstEmpty();
        for (int32_t i = 0; i < n; ++i)
            if (Match_List[i].x == special.x && Match_List[i].y == special.y && emptyCell(special)) place = special;
        if (place.x >= 0) {
            const float x = Cell_PixelX(place.x), y = Cell_PixelY(place.y);
            PiecePtr p = n >= 5 ? Piece_CreateLauncher(x, y) : Piece_CreateMulticolor(x, y);
            p->Col = place.x;
            p->Row = place.y;
            Board_Cells[place.x][place.y].Piece = p;
            Board_Hooks.Gfx_Kind22Burst(x, y, n >= 5 ? 0.2f : 0.1f);
            Board_Hooks.Gfx_Kind37Circle(p);
            Board_Hooks.Snd_PlayIndex(SND_MAGIC, PanOf(place.x));
        }
    } else if (const Point place = firstEmpty(); place.x >= 0) {
        // At most one coin or bottle, in the first empty cell of the group in list order: silver by its chance,
        // else gold, else a mana bottle (a random 1..100 below the level's value).
        int32_t kind = 0;
        if (Rand_Int(1, 100) < Level_SilverCoinInterval)
            kind = KIND_COIN_SILVER;
        else if (Rand_Int(1, 100) < Level_GoldCoinInterval)
            kind = KIND_COIN_GOLD;
        else if (Rand_Int(1, 100) < Level_ManaBottleInterval)
            kind = KIND_BOTTLE;
        if (kind) Piece_CreateCoinOrBottle(place.x, place.y, kind);
    }

    Board_Hooks.Tutorial_OnEvent1();
}

// [SECTION] Swaps, falling and refill --------------------------------------------------------------------------------

namespace {

void SetCellPiece(int32_t c, int32_t r, const PiecePtr& p) {
    Board_Cells[c][r].Piece = p;
    if (p) {
        p->Col = c;
        p->Row = r;
    }
}

bool CanFall(const PiecePtr& p) {
    return p && !p->Removing && !p->Busy && !(p->MoveFlags & MOVE_NOFALL) && !p->Frozen && !p->Under;
}

void ExchangeSwap() {
    PiecePtr a = Board_Cells[g_motion.swap.c1][g_motion.swap.r1].Piece;
    PiecePtr b = Board_Cells[g_motion.swap.c2][g_motion.swap.r2].Piece;
    SetCellPiece(g_motion.swap.c1, g_motion.swap.r1, b);
    SetCellPiece(g_motion.swap.c2, g_motion.swap.r2, a);
    for (const PiecePtr& p : {a, b}) {
        if (p) p->Busy = 1;
    }
}

bool Arrived(const Piece& p) { return p.Col >= 0 && p.PosX == Cell_PixelX(p.Col) && p.PosY == Cell_PixelY(p.Row); }

void SwapStep() {
    if (!Board_Swapping) return;
    const PiecePtr& a = g_motion.swap.p1;
    const PiecePtr& b = g_motion.swap.p2;
    if (a->Removing || b->Removing) {
        a->Busy = b->Busy = 0;
        Board_Swapping = 0;
        return;
    }
    if (!Arrived(*a) || !Arrived(*b)) return;
    a->Busy = b->Busy = 0;
    if (g_motion.swap.back) {
        Board_Swapping = 0;
        return;
    }
    bool any = false;
    if (Board_FindMatchGroup(g_motion.swap.c1, g_motion.swap.r1, 1, 0) > 0) {
        Match_Resolve(Point{g_motion.swap.c1, g_motion.swap.r1});
        any = true;
    }
    if (Board_FindMatchGroup(g_motion.swap.c2, g_motion.swap.r2, 1, 0) > 0) {
        Match_Resolve(Point{g_motion.swap.c2, g_motion.swap.r2});
        any = true;
    }
    if (any) {
        Board_Swapping = 0;
        return;
    }
    g_motion.swap.back = true;
    ExchangeSwap();
    Board_Hooks.Snd_PlayIndex(SND_SWAP_BACK, PanOf(g_motion.swap.c1));
}

} // namespace

bool Board_Swap(int32_t c1, int32_t r1, int32_t c2, int32_t r2) {
    if (Board_Swapping || !Neighbours(c1, r1, c2, r2) || !Cell_Playable(c1, r1) || !Cell_Playable(c2, r2)) return false;
    const PiecePtr a = Board_Cells[c1][r1].Piece;
    const PiecePtr b = Board_Cells[c2][r2].Piece;
    if (!Piece_Swappable(a) || !Piece_Swappable(b) || !Piece_Settled(*a) || !Piece_Settled(*b)) return false;
    g_motion.swap = SwapState{c1, r1, c2, r2, a, b, false};
    Board_Swapping = 1;
    ExchangeSwap();
    Match_Timer = Hint_DelayMs();
    Hint_Found = 0;
    Board_Hooks.Snd_PlayIndex(SND_SWAP, PanOf(c1));
    return true;
}

void Board_Fall() {
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = Board_Rows - 1; r >= 0; --r) {
            Table_cell& hole = Board_Cells[c][r];
            if (hole.Void || hole.Blockers > 0 || hole.Piece) continue;
            // The nearest piece above, through void cells; a crate or a piece that cannot fall holds the column.
            for (int32_t above = r - 1; above >= 0; --above) {
                Table_cell& from = Board_Cells[c][above];
                if (from.Void) continue;
                if (from.Blockers > 0) break;
                if (!from.Piece) continue;
                if (!CanFall(from.Piece)) break;
                PiecePtr p = from.Piece;
                from.Piece = nullptr;
                SetCellPiece(c, r, p);
                p->Moving = 1;
                break;
            }
        }
    }
}

void Board_Refill(float dtMs) {
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = 0; r < Board_Rows; ++r) {
            Table_cell& cell = Board_Cells[c][r];
            if (!cell.AutoSpawn || cell.Void || cell.Blockers > 0) continue;
            if (cell.Piece) {
                cell.RefillMs = std::min(cell.RefillMs, 0);
                continue;
            }
            cell.RefillMs -= int32_t(dtMs);
            if (cell.RefillMs > 0) continue;
            PiecePtr p = Piece_Spawn(Cell_PixelX(c), Cell_PixelY(r) - float(Cell_Height));
            if (!p) continue;
            SetCellPiece(c, r, p);
            p->Moving = 1;
            cell.RefillMs = 100;
        }
    }
}

namespace {
// A piece that Board_Fall would move into an empty cell below it.
bool FallPending() {
    for (int32_t c = 0; c < Board_Cols; ++c) {
        bool hole = false; // an empty playable cell below the current row, not cut off by a crate
        for (int32_t r = Board_Rows - 1; r >= 0; --r) {
            const Table_cell& cell = Board_Cells[c][r];
            if (cell.Void) continue;
            if (cell.Blockers > 0) {
                hole = false;
                continue;
            }
            if (!cell.Piece) {
                hole = true;
                continue;
            }
            if (hole && CanFall(cell.Piece)) return true;
            if (!CanFall(cell.Piece)) hole = false;
        }
    }
    return false;
}
} // namespace

bool Board_Idle() {
    if (Board_Swapping || FallPending()) return false;
    for (const PiecePtr& p : Pieces)
        if (p->Moving || p->Busy || p->Removing || p->Kind == KIND_ROCKET) return false;
    if (Pieces_SpawnTotal > 0) {
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r) {
                const Table_cell& cell = Board_Cells[c][r];
                if (cell.AutoSpawn && !cell.Void && !cell.Blockers && !cell.Piece) return false;
            }
    }
    return true;
}

int32_t Board_CheckMatches() {
    for (const PiecePtr& p : Pieces)
        if (p->Removing) return 0;
    int32_t groups = 0;
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = 0; r < Board_Rows; ++r) {
            if (!MatchPiece(c, r, false)) continue;
            if (Board_FindMatchGroup(c, r, 0, 0) > 0) {
                Match_Resolve(Point{-1, -1});
                ++groups;
            }
        }
    }
    return groups;
}

// [SECTION] Coins, freezing, antigravity, amulets, no-move replacement ----------------------------------------------

bool Piece_Collect(int32_t c, int32_t r) {
    if (!Cell_Playable(c, r)) return false;
    Table_cell& cell = Board_Cells[c][r];
    const PiecePtr p = cell.Piece;
    if (!Piece_IsCoin(p) && !Piece_IsManaBottle(p)) return false;
    if (p->Kind == KIND_COIN_SILVER)
        Gold_Add(rules::SilverCoinGold);
    else if (p->Kind == KIND_COIN_GOLD)
        Gold_Add(rules::GoldCoinGold);
    else
        Mana_Add(rules::BottleMana);
    const float x = Cell_PixelX(c) + float(Cell_HalfWidth), y = Cell_PixelY(r) + float(Cell_HalfHeight);
    if (Piece_IsCoin(p)) {
        for (const float dx : {-8.0f, 0.0f, 8.0f})
            Board_Hooks.Gfx_CoinCollected(x + dx, y);
    } else {
        Board_Hooks.Gfx_BottleCollected(x, y);
    }
    Board_Hooks.Gfx_CollectRing(Screen_Width - 52, Screen_Height - 256);
    Detach(cell, p);
    return true;
}

namespace {

void Freeze_Step(float dtMs) {
    if (Level_FreezeInterval <= 0) return;
    Level_FreezeTimer -= dtMs / 1000.0f;
    if (Level_FreezeTimer >= 0) return;
    Level_FreezeTimer = float(Level_FreezeInterval);
    int32_t count = 0;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (Cell_Playable(c, r) && p && Kind_IsGem(p->Kind) && Piece_Settled(*p) && !p->Frozen && !p->Shield)
                g_scratch[count++] = Point{c, r};
        }
    if (count == 0) return;
    const Point at = g_scratch[Rand_Int(0, count - 1)];
    Piece_SetFrozen(Board_Cells[at.x][at.y].Piece, 1);
    Board_Hooks.Snd_PlayIndex(SND_FREEZE, PanOf(at.x));
}

// An antigravity piece at rest changes places with the piece above it, one cell at a time.
void Antigrav_Step(float dtMs) {
    bool idle = true;
    for (const PiecePtr& p : Pieces) {
        if (p->Antigrav && p->TimerMs > 0) p->TimerMs -= dtMs;
        if (p->Moving || p->Busy || p->Removing) idle = false;
    }
    if (!idle || Board_Swapping) return;
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = 1; r < Board_Rows; ++r) {
            const PiecePtr p = Board_Cells[c][r].Piece;
            if (!p || !p->Antigrav || p->TimerMs > 0 || !CanFall(p)) continue;
            const PiecePtr q = Cell_Playable(c, r - 1) ? Board_Cells[c][r - 1].Piece : nullptr;
            if (!q || q->Antigrav || !CanFall(q) || Board_Cells[c][r - 1].Blockers) continue;
            SetCellPiece(c, r - 1, p);
            SetCellPiece(c, r, q);
            p->Moving = q->Moving = 1;
            p->TimerMs = rules::AntigravRiseMs;
        }
    }
}

// An amulet at rest with no playable cell below it leaves the board.
void Amulets_Leave() {
    for (int32_t c = 0; c < Board_Cols; ++c) {
        for (int32_t r = 0; r < Board_Rows; ++r) {
            Table_cell& cell = Board_Cells[c][r];
            const PiecePtr p = cell.Piece;
            if (!p || p->Kind != KIND_AMULET || !Piece_Settled(*p) || cell.Void) continue;
            bool below = false;
            for (int32_t y = r + 1; y < Board_Rows && !below; ++y)
                below = !Board_Cells[c][y].Void;
            if (below) continue;
            Detach(cell, p);
            Score_Add(rules::AmuletPoints);
            Board_Hooks.Snd_PlayIndex(SND_MAGIC, PanOf(c));
        }
    }
}

bool AmuletsOnBoard() {
    for (const PiecePtr& p : Pieces)
        if (p->Kind == KIND_AMULET && !p->Removing) return true;
    return false;
}

// Moves, fades, lifetimes and rockets of every piece.
void Pieces_Step(float dtMs) {
    const float fall = rules::FallCellsPerSecond * float(Cell_Height) * dtMs / 1000.0f;
    const float swap = rules::SwapCellsPerSecond * float(Cell_Height) * dtMs / 1000.0f;
    const auto approach = [](float& v, float target, float step) {
        if (v < target)
            v = std::min(target, v + step);
        else if (v > target)
            v = std::max(target, v - step);
    };
    for (const PiecePtr& p : Pieces) {
        if (p->Removing) {
            p->RemoveMs -= dtMs;
            if (p->RemoveMs <= 0) {
                Board_Hooks.Gfx_DestroySparks(int32_t(p->PosX) + Cell_HalfWidth - Board_OverflowX,
                                              int32_t(p->PosY) + Cell_HalfHeight - Board_OverflowY);
                Pieces.Remove(p);
            }
            continue;
        }
        if (p->Kind == KIND_ROCKET) {
            p->PosX += p->VelX * dtMs / 1000.0f;
            p->ScreenX = int32_t(p->PosX);
            Board_Hooks.Gfx_Kind21Burst(p->PosX, p->PosY, 0.0005f);
            const int32_t centre = int32_t(std::floor((p->PosX + Cell_HalfWidth - Board_OriginX) / float(Cell_Width)));
            const int32_t dir = p->VelX > 0 ? 1 : -1;
            while (p->Target >= 0 && p->Target < Board_Cols && (dir > 0 ? p->Target <= centre : p->Target >= centre)) {
                BlastCell(p->Target, p->Row, Blast::Rocket);
                p->Target += dir;
            }
            if (p->Target < 0 || p->Target >= Board_Cols) Pieces.Remove(p);
            continue;
        }
        if (p->Lifetime > 0) {
            p->Lifetime -= int32_t(dtMs);
            // A coin or bottle that runs out while a swap is under way waits for it: its column falling would
            // pull a run apart under the swap and send an approved swap back.
            if (p->Lifetime <= 0 && Board_Swapping) p->Lifetime = 1;
            if (p->Lifetime <= 0 && p->Col >= 0) {
                Detach(Board_Cells[p->Col][p->Row], p);
                continue;
            }
        }
        if (p->FadeAlpha > 0) {
            p->FadeAlpha += dtMs / 300.0f;
            if (p->FadeAlpha >= 1.0f) p->FadeAlpha = 0;
        }
        if (p->Col < 0) continue;
        const float tx = Cell_PixelX(p->Col), ty = Cell_PixelY(p->Row);
        const float step = p->Busy ? swap : fall;
        approach(p->PosX, tx, step);
        approach(p->PosY, ty, step);
        p->ScreenX = int32_t(std::lround(p->PosX));
        p->ScreenY = int32_t(std::lround(p->PosY));
        p->Moving = !p->Busy && (p->PosX != tx || p->PosY != ty);
    }
}

} // namespace

bool Board_ReplaceForMove() {
    int32_t count = 0;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (Cell_Playable(c, r) && p && Kind_IsGem(p->Kind) && Piece_Swappable(p) && Piece_Settled(*p))
                g_cand[count++] = Point{c, r};
        }
    for (int32_t i = count - 1; i > 0; --i)
        std::swap(g_cand[i], g_cand[Rand_Int(0, i)]);
    int32_t colours[7], nColours = 0;
    for (int32_t k = KIND_GEM_FIRST; k <= KIND_GEM_LAST; ++k)
        if (Spawn_Weights[k] > 0) colours[nColours++] = k;
    if (nColours == 0)
        for (int32_t k = 1; k <= 6; ++k)
            colours[nColours++] = k;
    for (int32_t i = 0; i < count; ++i) {
        const Point at = g_cand[i];
        Piece& p = *Board_Cells[at.x][at.y].Piece;
        const int32_t old = p.Kind;
        const int32_t first = Rand_Int(0, nColours - 1);
        for (int32_t j = 0; j < nColours; ++j) {
            const int32_t k = colours[(first + j) % nColours];
            if (k == old) continue;
            p.Kind = k;
            int32_t colour;
            if (BestGroup(at.x, at.y, true, g_scratch, colour) == 0 && LocalHasMove(at.x, at.y)) {
                Piece_AssignImage(p);
                p.FadeAlpha = 0.01f;
                return true;
            }
        }
        p.Kind = old;
    }
    return false;
}

// [SECTION] The frame and the end phases -----------------------------------------------------------------------------

void Level_CheckEnd() {
    if (Level_EndState == 0 && Board_TilesLeft() == 0) {
        for (int32_t c = 0; c < Board_Cols; ++c) {
            for (int32_t r = 0; r < Board_Rows; ++r) {
                Table_cell& cell = Board_Cells[c][r];
                if (!cell.BringDown || cell.Void) continue;
                cell.BringDown = 0;
                cell.Blockers = 0;
                if (cell.Piece && cell.Piece->Kind == KIND_AMULET) continue;
                // The amulet takes the place of the cell's piece, which may be falling into the cell.
                Piece_CreateSpecialImage(Cell_PixelX(c), Cell_PixelY(r), KIND_AMULET, Piece_Images[KIND_AMULET]);
            }
        }
        Level_EndState = AmuletsOnBoard() ? 1 : 2;
    } else if (Level_EndState == 1 && Board_TilesLeft() > 0) {
        Level_EndState = 0; // tar brought tiles back
    } else if (Level_EndState == 1 && !AmuletsOnBoard()) {
        Level_EndState = 2;
    }
}

int32_t Level_ComputeTimeBonus() {
    Level_TimeBonus = Relaxed_Mode
                          ? rules::RelaxedTimeBonus
                          : int32_t(std::max<int64_t>(0, Level_TimeLeft) / 1000000) * rules::TimeBonusPerSecond;
    return Level_TimeBonus;
}

void Rules_ResetLevel() {
    Rules_Level = RulesLevel{};
    g_motion = MotionState{};
    Match_Timer = Hint_DelayMs();
}

void Board_UpdateTimers(float dtMs) {
    ++Board_Frame;
    Pieces_Step(dtMs);
    Amulets_Leave();
    // The no-move check runs on every NoMoveFrames-th frame of rest in a row, so a board that is never at rest on
    // a multiple of the frame count is still checked.
    g_motion.idleFrames = Board_Idle() ? g_motion.idleFrames + 1 : 0;
    if (g_motion.idleFrames >= rules::NoMoveFrames) {
        g_motion.idleFrames = 0;
        if (Level_EndState < 2 && !Board_HasMove()) Board_ReplaceForMove();
    }
    if (Match_Timer > 0) Match_Timer = std::max(0, Match_Timer - int32_t(dtMs));
    Board_Refill(dtMs);
    if (Multiplier_TimerMs > 0) {
        Multiplier_TimerMs -= dtMs;
        if (Multiplier_TimerMs <= 0) {
            Multiplier_TimerMs = 0;
            Score_Multiplier = 1;
        }
    }
}

void Board_UpdateMoves(float dtMs) {
    Board_Fall();
    SwapStep();
    Board_CheckMatches();
    Antigrav_Step(dtMs);
    Freeze_Step(dtMs);
    Level_CheckEnd();
}

void Board_Update(float dtMs) {
    Board_UpdateTimers(dtMs);
    Board_UpdateMoves(dtMs);
}
