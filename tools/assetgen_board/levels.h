// The level set: 150 levels made with the game's own board code and saved with Level_Save, each one checked by
// the greedy solver, which also fits its time. Used by the board asset generator (main.cpp).
#pragma once

#include <string>

constexpr int kLevelCount = 150;

// Writes outDir/levels/BQ2_level_001.lev .. 150; false when a level cannot be saved or won.
bool Levels_Generate(const std::string& outDir);
