// The board's public services beyond the model (board.h, pieces.h, rules.h, level_file.h): the play loop and the
// screens 1, 5, 6 and 7, hammers, the level's time and offer, the saved match and the match's records. Called by
// the runtime (start-up, screen table, shutdown save), the castle, the menus, the effects and the editor.
// What the board calls upward goes through its hook table (board/board_hooks.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/level_file.h"
#include "board/pieces.h"
#include "board/rules.h"
#include "platform/image.h"

// ---- State owned here ------------------------------------------------------------------------------------------
// (Game_Paused lives with the screens, main/screens.h; Player_LevelEase with the progress file, main/progress.h.)
extern int32_t Level_StartMode;  // 0 fresh level start (records score, gold, mana), 1 restart (restores them),
                                 // 2 continued match (neither)
extern int32_t Level_Sweeping;   // 1 while the level-end light sweep runs
extern int32_t Level_OfferMade;  // 1 once the time offer box was opened in this level
extern int64_t Level_OfferTime;  // µs the time offer adds
extern int32_t Level_TimeBought; // µs bought in this level
extern int32_t Level_LastPlayed; // the last level played (high-score entry)
extern int32_t Match_Continued;  // 1 after a match was started or continued from the menu
extern int32_t Match_EndState;   // 3 when the levels ran out after the castles were finished
extern int32_t Match_StartLevel; // the level the match was started at (high-score entry)
extern int32_t Match_PlayMs;     // the match's playing time, ms

// The hammers: index 1..3 (0 unused); the current one strikes.
struct Hammer {
    ImagePtr GreyImage; // drawn while the hammer is not yet available
};
extern std::array<Hammer, 4> Hammers;
extern int32_t Hammer_Current; // index of the current hammer, 0 none
extern int32_t Hammer_Charge;  // charge collected by matches
extern int32_t Hammer_ButtonX; // the hammer button's screen position, px
extern int32_t Hammer_ButtonY;

// ---- Start-up and screens ----------------------------------------------------------------------------------------
void Board_Init();     // start-up: board and match-list buffers, tile sets, piece images, contour tiles, light map
void Game_Frame();     // frame of screen 1 (the game)
void Game_Enter();     // enter hook of screen 1
void Game_Leave();     // leave hook of screen 1
void Screen5_Frame();  // frame of screen 5 (level start)
void Screen5_Enter();  // enter hook of screen 5
void Screen5_Leave();  // leave hook of screen 5
void LevelEnd_Frame(); // frame of screen 6 (level end)
void LevelEnd_Enter(); // enter hook of screen 6
void LevelEnd_Leave(); // leave hook of screen 6
void Dimmed_Frame();   // frame of screen 7 (the dimmed board behind a dialog)
void Dimmed_Enter();   // enter hook of screen 7
void Dimmed_Leave();   // leave hook of screen 7

// ---- Play --------------------------------------------------------------------------------------------------------
void Board_Draw();                                  // draws the board; reports event 13 (column, row) per cell drawn
void Board_HandleClick();                           // a click on Board_CursorCell; asks event 12 first
void LightMap_Reset();                              // every cell's light back to its start value
void Hammer_AddCharge(int32_t charge);              // adds a match's charge (tutorial event 7, icon particles)
void Hammer_Update();                               // reports event 6 (n) when hammer n becomes available
void Hammer_HandleClick();                          // asks event 14 (cursor cell) and strikes only on 1
int32_t Hammer_CanHit(int32_t column, int32_t row); // 1 when the current hammer may strike the cell
void LevelEnd_LightSweep();                         // the level's light sweep (event 15, tips check, level box)
// Level refresh of one file (path of a real file): loads it, gives it fresh contour tiles and saves it again.
// Returns false, with a diagnostic line, when the file is not a valid level file; never raises.
bool Level_RefreshFile(const std::u16string& path);

// ---- The match ---------------------------------------------------------------------------------------------------
void Game_Start(int32_t mode);   // Level_StartMode := mode, next music track, screen 1, load the current level
void Match_New();                // score 0, 3 lives, start level, time 0; deletes the saved match, clears tutorial
void Match_Reset();              // counters and records back to a new match's, then Match_Save(Level_Current, 0)
void Match_Continue();           // loads the saved match and its level
int32_t Match_Exists();          // 1 when the current player's saved match file exists
void Match_Load();               // reads the saved match (Relaxed_Mode and Level_Current included)
void Match_Write(int32_t level); // writes the saved match record with the current values
void Match_Delete();             // deletes the current player's saved match files
void Match_Save(int32_t level, int32_t mode); // saved match (+ board snapshot when mode is 1), then the progress file
void HighScore_AddFromGame();                 // game over: high-score entry or the high-score box
void Match_AllCompleted();                    // end of the campaign
void Match_BackToMenu();                      // main menu + wallpapers dialog
void Match_CastlesCompleted();                // opens the castles-done box
