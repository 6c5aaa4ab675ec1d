// The eight spells: their table by level, the owned levels, choosing a target with the previews, the cast (mana
// paid only when a spell acts), each spell's action on the board and the running time stop. Called by the in-game
// interface (spell buttons, preview), the game frame (update), the board through Board_Hooks (level start, clicks,
// time) and the shop.
//
// [SECTION] Table and owned levels
// [SECTION] Board helpers
// [SECTION] The spells' actions
// [SECTION] Choosing, casting and the frame
// [SECTION] Preview
#include <algorithm>
#include <cmath>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "effects/effects.h"
#include "main/audio.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/runtime.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/random.h"

float Freeze_TimeLeft = 0;
float Freeze_TimeTotal = 0;
int32_t Spell_Targeting = -1;
int32_t Spell_Pending = -1;
Point Spell_PendingCell{-1, -1};
int32_t Gamble_PendingHammer = 0;

// [SECTION] Table and owned levels ------------------------------------------------------------------------------------

namespace {

struct SpellRow {
    const char16_t* name;
    bool targeted;
    std::array<int32_t, kSpellLevels> mana, magnitude, price;
};
// By spell number. Magnitudes: lightning gems hit, time stop seconds, chroma gems turned, bomb radius, tar and chain
// destroyer radius (99: the whole board), fireball directions, shuffle attempts at a board with a move.
const std::array<SpellRow, kSpellCount> kSpells = {{
    {u"Kettenblitz", true, {60, 70, 80}, {5, 8, 12}, {400, 900, 1800}},
    {u"Zeitstopp", false, {80, 90, 100}, {10, 15, 20}, {450, 1000, 2000}},
    {u"Farbenrausch", false, {90, 100, 110}, {3, 5, 8}, {350, 800, 1600}},
    {u"Bombe", true, {70, 80, 90}, {1, 2, 3}, {300, 700, 1400}},
    {u"Teerbrecher", true, {50, 60, 70}, {2, 3, 99}, {250, 600, 1200}},
    {u"Feuerball", true, {100, 110, 120}, {2, 4, 8}, {500, 1000, 2000}},
    {u"Kettenbrecher", true, {40, 50, 60}, {2, 3, 99}, {250, 600, 1200}},
    {u"Mischen", true, {120, 100, 80}, {200, 200, 200}, {300, 700, 1400}},
}};

std::vector<Spell_Type> MakeTable() {
    std::vector<Spell_Type> t;
    for (int32_t s = 0; s < kSpellCount; ++s)
        for (int32_t l = 0; l < kSpellLevels; ++l) {
            const SpellRow& r = kSpells[size_t(s)];
            t.push_back(Spell_Type{s, l + 1, r.mana[size_t(l)], r.magnitude[size_t(l)], r.price[size_t(l)]});
        }
    return t;
}

bool ValidSpell(int32_t s) { return s >= 0 && s < kSpellCount; }

} // namespace

std::vector<Spell_Type> Spell_Types = MakeTable();

int32_t Spell_Level(int32_t spell) {
    if (!ValidSpell(spell)) return 0;
    int32_t& level = Match_Carried.SpellLevels[size_t(spell)];
    if (level < 0 || level > kSpellLevels) {
        Log_Print(u"Spell_Level: spell " + Str_FromInt(spell) + u" had level " + Str_FromInt(level) + u", clamped");
        level = std::clamp(level, 0, kSpellLevels);
    }
    return level;
}

int32_t Spell_GetIndex(int32_t spell) {
    const int32_t level = Spell_Level(spell);
    return level > 0 ? spell * kSpellLevels + level - 1 : -1;
}

const Str& Spell_Name(int32_t spell) {
    static const std::array<Str, kSpellCount> names = [] {
        std::array<Str, kSpellCount> n;
        for (size_t s = 0; s < n.size(); ++s)
            n[s] = kSpells[s].name;
        return n;
    }();
    static const Str none;
    return ValidSpell(spell) ? names[size_t(spell)] : none;
}

bool Spell_IsTargeted(int32_t spell) { return ValidSpell(spell) && kSpells[size_t(spell)].targeted; }

bool Spell_CanCast(int32_t spell) {
    const int32_t i = Spell_GetIndex(spell);
    return i >= 0 && Mana >= Spell_Types[size_t(i)].ManaCost;
}

void Spells_AddLevel(int32_t spell) {
    if (!ValidSpell(spell)) return;
    Match_Carried.SpellLevels[size_t(spell)] = std::min(Spell_Level(spell) + 1, kSpellLevels);
}

