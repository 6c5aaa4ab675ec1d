// The board's public services beyond the model (board.h, pieces.h, rules.h, level_file.h): the play loop (game
// screen, logic tick, mouse moves), the level start and end screens, the hammers, the time bar and the saved match.
// Called by the runtime (screens, shutdown), the menus, castles, effects and editor; implemented in play.cpp,
// hammers.cpp, match_file.cpp, game_screen.cpp. What the board calls upward goes through board/board_hooks.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/level_file.h"
#include "board/rules.h"
#include "platform/image.h"
#include "platform/strings.h"

// ============================================================================================================
// Start-up, screens and the services the runtime and the other subsystems call
// ============================================================================================================
// (Game_Paused lives with the screens, main/screens.h; Player_LevelEase with the progress file, main/progress.h;
// Level_Current with the rules, board/rules.h.)

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
void Game_Start(int32_t mode); // Level_StartMode := mode, next music track, screen 1, load the current level
void Match_Save(int32_t level, int32_t mode); // saved match (+ board snapshot when mode is 1), then the progress file
// Level refresh of one file (path of a real file): loads it, gives it fresh contour tiles and saves it again.
// Returns false, with a diagnostic line, when the file is not a valid level file; never raises.
bool Level_RefreshFile(const std::u16string& path);
void Hammer_AddCharge(int32_t charge);    // adds a match's charge to the hammers (tutorial event 7, icon particles)
void Score_Add(int32_t points);           // adds to Score
void Score_AddMultiplied(int32_t points); // adds points times the score multiplier
void Mana_Add(int32_t amount);            // adds mana from level 6 on, clamped, reports tutorial event 17
void Gold_Add(int32_t amount);            // adds to the gold counter
void HighScore_AddFromGame();             // game over: high-score entry or the high-score box
void Match_AllCompleted();                // end of the campaign
void Match_BackToMenu();                  // main menu + wallpapers dialog
void Match_CastlesCompleted();            // opens the castles-done box
void LevelEnd_LightSweep();               // the light sweep at a level's start (event 15, tips check, level box)

// ============================================================================================================
// The level in play
// ============================================================================================================
constexpr int32_t Level_NumberMax = 210; // the largest level number a level file or the saved match may name
constexpr int64_t Level_OfferThresholdUs = 60000000;  // the time offer comes when less than this is left
constexpr int64_t Level_OfferTimeDefault = 120000000; // what the offer adds
constexpr float Level_SweepMs = 1200;                 // length of the light sweep at a level's start

extern int32_t Level_StartMode; // 0 fresh level start (records the counters), 1 restart (restores them), 2 continued
extern int32_t Match_Continued; // 1 after a match was started or continued from the menu
extern std::array<int32_t, 8> Level_Gems; // gems of each colour (1..7) the board gave to the bag in this level
extern Point Board_SelectedCell;          // the cell selected for a swap (while Board_Selected)

// The play loop's state of the level in play, in one struct so that Play_ResetLevel puts all of it back by assigning
// a fresh one. The play loop and its callers use the names bound below.
struct PlayLevel {
    int32_t Board_Selected = 0;                       // 1 while a cell is selected for a swap
    int32_t Level_Sweeping = 0;                       // 1 while the light sweep at the level's start runs
    float Level_SweepPos = 0;                         // ms the sweep has run
    int64_t Level_OfferTime = Level_OfferTimeDefault; // µs the time offer adds (clamped to the level's full time)
    int32_t Level_OfferMade = 0;                      // 1 after the offer box was opened in this level
    int64_t Level_TimeBought = 0;                     // µs bought in this level
    int32_t Level_Lost = 0;                           // 1 once the level was lost by time (the level end shows it)
    int32_t LevelEnd_Phase = 0;                       // level-end screen: 0 counting, 1 effects, 2 the dialog is open
    float LevelEnd_Ms = 0;                            // ms since the level end opened (all its phases)
};
extern PlayLevel Play_Level;
inline constinit int32_t& Board_Selected = Play_Level.Board_Selected;
inline constinit int32_t& Level_Sweeping = Play_Level.Level_Sweeping;
inline constinit float& Level_SweepPos = Play_Level.Level_SweepPos;
inline constinit int64_t& Level_OfferTime = Play_Level.Level_OfferTime;
inline constinit int32_t& Level_OfferMade = Play_Level.Level_OfferMade;
inline constinit int64_t& Level_TimeBought = Play_Level.Level_TimeBought;
inline constinit int32_t& Level_Lost = Play_Level.Level_Lost;
inline constinit int32_t& LevelEnd_Phase = Play_Level.LevelEnd_Phase;
inline constinit float& LevelEnd_Ms = Play_Level.LevelEnd_Ms;

// The cell under a screen pixel (the board's overflow added); false off the board or on a void cell.
bool Board_CellAt(int32_t x, int32_t y, Point& cell);
// The click handling of the logic tick: event 12 asks first; a coin or bottle is collected, a launcher fired, a
// cell selected, or a swap started with the selected neighbour. Drags swap too.
void Board_HandleClick();
// One logic tick of the game screen, in the game's order (board timers, hover, input, hammers, moves).
void Game_LogicTick(float dtMs);
// The level time (count-down, offer, running out) and the end test; called by Game_Frame after the tick.
void Level_UpdateTime(float dtMs);
// The player took the time offer: Level_OfferTime is added (clamped to the full time) and a life is paid, only when
// time was actually added. Returns the µs added.
int64_t Level_BuyTime();
// A fresh Play_Level with its light sweep started, the hammers' cursor off, the game running, the light map reset.
void Play_ResetLevel();
// Light map: every cell's light back to its start value.
void LightMap_Reset();
// Starts the level end: won (Level_EndState 2) or lost by time.
void Level_Finish(bool won);

