// The level set: 150 levels made with the game's own board code and saved with Level_Save, each one checked by
// the greedy solver, which also fits its time. Used by the board asset generator (main.cpp) and the level tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "solver.h"

constexpr int kLevelCount = 150;
constexpr int32_t kTimeGames = 20;      // solver games a level's time is measured on
constexpr int32_t kTimePercentile = 90; // the time covers this share of those games at the level's pace
constexpr int32_t kCheckGames = 10;     // games per level on seeds the measuring never used
constexpr int64_t kSolverLimitMs = 30LL * 60 * 1000;

// Writes outDir/levels/BQ2_level_001.lev .. 150; false when a level cannot be saved or won. Each level's time
// comes from the committed table (level_times.inc) while its layout matches; with timesOut every level is
// measured and the new table is written there.
bool Levels_Generate(const std::string& outDir, const std::string& timesOut = {});

// A player's thinking time per move on level n, seconds: 4.5 at level 1 falling evenly to 3.0 at level 150.
double Level_PaceSeconds(int32_t n);
// What one solver game on level n needs at the level's pace: its game time plus the thinking time of its moves,
// seconds (the solver's whole limit when the game was lost).
double Level_NeedSeconds(int32_t n, const SolveResult& r);
// The seeds of the games a level's time is measured on, and of the check games the measuring never used.
uint32_t Level_TimeSeed(int32_t n, int32_t game);
uint32_t Level_CheckSeed(int32_t n, int32_t game);
// The time of level n in seconds from its measured needs: the kTimePercentile-th percentile (nearest rank),
// rounded up to 10 s, at least 180 s on levels 1-5, 120 s on 6-20 and 90 s after.
int32_t Level_TimeFromNeeds(int32_t n, std::array<double, kTimeGames> need);
// True when a player who thinks paceSeconds a move wins the solver's game r within the level time.
bool Level_WonAtPace(const SolveResult& r, double paceSeconds, int64_t durationUs);

// The check games of one level, played by the solver within the level's time.
struct CheckedLevel {
    int64_t durationUs = 0;
    std::array<SolveResult, kCheckGames> games{};
};
// Plays kCheckGames games of the levels first..last in assetDir (levels/BQ2_level_NNN.lev); empty when a level
// cannot be loaded.
std::vector<CheckedLevel> Levels_PlayCheckGames(const std::string& assetDir, int32_t first = 1,
                                                int32_t last = kLevelCount);
