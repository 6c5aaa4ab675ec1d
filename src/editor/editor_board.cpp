// The level editor's board tools: the mouse on the board (select, paint, place), the live cell inspector, resizing
// from the spinners, and the buttons Create, Fill, Clear Table, CenterX and CenterY. Called by Editor_Update and
// Editor_HandleFiles while no test run is in progress.
#include <algorithm>
#include <utility>

#include "editor_internal.h"

#include "board/level_file.h"
#include "board/play.h"
#include "main/runtime.h"
#include "platform/input.h"

namespace {

constexpr int kRerollPasses = 5000; // re-roll budget of Editor_FillBoard
constexpr int kMoveRounds = 20;     // whole refills tried until the board has a move

// The names of the piece choices and the kinds they create ("Color k" is kind k).
struct ChoiceKind {
    const char16_t* name;
    int32_t kind;
};
constexpr ChoiceKind kChoices[] = {{u"Multicolor", KIND_MULTICOLOR},
                                   {u"Tar", KIND_TAR},
                                   {u"Launcher", KIND_LAUNCHER},
                                   {u"Bottom Line", KIND_AMULET},
                                   {u"Coin1", KIND_COIN_SILVER},
                                   {u"Coin2", KIND_COIN_GOLD},
                                   {u"New2", KIND_NEW2},
                                   {u"New3", KIND_NEW3},
                                   {u"Bacteria Red", KIND_CHAIN_RED},
                                   {u"Bacteria Gold", KIND_CHAIN_GOLD}};

bool Checked(const std::shared_ptr<PNO_Checkbox>& box) { return box && box->GetChecked(); }
void Check(const std::shared_ptr<PNO_Checkbox>& box, bool on) {
    if (box) box->SetChecked(on ? 1 : 0);
}

int32_t TileLevelOf(const Str& choice) {
    if (choice == u"Empty Cell") return 0;
    if (choice == u"Double Tile") return 2;
    return 1;
}

// Puts a piece into a cell and tells it where it lives.
void PutPiece(int32_t c, int32_t r, const PiecePtr& p) {
    Board_Cells[c][r].Piece = p;
    if (!p) return;
    p->Col = c;
    p->Row = r;
}

// A random piece in the cell with the given shield level (step 1 of the fill).
void SpawnInto(int32_t c, int32_t r, int32_t shield) {
    PiecePtr p = Piece_Spawn(Cell_PixelX(c), Cell_PixelY(r));
    PutPiece(c, r, p);
    if (!p) return;
    p->Shield = shield;
    if (shield > 0) p->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
}

// Cells that take a piece when the board is filled: playable, no crate.
bool Fillable(int32_t c, int32_t r) { return !Board_Cells[c][r].Void && Board_Cells[c][r].Blockers == 0; }

// A spawn table with something in it; otherwise an alert, and the board stays.
bool WeightsUsable() {
    int64_t total = 0;
    for (int32_t k = 1; k < Piece_KindCount; ++k)
        total += Kind_Spawnable(k) ? std::max(0, Spawn_Weights[k]) : 0;
    if (total > 0) return true;
    Editor_Alert(u"All weights are 0:|set a weight for a colour first.");
    return false;
}

// Runs f(c, r) over the columns in use and, inside, the rows.
template <class F> void ForCells(F&& f) {
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            f(c, r);
}

} // namespace

// ---- Choices and pieces ----------------------------------------------------------------------------------------

PiecePtr Editor_CreateChoice(const Str& choice, int32_t column, int32_t row) {
    const float x = Cell_PixelX(column), y = Cell_PixelY(row);
    if (Str_StartsWith(choice, u"Color ")) {
        const int k = Str_ToInt(choice.substr(6));
        return k >= 1 && k <= Editor_ColourCount() ? Piece_CreateGem(x, y, k) : nullptr;
    }
    int32_t kind = KIND_NONE;
    for (const auto& ck : kChoices)
        if (choice == ck.name) kind = ck.kind;
    switch (kind) {
    case KIND_MULTICOLOR:
        return Piece_CreateMulticolor(x, y);
    case KIND_TAR:
        return Piece_CreateTar(x, y);
    case KIND_LAUNCHER:
        return Piece_CreateLauncher(x, y);
    case KIND_AMULET:
    case KIND_NEW2:
    case KIND_NEW3:
        return Piece_CreateSpecialImage(x, y, kind, Piece_Images[kind]);
    case KIND_COIN_SILVER:
    case KIND_COIN_GOLD:
        return Piece_CreateCoinOrBottle(column, row, kind);
    default:
        return nullptr;
    }
}

