// The level editor's public services. Called by the runtime's start-up (Editor_Init) and, once the board's play loop
// lands, by the game frame through entries it adds to the board's hook table (open, close, update, draw). Built on
// the toolkit and the board.
#pragma once

#include <cstdint>

extern int32_t Editor_Open;    // 1 while the editor is open
extern int32_t Editor_Testing; // 1 while the editor test-plays its level

void Editor_Init();   // start-up, once, after the fonts: the editor's widgets
void Editor_Create(); // opens the level editor over the game screen (developer key)
void Editor_Close();  // closes it
void Editor_Update(); // per frame while it is open
void Editor_Draw();   // per frame while it is open, after the game's drawing
