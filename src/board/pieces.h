// Pieces of the board: the Piece record, the global piece list, the creators and the spawn table's use.
// Called by the board rules, the level files, the editor and the spells; implemented in pieces.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/image.h"
#include "platform/list.h"
#include "platform/strings.h"

// Piece kinds. 1..7 are the gem colours.
enum PieceKind : int32_t {
    KIND_NONE = 0,
    KIND_GEM_FIRST = 1,
    KIND_GEM_LAST = 7,
    KIND_MULTICOLOR = 8,  // wildcard, left by a group of four
    KIND_LAUNCHER = 9,    // left by a group of five or more; a click fires rockets along its row
    KIND_NEW2 = 11,       // loads, saves, draws and falls like a gem; no further rule
    KIND_CHAIN_RED = 12,  // likewise
    KIND_CHAIN_GOLD = 13, // likewise
    KIND_NEW3 = 14,       // likewise
    KIND_TAR = 15,        // rock; three matched by a swap restore the tiles behind them
    KIND_AMULET = 16,     // bottom-line piece: must leave the board at the bottom
    KIND_ROCKET = 17,     // flying rocket of a fired launcher (never in a cell)
    KIND_BOTTLE = 18,     // mana bottle
    KIND_COIN_SILVER = 19,
    KIND_COIN_GOLD = 20,
};
constexpr int32_t Piece_KindCount = 32; // size of Spawn_Weights and of the kind tables

// Movement flags of a piece.
enum PieceMove : int32_t {
    MOVE_NOSWAP = 1, // the player cannot swap it
    MOVE_NOFALL = 2, // it does not fall and holds up what is above it
};

struct Piece {
    int32_t Kind = KIND_NONE;
    int32_t ScreenX = 0, ScreenY = 0; // top-left on the screen, pixels (PosX/PosY rounded)
    float PosX = 0, PosY = 0;         // top-left on the screen, pixels
    float VelX = 0;                   // rockets only: pixels per second along the row
    int32_t Shield = 0;               // chains 0..2
    int32_t MoveFlags = 0;            // PieceMove bits; 3 for a chained piece
    int32_t Antigrav = 0;             // 1: floats up through the column
    int32_t Bomb = 0;                 // 1: explodes when destroyed
    int32_t Laser = 0;                // 1: line blast along its row and column when destroyed
    int32_t Golden = 0;               // 1: "Bonus Time", adds time when destroyed
    int32_t Frozen = 0;               // 1: iced in: no swap, no fall
    int32_t FrozenCountdown = 0;      // neighbouring matches left until it thaws
    int32_t Removing = 0;             // 1 while its removal runs; it no longer belongs to a cell
    int32_t Busy = 0;                 // 1 while it is being swapped
    int32_t Moving = 0;               // 1 while it travels to its cell
    int32_t Lifetime = 0;             // ms left for coins and bottles; 0 = no limit
    float FadeAlpha = 0;              // 0 = not fading in, else the alpha it is drawn with
    float RemoveMs = 0;               // ms left of the removal
    float TimerMs = 0;                // antigravity: ms until the next rise
    int32_t Col = -1, Row = -1;       // its cell, -1 when it has none (a rocket keeps its row)
    int32_t Target = -1;              // rockets: next column to blast
    std::shared_ptr<Piece> Under;     // the piece a coin or bottle covers (out of the piece list meanwhile)
    ImagePtr Image;                   // its picture (null until the images are loaded)
    int32_t Frame = 0;                // animation frame
};
using PiecePtr = std::shared_ptr<Piece>;

// ---- Module state (pieces.cpp) ---------------------------------------------------------------------------------
extern TList<Piece> Pieces; // every live piece: on the board, falling, being removed, flying rockets
extern int32_t Pieces_SpawnTable[Piece_KindCount]; // cumulative spawn weights by kind (Level_BuildSpawnTable)
extern int32_t Pieces_SpawnTotal;                  // last cumulative weight; 0 = nothing to spawn
extern ImagePtr Piece_Images[Piece_KindCount];     // pictures of the kinds that are not tile-set gems
extern ImagePtr Piece_TarStrip;                    // "Images/pieces/tar.png", 32 frames of 48x48
extern ImagePtr Piece_OverlayChain[3];             // chain overlays by shield level (index 0 unused)
extern ImagePtr Piece_OverlayBomb, Piece_OverlayLaser, Piece_OverlayGolden, Piece_OverlayFrozen; // overlays

// ---- Kind tests ------------------------------------------------------------------------------------------------
inline bool Kind_IsGem(int32_t k) { return k >= KIND_GEM_FIRST && k <= KIND_GEM_LAST; }
inline bool Kind_IsCoinOrBottle(int32_t k) { return k == KIND_BOTTLE || k == KIND_COIN_SILVER || k == KIND_COIN_GOLD; }
// Kinds that take part in match groups: the gems, the wildcard and tar.
inline bool Kind_Matches(int32_t k) { return Kind_IsGem(k) || k == KIND_MULTICOLOR || k == KIND_TAR; }
// Kinds that Piece_Spawn may create.
inline bool Kind_Spawnable(int32_t k) { return Kind_IsGem(k) || k == KIND_MULTICOLOR || k == KIND_TAR; }
// Settled: in its cell, not moving, not being swapped or removed.
inline bool Piece_Settled(const Piece& p) { return !p.Moving && !p.Busy && !p.Removing; }
// A collectable coin (kind 19 or 20, not moving) and a collectable mana bottle (kind 18, not moving).
bool Piece_IsCoin(const PiecePtr& p);
bool Piece_IsManaBottle(const PiecePtr& p);

// ---- Creators: a piece at a pixel position (its top-left), added to Pieces --------------------------------------
// Any kind. An amulet (16) is put into the cell at its position (replacing that cell's piece) and reports event 4;
// a launcher (9) stores its position as the tips' pending snowball point.
PiecePtr Piece_Create(float x, float y, int32_t kind);
PiecePtr Piece_CreateGem(float x, float y, int32_t kind);
PiecePtr Piece_CreateMulticolor(float x, float y);
PiecePtr Piece_CreateTar(float x, float y);
PiecePtr Piece_CreateLauncher(float x, float y);
PiecePtr Piece_CreateSpecialImage(float x, float y, int32_t kind, const ImagePtr& image);
// A coin (19, 20) or mana bottle (18) in cell (column, row): covers the cell's piece, lives 10000 ms, plays its
// sound and reports event 3 (coin) or 5 (bottle). Null for another kind, a void cell, a crate or a cell off the board.
PiecePtr Piece_CreateCoinOrBottle(int32_t column, int32_t row, int32_t kind);
// A random piece from the spawn table with the level's random modifiers (null when the table is empty).
PiecePtr Piece_Spawn(float x, float y);
void Piece_Remove(const PiecePtr& p);                  // takes it out of Pieces
void Piece_SetFrozen(const PiecePtr& p, int32_t flag); // 1: frozen with countdown 3; 0: thawed
void Pieces_Clear();                                   // empties Pieces (cells keep their references)
// Level start: room in the pools for n pieces and their list nodes, so that the level's frames allocate nothing.
void Pieces_Reserve(int32_t n);
bool Piece_OnBoard(const PiecePtr& p); // it is the piece of the cell it names
// Picture and frame of a piece of the kind from the current tile set or the piece images (null before loading).
void Piece_AssignImage(Piece& p);
// Loads the pictures of the non-gem kinds and the overlays (needs the graphics; start-up).
void Pieces_LoadImages();
