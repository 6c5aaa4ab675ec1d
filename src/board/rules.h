// The rules of match play: swaps, match groups, resolution, falling and refill, cascades, specials and obstacles,
// coins and bottles, freezing, the no-move replacement, score, lives, gold and mana, and the level's end phases.
// Pure logic (no drawing); the play loop calls Board_Update once per frame. Implemented in rules.cpp.
#pragma once

#include <cstdint>

#include "board/board.h"

// ---- Values of the rules (docs/rules.md explains them) ---------------------------------------------------------
namespace rules {
constexpr int32_t PointsPerGem = 1;              // every cell of a group
constexpr int32_t PointsPerExtraGem = 4;         // on top, for every cell beyond three
constexpr int32_t MultiplierMax = 8;             // score multiplier cap
constexpr float MultiplierMs = 2500;             // a group within this time of the last raises the multiplier
constexpr int64_t TimeBonusPerExtraUs = 1000000; // time added per cell beyond three of a group
constexpr int64_t GoldenTimeUs = 5000000;        // time a "Bonus Time" piece adds
constexpr int32_t GoldPerTile = 2;               // gold for each golden tile removed
constexpr int32_t SilverCoinGold = 10;           // gold of a silver coin
constexpr int32_t GoldCoinGold = 50;             // gold of a gold coin
constexpr int32_t BottleMana = 25;               // mana of a bottle
constexpr int32_t LifeEveryPoints = 70000;       // one more life per this many points (a good player: every ~10 levels)
constexpr int32_t AmuletPoints = 200;            // an amulet leaving the board
constexpr int32_t TimeBonusPerSecond = 10;       // level-end points per second left
constexpr int32_t RelaxedTimeBonus = 500;        // level-end points in relaxed play
constexpr float FallCellsPerSecond = 10;         // falling speed
constexpr float SwapCellsPerSecond = 7;          // swap speed
constexpr float RemoveMs = 250;                  // a removed piece fades out this long
constexpr float RocketCellsPerSecond = 20;       // rocket speed
constexpr float AntigravRiseMs = 600;            // an antigravity piece rises one cell at most this often
constexpr int32_t CoinLifetimeMs = 10000;        // coins and bottles vanish after this
constexpr int32_t NoMoveFrames = 32;             // the no-move check runs every this many frames
constexpr int32_t HintMs = 8000;                 // hint delay at ease 0
constexpr int32_t HintMsPerEase = 1500;          // shorter per ease step
constexpr int32_t FrozenHits = 3;                // neighbouring matches that thaw a frozen piece
} // namespace rules

// ---- Module state (rules.cpp) ----------------------------------------------------------------------------------
extern Point Match_List[Board_MaxCols * Board_MaxRows]; // cells of the group being found or resolved
extern int32_t Match_Kind;                              // colour of the group (1..7, 15 for tar)
extern int32_t Match_MinRun;                            // shortest run, 3
extern int32_t Hint_Col, Hint_Row;                      // first cell of the move Hint_Tick found
extern int32_t Hint_Col2, Hint_Row2;                    // its partner cell
// The counters of a match. A new match and "again" after a game over put back a fresh set (Match_New,
// Match_Reset); what else a new match clears (spells, mana cap, castle, hammers) belongs to other modules.
struct MatchCounters {
    int32_t Score = 0;              // points of the match
    int32_t Lives = 3;              // lives left
    int32_t Gold = 0;               // gold
    int32_t Gold_AtLevelStart = 0;  // gold when the level started
    int32_t Mana = 0;               // mana
    int32_t Score_AtLevelStart = 0; // score when the level started (restored by a restart)
    int32_t Score_Highest = 0;      // highest score reached in the match (a restart does not lower it)
    int32_t Mana_AtLevelStart = 0;  // mana when the level started
    int32_t Match_StartLevel = 1;   // level the match was started at
    int32_t Match_PlayMs = 0;       // ms played in the match
};
extern MatchCounters Match_Counters;
inline constinit int32_t& Score = Match_Counters.Score;
inline constinit int32_t& Lives = Match_Counters.Lives;
inline constinit int32_t& Gold = Match_Counters.Gold;
inline constinit int32_t& Gold_AtLevelStart = Match_Counters.Gold_AtLevelStart;
inline constinit int32_t& Mana = Match_Counters.Mana;
inline constinit int32_t& Score_AtLevelStart = Match_Counters.Score_AtLevelStart;
inline constinit int32_t& Score_Highest = Match_Counters.Score_Highest;
inline constinit int32_t& Mana_AtLevelStart = Match_Counters.Mana_AtLevelStart;
inline constinit int32_t& Match_StartLevel = Match_Counters.Match_StartLevel;
inline constinit int32_t& Match_PlayMs = Match_Counters.Match_PlayMs;
extern int32_t Mana_Caps[3];  // mana cap by cap level
extern int32_t Mana_CapLevel; // 0..2
extern int32_t Level_Current; // number of the level being played
extern int32_t Relaxed_Mode;  // 0 timed play, 1 relaxed

