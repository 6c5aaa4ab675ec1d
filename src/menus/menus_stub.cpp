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
void Tutorial_Init() {}
void Tips_Init() {}
void Tips_Tick() {}
void Tips_Place() {}
void Tips_Draw() {}
void Tips_CheckBoard() {}
void Tips_ShowIceCrystal() {}
void Tips_ShowSnowball() {}
void Tips_SetSnowballPoint(int32_t, int32_t) {}
int32_t Tips_Visible = 0;
int32_t Tips_Tip20Delay = 1800000;
void Tutorial_ResetRun() {}
void Tutorial_ClearFlags(int32_t) {}
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
void Tutorial_OnEvent0() {}
void Tutorial_OnEvent1() {}
void Tutorial_OnEvent2(int32_t, int32_t) {}
void Tutorial_OnEvent3(int32_t, int32_t) {}
void Tutorial_OnEvent4(int32_t, int32_t) {}
void Tutorial_OnEvent5(int32_t, int32_t) {}
void Tutorial_OnEvent6(int32_t) {}
void Tutorial_OnEvent7(int32_t) {}
void Tutorial_OnEvent8() {}
void Tutorial_OnEvent11() {}
int32_t Tutorial_OnEvent12(int32_t, int32_t) { return 1; }
void Tutorial_OnEvent13(int32_t, int32_t) {}
int32_t Tutorial_OnEvent14(int32_t, int32_t) { return 1; }
void Tutorial_OnEvent15() {}
void Tutorial_OnEvent16(int32_t) {}
void Tutorial_OnManaChanged(int32_t, int32_t) {}
void Tutorial_OnGemsAdded(int32_t, int32_t) {}