// [SECTION] Board helpers
// -----------------------------------------------------------------------------------------------

namespace {

constexpr int32_t kDirX[8] = {1, 1, 0, -1, -1, -1, 0, 1}; // 0 right, clockwise on screen
constexpr int32_t kDirY[8] = {0, 1, 1, 1, 0, -1, -1, -1};
// Which directions each fireball magnitude flies: 2 the row, 4 row and column, 8 with the diagonals.
bool FireballFlies(int32_t magnitude, int32_t d) {
    if (magnitude >= 8) return true;
    if (magnitude >= 4) return d % 2 == 0;
    return d == 0 || d == 4;
}

float CentreX(int32_t c) { return Cell_PixelX(c) - float(Board_OverflowX) + float(Cell_HalfWidth); }
float CentreY(int32_t r) { return Cell_PixelY(r) - float(Board_OverflowY) + float(Cell_HalfHeight); }

// A piece a spell may take: on the board, settled, and not an amulet (those must reach the bottom).
bool Takeable(const PiecePtr& p) { return p && Piece_Settled(*p) && p->Kind != KIND_AMULET; }

// Takes what is in the cell: its piece and one level of its tile. True when something was there.
bool Blast(int32_t c, int32_t r) {
    if (!Cell_Playable(c, r)) return false;
    Table_cell& cell = Board_Cells[c][r];
    bool hit = false;
    if (Takeable(cell.Piece)) {
        Cell_DestroyPiece(c, r);
        hit = true;
    }
    if (cell.TileLevel > 0) {
        Cell_Explode(c, r);
        hit = true;
    }
    return hit;
}

// The cells within Chebyshev radius `radius` of (c, r) that are on the board.
template <typename F> void ForArea(Point at, int32_t radius, F&& f) {
    for (int32_t c = std::max(0, at.x - radius); c <= std::min(Board_Cols - 1, at.x + radius); ++c)
        for (int32_t r = std::max(0, at.y - radius); r <= std::min(Board_Rows - 1, at.y + radius); ++r)
            if (Cell_Playable(c, r)) f(c, r);
}

} // namespace

int32_t Fireball_CanPass(int32_t column, int32_t row) {
    if (!Board_InUse(column, row)) return 0;
    const Table_cell& cell = Board_Cells[column][row];
    if (cell.Blockers > 0) return 0;
    if (cell.Piece && cell.Piece->Kind == KIND_AMULET) return 0;
    return 1;
}

int32_t Fireball_StopDir(int32_t column, int32_t row, int32_t d) {
    if (d < 0 || d > 7) return 1;
    return Fireball_CanPass(column + kDirX[d], row + kDirY[d]) ? 0 : 1;
}

// [SECTION] The spells' actions
// -----------------------------------------------------------------------------------------

namespace {

bool CastLightning(const Spell_Type& t, Point at) {
    const PiecePtr& first = Board_Cells[at.x][at.y].Piece;
    if (!Takeable(first) || !Kind_IsGem(first->Kind)) return false;
    const int32_t colour = first->Kind;
    // The gems of the colour, nearest first; the bolt jumps from each to the next.
    std::vector<Point> cells;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (Cell_Playable(c, r) && Takeable(p) && p->Kind == colour) cells.push_back(Point{c, r});
        }
    const auto dist = [&](Point p) { return (p.x - at.x) * (p.x - at.x) + (p.y - at.y) * (p.y - at.y); };
    std::stable_sort(cells.begin(), cells.end(), [&](Point a, Point b) { return dist(a) < dist(b); });
    if (int32_t(cells.size()) > t.Magnitude) cells.resize(size_t(t.Magnitude));
    Point from = at;
    for (size_t i = 0; i < cells.size(); ++i) {
        const Point to = cells[i];
        if (i > 0) {
            const float dx = CentreX(to.x) - CentreX(from.x), dy = CentreY(to.y) - CentreY(from.y);
            const float len = std::sqrt(dx * dx + dy * dy);
            const int32_t angle = (int32_t(std::lround(std::atan2(dy, dx) * 180.0 / M_PI)) + 270) % 360;
            MapEffect_Flash(int32_t(i % 2) + 1, CentreX(from.x), CentreY(from.y), angle, len / 200.0f);
        }
        Blast(to.x, to.y);
        from = to;
    }
    Snd_PlayIndex(SND_MAGIC);
    return true;
}

bool CastTimeStop(const Spell_Type& t, Point) {
    Freeze_TimeTotal = float(t.Magnitude);
    Freeze_TimeLeft = Freeze_TimeTotal;
    Gfx_TimeStop();
    Snd_PlayIndex(SND_FREEZE);
    return true;
}