// The rules' state of the level in play, in one struct so that Rules_ResetLevel puts all of it back by assigning a
// fresh one. The rules and their callers use the names bound below.
struct RulesLevel {
    int32_t Match_Count = 0;      // cells in Match_List
    int32_t Match_BySwap = 0;     // 1 when the group came from the player's swap, 0 for cascades
    int32_t Match_HadTile = 0;    // 1: a cell of the group had a tile before it was hit
    int32_t Match_Timer = 0;      // hint countdown, ms (a level starts it at Hint_DelayMs)
    int32_t Hint_Found = 0;       // 1 when Hint_Tick found a move
    int32_t Score_Multiplier = 1; // 1..MultiplierMax
    float Multiplier_TimerMs = 0; // ms until the multiplier falls back to 1
    int32_t Level_EndState = 0;   // 0 golden tiles remain, 1 amulets still to bring down, 2 level done
    int32_t Level_TimeBonus = 0;  // time-bonus points of the finished level
    int32_t Board_Frame = 0;      // logic frames since the level started
    int32_t Board_Swapping = 0;   // 1 while a swap (or its swap back) runs
};
extern RulesLevel Rules_Level;
inline constinit int32_t& Match_Count = Rules_Level.Match_Count;
inline constinit int32_t& Match_BySwap = Rules_Level.Match_BySwap;
inline constinit int32_t& Match_HadTile = Rules_Level.Match_HadTile;
inline constinit int32_t& Match_Timer = Rules_Level.Match_Timer;
inline constinit int32_t& Hint_Found = Rules_Level.Hint_Found;
inline constinit int32_t& Score_Multiplier = Rules_Level.Score_Multiplier;
inline constinit float& Multiplier_TimerMs = Rules_Level.Multiplier_TimerMs;
inline constinit int32_t& Level_EndState = Rules_Level.Level_EndState;
inline constinit int32_t& Level_TimeBonus = Rules_Level.Level_TimeBonus;
inline constinit int32_t& Board_Frame = Rules_Level.Board_Frame;
inline constinit int32_t& Board_Swapping = Rules_Level.Board_Swapping;

// ---- Counters --------------------------------------------------------------------------------------------------
// Adds points; one more life for each multiple of LifeEveryPoints that the match's highest score (Score_Highest,
// board/play.h) passes, so a threshold pays once per match even when a restart puts the score back below it.
void Score_Add(int32_t points);
void Score_AddMultiplied(int32_t points); // points times the multiplier
void Gold_Add(int32_t amount);            // never below 0
void Mana_Add(int32_t amount);            // from level 6 on, clamped at the cap - 1, event 17

// ---- Matching --------------------------------------------------------------------------------------------------
// Collects the group through (c, r) into Match_List (Match_Count, Match_Kind) and returns its size; 0 when the
// cell is in no run of Match_MinRun. bySwap is stored in Match_BySwap. flags: 1 = also count pieces that are not
// settled (move search on a board at rest).
int32_t Board_FindMatchGroup(int32_t c, int32_t r, int32_t bySwap, int32_t flags);
// 1 when swapping the two (neighbouring) cells makes a group.
int32_t Board_FindMoves(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
bool Board_HasMove();
// With Match_Timer at 0 finds the move nearest to the pixel (x, y): Hint_Found, Hint_Col, Hint_Row.
void Hint_Tick(int32_t x, int32_t y, int32_t minRun);
int32_t Hint_DelayMs(); // hint delay for Level_Ease
// 1 when the piece may be swapped by the player.
bool Piece_Swappable(const PiecePtr& p);

// ---- Moves and resolution --------------------------------------------------------------------------------------
// Starts swapping two neighbouring cells; false when not allowed now.
bool Board_Swap(int32_t c1, int32_t r1, int32_t c2, int32_t r2);
// Resolves the group in Match_List; the special piece goes to `special` when it is in the group.
void Match_Resolve(Point special);
// Clears a cell's tile completely (every level, each hit as Cell_Explode).
void Cell_ClearTile(int32_t c, int32_t r);
// Hits a cell's tile: event 2 when its level is 1 or more; a golden tile removed pays gold.
void Cell_Explode(int32_t c, int32_t r);
// Destroys the cell's piece with its effects (gems to the bag, bomb, line blast, bonus time).
void Cell_DestroyPiece(int32_t c, int32_t r);
// A click on a launcher: it fires rockets along its row. False when the cell holds no settled launcher.
bool Launcher_Fire(int32_t c, int32_t r);
// A click on a coin or bottle: collects it. False when the cell holds none.
bool Piece_Collect(int32_t c, int32_t r);
// Replaces one gem so that a move exists; false when no replacement makes one.
bool Board_ReplaceForMove();
// Finds and resolves every group on the board (cascades); returns the number of groups.
int32_t Board_CheckMatches();
// Lets pieces fall into the empty cells below them.
void Board_Fall();
// Refills empty spawner cells.
void Board_Refill(float dtMs);
// True when nothing moves, falls, is removed or waits to be refilled.
bool Board_Idle();

// ---- The frame -------------------------------------------------------------------------------------------------
// One logic step of the board: piece updates, no-move replacement, refill and fall, swaps, the full match check,
// antigravity, freezing, the multiplier timer and the end phases.
void Board_Update(float dtMs);
// Board_Update in the two halves the play loop runs around its input: the timers (piece updates, no-move
// replacement, hint timer, refill, multiplier timer) and the moves (fall, swap step, match check, antigravity,
// freezing, end phases).
void Board_UpdateTimers(float dtMs);
void Board_UpdateMoves(float dtMs);
// Level end state from the tiles and amulets (places the amulets when the tiles are gone).
void Level_CheckEnd();
int32_t Level_ComputeTimeBonus(); // sets and returns Level_TimeBonus
// A fresh Rules_Level, the board's motion at rest and the hint countdown started (Level_Start calls it).
void Rules_ResetLevel();
