// Pieces: the global piece list, the creators, the spawner's random piece, freezing and the piece pictures.
// Called by the rules, the level files, the spells and the editor.
#include "board/pieces.h"

#include <vector>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "board/board_hooks.h"
#include "board/play.h"
#include "main/audio.h"
#include "main/assets.h"
#include "platform/input.h"
#include "platform/pool.h"
#include "platform/random.h"
#include "platform/system.h"

TList<Piece> Pieces;
int32_t Pieces_SpawnTable[Piece_KindCount] = {};
int32_t Pieces_SpawnTotal = 0;
ImagePtr Piece_Images[Piece_KindCount];
ImagePtr Piece_TarStrip;
ImagePtr Piece_OverlayChain[3];
ImagePtr Piece_OverlayBomb, Piece_OverlayLaser, Piece_OverlayGolden, Piece_OverlayFrozen;

namespace {

// Pictures of the kinds that do not come from a tile set (loaded by Pieces_LoadImages).
struct KindImage {
    int32_t kind;
    const char* path;
};
constexpr KindImage kKindImages[] = {
    {KIND_MULTICOLOR, "Images/pieces/multicolor.png"},
    {KIND_LAUNCHER, "Images/pieces/launcher.png"},
    {KIND_NEW2, "Images/pieces/new2.png"},
    {KIND_CHAIN_RED, "Images/pieces/bacteria_red.png"},
    {KIND_CHAIN_GOLD, "Images/pieces/bacteria_gold.png"},
    {KIND_NEW3, "Images/pieces/new3.png"},
    {KIND_AMULET, "Images/pieces/amulet.png"},
    {KIND_ROCKET, "Images/pieces/rocket.png"},
    {KIND_BOTTLE, "Images/pieces/bottle.png"},
    {KIND_COIN_SILVER, "Images/pieces/coin_silver.png"},
    {KIND_COIN_GOLD, "Images/pieces/coin_gold.png"},
};

PiecePtr NewPiece(float x, float y, int32_t kind) {
    // From the pool: pieces come and go all through a level without touching the heap.
    auto p = std::allocate_shared<Piece>(Pool_Allocator<Piece>());
    p->Kind = kind;
    p->PosX = x;
    p->PosY = y;
    p->ScreenX = int32_t(x);
    p->ScreenY = int32_t(y);
    Piece_AssignImage(*p);
    Pieces.AddLast(p);
    return p;
}

// Cell of a pixel position (the cell whose top-left is nearest), or -1.
void CellAt(float x, float y, int32_t& c, int32_t& r) {
    c = Cell_Width > 0 ? int32_t((x - Board_OriginX) / Cell_Width + 0.5f) : -1;
    r = Cell_Height > 0 ? int32_t((y - Board_OriginY) / Cell_Height + 0.5f) : -1;
}

} // namespace

bool Piece_IsCoin(const PiecePtr& p) {
    return p && (p->Kind == KIND_COIN_SILVER || p->Kind == KIND_COIN_GOLD) && !p->Moving && !p->Removing;
}
bool Piece_IsManaBottle(const PiecePtr& p) { return p && p->Kind == KIND_BOTTLE && !p->Moving && !p->Removing; }

void Piece_AssignImage(Piece& p) {
    p.Frame = 0;
    if (Kind_IsGem(p.Kind)) {
        const int32_t set = Tileset_Current >= 0 ? Tileset_Current : 0;
        p.Image = nullptr;
        if (set < int32_t(Tilesets.size())) {
            for (const Tileset_Tile& t : Tilesets[set].Tiles)
                if (t.Index == p.Kind - 1) p.Image = t.Image;
        }
    } else if (p.Kind == KIND_TAR) {
        p.Image = Piece_TarStrip;
        p.Frame = Rand_Int(0, 31);
    } else if (p.Kind > 0 && p.Kind < Piece_KindCount) {
        p.Image = Piece_Images[p.Kind];
    }
}

PiecePtr Piece_Create(float x, float y, int32_t kind) {
    PiecePtr p = NewPiece(x, y, kind);
    if (kind == KIND_AMULET) {
        // The amulet is placed in the cell at its position before the tutorial hears of it, so that the piece of
        // that cell is the amulet; a piece it replaces leaves the cell and the piece list.
        int32_t c, r;
        CellAt(x, y, c, r);
        if (Board_InUse(c, r)) {
            Table_cell& cell = Board_Cell(c, r);
            if (cell.Piece) {
                cell.Piece->Under = nullptr;
                cell.Piece->Removing = 1; // a swap it was part of ends
                Piece_Remove(cell.Piece);
            }
            cell.Piece = p;
            p->Col = c;
            p->Row = r;
        }
        Board_Hooks.Tutorial_OnEvent4(c, r);
    } else if (kind == KIND_LAUNCHER) {
        Board_Hooks.Tips_SetSnowballPoint(p->ScreenX, p->ScreenY);
    }
    return p;
}