Str Editor_PieceName(int32_t kind) {
    if (kind == KIND_NONE) return u"None";
    for (const auto& ck : kChoices)
        if (ck.kind == kind) return ck.name;
    return u"Color " + Str_FromInt(kind);
}

void Editor_ClearPiece(int32_t column, int32_t row) {
    Table_cell& cell = Board_Cells[column][row];
    if (cell.Piece) Piece_Remove(cell.Piece);
    cell.Piece = nullptr;
}

// ---- Mouse and inspector ---------------------------------------------------------------------------------------

void Editor_BoardMouse() {
    if (Editor_Testing || Cell_Width <= 0 || Cell_Height <= 0) return;
    const int px = Mouse_X() + Board_OverflowX, py = Mouse_Y() + Board_OverflowY;
    if (px < Board_OriginX || px >= Board_OriginX + Board_Cols * Cell_Width || py < Board_OriginY ||
        py >= Board_OriginY + Board_Rows * Cell_Height) {
        for (int b = 1; b <= 3; ++b)
            Mouse_Hit(b); // a click beside the board is not kept for later
        return;
    }
    const int32_t c = (px - Board_OriginX) / Cell_Width, r = (py - Board_OriginY) / Cell_Height;
    if (Mouse_Hit(1)) {
        Editor_SelectedCell = Point{c, r};
        Editor_ShowCell();
    }
    if (Mouse_Hit(2)) Editor_PaintCell(c, r);
    if (Mouse_Hit(3)) Editor_PlacePiece(c, r);
}

void Editor_ShowCell() {
    auto& w = Editor_W;
    for (const auto& b : w.ModifierBoxes)
        Check(b, false);
    for (const auto& b : w.CellBoxes)
        Check(b, false);
    const Point at = Editor_SelectedCell;
    const Table_cell& cell = Board_Cells[at.x][at.y];
    const Piece* p = cell.Piece.get();
    if (w.PieceCombo) w.PieceCombo->SelectByText(Editor_PieceName(p ? p->Kind : KIND_NONE), 1);
    if (p) {
        Check(w.ModifierBoxes[MOD_SHIELD], p->Shield > 0);
        Check(w.ModifierBoxes[MOD_SHIELD2], p->Shield > 1);
        Check(w.ModifierBoxes[MOD_ANTIGRAV], p->Antigrav == 1);
        Check(w.ModifierBoxes[MOD_BOMB], p->Bomb == 1);
        Check(w.ModifierBoxes[MOD_LASER], p->Laser == 1);
        Check(w.ModifierBoxes[MOD_BONUS_TIME], p->Golden == 1);
        Check(w.ModifierBoxes[MOD_FROZEN], p->Frozen == 1);
    }
    if (w.TileCombo) {
        static const char16_t* const kLevels[3] = {u"Empty Cell", u"Simple Tile", u"Double Tile"};
        if (cell.Void)
            w.TileCombo->SelectByText(u"Void Cell", 1);
        else if (cell.TileLevel >= 0 && cell.TileLevel <= 2)
            w.TileCombo->SelectByText(kLevels[cell.TileLevel], 1);
    }
    Check(w.CellBoxes[CELL_PROXY], cell.Blockers != 0);
    Check(w.CellBoxes[CELL_AUTOSPAWN], cell.AutoSpawn == 1);
    Check(w.CellBoxes[CELL_BRINGDOWN], cell.BringDown == 1);
    if (w.CellLabel) w.CellLabel->SetText(u"X=" + Str_FromInt(at.x) + u" Y=" + Str_FromInt(at.y));
    // What the inspector shows is what the cell holds: showing a cell never changes it.
    if (w.TileCombo && !w.TileCombo->SelectedText.empty()) Editor_TileChoice = w.TileCombo->SelectedText;
    if (w.PieceCombo && !w.PieceCombo->SelectedText.empty()) Editor_PieceChoice = w.PieceCombo->SelectedText;
}