// Drawing of the game screen (game_screen.cpp): the board's tiles, contours and crates; the pieces; the marks of
// hover, selection and hint; the time bar; the hammer cursor.
void Board_Draw();
void Pieces_Draw();
// Whether SDL's software renderer also keeps still pieces in the game scene's cached layer (the GL renderers do;
// for tests).
void Pieces_KeepOnSoftware(bool on);
void Board_DrawMarks();
void TimeBar_Draw();
void Hammer_DrawCursor();

// ============================================================================================================
// Hammers (hammers.cpp)
// ============================================================================================================
constexpr int32_t Hammer_Count = 3;
constexpr int32_t Hammer_GaugeSegments = 11;
struct Hammer {
    int32_t Threshold = 0; // charge at which it becomes available
    ImagePtr Image;        // its icon ("images/interface/map_hammer*.png")
    ImagePtr Grey;         // the icon in grey, for the interface while it is not available
};
extern std::array<Hammer, Hammer_Count> Hammers; // the three hammers, thresholds 50, 120, 260
extern int32_t Hammer_ButtonX, Hammer_ButtonY;   // top-left of the hammer button on the screen
extern int32_t Hammer_BurstsFired;               // icon particle bursts fired (one per threshold)
// The hammers' state over a match, in one struct so that Hammers_Reset puts all of it back by assigning a fresh one.
// The game uses the names bound below.
struct HammerState {
    int32_t Current = 0;                              // the available hammer 1..3, 0 none
    int32_t Charge = 0;                               // the charge collected by matches
    int32_t Armed = 0;                                // 1 while the hammer cursor is on (button pressed)
    std::array<int32_t, Hammer_GaugeSegments> Fill{}; // gauge segments: 0 empty .. 255 full
};
extern HammerState Hammer_State;
inline constinit int32_t& Hammer_Current = Hammer_State.Current;
inline constinit int32_t& Hammer_Charge = Hammer_State.Charge;
inline constinit int32_t& Hammer_Armed = Hammer_State.Armed;
inline constinit std::array<int32_t, Hammer_GaugeSegments>& HammerFill = Hammer_State.Fill;

void Hammers_Load();                         // start-up: icons and their grey copies
void Hammers_Reset();                        // a new match: no charge
void Hammer_Update();                        // logic tick: the available hammer (event 6 when it changes), the gauge
void Hammer_HandleClick();                   // logic tick: a click while armed strikes where event 14 allows
void Hammer_Arm();                           // the hammer button: arms the cursor when a hammer is available (event 8)
int32_t Hammer_CanHit(int32_t c, int32_t r); // 1 when the current hammer may strike the cell
void Hammer_Strike(int32_t c, int32_t r);    // the current hammer strikes the cell and is used up

// ============================================================================================================
// The saved match (match_file.cpp); layout in docs/file-formats.md
// ============================================================================================================
constexpr int32_t Match_Magic = 0x4D515242; // "BRQM" little-endian
constexpr int32_t Match_Version = 3; // 3: the highest score; 2 (still read): the castle's progress as its own block
constexpr int32_t Match_ValueCount = 34;
// Score, gold and mana read from a saved match are taken at most at this: far beyond what play reaches, and far
// enough below the int32 limit that adding to them cannot overflow.
constexpr int32_t Match_CounterMax = 1000000000;

// What other subsystems keep in the saved match; they read and write it here until they own it themselves.
struct Match_Carry {
    std::array<int32_t, 8> SpellLevels{}; // owned level of each spell
};
extern Match_Carry Match_Carried;
extern int32_t Level_LastPlayed;  // last level played
extern int32_t Match_EndState;    // 0 running, 3 the levels ran out after the castles were finished
extern int32_t Match_HasSnapshot; // 1 when the loaded match comes with a board snapshot

Str Match_Path();         // Data_Folder + "/match_" + player + ".bqm"
Str Match_SnapshotPath(); // Data_Folder + "/match_" + player + ".lev"
void Match_New();         // a new match: score 0, 3 lives, start level, no time; files deleted, tutorial flags cleared
void Match_Reset();       // counters back to a new match's, then Match_Save(Level_Current, 0)
// Writes the record (level as the level to play); false when it cannot be written (diagnostic line).
bool Match_Write(int32_t level);
// Reads the record; a file that cannot be read is renamed ".bad" with a diagnostic line and false returned.
bool Match_Load();
// Loads the saved match and its level (the snapshot when there is one, else the level from its start).
bool Match_Continue();
// The match in memory is in play once Match_New, Match_Continue (or Match_TakeUp) took it up in this run; for the
// player it was taken up for. Match_Save writes nothing else, Match_Write also the record Match_Load just read, so a
// saved match is only ever written over by its own play. Match_Load and Match_Delete end it.
void Match_TakeUp();
bool Match_InPlay();
// The match in memory is no longer the player's (the level editor opened over it): nothing of it is saved until a
// match is continued or started anew.
void Match_LeavePlay();
int32_t Match_Exists(); // 1 when the current player's saved match exists
void Match_Delete();    // deletes the current player's saved match files
