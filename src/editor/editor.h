// The level editor's public services: a tool window over the game screen that edits the live board and the level
// values, saves and loads level files and test-plays the board. Called by the runtime's start-up (Editor_Init), by
// the game frame directly (open, close, update, draw) and by the play loop through the board's hook table (the end
// of a test run).
#pragma once

#include <cstdint>

#include "board/board.h"
#include "platform/strings.h"

// ---- State owned here ------------------------------------------------------------------------------------------
// What Editor_Init puts back: one struct, the names below its fields.
struct EditorState {
    int32_t Editor_Open = 0;    // 1 while the editor is open
    int32_t Editor_Testing = 0; // 1 while the editor test-plays its level
    Point Editor_SelectedCell;  // column and row of the cell the inspector edits (kept across openings)
};
extern EditorState Editor_State;
inline constinit int32_t& Editor_Open = Editor_State.Editor_Open;
inline constinit int32_t& Editor_Testing = Editor_State.Editor_Testing;
inline constinit Point& Editor_SelectedCell = Editor_State.Editor_SelectedCell;
extern Str Editor_TileChoice;      // the tile choice last applied to the selected cell
extern Str Editor_PieceChoice;     // the piece choice last applied to the selected cell
extern int32_t Editor_TimedPieces; // the timed-pieces field times 16 (not stored in the level file)
extern const Str Editor_QuickFile; // "/levels/default.lev" below App_Folder: F2 and F3
extern const Str Editor_TestFile;  // "/levels/test_autosave.lev" below App_Folder: the board a test run restores

// ---- Window and fields -----------------------------------------------------------------------------------------
void Editor_Init();   // start-up, once, after the fonts: the toolkit (cursor style 2, sounds on)
void Editor_Create(); // opens the level editor over the game screen (developer key); nothing when open
void Editor_Close();  // stops a test run, closes the window, makes App_Folder current again
void Editor_Update(); // per frame while open: keys and buttons, then (not testing) tile set, inspector, size, mouse
void Editor_Draw();   // per frame while open, after the game's drawing: highlight or test time, the window
void Editor_ReadWeights();      // every field into the level values, clamped (the fields show what was taken)
void Editor_ShowWeights();      // the level values into the fields
void Editor_ResetWeights();     // every weight and the spawn percentages but the frozen one to 0
void Editor_SelectTileset();    // follows the tile-set combo
void Editor_FillPieceChoices(); // refills the piece combo for the current tile set

// ---- Board editing ---------------------------------------------------------------------------------------------
void Editor_BoardMouse();                            // select (left), paint (right), place (middle) on the board
void Editor_ShowCell();                              // loads the inspector from the selected cell
void Editor_ApplyInspector();                        // applies the inspector to the selected cell
void Editor_PaintCell(int32_t column, int32_t row);  // copies the selected cell's tile and flags
void Editor_PlacePiece(int32_t column, int32_t row); // puts the chosen piece into the cell (never into a void one)
void Editor_ApplySize();                             // follows the width and height spinners
void Editor_FillBoard();                             // random pieces, re-rolled until no group is ready-made
bool Editor_CreateBoard();                           // "Create": a fresh board; false when every weight is 0
bool Editor_Fill();                                  // "Fill": new pieces, cells kept; false when every weight is 0
void Editor_ClearTable();                            // "Clear Table"
void Editor_Center(bool vertical);                   // "CenterX" (false) and "CenterY" (true)

// ---- Files, keys and test play ---------------------------------------------------------------------------------
void Editor_HandleFiles();              // keys, then the buttons, once per frame
bool Editor_SaveLevel(const Str& path); // the fields, then the level file; an alert and false when it fails
bool Editor_LoadLevel(const Str& path); // a whole level file or nothing (an alert); the fields follow
void Editor_ToggleTest();               // starts or stops a test run
void Editor_EndTest();                  // a test run reached the level's end: stop it, the player's files untouched
