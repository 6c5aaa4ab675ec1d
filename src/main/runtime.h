// The runtime's start-up (Main_Body), main loop, shutdown and the small shared helpers: diagnostic lines, time
// text, the active view port, the window mode and the level refresh. Main_Body is called once by entry.cpp (and by
// the tests); the helpers by every subsystem.
#pragma once

#include <cstdint>

#include "platform/strings.h"

// ---- State owned here ------------------------------------------------------------------------------------------
struct ViewPortRect {
    int32_t x, y, w, h; // clip rectangle in canvas pixels
};
extern ViewPortRect activeViewPort; // the active view port: 0, 0, 800, 600 from start-up
extern int32_t Quit_Requested;      // 1 ends the main loop at the end of the pass
extern int32_t Desktop_Width;       // desktop resolution read at start-up, pixels
extern int32_t Desktop_Height;
extern int32_t Startup_LogoMs; // ms from the first logo to the main menu in the last start-up

// Test hook: a desktop size used instead of the real one (0 = real).
extern int32_t Startup_DesktopOverrideW;
extern int32_t Startup_DesktopOverrideH;

// ---- Helpers -----------------------------------------------------------------------------------------------------
void Log_Print(const Str& text);                           // the text + CR LF on standard output
Str Time_FormatHMS(int32_t seconds);                       // "h:mm:ss", or "mm:ss" under one hour; negative counts as 0
void ViewPort(int32_t x, int32_t y, int32_t w, int32_t h); // sets activeViewPort and the drawing clip
void Window_ToggleMode();                                  // windowed <-> full screen; stores WINDOWED_MODE

// ---- Start-up and loop --------------------------------------------------------------------------------------------
// The whole program after the platform's start: start-up in order, the main loop, the shutdown save. Returns the
// process exit code (0; also 0 after the windowed-mode refusal).
int Main_Body();
// The main loop until the window closes, Quit_Requested is set or Esc and E are held.
void Main_Loop();
// The level refresh: when "levels/refresh_levels" exists in the program folder, deletes it first, then refreshes
// "levels/KV_level_001.lev" .. "_210.lev", skipping missing files with a diagnostic line.
void Levels_Refresh();
