// Do-nothing stand-ins for the level editor until it lands.
// Library bq_editor; the start-up and the game frame reach it through editor/editor.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "editor/editor.h"

void Editor_Init() {}
void Editor_Create() {}
void Editor_Close() {}
void Editor_Update() {}
void Editor_Draw() {}
int32_t Editor_Open = 0;
int32_t Editor_Testing = 0;