void Editor_ApplyInspector() {
    auto& w = Editor_W;
    if (!w.TileCombo || !w.PieceCombo) return;
    const int32_t c = Editor_SelectedCell.x, r = Editor_SelectedCell.y;
    Table_cell& cell = Board_Cells[c][r];
    const Str& tile = w.TileCombo->SelectedText;
    if (!tile.empty() && tile != Editor_TileChoice) {
        Editor_TileChoice = tile;
        if (tile == u"Void Cell") {
            Cell_SetContour(c, r, 1);
            Editor_ClearPiece(c, r);
            return;
        }
        Cell_SetContour(c, r, 0);
        cell.TileLevel = cell.BaseTileLevel = TileLevelOf(tile);
    }
    const Str& choice = w.PieceCombo->SelectedText;
    if (!choice.empty() && choice != Editor_PieceChoice) {
        Editor_PieceChoice = choice;
        Editor_ClearPiece(c, r);
        // A void cell holds no piece.
        if (!cell.Void) PutPiece(c, r, Editor_CreateChoice(choice, c, r));
    }
    if (const PiecePtr& p = cell.Piece) {
        p->Shield = int32_t(Checked(w.ModifierBoxes[MOD_SHIELD])) + int32_t(Checked(w.ModifierBoxes[MOD_SHIELD2]));
        p->Antigrav = Checked(w.ModifierBoxes[MOD_ANTIGRAV]);
        p->Bomb = Checked(w.ModifierBoxes[MOD_BOMB]);
        p->Laser = Checked(w.ModifierBoxes[MOD_LASER]);
        p->Golden = Checked(w.ModifierBoxes[MOD_BONUS_TIME]);
        // Freezing restarts the countdown: only a change touches it.
        const int32_t frozen = Checked(w.ModifierBoxes[MOD_FROZEN]);
        if (frozen != p->Frozen) Piece_SetFrozen(p, frozen);
    }
    cell.AutoSpawn = Checked(w.CellBoxes[CELL_AUTOSPAWN]);
    // A crate keeps its hits while the box stays checked.
    if (!Checked(w.CellBoxes[CELL_PROXY]))
        cell.Blockers = 0;
    else if (cell.Blockers == 0)
        cell.Blockers = 1;
    cell.BringDown = Checked(w.CellBoxes[CELL_BRINGDOWN]);
}

// ---- Painting, placing, size -------------------------------------------------------------------------------------

void Editor_PaintCell(int32_t column, int32_t row) {
    Table_cell& to = Board_Cells[column][row];
    if (Editor_TileChoice == u"Void Cell") {
        Cell_SetContour(column, row, 1);
        Editor_ClearPiece(column, row);
        return;
    }
    Cell_SetContour(column, row, 0);
    const Table_cell& from = Board_Cells[Editor_SelectedCell.x][Editor_SelectedCell.y];
    to.TileLevel = from.TileLevel;
    to.BaseTileLevel = from.BaseTileLevel;
    to.AutoSpawn = from.AutoSpawn;
    to.Blockers = from.Blockers;
    if (const PiecePtr& p = to.Piece) {
        const auto& m = Editor_W.ModifierBoxes;
        p->Shield = int32_t(Checked(m[MOD_SHIELD])) + int32_t(Checked(m[MOD_SHIELD2]));
        p->Antigrav = Checked(m[MOD_ANTIGRAV]);
        p->Bomb = Checked(m[MOD_BOMB]);
        p->Laser = Checked(m[MOD_LASER]);
        p->Golden = Checked(m[MOD_BONUS_TIME]);
        p->Frozen = Checked(m[MOD_FROZEN]);
    }
}

void Editor_PlacePiece(int32_t column, int32_t row) {
    Editor_ClearPiece(column, row);
    if (Editor_TileChoice == u"Void Cell") {
        Cell_SetContour(column, row, 1);
        return;
    }
    if (Board_Cells[column][row].Void) {
        Log_Print(u"Level editor: no piece in a void cell (" + Str_FromInt(column) + u", " + Str_FromInt(row) + u")");
        return;
    }
    const Str& choice = Editor_PieceChoice;
    if (choice == u"Coin1" || choice == u"Coin2") return; // coins only through the inspector
    PutPiece(column, row, Editor_CreateChoice(choice, column, row));
}