bool CastChroma(const Spell_Type& t, Point) {
    std::vector<PiecePtr> gems;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (Cell_Playable(c, r) && Takeable(p) && Kind_IsGem(p->Kind) && !p->Frozen && p->Shield == 0)
                gems.push_back(p);
        }
    if (gems.empty()) return false;
    for (int32_t n = 0; n < t.Magnitude && !gems.empty(); ++n) {
        const size_t i = size_t(Rand_Int(0, int(gems.size()) - 1));
        const PiecePtr p = gems[i];
        gems.erase(gems.begin() + std::ptrdiff_t(i));
        p->Kind = KIND_MULTICOLOR;
        Piece_AssignImage(*p);
        Gfx_SpellBurst(int32_t(CentreX(p->Col)), int32_t(CentreY(p->Row)), p);
    }
    Snd_PlayIndex(SND_MAGIC);
    return true;
}

bool CastBomb(const Spell_Type& t, Point at) {
    bool hit = false;
    ForArea(at, t.Magnitude, [&](int32_t c, int32_t r) {
        Table_cell& cell = Board_Cells[c][r];
        if (cell.Blockers > 0) {
            --cell.Blockers;
            hit = true;
        } else if (Blast(c, r)) {
            hit = true;
        }
    });
    if (!hit) return false;
    Gfx_Circle360(int32_t(CentreX(at.x)), int32_t(CentreY(at.y)));
    Snd_PlayIndex(SND_EXPLODE);
    return true;
}

bool CastTar(const Spell_Type& t, Point at) {
    bool hit = false;
    ForArea(at, t.Magnitude, [&](int32_t c, int32_t r) {
        const PiecePtr& p = Board_Cells[c][r].Piece;
        if (!Takeable(p) || p->Kind != KIND_TAR) return;
        Gfx_Kind34At(Cell_PixelX(c) - float(Board_OverflowX), Cell_PixelY(r) - float(Board_OverflowY));
        Cell_DestroyPiece(c, r);
        hit = true;
    });
    if (hit) Snd_PlayIndex(SND_MAGIC);
    return hit;
}

bool CastChains(const Spell_Type& t, Point at) {
    bool hit = false;
    ForArea(at, t.Magnitude, [&](int32_t c, int32_t r) {
        const PiecePtr& p = Board_Cells[c][r].Piece;
        if (!Takeable(p) || p->Shield == 0) return;
        p->Shield = 0;
        p->MoveFlags = 0;
        Gfx_RectEdgeSparks(Cell_PixelX(c) - float(Board_OverflowX), Cell_PixelY(r) - float(Board_OverflowY), 1);
        hit = true;
    });
    if (hit) Snd_PlayIndex(SND_CHAIN);
    return hit;
}

bool CastFireball(const Spell_Type& t, Point at) {
    if (!Fireball_CanPass(at.x, at.y) || !Cell_Playable(at.x, at.y)) return false;
    const float scale = 2.0f * float(Cell_Width) / 64.0f; // the 64-pixel flame reaches two cells out
    Blast(at.x, at.y);
    for (int32_t d = 0; d < 8; ++d) {
        if (!FireballFlies(t.Magnitude, d)) continue;
        MapEffect_Fireball(CentreX(at.x), CentreY(at.y), d * 45, scale);
        Point p = at;
        while (!Fireball_StopDir(p.x, p.y, d)) {
            p = Point{p.x + kDirX[d], p.y + kDirY[d]};
            Blast(p.x, p.y); // a hole is flown over
        }
    }
    Snd_PlayIndex(SND_EXPLODE);
    return true;
}

// The pieces shuffle may move: settled gems and multicoloured pieces that are neither frozen nor chained.
bool Shufflable(const PiecePtr& p) {
    return Takeable(p) && (Kind_IsGem(p->Kind) || p->Kind == KIND_MULTICOLOR) && !p->Frozen && p->Shield == 0 &&
           p->MoveFlags == 0;
}

bool BoardHasGroup() {
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (Cell_Playable(c, r) && Board_Cells[c][r].Piece && Board_FindMatchGroup(c, r, 0, 0) > 0) return true;
    return false;
}

