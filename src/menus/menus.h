// The menus' public services: the main menu (screen 0), message boxes and dialogs, the high-score table, the
// tutorial and the tips. Called by the runtime (start-up, screen table, main loop), the board's play loop and the
// castle (both through their hook tables, board/board_hooks.h and castle/castle.h) and by the menus themselves.
// The menus sit on top of the board, the effects and the castle and call them directly.
#pragma once

#include <cstdint>

// One high-score entry, five int32 in the file's order.
struct HS_Slot {
    int32_t Player = 0;     // index of the player (0..9) who made the score; -1 for an empty slot
    int32_t Score = 0;      // the match score
    int32_t StartLevel = 0; // level the match was started at; 0 when added at the end of the campaign
    int32_t LastLevel = 0;  // last level played; 0 when added at the end of the campaign
    int32_t PlayTime = 0;   // playing time in whole seconds
};

void MainMenu_Load();                             // start-up: main-menu images, birds, buttons (once)
void MainMenu_Enter();                            // enter hook of screen 0
void MainMenu_Leave();                            // leave hook of screen 0
void MainMenu_Frame();                            // frame of screen 0 (also of 2, 3, 4 and unknown screens)
void Dialogs_LoadImages();                        // start-up: dialog skins; calls Gamble_Init
void WinLose_Build();                             // start-up: builds the level-won dialog
void HighScores_Build();                          // start-up: builds the high-score dialog
void IGMenu_Build();                              // start-up: builds the in-game menu
void Players_Build();                             // start-up: builds the players dialog
void Options_Build();                             // start-up: builds the options dialog
void Credits_Build();                             // start-up: builds the credits dialog
void Help_Build();                                // start-up: builds the help pages
void Wallpapers_Build();                          // start-up: builds the wallpapers dialog
void Tutorial_Init();                             // start-up: tutorial images, OK button and the 45 steps
void Tips_Init();                                 // start-up: tip font, images and table
void Highscores_Init();                           // start-up: reads the high-score file
void Tips_Tick();                                 // main loop, every frame before the screen's frame
void Tips_Place();                                // level start: places the tips for the board
void Tips_Draw();                                 // game frame, drawn last
void Tips_CheckBoard();                           // light sweep: tips about the new board
void Tips_ShowIceCrystal();                       // game frame: the pending ice-crystal tip
void Tips_ShowSnowball();                         // game frame: the pending snowball tip
void Tips_SetSnowballPoint(int32_t x, int32_t y); // the board made a launcher at screen (x, y): pending snowball tip
extern int32_t Tips_Visible;                      // 1 while a tip is showing (the game logic stands still)
void Tutorial_ResetRun();                         // level start: tutorial steps may run again
void Tutorial_ClearFlags(int32_t all);            // Match_New: clears the current player's tutorial flags
int32_t Highscores_FindRank(int32_t score);       // place 0..7 the score would take, -1 none
void Highscores_Insert(int32_t place, const HS_Slot& slot); // game over: a copy of the slot at the place
void Highscores_Add(int32_t place);                    // end of the campaign: the current player's Score at the place
void Highscores_Save();                                // writes the high-score file
void HighScores_Open(int32_t highlight, int32_t mode); // opens the high-score dialog
void MsgBox_Level_Open();                              // time offer box (level timer)
void MsgBox_HighScore_Open();                          // game-over box without a high-score place
void MsgBox_CastlesDone_Open();                        // end of the castles
void MsgBox_Frame_Open();                              // a life was lost, lives remain
void MsgBox_Game_Open();                               // the last life was lost
void MsgBox_LevelsEnded_Open();                        // no level left
void MsgBox_LevelDone_Open();                          // "Level N" box at a level's start (from the light sweep)
void MsgBox_CastleCompleted_Open();                    // a castle was completed
void MsgBox_Shop_Open();                               // the gamble box of the shop
void MsgBox_Shop_Init();                               // its init: disables the shop's buttons, rolls the gamble
void WinLose_Open();                                   // the level-won dialog (level-end screen)
void IGMenu_Init();                                    // the in-game menu's dialog functions (IGI_OpenMenu opens
void IGMenu_Update();                                  // them with Dialog_Open, flush 1)
void IGMenu_Draw();
void Wallpapers_Open(); // the wallpapers dialog

// Tutorial events reported by subsystems 2 and 3 (9 and 10 are reserved and never reported). Coordinates are
// board cell column and row.
void Tutorial_OnEvent0();                         // level box OK; build-menu / shop fade-in finished
void Tutorial_OnEvent1();                         // a match group was scored and removed
void Tutorial_OnEvent2(int32_t x, int32_t y);     // a cell with tile level >= 1 exploded
void Tutorial_OnEvent3(int32_t x, int32_t y);     // a coin appeared
void Tutorial_OnEvent4(int32_t x, int32_t y);     // a bottom-line piece (kind 16) was placed
void Tutorial_OnEvent5(int32_t x, int32_t y);     // a mana bottle appeared
void Tutorial_OnEvent6(int32_t n);                // hammer n (1..3) became available
void Tutorial_OnEvent7(int32_t charge);           // hammer charge grew by charge
void Tutorial_OnEvent8();                         // the hammer button was pressed
void Tutorial_OnEvent11();                        // every frame of screens 1, 9 and 11
int32_t Tutorial_OnEvent12(int32_t x, int32_t y); // board click; returns 0 to swallow the click
void Tutorial_OnEvent13(int32_t x, int32_t y);    // a board cell was drawn
int32_t Tutorial_OnEvent14(int32_t x, int32_t y); // hammer released over a cell; returns 0 to hold the strike
void Tutorial_OnEvent15();                        // first thing of the light sweep
void Tutorial_OnEvent16(int32_t button);          // after a button's update (build menu, shop, interface)
void Tutorial_OnManaChanged(int32_t amount, int32_t reachedCap); // event 17, after every change of Mana
void Tutorial_OnGemsAdded(int32_t colour, int32_t amount);       // event 18, after gems were added or taken