void Editor_ApplySize() {
    auto& w = Editor_W;
    if (!w.WidthSpinner || !w.HeightSpinner) return;
    // The spinner's Value is the clamped number, which does not follow the text while it is being typed.
    const int32_t cols = std::clamp(int32_t(w.WidthSpinner->Value), 1, Board_MaxCols);
    const int32_t rows = std::clamp(int32_t(w.HeightSpinner->Value), 1, Board_MaxRows);
    if (cols == Board_Cols && rows == Board_Rows) return;
    // the pieces of the cells that fall off the board go
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (c >= cols || r >= rows) Editor_ClearPiece(c, r);
    Board_Cols = cols;
    Board_Rows = rows;
}

// ---- Create, Fill, Clear, Center ---------------------------------------------------------------------------------

void Editor_FillBoard() {
    for (int round = 0; round < kMoveRounds; ++round) {
        ForCells([](int32_t c, int32_t r) {
            if (!Fillable(c, r)) return;
            const PiecePtr old = Board_Cells[c][r].Piece;
            if (old) Piece_Remove(old);
            SpawnInto(c, r, old ? old->Shield : 0);
        });
        for (int pass = 0; pass < kRerollPasses; ++pass) {
            bool found = false;
            for (int32_t c = 0; c < Board_Cols && !found; ++c)
                for (int32_t r = 0; r < Board_Rows && !found; ++r) {
                    const PiecePtr p = Board_Cells[c][r].Piece;
                    if (!p || Board_FindMatchGroup(c, r, 0, 0) < Match_MinRun) continue;
                    Piece_Remove(p);
                    SpawnInto(c, r, p->Shield);
                    found = true;
                }
            if (!found) break;
        }
        // A board the player can move on; a new round when there is none (a tiny or single-colour board may have
        // none at all: the last round stays).
        if (Board_HasMove()) return;
    }
}

bool Editor_CreateBoard() {
    Editor_ReadWeights();
    if (!WeightsUsable()) return false;
    Level_BuildSpawnTable();
    const int32_t tileset = Tileset_Current;
    Level_Start();
    Tileset_Current = tileset; // the set chosen in the editor stays
    Level_Sweeping = 0;
    Editor_FillBoard();
    Editor_ShowCell();
    return true;
}

bool Editor_Fill() {
    Editor_ReadWeights();
    if (!WeightsUsable()) return false;
    Level_BuildSpawnTable();
    Pieces_Clear();
    Editor_FillBoard();
    Editor_ShowCell();
    return true;
}

void Editor_ClearTable() {
    Board_Reset();
    Pieces_Clear();
    Board_BuildContours();
    Editor_ShowCell();
}

void Editor_Center(bool vertical) {
    // Lines along the centring direction (columns for CenterX), cells across it.
    const int32_t lines = vertical ? Board_Rows : Board_Cols, across = vertical ? Board_Cols : Board_Rows;
    const auto at = [vertical](int32_t line, int32_t i) -> Table_cell& {
        return vertical ? Board_Cells[i][line] : Board_Cells[line][i];
    };
    int32_t first = -1, last = -1;
    for (int32_t l = 0; l < lines; ++l)
        for (int32_t i = 0; i < across; ++i)
            if (!at(l, i).Void) {
                if (first < 0) first = l;
                last = l;
                break;
            }
    if (first < 0) return;
    const int32_t shift = (lines - (last - first)) / 2 - first;
    if (shift == 0 || first + shift < 0 || last + shift >= lines) return;
    const int32_t step = shift < 0 ? 1 : -1;
    const int32_t from = shift < 0 ? first : last, to = shift < 0 ? last + 1 : first - 1;
    for (int32_t i = 0; i < across; ++i)
        for (int32_t l = from; l != to; l += step) {
            const int32_t sc = vertical ? i : l, sr = vertical ? l : i;
            const int32_t dc = vertical ? i : l + shift, dr = vertical ? l + shift : i;
            Board_SetCell(dc, dr, sc, sr);
            Table_cell& dest = Board_Cells[dc][dr];
            Table_cell& src = Board_Cells[sc][sr];
            dest.BaseTileLevel = src.BaseTileLevel; // the base tile level moves with its cell
            if (const PiecePtr& p = dest.Piece) {
                (vertical ? p->PosY : p->PosX) += float(shift * (vertical ? Cell_Height : Cell_Width));
                p->ScreenX = int32_t(p->PosX);
                p->ScreenY = int32_t(p->PosY);
                p->Col = dc;
                p->Row = dr;
            }
            src.Piece = nullptr;
            Cell_SetContour(sc, sr, 1);
        }
    Board_BuildContours();
    Editor_ShowCell();
}