void Place(const std::vector<Point>& cells, const std::vector<PiecePtr>& pieces) {
    for (size_t i = 0; i < cells.size(); ++i) {
        const PiecePtr& p = pieces[i];
        Board_Cells[cells[i].x][cells[i].y].Piece = p;
        p->Col = cells[i].x;
        p->Row = cells[i].y;
        p->PosX = Cell_PixelX(p->Col);
        p->PosY = Cell_PixelY(p->Row);
        p->ScreenX = int32_t(p->PosX);
        p->ScreenY = int32_t(p->PosY);
    }
}

bool CastShuffle(const Spell_Type& t, Point) {
    std::vector<Point> cells;
    std::vector<PiecePtr> pieces;
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (Cell_Playable(c, r) && Shufflable(Board_Cells[c][r].Piece)) {
                cells.push_back(Point{c, r});
                pieces.push_back(Board_Cells[c][r].Piece);
            }
    if (pieces.size() < 2) return false;
    const std::vector<PiecePtr> before = pieces;
    for (int32_t attempt = 0; attempt < t.Magnitude; ++attempt) {
        for (size_t i = pieces.size() - 1; i > 0; --i)
            std::swap(pieces[i], pieces[size_t(Rand_Int(0, int(i)))]);
        Place(cells, pieces);
        if (!BoardHasGroup() && Board_HasMove()) {
            for (const PiecePtr& p : pieces)
                Gfx_SpellBurst(int32_t(CentreX(p->Col)), int32_t(CentreY(p->Row)), p);
            Snd_PlayIndex(SND_MAGIC);
            return true;
        }
    }
    Place(cells, before); // no arrangement found: the board stays as it was
    Log_Print(u"Shuffle: no board with a move and no group found; nothing paid");
    return false;
}

using SpellAction = bool (*)(const Spell_Type&, Point);
constexpr std::array<SpellAction, kSpellCount> kActions = {CastLightning, CastTimeStop, CastChroma, CastBomb,
                                                           CastTar,       CastFireball, CastChains, CastShuffle};

// A click on this cell would be taken by the spell.
bool TargetAllowed(int32_t spell, Point at) {
    if (!Cell_Playable(at.x, at.y)) return false;
    if (spell == SPELL_FIREBALL) return Fireball_CanPass(at.x, at.y) != 0;
    if (spell == SPELL_LIGHTNING) {
        const PiecePtr& p = Board_Cells[at.x][at.y].Piece;
        return p && Kind_IsGem(p->Kind);
    }
    return true;
}

bool InPlay() { return Level_EndState < 2 && !Level_Sweeping; }

} // namespace

// [SECTION] Choosing, casting and the frame
// ------------------------------------------------------------------------------

bool Spell_Choose(int32_t spell) {
    if (!Spell_CanCast(spell) || !InPlay()) return false;
    Hammer_Armed = 0;
    Board_Selected = 0;
    Spell_Pending = -1;
    if (Spell_IsTargeted(spell)) {
        Spell_Targeting = spell;
    } else {
        Spell_Targeting = -1;
        Spell_Pending = spell;
        Spell_PendingCell = Point{-1, -1};
    }
    return true;
}

void Spell_Cancel() {
    Spell_Targeting = -1;
    Spell_Pending = -1;
}

bool Spell_Cast(int32_t spell, Point cell) {
    if (!Spell_CanCast(spell)) return false;
    const Spell_Type& t = Spell_Types[size_t(Spell_GetIndex(spell))];
    if (Spell_IsTargeted(spell) && !TargetAllowed(spell, cell)) return false;
    if (!kActions[size_t(spell)](t, cell)) {
        Snd_PlayIndex(SND_SWAP_BACK);
        return false;
    }
    Snd_PlayIndex(SND_SPELL);
    Mana = std::max(0, Mana - t.ManaCost);
    Castle_Hooks.Tutorial_OnManaChanged(-t.ManaCost, 0);
    return true;
}

void Spells_LevelStart() {
    Spell_Cancel();
    Freeze_TimeLeft = 0;
    Freeze_TimeTotal = 0;
}

