// The player progress file "mm_config.bin" in the data folder: 22 little-endian arrays at cumulative offsets
// (layout in docs/file-formats.md). This module holds the arrays; their owners (the board, castles, tutorial, tips,
// players and options dialogs) read and write them here and rewrite one array with Config_SaveArray.
#pragma once

#include <array>
#include <cstdint>

#include "platform/strings.h"

constexpr int kProgressArrays = 22;
constexpr int kTipsCount = 51;       // tips per player
constexpr int kTutorialCount = 45;   // tutorial steps per player
constexpr int kCastlesCount = 7;     // castles per player
constexpr int kLevelEaseSlots = 151; // stored ease values per player: levels 1..150 (0 unused)

// ---- State owned here (the arrays, by their number; the other numbers are reserved int32[10]) -------------------
extern std::array<int32_t, 10 * kCastlesCount> Castles_Completed;  // 0: [player*7+castle] 1 when completed
extern int32_t Player_LevelEase[10][kLevelEaseSlots];              // 1: stored ease per player and level (the board's)
extern std::array<int32_t, 10> Player_LastLevel;                   // 3: last level started per player
extern std::array<float, 10> Vol_Fx;                               // 11: effects volume per player, 0..1
extern std::array<float, 10> Vol_Music;                            // 12: music volume per player, 0..1
extern std::array<float, 10> Vol_Ambient;                          // 13: ambient volume per player, 0..1
extern std::array<std::array<int32_t, kTipsCount>, 10> Tips_Shown; // 14: [player][tip] 1 once shown
extern std::array<int32_t, 10> Player_Used;                        // 18: 1 when the player slot is in use
extern std::array<int32_t, 10 * kTutorialCount> Tutorial_Flags;    // 20: [player*45+step] bit 1 done, bit 2 off
extern int32_t First_Start; // 1 when the progress file was missing (or unusable) at start-up

// One array of the file: its number, element count, and its bytes in memory (int32 or float32, 4 bytes each).
struct ProgressArray {
    int number;     // 0..21
    int count;      // elements
    bool isFloat;   // float32 elements (volumes); int32 otherwise
    void* data;     // the array in memory
    int32_t offset; // byte offset in the file
};
// The 22 arrays in file order.
const std::array<ProgressArray, kProgressArrays>& Progress_Layout();
int32_t Progress_FileSize(); // total bytes of the file

Str Progress_Path(); // Data_Folder + "/mm_config.bin"

// Puts every array to its default (volumes 0.8/0.8/0.5, everything else 0).
void Progress_Defaults();
// Reads the file. A missing file: defaults, written at once, First_Start 1. A file of the wrong size (or one that
// cannot be read): renamed to ".bad" with a diagnostic line, then as if missing; when it cannot be renamed either,
// it is left alone and not overwritten. Anything but a regular file is set aside the same way, and nothing is read
// from a file of the wrong size. Volumes outside 0..1 take their defaults; flags, ease values and level numbers are
// clamped to their ranges with a diagnostic line.
void Progress_Load();
// Rewrites the whole file. False when it could not be written (diagnostic line).
bool Progress_Save();
// Rewrites array n in place (the rest of the file keeps its bytes); writes the whole file when it is missing or of
// the wrong size. False on an unknown number or a write failure.
bool Config_SaveArray(int n);
