// The runtime: the start-up (Main_Body), the main loop, the shutdown save, the level refresh, and the filling of
// every hook table. The top layer: called by entry.cpp and the tests; nothing below includes it.
#pragma once

#include <cstdint>

extern int32_t Startup_LogoMs; // ms from the first logo to the main menu in the last start-up
// Test hook: a desktop size used instead of the real one (0 = real).
extern int32_t Startup_DesktopOverrideW;
extern int32_t Startup_DesktopOverrideH;

// Fills the hook tables of the services, the board, the effects and the castle with the game's functions (the
// screen table, sounds, tutorial events, effects, gems). Main_Body calls it first; tests that run screens or the
// board with the whole game behind them call it too.
void Runtime_InstallHooks();
// The whole program after the platform's start: start-up in order, the main loop, the shutdown save. Returns the
// process exit code (0; also 0 after the windowed-mode refusal).
int Main_Body();
// The shutdown save's mode: 1 (the board snapshot too) when the game screen is open, also behind the pause screen
// (a game closed while minimised keeps its board), Shutdown_NoSave on the main menu, 0 otherwise.
constexpr int32_t Shutdown_NoSave = -1;
int32_t Shutdown_SaveMode();
// The main loop until the window closes, Quit_Requested is set or Esc and E are held.
void Main_Loop();
// The level refresh: when "levels/refresh_levels" exists in the program folder, deletes it first, then refreshes
// "levels/KV_level_001.lev" .. "_210.lev", skipping missing files with a diagnostic line.
void Levels_Refresh();
