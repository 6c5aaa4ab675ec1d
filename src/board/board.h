// The board grid: cells, their tiles, spawners, crates and contours, the board's layout on the screen, the tile
// sets and the level start. Used by the rules, the level files, the play loop, effects, tutorial and editor;
// implemented in board.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "board/pieces.h"
#include "platform/image.h"
#include "platform/strings.h"

// A board cell or screen position.
struct Point {
    int32_t x = 0, y = 0;
};

constexpr int32_t Board_MaxCols = 48;
constexpr int32_t Board_MaxRows = 48;

// One board cell; the level file's cell field numbers are given in brackets.
struct Table_cell {
    int32_t Void = 0;          // [f0] 1 = no cell here (changed only through Cell_SetContour)
    int32_t TileLevel = 1;     // [f1] 0 none, 1 golden tile, 2 silver over golden
    PiecePtr Piece;            // [f2 = its kind] the piece in the cell, null when empty
    int32_t Contour = 0;       // [f4] border mask: 1 left, 2 top, 4 right, 8 bottom side faces a void cell or the edge
    int32_t AutoSpawn = 0;     // [f5] 1 = spawner: refilled when empty
    int32_t BaseTileLevel = 1; // [f9] tile level the level started with (tar restores it)
    int32_t Blockers = 0;      // [f10] wooden crate hits left; the cell holds no piece while > 0
    int32_t BringDown = 0;     // [f12] 1 = an amulet appears here once the golden tiles are gone
    int32_t RefillMs = 100;    // spawner countdown in ms
    PiecePtr Incoming;         // piece reserved to move into the cell (copied with the cell; the rules move a
                               // piece straight into its cell and let it travel there, so they leave it null)
    int32_t Light = 0;         // light value of the cell (the play loop's light map)
    int32_t Reserved = 0;      // spare per-cell value
};

// A piece tile set from "Images/pieces/tiles.txt".
struct Tileset_Tile {
    int32_t Index = 0;                                    // tile number within the set (gem kind = index + 1)
    int32_t Width = 48, Height = 48, Frames = 1, Fps = 0; // frame size, frame count, frames per second
    ImagePtr Image; // "Images/pieces/" + name + index + ".png" (null until loaded)
};
struct Tileset {
    Str Name;                        // set name as written in tiles.txt
    int32_t TileCount = 0;           // number of tiles
    std::vector<Tileset_Tile> Tiles; // by index order
};

// ---- Module state (board.cpp) ----------------------------------------------------------------------------------
extern Table_cell Board_Cells[Board_MaxCols][Board_MaxRows]; // the grid, indexed [column][row]
extern int32_t Board_Cols, Board_Rows;                       // columns and rows in use, 1..48
extern int32_t Board_OriginX, Board_OriginY;                 // top-left of the board on the screen, px
extern int32_t Board_PixelWidth, Board_PixelHeight;          // columns x cell width, rows x cell height, px
extern int32_t Board_OverflowX, Board_OverflowY; // px the board extends past its area on each side (0: fits)
extern int32_t Cell_Width, Cell_Height;          // square cell size, px
extern int32_t Cell_HalfWidth, Cell_HalfHeight;  // Int(size * 0.5), px
extern float Cell_ScaleX, Cell_ScaleY;           // cell size / 48 (the art is drawn for 48 px cells)
extern float Board_Alpha;                        // alpha the board is drawn with (tips dim it)
extern Point Board_CursorCell;                   // cell under the mouse
extern int32_t Board_CursorOnBoard;              // 1 when the mouse is over the board
extern std::vector<Tileset> Tilesets;            // the piece tile sets
extern int32_t Tileset_Current;                  // index into Tilesets, -1 = none chosen
extern int32_t LevelEnd_Tileset;                 // tile set the level-end screen uses
extern int32_t LevelEnd_Tiles[4];                // four tile numbers for its tile rings
extern ImagePtr Tile_Empty;                      // "Images/tiles/tile_empty.png": a playable cell without tile
extern ImagePtr Tile_Golden, Tile_Silver;        // tile levels 1 and 2
extern ImagePtr Tile_Crate[4];                   // crates by hits left, 3 for three and more (index 0 unused)

// The area of the 800x600 screen the board is laid out in (left of the in-game interface).
constexpr int32_t Board_AreaX = 88, Board_AreaY = 40, Board_AreaW = 528, Board_AreaH = 552;
constexpr int32_t Board_ArtSize = 48; // cell size the art is drawn for
constexpr int32_t Board_MinCell = 11; // smallest cell: 48 x 11 = 528 fits the area

// ---- Cells -----------------------------------------------------------------------------------------------------
bool Board_InUse(int32_t c, int32_t r);       // inside the columns and rows in use
bool Cell_Playable(int32_t c, int32_t r);     // in use and not void
Table_cell& Board_Cell(int32_t c, int32_t r); // no bounds check beyond the 48x48 grid
float Cell_PixelX(int32_t c);                 // top-left of a cell on the screen, px
float Cell_PixelY(int32_t r);

// Every cell of the 48x48 grid: tile level 1, base 1, no piece, not void, no blocker, auto-spawn in row 0 only,
// refill countdown 100, bring-down 0.
void Board_Reset();
// Copies the source cell's values but its base tile level to the destination (the editor's centring).
void Board_SetCell(int32_t dc, int32_t dr, int32_t sc, int32_t sr);
// Sets the void flag when it differs from value, and then rebuilds the contour values.
void Cell_SetContour(int32_t c, int32_t r, int32_t value);
// Contour value of every cell in use from the void flags (0 for void cells).
void Board_BuildContours();
// Lays the board out for Board_Cols x Board_Rows (origin, cell size, overflow, scale).
void Board_Layout();
// Number of playable cells with a tile level above 0.
int32_t Board_TilesLeft();

// ---- Tile sets -------------------------------------------------------------------------------------------------
// Reads "incbin::Images/pieces/tiles.txt" (RuntimeError "cant open tiles.txt" when missing); bad lines are
// skipped with a diagnostic. Returns the number of sets.
int32_t Tilesets_Load();
// Parses tiles.txt text into Tilesets (tests and Tilesets_Load).
int32_t Tilesets_Parse(const Str& text);
void Tilesets_LoadImages(); // the tile images (needs the graphics)
// Tile set chosen for a level number.
int32_t Tileset_ForLevel(int32_t level);

// Start-up: tile sets (RuntimeError "cant open tiles.txt" when missing), tile and piece pictures, an empty board.
void Board_LoadImages();
// ---- Level start -----------------------------------------------------------------------------------------------
// Resets the board and the piece list, lays the board out, resets the level's timers and per-level state, and
// tells effects, particles, tutorial and tips.
void Level_Start();
