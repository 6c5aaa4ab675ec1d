// Level files and the level's settings: Level_Save / Level_Load byte for byte, the level values they carry, the
// spawn table. Used by the play loop, the editor and the level refresh; implemented in level_file.cpp.
#pragma once

#include <cstdint>

#include "board/pieces.h"
#include "platform/strings.h"

// Layout sizes of the level file (all int32, little-endian).
constexpr int32_t LevelFile_HeaderSize = 64;   // 16 header fields
constexpr int32_t LevelFile_WeightsSize = 128; // Spawn_Weights[32]
constexpr int32_t LevelFile_CellSize = 64;     // 16 cell fields
constexpr int32_t LevelFile_MaxRecord = 4096;  // larger header or cell sizes are refused as absurd

// ---- Module state (level_file.cpp) -----------------------------------------------------------------------------
extern int64_t Level_Duration;           // the level's full time, µs (ms in the file)
extern int64_t Level_TimeLeft;           // time left, µs
extern int32_t Level_ShieldPercent;      // spawn chance of a chain on a gem, %
extern int32_t Level_LaserPercent;       // spawn chance of the line blast, %
extern int32_t Level_GoldenPercent;      // spawn chance of "Bonus Time", %
extern int32_t Level_BombPercent;        // spawn chance of a bomb, %
extern int32_t Level_FrozenPercent;      // header field 9: stored, used by nothing else
extern int32_t Level_AntigravPercent;    // spawn chance of antigravity, %; not in the file
extern int32_t Level_SilverCoinInterval; // chance of a silver coin after a small match, %
extern int32_t Level_GoldCoinInterval;   // chance of a gold coin, %
extern int32_t Level_ManaBottleInterval; // chance of a mana bottle, %
extern int32_t Level_FreezeInterval;     // seconds between two freezes; 0 = none
extern float Level_FreezeTimer;          // s until the next freeze
extern int32_t Level_SilverCoinTimer, Level_GoldCoinTimer, Level_ManaBottleTimer; // set at level start, unread
extern int32_t Spawn_Weights[Piece_KindCount];                                    // relative spawn weight of each kind
extern int32_t Level_Ease; // ease of the level in play, 0 (normal) .. 3 (easiest)
extern Str Level_Path;     // path of the current level file

// Writes the board and the level values. RuntimeError "cant create level file" + path when the file cannot be
// created; the file is written to a temporary name and renamed, so a failed save keeps the old file (false then).
bool Level_Save(const Str& path);
// Reads a level file into the level values and the board, rebuilds the spawn table, starts the level and creates
// the pieces of the cells. A bad file is refused with a diagnostic and leaves everything as it was (false).
// A missing embedded ("incbin::") level raises RuntimeError "cant open file level file " + path.
bool Level_Load(const Str& path);
// Level_Path := "incbin::levels/BQ2_level_" + three digits + ".lev", then Level_Load.
bool Level_LoadByNumber(int32_t level);
Str Level_FileName(int32_t level); // "levels/BQ2_level_" + three digits + ".lev"
// Spawn_Weights (adjusted by Level_Ease) into the spawn table used by Piece_Spawn.
void Level_BuildSpawnTable();