void Spells_Update(float dtMs) {
    if (Gamble_PendingHammer > 0 && InPlay()) {
        Hammer_AddCharge(Gamble_PendingHammer);
        Gamble_PendingHammer = 0;
    }
    if (Freeze_TimeLeft > 0) {
        Freeze_TimeLeft -= dtMs / 1000.0f;
        if (Freeze_TimeLeft <= 0 || Level_EndState >= 2) {
            Freeze_TimeLeft = 0;
            Freeze_TimeTotal = 0;
        }
    }
    if (Spell_Targeting >= 0) {
        if (!InPlay() || Mouse_Hit(2)) {
            Spell_Cancel();
        } else if (GUI_Mouse().pressed) {
            Point at;
            if (Board_CellAt(GUI_Mouse().x, GUI_Mouse().y, at) && TargetAllowed(Spell_Targeting, at) &&
                Castle_Hooks.Tutorial_OnEvent12(at.x, at.y) != 0) {
                Spell_Pending = Spell_Targeting;
                Spell_PendingCell = at;
                Spell_Targeting = -1;
            }
        }
    }
    // A cast waits for a settled board, so it never acts on pieces in flight.
    if (Spell_Pending >= 0) {
        if (!InPlay() || !Spell_CanCast(Spell_Pending)) {
            Spell_Cancel();
        } else if (Board_Idle()) {
            const int32_t spell = Spell_Pending;
            Spell_Pending = -1;
            Spell_Cast(spell, Spell_PendingCell);
        }
    }
}

int32_t Spells_TakesClicks() { return Spell_Targeting >= 0 || Spell_Pending >= 0 ? 1 : 0; }
int32_t Spells_TimeStands() { return Freeze_TimeLeft > 0 ? 1 : 0; }

// [SECTION] Preview
// -----------------------------------------------------------------------------------------------------

void Spells_DrawPreview() {
    if (Spell_Targeting < 0) return;
    const int32_t i = Spell_GetIndex(Spell_Targeting);
    if (i < 0) return;
    const Spell_Type& t = Spell_Types[size_t(i)];
    Point at;
    if (!Board_CellAt(Input_MouseX, Input_MouseY, at)) return;
    const bool ok = TargetAllowed(Spell_Targeting, at);
    const int32_t bx = Board_OriginX - Board_OverflowX, by = Board_OriginY - Board_OverflowY;
    const int32_t cx = int32_t(CentreX(at.x)), cy = int32_t(CentreY(at.y));
    const float alpha = ok ? 1.0f : 0.35f;
    // The area the spell will take, as a marching border; the fireball shows its row (and column).
    int32_t x0 = at.x, y0 = at.y, x1 = at.x, y1 = at.y;
    switch (Spell_Targeting) {
    case SPELL_BOMB:
    case SPELL_TAR:
    case SPELL_CHAINS:
        x0 = std::max(0, at.x - t.Magnitude), x1 = std::min(Board_Cols - 1, at.x + t.Magnitude);
        y0 = std::max(0, at.y - t.Magnitude), y1 = std::min(Board_Rows - 1, at.y + t.Magnitude);
        break;
    case SPELL_SHUFFLE:
        x0 = 0, y0 = 0, x1 = Board_Cols - 1, y1 = Board_Rows - 1;
        break;
    case SPELL_FIREBALL:
        x0 = 0, x1 = Board_Cols - 1;
        break;
    default:
        break;
    }
    const int32_t px = int32_t(Cell_PixelX(x0)) - Board_OverflowX, py = int32_t(Cell_PixelY(y0)) - Board_OverflowY;
    const int32_t pw = (x1 - x0 + 1) * Cell_Width, ph = (y1 - y0 + 1) * Cell_Height;
    // A warm glow over what the spell will take.
    Draw_SetBlend(BLEND_ADDITIVE);
    Draw_SetAlpha(0.16f * alpha);
    Draw_SetColor(255, 200, 120);
    Draw_Rect(float(px), float(py), float(pw), float(ph));
    if (Spell_Targeting == SPELL_FIREBALL && t.Magnitude >= 4)
        Draw_Rect(float(int32_t(Cell_PixelX(at.x)) - Board_OverflowX), float(by), float(Cell_Width),
                  float(Board_Rows * Cell_Height));
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    const ImagePtr& dot = Spell_PreviewDot();
    Gfx_DrawStrip(px, py, pw, ph, dot, 0, std::max(1, Image_Frames(dot)), std::max(12, Cell_Width / 3), alpha, 0);
    if (Spell_Targeting == SPELL_FIREBALL && t.Magnitude >= 4) {
        const int32_t qx = int32_t(Cell_PixelX(at.x)) - Board_OverflowX, qy = by;
        Gfx_DrawStrip(qx, qy, Cell_Width, Board_Rows * Cell_Height, dot, 0, std::max(1, Image_Frames(dot)),
                      std::max(12, Cell_Width / 3), alpha, 0);
    }
    if (Spell_Targeting != SPELL_FIREBALL) {
        Gfx_RingUpdate(float(std::min(pw, 3 * Cell_Width)) / 64.0f);
        Gfx_Ring(bx, by, Board_PixelWidth, Board_PixelHeight, cx, cy, alpha);
    }
}