PiecePtr Piece_CreateGem(float x, float y, int32_t kind) { return Piece_Create(x, y, kind); }
PiecePtr Piece_CreateMulticolor(float x, float y) { return Piece_Create(x, y, KIND_MULTICOLOR); }
PiecePtr Piece_CreateTar(float x, float y) { return Piece_Create(x, y, KIND_TAR); }
PiecePtr Piece_CreateLauncher(float x, float y) { return Piece_Create(x, y, KIND_LAUNCHER); }

PiecePtr Piece_CreateSpecialImage(float x, float y, int32_t kind, const ImagePtr& image) {
    PiecePtr p = Piece_Create(x, y, kind);
    if (image) p->Image = image;
    return p;
}

PiecePtr Piece_CreateCoinOrBottle(int32_t column, int32_t row, int32_t kind) {
    if (!Kind_IsCoinOrBottle(kind) || !Cell_Playable(column, row)) return nullptr;
    Table_cell& cell = Board_Cell(column, row);
    if (cell.Blockers > 0) return nullptr; // a crate holds no piece
    Board_Hooks.Snd_PlayIndex(kind == KIND_BOTTLE ? SND_BOTTLE : SND_COIN, Board_Hooks.Snd_PanAt(Mouse_X()));
    PiecePtr p = NewPiece(Cell_PixelX(column), Cell_PixelY(row), kind);
    p->Lifetime = rules::CoinLifetimeMs;
    p->Col = column;
    p->Row = row;
    if (cell.Piece) {
        // The covered piece waits underneath, out of the piece list, and comes back when the coin goes.
        p->Under = cell.Piece;
        p->MoveFlags |= MOVE_NOFALL;
        Piece_Remove(cell.Piece);
    }
    cell.Piece = p;
    if (kind == KIND_BOTTLE) {
        Board_Hooks.Tutorial_OnEvent5(column, row);
    } else {
        Board_Hooks.Tutorial_OnEvent3(column, row);
    }
    return p;
}

PiecePtr Piece_Spawn(float x, float y) {
    if (Pieces_SpawnTotal <= 0) return nullptr;
    const int32_t roll = Rand_Int(1, Pieces_SpawnTotal);
    int32_t kind = 0;
    for (int32_t k = 1; k < Piece_KindCount; ++k) {
        if (roll <= Pieces_SpawnTable[k]) {
            kind = k;
            break;
        }
    }
    if (kind == 0) return nullptr;
    PiecePtr p = Piece_Create(x, y, kind);
    if (!Kind_IsGem(kind)) return p;
    // Random modifiers of a gem; a chance of 0 draws no number, so levels without modifiers keep their sequence.
    const auto chance = [](int32_t percent) { return percent > 0 && Rand_Int(1, 100) <= percent; };
    if (chance(Level_ShieldPercent)) {
        p->Shield = 1;
        p->MoveFlags = MOVE_NOSWAP | MOVE_NOFALL;
    }
    if (chance(Level_BombPercent)) p->Bomb = 1;
    if (chance(Level_LaserPercent)) p->Laser = 1;
    if (chance(Level_GoldenPercent)) p->Golden = 1;
    if (chance(Level_AntigravPercent)) p->Antigrav = 1;
    return p;
}

void Piece_Remove(const PiecePtr& p) {
    if (p) Pieces.Remove(p);
}

void Piece_SetFrozen(const PiecePtr& p, int32_t flag) {
    if (!p) return;
    if (flag) {
        p->Frozen = 1;
        p->FrozenCountdown = rules::FrozenHits;
    } else {
        p->Frozen = 0;
    }
}

void Pieces_Clear() { Pieces.Clear(); }

void Pieces_Reserve(int32_t n) {
    static int32_t reserved = 0; // most ever reserved: the pools only grow
    if (n <= reserved) return;
    // Made and dropped at once: the pieces and list nodes land in their pools for the level's frames to take.
    std::vector<PiecePtr> pieces;
    pieces.reserve(size_t(n));
    TList<Piece> nodes;
    for (int32_t i = 0; i < n; ++i) {
        pieces.push_back(std::allocate_shared<Piece>(Pool_Allocator<Piece>()));
        nodes.AddLast(pieces.back());
    }
    reserved = n;
}

bool Piece_OnBoard(const PiecePtr& p) {
    return p && Board_InUse(p->Col, p->Row) && Board_Cell(p->Col, p->Row).Piece == p;
}

void Pieces_LoadImages() {
    for (const KindImage& k : kKindImages) {
        Piece_Images[k.kind] = Asset_LoadImage(S(k.path));
    }
    Piece_TarStrip = Asset_LoadAnimImage(S("Images/pieces/tar.png"), 48, 48, 32);
    Piece_OverlayChain[1] = Asset_LoadImage(S("Images/pieces/chain1.png"));
    Piece_OverlayChain[2] = Asset_LoadImage(S("Images/pieces/chain2.png"));
    Piece_OverlayBomb = Asset_LoadImage(S("Images/pieces/bomb.png"));
    Piece_OverlayLaser = Asset_LoadImage(S("Images/pieces/laser.png"));
    Piece_OverlayGolden = Asset_LoadImage(S("Images/pieces/bonus_time.png"));
    Piece_OverlayFrozen = Asset_LoadImage(S("Images/pieces/frozen.png"));
}
