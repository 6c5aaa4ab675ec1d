// The game's small shared helpers: diagnostic lines, time text, the active view port and the window mode, and the
// main loop's shared state (terminate flag, desktop size). Used by every subsystem. The start-up and the main loop
// themselves are the runtime's (game/startup.h).
#pragma once

#include <cstdint>

#include "platform/strings.h"
#include "platform/system.h" // Log_Print, the diagnostic line

// ---- State owned here ------------------------------------------------------------------------------------------
struct ViewPortRect {
    int32_t x, y, w, h; // clip rectangle in canvas pixels
};
extern ViewPortRect activeViewPort; // the active view port: 0, 0, 800, 600 from start-up
extern int32_t Quit_Requested;      // 1 ends the main loop at the end of the pass
extern int32_t Desktop_Width;       // desktop resolution read at start-up, pixels
extern int32_t Desktop_Height;

// ---- Helpers -----------------------------------------------------------------------------------------------------
Str Time_FormatHMS(int32_t seconds);                       // "h:mm:ss", or "mm:ss" under one hour; negative counts as 0
void ViewPort(int32_t x, int32_t y, int32_t w, int32_t h); // sets activeViewPort and the drawing clip
void Window_ToggleMode();                                  // windowed <-> full screen; stores WINDOWED_MODE
