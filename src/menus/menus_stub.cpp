// Do-nothing stand-ins for the other dialogs, the tutorial and the tips until they land.
// Library bq_menus; callers reach them through menus/menus.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "menus/menus.h"

void WinLose_Build() {}
void HighScores_Build() {}
void IGMenu_Build() {}
void Options_Build() {}
void Credits_Build() {}
void Help_Build() {}
void Wallpapers_Build() {}
void HighScores_Open(int32_t, int32_t) {}
void HighScores_DoReset() {}
int32_t HS_Mode = 0;
int32_t HS_Highlight = -1;
void WinLose_Open() {}
void IGMenu_Init() {}
void IGMenu_Update() {}
void IGMenu_Draw() {}
void Options_Init() {}
void Options_Update() {}
void Options_Draw() {}
void Wallpapers_Open() {}
void Wallpapers_Init() {}
void Wallpapers_Update() {}
void Wallpapers_Draw() {}
void Wallpapers_Refresh() {}
void Wallpaper_Apply() {}
int32_t Wallpapers_Current = 0;
ImagePtr Wallpapers_Picture(int32_t) { return nullptr; }
ImagePtr Wallpapers_Preview(int32_t) { return nullptr; }
