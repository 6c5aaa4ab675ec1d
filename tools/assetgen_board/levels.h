// The level set: 150 levels made with the game's own board code and saved with Level_Save, each one checked by
// the greedy solver, which also fits its time. Used by the board asset generator (main.cpp).
#pragma once

#include <cstdint>
#include <string>

constexpr int kLevelCount = 150;

// Writes outDir/levels/BQ2_level_001.lev .. 150; false when a level cannot be saved or won.
bool Levels_Generate(const std::string& outDir);

struct SolveResult;
// Thinking time per move a player is given in level n, seconds (4.5 at level 1 falling to 2.5 at level 150).
double Level_ThinkSeconds(int32_t n);
// The time level n (loaded from Level_Path) needs: the median over three solver games (the first one given) of
// the game time plus the thinking time per move, seconds.
double Level_NeedSeconds(int32_t n, const SolveResult& first);
